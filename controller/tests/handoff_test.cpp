// The hand-off between the two programs, with both programs' real objects in one process: the
// controller on the virtual card through a pseudo-terminal, the editor's document and window,
// a scripted operator on each side and real sockets in a temporary runtime folder. Then the
// programs themselves: `tavrel --send` to a running `korvex`.
#include "controller/editor_handoff.h"
#include "controller/machine_control.h"
#include "controller/program_tool.h"
#include "controller/document/wait_dialog.h"
#include "controller/tests/controller_fixture.h"
#include "editor/main_frame.h"
#include "editor/operator_prompter.h"
#include "editor/quick_machining.h"
#include "platform/data_dirs.h"
#include "platform/settings_file.h"
#include "sim/card/card_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>

extern char** environ;

namespace korvex::testing {
namespace {

using Answer = OperatorInteraction::Answer;
constexpr int kWaitMs = 20000;  // only a stuck program takes this long

template <class F>
bool processUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool shown(const ScriptedOperator& op, const QString& text) {
    for (const auto& m : op.messages)
        if (m.text == text) return true;
    return false;
}

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeFile(const QString& path, const QByteArray& text, bool executable = false) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
    f.close();
    if (executable) f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

// A stand-in program that writes its working folder, argument count and arguments, one a line.
QString writeStub(const QString& path, const QString& record) {
    const QByteArray out = QFile::encodeName(record);
    writeFile(path, "#!/bin/sh\n{ pwd; echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + out +
                        ".tmp' && mv '" + out + ".tmp' '" + out + "'\n",
              true);
    return path;
}

const char* kLong3b = "N 1: B 90000 B 0 B 90000 GX L1;\nN 2: DD\n";

class HandOffTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(runtime.isValid() && files.isValid());
        previousRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        c = std::make_unique<ControllerParts>();
        ASSERT_TRUE(c->start());
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
        ASSERT_EQ(c->frame.handOff().listen(), 0) << c->frame.handOff().receiver().errorText().toStdString();
        square = copyExample("square.3b", "my part.3b");
        other = copyExample("square.3b", "other part.3b");
    }
    void TearDown() override {
        editor.reset();
        machine->worker().stop();
        machine.reset();
        c.reset();
        qputenv("XDG_RUNTIME_DIR", previousRuntime);
    }

    QString copyExample(const char* example, const QString& name) {
        const QString path = QDir(files.path()).filePath(name);
        QFile::copy(QStringLiteral(KORVEX_EXAMPLES_DIR "/") + example, path);
        return path;
    }
    // The editor, listening unless told not to.
    void startEditor() {
        editor = std::make_unique<tavrel::CMainFrame>(prompter, QString());
        ASSERT_EQ(editor->handOff().listen(), 0);
    }
    SendResult quickMachining() {
        std::optional<SendResult> result;
        QObject::connect(&editor->handOff(), &tavrel::EditorHandOff::quickFinished, editor.get(),
                         [&](SendResult r) { result = r; }, Qt::SingleShotConnection);
        editor->action("quick")->trigger();
        if (!result && !editor->action("quick")->isEnabled()) {
            EXPECT_TRUE(processUntil([&] { return result.has_value(); }));
        }
        return result.value_or(SendResult::Failed);
    }
    SendResult editWithEditor() {
        std::optional<SendResult> result;
        ControllerHandOff& h = c->frame.handOff();
        QObject::connect(&h, &ControllerHandOff::editFinished, &h, [&](SendResult r) { result = r; },
                         Qt::SingleShotConnection);
        h.editAction()->trigger();
        EXPECT_FALSE(h.editAction()->isEnabled()) << "disabled until the editor answered";
        EXPECT_TRUE(processUntil([&] { return result.has_value(); }));
        EXPECT_TRUE(h.editAction()->isEnabled());
        return result.value_or(SendResult::Failed);
    }
    tavrel::CTavrelDoc& editorDoc() { return editor->session().doc(); }
    QString editorFile() { return QString::fromStdString(editorDoc().filePath()); }
    int cardRunState() {
        return c->card.server().withEngine([](sim::CardEngine& e) { return static_cast<int>(e.runState()); });
    }

    QTemporaryDir runtime;
    QTemporaryDir files;
    QByteArray previousRuntime;
    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
    ScriptedOperator editorUi;
    tavrel::OperatorPrompter prompter{editorUi};
    std::unique_ptr<tavrel::CMainFrame> editor;
    QString square, other;
};

TEST_F(HandOffTest, QuickMachiningLoadsTheSavedFileAndInsistsOnSavingAfterAnEdit) {
    startEditor();
    EXPECT_FALSE(editor->action("quick")->isEnabled()) << "nothing machinable yet";
    ASSERT_TRUE(editor->openFile(square));
    ASSERT_TRUE(editor->action("quick")->isEnabled());
    EXPECT_EQ(quickMachining(), SendResult::Opened);
    EXPECT_TRUE(c->document.isLoaded());
    EXPECT_EQ(c->document.path(), square);
    ASSERT_TRUE(c->link.wasSent("CMD_LOAD_MODEL"));
    EXPECT_EQ(c->link.descriptorsSent.back().title(), "my part.3b");
    EXPECT_EQ(c->frame.recentFiles().entries().value(0), square);
    // The controller now holds the file: the editor may not overwrite it.
    EXPECT_FALSE(editor->session().save());
    EXPECT_TRUE(shown(editorUi, qtTrId("61215")));

    editorDoc().reparse();  // an edit
    ASSERT_TRUE(editorDoc().modified());
    const std::size_t loads = c->link.descriptorsSent.size();
    EXPECT_EQ(quickMachining(), SendResult::Failed) << "nothing is sent";
    EXPECT_TRUE(shown(editorUi, qtTrId("61216")));
    EXPECT_EQ(c->link.descriptorsSent.size(), loads);

    // Saved under another name: that file is what the controller gets.
    const QString copy = QDir(files.path()).filePath("copy.3b");
    editorUi.saveChoice = copy;
    ASSERT_TRUE(editor->session().saveAs());
    c->operatorUi.answers = {Answer::Yes};  // close the program loaded before
    EXPECT_EQ(quickMachining(), SendResult::Opened);
    EXPECT_EQ(c->document.path(), copy);
}

TEST_F(HandOffTest, WithoutAControllerQuickMachiningSays61210) {
    c->frame.handOff().receiver().setPeerIdSource([](qintptr) { return std::optional<uid_t>(); });  // as if gone
    startEditor();
    ASSERT_TRUE(editor->openFile(square));
    EXPECT_EQ(quickMachining(), SendResult::NotRunning);
    EXPECT_TRUE(shown(editorUi, qtTrId("61210")));
    EXPECT_FALSE(c->document.isLoaded());
    EXPECT_TRUE(editor->action("quick")->isEnabled());
}

TEST_F(HandOffTest, WhileCuttingTheControllerRefusesAndTheCutGoesOn) {
    const QString longPath = QDir(files.path()).filePath("long.3b");
    writeFile(longPath, kLong3b);
    ASSERT_EQ(c->frame.openRequest(longPath), OpenOutcome::Opened);
    c->operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
        d.accept();
        return d.result();
    };
    machine->operations().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return machine->operations().label(Operation::Cut) == ButtonLabel::Pause; }));
    c->card.server().setHold(true);  // mid-segment for as long as this takes
    const auto position = [&] { return c->card.server().withEngine([](sim::CardEngine& e) { return e.position().lower.steps; }); };
    const int32_t steps = position();

    startEditor();
    ASSERT_TRUE(editor->openFile(square));
    const std::size_t loads = c->link.descriptorsSent.size();
    EXPECT_EQ(quickMachining(), SendResult::Refused);
    EXPECT_TRUE(shown(c->operatorUi, qtTrId("61482")));
    EXPECT_TRUE(c->operatorUi.questions.empty());
    EXPECT_EQ(c->document.path(), longPath);
    EXPECT_EQ(c->link.descriptorsSent.size(), loads);
    EXPECT_EQ(cardRunState(), sim::kRunCutting);
    EXPECT_EQ(position(), steps);
    EXPECT_FALSE(machine->operations().idle());

    c->card.server().setHold(false);
    machine->operations().press(Operation::Cut);  // pause
    ASSERT_TRUE(processUntil([&] { return machine->operations().idle(); }));
}

TEST_F(HandOffTest, WhileLoadingOrWithADialogOpenTheControllerRefuses) {
    startEditor();
    ASSERT_TRUE(editor->openFile(square));
    std::optional<SendResult> during;
    QObject::connect(&c->document, &CDCSDoc::waitDialogStarted, &c->document, [&] {
        if (!during) {
            during = SendResult::Failed;
            during = quickMachining();
        }
    });
    ASSERT_EQ(c->frame.openRequest(other), OpenOutcome::Opened);
    EXPECT_EQ(during, SendResult::Refused);
    EXPECT_TRUE(shown(c->operatorUi, qtTrId("61482")));
    EXPECT_EQ(c->document.path(), other);

    // A dialog of the controller's operator is open: nothing is replaced behind it.
    c->operatorUi.messages.clear();
    QDialog dialog(&c->frame);
    dialog.setModal(true);
    dialog.show();
    EXPECT_EQ(quickMachining(), SendResult::Refused);
    EXPECT_TRUE(shown(c->operatorUi, qtTrId("61482")));
    EXPECT_TRUE(c->operatorUi.questions.empty());
    dialog.hide();
    c->operatorUi.answers = {Answer::Yes};
    EXPECT_EQ(quickMachining(), SendResult::Opened);
    EXPECT_EQ(c->document.path(), square);
}

TEST_F(HandOffTest, AnsweringNoToTheCloseQuestionIsDeclinedAndKeepsTheProgram) {
    ASSERT_EQ(c->frame.openRequest(other), OpenOutcome::Opened);
    startEditor();
    ASSERT_TRUE(editor->openFile(square));
    c->operatorUi.answers = {Answer::No};
    EXPECT_EQ(quickMachining(), SendResult::Declined);
    EXPECT_EQ(c->operatorUi.questions, std::vector<QString>{qtTrId("61486")});
    EXPECT_EQ(c->document.path(), other);
    c->operatorUi.answers = {Answer::Yes};
    EXPECT_EQ(quickMachining(), SendResult::Opened);
    EXPECT_EQ(c->document.path(), square);
    // A file that cannot be opened: 61472 and failed.
    ASSERT_TRUE(QFile::remove(other));
    EXPECT_EQ(c->frame.handOff().answerFor(c->frame.openRequest(other)), HandOffAnswer::Failed);
    EXPECT_TRUE(shown(c->operatorUi, qtTrId("61472")));
}

TEST_F(HandOffTest, EditWithTheEditorOpensTheProgramOrOnlyBringsTheEditorForward) {
    ASSERT_EQ(c->frame.openRequest(square), OpenOutcome::Opened);
    startEditor();
    EXPECT_EQ(editWithEditor(), SendResult::Opened);
    EXPECT_EQ(editorFile(), square);
    EXPECT_TRUE(editor->isVisible());

    // The same file, by another spelling, with unsaved edits: only forward, nothing asked.
    editorDoc().reparse();
    const QString sameElsewhere = QDir(files.path()).filePath("link.3b");
    ASSERT_TRUE(QFile::link(square, sameElsewhere));
    editor->showMinimized();
    EXPECT_EQ(c->frame.handOff().receiver().socketPath(), runtime.path() + "/korvex/Korvex");
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFileInfo(runtime.path() + "/korvex").permissions() & others, QFileDevice::Permissions());
    EXPECT_EQ(sendAndWait(kEditorChannel, sameElsewhere), SendResult::Opened);
    EXPECT_FALSE(editor->isMinimized());
    EXPECT_TRUE(editorDoc().modified());
    EXPECT_TRUE(editorUi.questions.empty());

    // Another modified document: the save question; Cancel keeps it.
    editorUi.answers = {Answer::No};  // the edits of the program's file go
    ASSERT_TRUE(editor->openFile(other));
    editorDoc().reparse();
    editorUi.questions.clear();
    EXPECT_EQ(editWithEditor(), SendResult::Declined);  // no answer scripted: Cancel
    ASSERT_EQ(editorUi.questions.size(), 1u);
    EXPECT_EQ(editorUi.questions[0], qtTrId("tavrel.save_changes").arg("other part.3b"));
    EXPECT_EQ(editorFile(), other);
    EXPECT_TRUE(editorDoc().modified());
    // No: the edits go and the program comes.
    editorUi.answers = {Answer::No};
    EXPECT_EQ(editWithEditor(), SendResult::Opened);
    EXPECT_EQ(editorFile(), square);
    EXPECT_FALSE(editorDoc().modified());
}

TEST_F(HandOffTest, WithNoEditorRunningTheEditorIsStartedWithThePathAsItsOneArgument) {
    const QString path = copyExample("square.3b", "it's a \"part\" with spaces.3b");
    ASSERT_EQ(c->frame.openRequest(path), OpenOutcome::Opened);
    const QString record = QDir(files.path()).filePath("stub.out");
    c->frame.handOff().setEditorProgram(writeStub(QDir(files.path()).filePath("tavrel"), record));
    EXPECT_EQ(editWithEditor(), SendResult::NotRunning);
    ASSERT_TRUE(processUntil([&] { return QFileInfo::exists(record); }));
    const QStringList lines = readAll(record).split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1], "1");
    EXPECT_EQ(lines[2], path);

    c->frame.handOff().setEditorProgram(QDir(files.path()).filePath("missing/tavrel"));
    EXPECT_EQ(editWithEditor(), SendResult::NotRunning);
    ASSERT_FALSE(c->operatorUi.messages.empty());
    EXPECT_EQ(c->operatorUi.messages.back().text, qtTrId("61711"));
    EXPECT_EQ(c->operatorUi.messages.back().icon, OperatorInteraction::Icon::Critical);
}

TEST_F(HandOffTest, SimultaneousSendsBothEnd) {
    ASSERT_EQ(c->frame.openRequest(other), OpenOutcome::Opened);
    startEditor();
    ASSERT_TRUE(editor->openFile(square));
    c->operatorUi.answers = {Answer::Yes};  // the controller's close question
    std::optional<SendResult> fromEditor, fromController;
    QObject::connect(&editor->handOff(), &tavrel::EditorHandOff::quickFinished, [&](SendResult r) { fromEditor = r; });
    QObject::connect(&c->frame.handOff(), &ControllerHandOff::editFinished, [&](SendResult r) { fromController = r; });
    editor->action("quick")->trigger();
    c->frame.handOff().editAction()->trigger();
    ASSERT_TRUE(processUntil([&] { return fromEditor && fromController; }));
    EXPECT_EQ(*fromEditor, SendResult::Opened);
    EXPECT_EQ(*fromController, SendResult::Opened);
    EXPECT_EQ(c->document.path(), square);
    EXPECT_EQ(editorFile(), other);
}

// ---- the programming tool ----

TEST(ProgramToolStart, ToolStartsByFullPathInItsFolderWithTheEmulatorsConfigurationOnlyForItsExactName) {
    struct Case {
        const char* file;
        QStringList arguments;
    };
    const Case cases[] = {{"dosbox.exe", {"dosbox.conf"}}, {"dosbox", {"dosbox.conf"}}, {"DOSBOX.EXE", {}},
                          {"Dosbox.exe", {}},           {"dosbox.exe.old", {}},        {"cam", {}}};
    for (const Case& c : cases) {
        const ToolStart start = toolStartFor("/opt/tools/", c.file);
        EXPECT_EQ(start.program, QString("/opt/tools/") + c.file);
        EXPECT_EQ(start.workingFolder, "/opt/tools/");
        EXPECT_EQ(start.arguments, c.arguments) << c.file;
    }
}

TEST_F(ControllerTest, ProgrammingToolIsAskedForOnceThenStartedFromTheStoredKeys) {
    QTemporaryDir tools;
    const QString folder = tools.path() + "/cam tools";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString record = tools.path() + "/stub.out";
    const QString stub = writeStub(folder + "/dosbox.exe", record);
    ScriptedOperator op;
    ProgramToolLauncher launcher(op, machineSettingsPath(), [] { return QStringLiteral("Korvex"); });
    auto keys = [] {
        SettingsFile settings(machineSettingsPath());
        return QStringList{settings.readText("Option", "PGPath", "<none>"), settings.readText("Option", "PGFile", "<none>")};
    };

    EXPECT_EQ(launcher.run(), 1) << "the dialog was cancelled";
    EXPECT_EQ(op.dialogsRun, std::vector<QString>{"ChooseProgram"});
    EXPECT_EQ(keys(), (QStringList{"<none>", "<none>"}));

    op.scripts["ChooseProgram"] = [&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        EXPECT_TRUE(dialog.filter().testFlag(QDir::Executable));
        dialog.selectFile(stub);
        d.done(QDialog::Accepted);
        return d.result();
    };
    EXPECT_EQ(launcher.run(), 0);
    EXPECT_EQ(keys(), (QStringList{folder + "/", "dosbox.exe"}));
    ASSERT_TRUE(processUntil([&] { return QFileInfo::exists(record); }));
    EXPECT_EQ(readAll(record), folder + "\n1\ndosbox.conf\n");

    // From the keys, no dialog; the capital spelling gets no configuration.
    QFile::remove(record);
    ASSERT_TRUE(QFile::rename(stub, folder + "/DOSBOX.EXE"));
    SettingsFile(machineSettingsPath()).writeText("Option", "PGFile", "DOSBOX.EXE");
    op.dialogsRun.clear();
    EXPECT_EQ(launcher.run(), 0);
    EXPECT_TRUE(op.dialogsRun.empty());
    ASSERT_TRUE(processUntil([&] { return QFileInfo::exists(record); }));
    EXPECT_EQ(readAll(record), folder + "\n0\n");

    // A start that fails says so.
    launcher.setStarter([](const ToolStart&, QString* reason) {
        *reason = "no such program";
        return false;
    });
    EXPECT_EQ(launcher.run(), -1);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, qtTrId("handoff.start_failed").arg(folder + "/DOSBOX.EXE", "no such program"));
}

// ---- the programs themselves ----

std::string readWhole(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

pid_t spawn(std::vector<std::string> args, const std::string& outputPath) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

// A spawned program, killed when the test leaves early.
struct Spawned {
    pid_t pid = -1;
    ~Spawned() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    // Waits for the end and returns the wait status.
    int wait() {
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        pid = -1;
        return status;
    }
};

// A runtime folder of the test's own for the programs it spawns, so their sockets meet no
// other test's; the previous one is put back at the end.
struct PrivateRuntime {
    QTemporaryDir folder;
    QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    PrivateRuntime() {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ~PrivateRuntime() { qputenv("XDG_RUNTIME_DIR", previous); }
    QString path() const { return folder.path(); }
};

TEST_F(ControllerTest, SendFromTheCommandLineToKorvexOnTheVirtualCard) {
    const PrivateRuntime runtime;
    SettingsFile(cardSettingsPath(sim::kDefaultCardId)).writeInt("Others", "SettingNotice", 0);  // no Tips
    const QDir dir(data.path());
    const std::string device = dir.filePath("card").toStdString();
    const std::string trace = dir.filePath("card.jsonl").toStdString();
    Spawned card{spawn({KVCARDSIM_PATH, "--link", device, "--trace", trace}, dir.filePath("card.out").toStdString())};
    ASSERT_GT(card.pid, 0);
    ASSERT_TRUE(processUntil([&] { return QFileInfo::exists(QString::fromStdString(device)); }));
    const QString program = dir.filePath("my part.3b");
    QFile::copy(QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b"), program);
    const std::string out = dir.filePath("out").toStdString();

    // Nobody there yet.
    int status = Spawned{spawn({TAVREL_PATH, "--send", program.toStdString()}, out)}.wait();
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(readWhole(out), "no-controller\n");

    const std::string korvexOut = dir.filePath("korvex.out").toStdString();
    Spawned korvex{spawn({KORVEX_PATH, "--lang", "en", "--connect", device}, korvexOut)};
    ASSERT_GT(korvex.pid, 0);
    ASSERT_TRUE(processUntil([&] { return QFileInfo::exists(runtime.path() + "/korvex/Korvex"); })) << readWhole(korvexOut);
    status = Spawned{spawn({TAVREL_PATH, "--send", program.toStdString()}, out)}.wait();
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readWhole(out), "opened\n");
    EXPECT_NE(readWhole(trace).find("\"cmd\":\"CMD_LOAD_MODEL\""), std::string::npos);

    for (Spawned* p : {&korvex, &card}) {
        ::kill(p->pid, SIGTERM);
        p->wait();
    }
}

TEST_F(ControllerTest, ProgramOpenedFromTheDesktopGoesToTheRunningController) {
    const PrivateRuntime runtime;
    SettingsFile(cardSettingsPath(sim::kDefaultCardId)).writeInt("Others", "SettingNotice", 0);  // no Tips
    const QDir dir(data.path());
    const std::string device = dir.filePath("card").toStdString();
    const std::string trace = dir.filePath("card.jsonl").toStdString();
    Spawned card{spawn({KVCARDSIM_PATH, "--link", device, "--trace", trace}, dir.filePath("card.out").toStdString())};
    ASSERT_GT(card.pid, 0);
    ASSERT_TRUE(processUntil([&] { return QFileInfo::exists(QString::fromStdString(device)); }));
    const QString program = dir.filePath("part \"2\".3b");
    QFile::copy(QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b"), program);

    const std::string korvexOut = dir.filePath("korvex.out").toStdString();
    Spawned korvex{spawn({KORVEX_PATH, "--lang", "en", "--connect", device}, korvexOut)};
    ASSERT_GT(korvex.pid, 0);
    ASSERT_TRUE(processUntil([&] { return QFileInfo::exists(runtime.path() + "/korvex/Korvex"); })) << readWhole(korvexOut);
    // What a double click runs: the program alone. It is handed over and this instance ends.
    const std::string out = dir.filePath("out").toStdString();
    const int status = Spawned{spawn({KORVEX_PATH, program.toStdString()}, out)}.wait();
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readWhole(out), "opened\n");
    EXPECT_NE(readWhole(trace).find("\"cmd\":\"CMD_LOAD_MODEL\""), std::string::npos);

    for (Spawned* p : {&korvex, &card}) {
        ::kill(p->pid, SIGTERM);
        p->wait();
    }
}

}  // namespace
}  // namespace korvex::testing

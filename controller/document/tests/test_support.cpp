#include "controller/document/tests/test_support.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>

#include "platform/settings_file.h"
#include "platform/string_table.h"

// The font configuration library keeps a cache it never frees; that is not ours to report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace korvex::test {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "document_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        // Lives until the process ends: widgets of static objects may still need it.
        new QApplication(argc, argv);
        installTranslations(Language::English);
    }
}

int FakeCard::record(CardCommand c, int result) {
    std::lock_guard lock(mutex_);
    commands_.push_back(c);
    return result;
}

int FakeCard::setTaper(const TaperBlock& taper) {
    CardCommand c;
    c.code = cmdcode::CMD_SET_TAPER;
    c.taper = taper;
    return record(c, 0);
}

int FakeCard::loadModel(const LoadDescriptor& descriptor, LoadMode mode) {
    CardCommand c;
    c.code = cmdcode::CMD_LOAD_MODEL;
    c.descriptor = descriptor;
    c.mode = mode;
    return record(c, loadResult);
}

int FakeCard::unloadModel() {
    CardCommand c;
    c.code = cmdcode::CMD_UNLOAD_MODEL;
    return record(c, unloadResult);
}

int FakeCard::clearWork() {
    CardCommand c;
    c.code = cmdcode::CMD_CLEAR_WORK;
    return record(c, 0);
}

std::vector<CardCommand> FakeCard::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

std::vector<uint8_t> FakeCard::codes() const {
    std::vector<uint8_t> out;
    for (const CardCommand& c : commands()) out.push_back(c.code);
    return out;
}

void FakeCard::clear() {
    std::lock_guard lock(mutex_);
    commands_.clear();
}

DocFixture::DocFixture() {
    ensureApplication();
    QDir(dir.path()).mkpath(QStringLiteral("Tmp"));
    DocumentEnvironment env;
    env.operatorUi = &ui;
    env.card = &card;
    env.machineSettingsPath = dir.filePath(QStringLiteral("Korvex.ini"));
    env.cardSettingsPath = dir.filePath(QStringLiteral("0badcafe.ini"));
    env.temporaryDirectory = dir.filePath(QStringLiteral("Tmp"));
    env.idle = [this] { return idle; };
    doc.setEnvironment(env);
    doc.setCardIdentity(QStringLiteral("Noname"), QStringLiteral("COM3"));
    ui.defaultAnswer = OperatorInteraction::Answer::No;
}

QString DocFixture::write(const QString& name, const std::string& content) const {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content.data(), static_cast<qint64>(content.size()));
    return path;
}

QString DocFixture::lastFile() const {
    return SettingsFile(dir.filePath(QStringLiteral("0badcafe.ini")))
        .readText(QStringLiteral("Doc"), QStringLiteral("LastFile"), QString());
}

std::vector<QString> DocFixture::messageTexts() const {
    std::vector<QString> out;
    for (const auto& m : ui.messages) out.push_back(m.text);
    return out;
}

namespace {
std::string numbered(const std::vector<std::string>& statements) {
    std::string out;
    for (std::size_t i = 0; i < statements.size(); ++i)
        out += "N" + std::to_string(i) + " " + statements[i] + "\n";
    return out;
}
}  // namespace

std::string isoProgram(const std::vector<std::string>& body) {
    std::vector<std::string> all{"G92 X0.000 Y0.000;"};
    all.insert(all.end(), body.begin(), body.end());
    all.push_back("M02;");
    return numbered(all);
}

static void addSquare(std::vector<std::string>& body) {
    body.push_back("G01 X1.000 Y0.000;");
    body.push_back("G01 X0.000 Y1.000;");
    body.push_back("G01 X-1.000 Y0.000;");
    body.push_back("G01 X0.000 Y-1.000;");
}

std::string isoSquare() {
    std::vector<std::string> body;
    addSquare(body);
    return isoProgram(body);
}

std::string isoWithJumps(int n) {
    std::vector<std::string> body;
    for (int k = 0; k <= n; ++k) {
        addSquare(body);
        if (k < n) {
            body.push_back("M00;");
            body.push_back("G01 X2.000 Y0.000;");
            body.push_back("M00;");
        }
    }
    return isoProgram(body);
}

std::string isoWithSwitches(int n) {
    std::vector<std::string> body;
    for (int k = 0; k < n; ++k) {
        body.push_back("T17 E1F2L0Q0;");
        body.push_back("G01 X0.100 Y0.000;");
    }
    return isoProgram(body);
}

}  // namespace korvex::test

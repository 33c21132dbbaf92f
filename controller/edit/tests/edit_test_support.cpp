#include "controller/edit/tests/edit_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>

#include "platform/string_table.h"

// The font configuration library keeps a cache it never frees; that is not ours to report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace korvex::test {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "edit_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        new QApplication(argc, argv);
        installTranslations(Language::English);
    }
}

EditFixture::EditFixture() {
    ensureApplication();
    QDir(dir.path()).mkpath(QStringLiteral("Tmp"));
    DocumentEnvironment env;
    env.operatorUi = &ui;
    env.card = &card;
    env.temporaryDirectory = dir.filePath(QStringLiteral("Tmp"));
    doc.setEnvironment(env);
    ui.defaultAnswer = OperatorInteraction::Answer::No;
}

QString EditFixture::write(const QString& name, const std::string& content) const {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content.data(), static_cast<qint64>(content.size()));
    return path;
}

bool EditFixture::open(const QString& path) { return doc.openDocument(path); }

std::string EditFixture::read(const QString& path) const {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

EditCommandContext EditFixture::context() {
    EditCommandContext c;
    c.document = &doc;
    c.operatorUi = &ui;
    c.cardWorkState = [this] { return workState; };
    c.fastRolling = [this] { return rolling; };
    c.recoveryMarkPending = [this] { return mark; };
    c.idle = [this] { return idle; };
    return c;
}

std::string isoProgram(const std::vector<std::string>& body) {
    std::vector<std::string> all{"G92 X0.000 Y0.000;"};
    all.insert(all.end(), body.begin(), body.end());
    all.push_back("M02;");
    std::string out;
    for (std::size_t i = 0; i < all.size(); ++i)
        out += "N" + std::to_string(i) + " " + all[i] + "\n";
    return out;
}

std::string isoSquare10() {
    return isoProgram({"G01 X0.000 Y1.000;", "G01 X5.000 Y0.000;", "G01 X0.000 Y10.000;",
                       "G01 X-10.000 Y0.000;", "G01 X0.000 Y-10.000;", "G01 X5.000 Y0.000;",
                       "G01 X0.000 Y-1.000;"});
}

}  // namespace korvex::test

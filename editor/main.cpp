// tavrel: the code editor. Options: --lang en|zh, --no-splash, and a file to open; or
// --send FILE alone, which hands FILE to the running controller; or --help, --version.
#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <optional>

#include <korvex_revision.h>

#include "editor/main_frame.h"
#include "editor/picture_panel.h"
#include "editor/operator_prompter.h"
#include "editor/quick_machining.h"
#include "platform/data_dirs.h"
#include "platform/string_table.h"
#include "platform/version_report.h"
#include "platform/widget_operator.h"

namespace {

constexpr int kFadeMs = 500;
constexpr int kSplashShownMs = 3000;
constexpr int kStartDelayMs = 1000;

// A borderless, topmost splash that fades in, and fades out and closes itself later.
void showSplash() {
    auto* splash = new QLabel(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->setPixmap(QPixmap::fromImage(tavrel::splashPicture()));
    splash->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        splash->move(screen->geometry().center() - splash->rect().center());
    }
    splash->setWindowOpacity(0.0);
    splash->show();
    auto* fadeIn = new QPropertyAnimation(splash, "windowOpacity", splash);
    fadeIn->setDuration(kFadeMs);
    fadeIn->setEndValue(1.0);
    fadeIn->start();
    QTimer::singleShot(kSplashShownMs, splash, [splash] {
        auto* fadeOut = new QPropertyAnimation(splash, "windowOpacity", splash);
        fadeOut->setDuration(kFadeMs);
        fadeOut->setEndValue(0.0);
        QObject::connect(fadeOut, &QPropertyAnimation::finished, splash, &QWidget::close);
        fadeOut->start();
    });
    // Start-up goes on a second after the splash appears.
    QEventLoop wait;
    QTimer::singleShot(kStartDelayMs, &wait, &QEventLoop::quit);
    wait.exec();
}

struct Options {
    QCommandLineOption lang{QStringLiteral("lang"), QStringLiteral("Language of the interface: en or zh."),
                            QStringLiteral("language")};
    QCommandLineOption noSplash{QStringLiteral("no-splash"), QStringLiteral("Start without the splash picture.")};
    // Answered before the window starts (runSendCommand); listed here for --help.
    QCommandLineOption send{QStringLiteral("send"),
                            QStringLiteral("Hand FILE to the running controller and print opened, refused, "
                                           "declined, failed or no-controller."),
                            QStringLiteral("FILE")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
};

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(QStringLiteral("Tavrel, the Korvex code editor"));
    parser.addOptions({options.lang, options.noSplash, options.send, options.help, options.version});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Code file to open."));
}

constexpr char kHelpExample[] =
    "\nExample:\n"
    "  tavrel --lang zh --no-splash part.3b\n"
    "  opens part.3b in the Chinese interface without the splash picture.\n";

// --help and --version need no display: answered with a core application before the window
// system is touched. Nothing when the program is to start normally.
std::optional<int> answerInfoOptions(int& argc, char** argv) {
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        asked = asked || arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v";
    }
    if (!asked)
        return std::nullopt;
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "tavrel: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    // The editor has a version of its own; the package's is named beside it.
    const QString versionLines = QString::fromStdString(korvex::versionLine("tavrel", korvex::kEditorVersion)) +
                                 QStringLiteral("\npackage: korvex %1").arg(QLatin1String(korvex::kProductVersion));
    const QString text = parser.isSet(options.version) ? korvex::versionReport(versionLines)
                                                       : parser.helpText() + QLatin1String(kHelpExample);
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = answerInfoOptions(argc, argv))
        return *answered;
    // --send FILE hands a file to the controller and ends: no window, no display.
    if (const std::optional<int> status = tavrel::runSendCommand(argc, argv)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationVersion(QString::fromLatin1(korvex::kEditorVersion));
    // The installed menu entry and icon, so that the desktop shows the window as that program.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrel"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavrel")));
    korvex::keepQtSettingsInDataDirectory();

    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "tavrel: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    const QCommandLineOption& langOption = options.lang;
    const QCommandLineOption& noSplashOption = options.noSplash;

    korvex::Language language = korvex::languageForLocale(QLocale::system());
    if (parser.isSet(langOption)) {
        const auto chosen = korvex::parseLanguage(parser.value(langOption));
        if (!chosen) {
            std::fprintf(stderr, "tavrel: --lang takes en or zh\n");
            return 2;
        }
        language = *chosen;
    }
    korvex::installTranslations(language);
    korvex::createDataDirectories();

    if (!parser.isSet(noSplashOption)) showSplash();

    korvex::WidgetOperator ui;
    tavrel::OperatorPrompter prompter(ui);
    tavrel::CMainFrame frame(prompter, korvex::dataDirectory() + QStringLiteral("/Tavrel.ini"));
    ui.setParent(&frame);
    // A second editor leaves the hand-off to the first one.
    if (frame.handOff().listen() != 0)
        std::fprintf(stderr, "tavrel: no hand-off with the controller: %s\n",
                     qPrintable(frame.handOff().receiver().errorText()));
    if (!parser.positionalArguments().isEmpty()) frame.openFile(parser.positionalArguments().front());
    frame.showMaximized();
    return app.exec();
}

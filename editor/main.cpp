// tavrel: the code editor. Options: --lang en|zh, --no-splash, and a file to open; or
// --send FILE alone, which hands FILE to the running controller.
#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

#include "editor/main_frame.h"
#include "editor/picture_panel.h"
#include "editor/operator_prompter.h"
#include "editor/quick_machining.h"
#include "platform/data_dirs.h"
#include "platform/string_table.h"
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

}  // namespace

int main(int argc, char** argv) {
    // --send FILE hands a file to the controller and ends: no window, no display.
    if (const std::optional<int> status = tavrel::runSendCommand(argc, argv)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.2"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption langOption("lang", "Language of the interface: en or zh.", "language");
    const QCommandLineOption noSplashOption("no-splash", "Start without the splash picture.");
    parser.addOption(langOption);
    parser.addOption(noSplashOption);
    parser.addPositionalArgument("file", "Code file to open.");
    // Answered before the window starts (runSendCommand); listed here for --help.
    const QCommandLineOption sendOption("send", "Hand FILE to the running controller and print opened, refused, "
                                        "declined, failed or no-controller.", "FILE");
    parser.addOption(sendOption);
    parser.process(app);

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

// Writes the screenshot of the main window the documentation shows: the whole controller against
// the virtual card, examples/two-holes.iso loaded, at 1280x800.
//   korvex_screenshot OUT.png [en|zh]
#include "controller/tests/controller_fixture.h"
#include "controller/views/graph_view.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace korvex;
    using namespace korvex::testing;
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvex_screenshot OUT.png [en|zh]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ensureApplication();
    if (argc > 2 && QByteArray(argv[2]) == "zh")
        installTranslations(Language::Chinese);
    ScratchDataDir data;
    ControllerParts c;
    if (!c.start())
        return 1;
    c.frame.resize(1280, 800);
    if (!c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/two-holes.iso")))
        return 1;
    // The picture is drawn beside the window's thread.
    while (!c.frame.graphView()->pictureCurrent()) {
        QEventLoop wait;
        QObject::connect(c.frame.graphView(), &CGraphView::pictureUpdated, &wait, &QEventLoop::quit);
        QTimer::singleShot(200, &wait, &QEventLoop::quit);
        wait.exec();
    }
    QCoreApplication::processEvents();
    return c.frame.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

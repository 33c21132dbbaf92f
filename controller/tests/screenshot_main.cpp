// Writes the screenshots the documentation shows: the main window (the whole controller against
// the virtual card, examples/two-holes.iso loaded, at 1280x800), or the Multiple and Segment
// Multiple dialogs with a punch's values.
//   korvex_screenshot OUT.png [en|zh] [window|multiple|segment]
#include "controller/edit/multipass_dialogs.h"
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
        std::fprintf(stderr, "usage: korvex_screenshot OUT.png [en|zh] [window|multiple|segment]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ensureApplication();
    if (argc > 2 && QByteArray(argv[2]) == "zh")
        installTranslations(Language::Chinese);
    const QByteArray what = argc > 3 ? QByteArray(argv[3]) : QByteArray("window");
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (what == "multiple") {
        MultipassSettings punch;
        punch.mode = 1;
        punch.len = 2.0;
        CMultipleDialog dialog(punch, {});
        dialog.adjustSize();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (what == "segment") {
        SegmentMultipleSettings lead;
        lead.len = 2.0;
        CSegmentMultipleDialog dialog(lead, {});
        dialog.adjustSize();
        return dialog.grab().save(out) ? 0 : 1;
    }
    ScratchDataDir data;
    ControllerParts c;
    if (!c.start())
        return 1;
    c.frame.resize(1280, 800);
    if (c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/two-holes.iso")) != OpenOutcome::Opened)
        return 1;
    // The picture is drawn beside the window's thread.
    while (!c.frame.graphView()->pictureCurrent()) {
        QEventLoop wait;
        QObject::connect(c.frame.graphView(), &CGraphView::pictureUpdated, &wait, &QEventLoop::quit);
        QTimer::singleShot(200, &wait, &QEventLoop::quit);
        wait.exec();
    }
    QCoreApplication::processEvents();
    return c.frame.grab().save(out) ? 0 : 1;
}

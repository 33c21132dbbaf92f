// Writes the documentation's pictures of the editor in the language given:
//   tavrel_screenshot en|zh OUT.png               a multi-pass program with its groups in colour
//                                                 and one segment selected;
//   tavrel_screenshot en|zh OUT.png --recognised  the same after recognition (threshold 1 mm),
//                                                 the jump chosen in the recognised list and the
//                                                 HF group dialog open over the window.
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "editor/code_lists.h"
#include "editor/graph_view.h"
#include "editor/machining_dialogs.h"
#include "editor/main_frame.h"
#include "editor/operator_prompter.h"
#include "platform/string_table.h"
#include "platform/widget_operator.h"

namespace {

// Three passes round a rounded plate, each entered through its own group change, and a hole
// reached by a jump.
const char* kProgram =
    "N0 G92 X0.000 Y0.000;\n"
    "N1 T17 E0F1;  from group 0 to 1\n"
    "N2 G01 X5.000 Y0.000;\n"
    "N3 G01 X30.000 Y0.000;\n"
    "N4 G03 X10.000 Y10.000 I0.000 J10.000;\n"
    "N5 G01 X0.000 Y20.000;\n"
    "N6 G03 X-10.000 Y10.000 I-10.000 J0.000;\n"
    "N7 G01 X-30.000 Y0.000;\n"
    "N8 G01 X0.000 Y-40.000;\n"
    "N9 T17 E1F2;  from group 1 to 2\n"
    "N10 G01 X-0.100 Y0.000;\n"
    "N11 G01 X0.100 Y0.000;\n"
    "N12 T17 E2F4;  from group 2 to 4\n"
    "N13 G01 X-0.050 Y0.000;\n"
    "N14 G01 X-5.000 Y0.000;\n"
    "N15 M00;\n"
    "N16 G01 X20.000 Y20.000;\n"
    "N17 M00;\n"
    "N18 T17 E4F6;  from group 4 to 6\n"
    "N19 G02 X0.000 Y0.000 I6.000 J0.000;\n"
    "N20 M02;\n";

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool recognised = argc == 4 && QString::fromLocal8Bit(argv[3]) == "--recognised";
    if (argc != 3 && !recognised) {
        std::fprintf(stderr, "usage: tavrel_screenshot en|zh OUT.png [--recognised]\n");
        return 2;
    }
    const auto language = korvex::parseLanguage(QString::fromLocal8Bit(argv[1]));
    if (!language) return 2;
    korvex::installTranslations(*language);
    QTemporaryDir dir;
    const QString path = dir.path() + "/plate.iso";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(kProgram);
    file.close();

    korvex::WidgetOperator ui;
    tavrel::OperatorPrompter prompter(ui);
    tavrel::CMainFrame frame(prompter, dir.path() + "/Tavrel.ini");
    frame.resize(1280, 860);
    frame.show();
    QCoreApplication::processEvents();
    frame.openFile(path);
    frame.action("fit")->trigger();
    const QString out = QString::fromLocal8Bit(argv[2]);
    if (!recognised) {
        frame.codeList()->selectRow(6);
        frame.chooseSegment(6, frame.codeList());
        QCoreApplication::processEvents();
        return frame.grab().save(out) ? 0 : 1;
    }

    constexpr int kThresholdUm = 1000;
    constexpr int kJumpLine = 16;
    frame.session().doc().recognise(kThresholdUm);
    frame.showRecognisedList();
    frame.findList()->model().rebuild();
    frame.findList()->selectRow(frame.findList()->model().rowOf(kJumpLine));
    frame.chooseSegment(kJumpLine, frame.findList());
    QCoreApplication::processEvents();
    QImage picture = frame.grab().toImage();
    // The HF group dialog, as it opens over the window, drawn into the same picture.
    tavrel::HfGroupDialog dialog(&frame);
    dialog.adjustSize();
    dialog.show();
    QCoreApplication::processEvents();
    const QPixmap dialogPicture = dialog.grab();
    QPainter painter(&picture);
    painter.drawPixmap((picture.width() - dialogPicture.width()) / 2, picture.height() / 3, dialogPicture);
    painter.setPen(Qt::darkGray);
    painter.drawRect((picture.width() - dialogPicture.width()) / 2, picture.height() / 3, dialogPicture.width() - 1,
                     dialogPicture.height() - 1);
    painter.end();
    return picture.save(out) ? 0 : 1;
}

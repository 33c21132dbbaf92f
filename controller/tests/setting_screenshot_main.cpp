// Writes the screenshots of the Loop, Speed, Back, Planing-Stop and Track dialogs that
// docs/config-dialogs.md shows, filled with a typical machine's values.
//   korvex_setting_screenshot OUT.png [en|zh] loop|speed|back|planpause|track
#include "controller/config/setting_dialogs.h"
#include "controller/tests/shell_test_support.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    using namespace korvex;
    using namespace korvex::testing;
    if (argc < 4) {
        std::fprintf(stderr, "usage: korvex_setting_screenshot OUT.png [en|zh] loop|speed|back|planpause|track\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ensureApplication();
    if (QByteArray(argv[2]) == "zh")
        installTranslations(Language::Chinese);
    const QByteArray what(argv[3]);
    ScratchDataDir scratch;
    SettingsBlock settings;
    settings.speeds = {3000, 800, 5000, 300, 600, 400};
    settings.backDelaySeconds = 10;
    settings.backStopSeconds = 30;
    settings.trackMode = 0;
    std::unique_ptr<QDialog> dialog;
    if (what == "loop") {
        dialog = std::make_unique<LoopDialog>(3, CardAccess{}, nullptr);
    } else if (what == "speed") {
        dialog = std::make_unique<SpeedDialog>(settings, CardAccess{}, nullptr);
    } else if (what == "back") {
        dialog = std::make_unique<BackDialog>(settings, CardAccess{}, scratch.path() + QStringLiteral("/card.ini"));
    } else if (what == "planpause") {
        auto plan = std::make_unique<PlanPauseDialog>(nullptr, CardAccess{}, nullptr);
        plan->segmentField()->setText(QStringLiteral("12"));
        plan->percentField()->setText(QStringLiteral("50"));
        dialog = std::move(plan);
    } else if (what == "track") {
        dialog = std::make_unique<TrackDialog>(settings, CardAccess{}, nullptr);
    } else {
        std::fprintf(stderr, "unknown dialog %s\n", argv[3]);
        return 2;
    }
    dialog->show();
    QCoreApplication::processEvents();
    return dialog->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

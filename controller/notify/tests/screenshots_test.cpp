// Pictures of the three notification dialogs for the documentation, in English and Chinese,
// taken only when KORVEX_SCREENSHOT_DIR names a folder:
//   KORVEX_SCREENSHOT_DIR=docs build/default/controller/notify/tests/notify_tests --gtest_filter='*Screenshots*'
#include <gtest/gtest.h>

#include <QDir>

#include <cstdlib>

#include "controller/machine_session.h"
#include "controller/notify/auto_shutdown.h"
#include "controller/notify/mobile_notice.h"
#include "controller/notify/notice_dialogs.h"
#include "controller/tests/shell_test_support.h"
#include "platform/string_table.h"

namespace korvex::testing {
namespace {

TEST(NotifyDialogs, Screenshots) {
    const char* dir = std::getenv("KORVEX_SCREENSHOT_DIR");
    if (!dir)
        GTEST_SKIP() << "KORVEX_SCREENSHOT_DIR not set";
    ensureApplication();
    ScratchDataDir data;
    MachineSession session;
    session.cardId = 0x00220000;
    session.cardKnown = true;
    session.machineName = QStringLiteral("Noname");
    SettingsFile card = session.cardSettings();
    card.writeText(QStringLiteral("Work"), QStringLiteral("NoticeNumber"), QStringLiteral("13912345678"));
    ScriptedOperator operatorUi;
    MobileNotice notice(session);
    const QDir out(QString::fromLocal8Bit(dir));
    const auto save = [&](QWidget& w, const QString& name) {
        w.adjustSize();
        EXPECT_TRUE(w.grab().save(out.filePath(name)));
    };
    for (const Language language : {Language::English, Language::Chinese}) {
        installTranslations(language);
        const QString code = languageCode(language);
        CSmsConfigDialog sms(notice, session, operatorUi, {});
        save(sms, QStringLiteral("sms-config-%1.png").arg(code));
        CMobileNoticeConfigDialog mobile(notice, session, operatorUi);
        save(mobile, QStringLiteral("mobile-notice-config-%1.png").arg(code));
        CShutdownCountdownDialog countdown(qtTrId("61502"));
        save(countdown, QStringLiteral("shutdown-countdown-%1.png").arg(code));
    }
    installTranslations(Language::English);
}

}  // namespace
}  // namespace korvex::testing

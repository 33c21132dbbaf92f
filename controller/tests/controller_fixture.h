// A whole controller built from its real objects around the virtual card, as main() builds it,
// with the scripted operator in place of the screen.
#pragma once

#include "controller/card_events.h"
#include "controller/document/dcs_doc.h"
#include "controller/machine_session.h"
#include "controller/main_frame.h"
#include "controller/pulse_table.h"
#include "controller/startup.h"
#include "controller/tests/shell_test_support.h"
#include "controller/work_recovery.h"

#include <gtest/gtest.h>

namespace korvex::testing {

struct ControllerParts {
    explicit ControllerParts(uint32_t cardId = sim::kDefaultCardId, double speedScale = 1.0,
                             LinkOptions linkOptions = fastLinkOptions())
        : card(cardId, {}, speedScale), link(std::move(linkOptions)) {
        // Ending the test program's event loops would end every later test's dialogs at once.
        frame.setQuitHandler([this](int status) { quitStatuses.push_back(status); });
    }

    VirtualCard card;
    CardEventRouter events;
    RecordingCard link;
    ScriptedOperator operatorUi;
    MachineSession session;
    PulseTable pulseTable;
    WorkRecovery recovery;
    CDCSDoc document;
    CMainFrame frame{session, link, operatorUi, events, pulseTable, document};

    // Runs start-up; the port dialog is answered with the virtual card's device unless a script
    // for it was set already.
    bool start(StartupOptions options = {}) {
        options.showMaximized = false;
        operatorUi.scripts.try_emplace(QStringLiteral("CommConfig"), pressOkWith(card.deviceText(), &offeredPort));
        operatorUi.scripts.try_emplace(QStringLiteral("Tips"), [](QDialog& d) {
            d.accept();
            return d.result();
        });
        Startup startup(session, link, operatorUi, events, pulseTable, recovery, document);
        return startup.run(frame, options);
    }

    QString offeredPort;
    // The statuses the program was asked to end with (a lost link).
    std::vector<int> quitStatuses;
};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }
    ScratchDataDir data;
};

}  // namespace korvex::testing

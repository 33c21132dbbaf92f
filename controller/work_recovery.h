// Where a work interrupted by a power loss comes back. Start-up reads the card's work record
// and hands it here when the card kept a cut (0x11) or a return to origin (0x22); the restore
// itself (reloading the program, stepping to the point the card reached, asking the operator)
// runs from here once the machining operations exist.
#pragma once

#include <optional>

#include "controller/link/records.h"

namespace korvex {

class WorkRecovery {
public:
    // Takes the record read at start-up. Returns true when it holds a work to restore; any
    // other record is ignored.
    bool takeSavedWork(const WorkRecord& record) {
        if (!record.restorable())
            return false;
        pending_ = record;
        return true;
    }
    // The work waiting to be restored, if any.
    const std::optional<WorkRecord>& pending() const { return pending_; }
    void clear() { pending_.reset(); }

private:
    std::optional<WorkRecord> pending_;
};

}  // namespace korvex

// The few card commands the document sends. The document talks to the card only through this
// interface, so it runs against the card link, the virtual card or a recording fake alike.
#pragma once

#include <cstdint>

#include "controller/link/records.h"

namespace korvex {

// What a load tells the card: a new program, or the restore of a saved work.
enum class LoadMode : uint8_t { New = 0, Restore = 1 };

class CardPort {
public:
    virtual ~CardPort() = default;
    // Each returns 0 on success and a negative value when the card refused or did not answer.
    // setTaper and loadModel are called from a worker thread; the link serialises them with
    // every other transaction.
    virtual int setTaper(const TaperBlock& taper) = 0;
    virtual int loadModel(const LoadDescriptor& descriptor, LoadMode mode) = 0;
    virtual int unloadModel() = 0;
    virtual int clearWork() = 0;
};

}  // namespace korvex

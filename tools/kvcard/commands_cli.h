// The service tool's command words: each card command by its lower-case name, with its
// arguments read from the command line and its answer given back as the card's payload bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controller/link/card_link.h"

namespace korvex {

struct CliOutcome {
    int result = -1;                // the command function's result
    std::vector<uint8_t> payload;   // the answer payload on success
    std::string usageError;         // set when the arguments could not be read; nothing was sent
};

// Runs "get-card-id", "set-machine-name TEXT", ..., or "raw TYPE HEXPAYLOAD CAPACITY".
CliOutcome RunCliCommand(CardLink& link, const std::string& name, const std::vector<std::string>& args);

// The answer of a command as one readable line (no newline), for --decode; "" when the command
// has no decoding. get-work-record gives
//   kind=0x11 segment=I lower=S,X,Y upper=S,X,Y guides=X,Y,U,V loop=L range=A,B return=SEG:DX,DY,DU,DV title=T
// with the title last, so it runs to the line's end whatever it holds (control bytes become '?').
std::string DecodeCliPayload(const std::string& name, const std::vector<uint8_t>& payload);
bool CliCommandDecodes(const std::string& name);

// The command words with their arguments, one per line, for the usage text.
std::string CliCommandList();

}  // namespace korvex

// Text commands that steer a running virtual card (the kvcardsim control socket, one command per
// line):
//
//   short [S]            a short circuit: back for a while, then cutting resumes; with S, one
//                        that lasts S seconds (backing beyond the back stop time stops the work)
//   break                wire break (event 8)
//   silence on|off       stop answering (the link is lost) / answer again
//   hold on|off          hold the card's motion where it stands / let it move on
//   noise N              N random bytes into the stream
//   drop-response        swallow the next answer
//   corrupt-response     flip a bit in the next answer
//   duplicate-response   send the next answer twice
//   delay MS             hold every answer back MS milliseconds (0 ends it)
//   refuse CMD_NAME [N]  refuse the next N requests of that command unexecuted (default 1, 0 ends it)
//   report TYPE HEX      send a report of TYPE (0..255) with 8 data bytes given as 16 hex digits
//   powerloss            stop at once keeping the record; the simulator exits
//   status               run state, sub-state, segment, position, motor positions and figures
#pragma once

#include <string>

#include "sim/card/card_server.h"

namespace korvex::sim {

inline constexpr int kMaxNoiseBytes = 4096;
inline constexpr int kMaxDelayMs = 60000;
inline constexpr int kMaxRefusals = 1000;
inline constexpr int kMaxShortSeconds = 3600;

// Applies one command line. Returns 0 with reply "ok" (or the status text), or -1 with reply
// "error: ..." for an unknown command or a bad argument.
int applyControlCommand(CardServer& server, const std::string& line, std::string& reply);

}  // namespace korvex::sim

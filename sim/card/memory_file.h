// The card's non-volatile memory kept in a file (kvcardsim --state FILE), so the settings and
// the work record survive a restart of the simulator as they survive a power cycle of a card.
//
// Layout: the 8 bytes "KVCARDM1", the 116-byte settings block, the 248-byte work record. The
// file is replaced atomically (written beside it, synced, renamed) so a crash or a power loss
// while writing leaves the previous memory intact.
#pragma once

#include <string>

#include "sim/card/card_engine.h"

namespace korvex::sim {

inline constexpr char kMemoryFileMagic[] = "KVCARDM1";
inline constexpr std::size_t kMemoryFileMagicBytes = 8;
inline constexpr std::size_t kMemoryFileBytes = kMemoryFileMagicBytes + kSettingsBlockBytes + kWorkRecordBytes;

// Returns 1 when the file was read, 0 when it does not exist (a new card), -1 when it exists but
// is not a card memory (error tells why; the file is left alone).
int readMemoryFile(const std::string& path, CardMemory& memory, std::string& error);
// Returns 0, or -1 with error.
int writeMemoryFile(const std::string& path, const CardMemory& memory, std::string& error);

}  // namespace korvex::sim

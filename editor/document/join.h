// Joining another code file to the end of the document, with a jump between the two parts.
//
//   ... first part ... | M00        | G01 dx dy  | M00        | second part's code lines (its end too)
//   end line (M02/DD)  ^ replaces the first part's end line
//
// The separator is written in the document's own format (3B: all-zero statements for the pauses
// and the offset with quadrant L1) so that the jump search finds it after the reparse. Nothing
// changes until the other file has been read, classified and counted: a join either happens whole
// or not at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/document/messages.h"

namespace tavrel {

// The lines of the other file that a join appends: those holding G, D, M or T (leading blanks
// removed, CRs dropped), so a 3B start line or a comment banner stays behind.
struct JoinSource {
    std::vector<std::string> lines;
};

// Reads the file to join to a document of `docKind` with `freeSlots` free slots. Refused with a
// message: the file cannot be read ("File can not be opened!"), is of another code family than
// the document (61217; ISO kinds 1 and 4 join each other, 3B joins 3B), or would not fit (61218).
std::optional<DocMessage> readJoinSource(const std::string& path, int docKind, int freeSlots, JoinSource& out);

// The three separator lines, numbered from `firstIndex` on, for an offset of (dx, dy) microns.
std::vector<std::string> joinSeparator(int docKind, int firstIndex, int dx, int dy);

// Whether a document of this kind can have another file joined to it (kinds 1, 2, 4).
bool joinableKind(int kind);

}  // namespace tavrel

// Group-change lines for multi-pass code: where HF group setting puts one, and its text.
//
// A group-change line is a T17 statement naming the group it leaves (E) and the group it enters
// (F), followed by a comment that says the same in words. It is written in the program's own
// format, so a 3B program stays 3B; the 3B form turns into "N<i> T17 E..F..;" when the document
// is translated to ISO text.
#pragma once

#include <string>

namespace tavrel {

class CTavrelDoc;

inline constexpr int kHighestHfGroup = 7;       // the dialog offers groups 0 to 7
inline constexpr int kDefaultThresholdUm = 400; // preset of the recognition threshold
inline constexpr int kMaxThresholdUm = 1000;

// The line after which a group change for segment n goes: n itself, or, when n is a jump's
// opening M00 or its G01 line, the jump's closing M00, so that a change never comes between the
// moves of a jump.
int groupChangePlace(const CTavrelDoc& doc, int n);

// The group-change line for a program of `kind` (2: 3B, else ISO), numbered n, leaving group e
// for group f. The comment is UTF-8, or GB18030 for a document that is not UTF-8 text.
std::string groupChangeLine(int kind, int n, int e, int f, bool utf8);

}  // namespace tavrel

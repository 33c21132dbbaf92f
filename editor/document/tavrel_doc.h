// The editor's document: the code as edited (source line table, in the file's own format), its
// normalised ISO form (working line table), one parsed segment per working line, and the tables
// derived from them (jumps, group changes, bounding rectangle).
//
// Every edit changes only the source table and then reparses the whole document:
//
//   source --copy--> working -> kind -> normalise -> copy back to source -> 3B to ISO (kind 2)
//          -> jump table (500) -> segments, no steps -> group changes (300, T17 only) -> rectangle
//
// The line capacity is fixed once per load or New with a reserve of 1000 lines and never grows;
// an insertion that would not fit is refused with 61214.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "code/jumps.h"
#include "code/lines.h"
#include "code/parse.h"
#include "code/segment.h"
#include "editor/document/messages.h"

namespace tavrel {

inline constexpr int kReserveLines = 1000;       // free slots after a load; slots of a new document
inline constexpr int kJumpCapacity = 500;
inline constexpr int kGroupChangeCapacity = 300;
inline constexpr const char* kUntitled = "无标题";

struct GroupChange {
    int32_t segment = 0;
    uint8_t e = 0, f = 0;
    friend bool operator==(const GroupChange&, const GroupChange&) = default;
};

struct RecognisedEntry {
    int32_t segment = 0;
    uint8_t jump = 0;  // 1: the segment starts a jump; 0: a short straight line
};

// The bounding rectangle of the path in microns.
struct PathRect {
    int32_t minX = 0, maxY = 0, maxX = 0, minY = 0;
    friend bool operator==(const PathRect&, const PathRect&) = default;
};

struct Point64 {
    int64_t x = 0, y = 0;
};

// What reparse reports besides its warnings.
enum class ParseResult {
    kOk = 0,
    kFatal = -1,          // a fatal text was shown; the document holds what was built
    kHeaderNoRoom = -2,   // the 3B start line does not fit the full table (61214 shown)
};

class CTavrelDoc {
public:
    explicit CTavrelDoc(MessageSink* sink = nullptr) : sink_(sink) {}
    CTavrelDoc(const CTavrelDoc&) = delete;
    CTavrelDoc& operator=(const CTavrelDoc&) = delete;

    void setSink(MessageSink* sink) { sink_ = sink; }

    // Empties the document: flags, kind, threshold, tables, names. (The undo lists belong to
    // CUndo, which its owner resets alongside.)
    void reset();
    // An empty document of kReserveLines slots. 0, or -1 ("Malloc Failed!").
    int newDocument();
    // Reads and parses a file. 0, or -1 after a fatal text (the document is then empty).
    int load(const std::string& path);
    // After an edit: marks the document modified, refills the working table from the source
    // table and parses it again.
    ParseResult reparse();

    // Writes the document to `path`: the working table (ISO text) when the file name ends in
    // "4nb", else the source table with any kept preamble in front; each line cut at its first
    // line feed and ended by CR LF. Refused (nothing written, -1) while another program holds
    // the file (61215), when a ".4nb" would be written from a program that did not parse
    // cleanly as kind 1, 2 or 4 (that parse's warning), or when writing fails (an error naming
    // the file). Only a complete write clears the modified flag and stores the name and path.
    int writeTo(const std::string& path);

    // ---- document operations on the source table (index -1: no line selected) ----
    // Inserts `lines` after line `index` (-1 appends). Refused, changing nothing, when
    // index < -1 or index >= count, or when they do not fit (61214), or when a line is empty
    // or too long. 0 or -1.
    int insertLinesAfter(int index, const std::vector<std::string>& lines);
    int insertLineAfter(int index, std::string_view text);
    int replaceLine(int index, std::string_view text);
    int deleteLine(int index);

    // Snapshot text of the source table (each line cut at its first line feed, CR LF after it),
    // and reading one back. loadSnapshot: 0, or -1 when it holds more lines than the capacity.
    std::string snapshot() const;
    int loadSnapshot(std::string_view text);

    // Multi-pass code recognition: lists, in segment order, every segment that starts a jump and
    // every straight line shorter than `threshold` microns, and keeps the threshold for the
    // re-run after each edit. Refused (-1, the list empty) unless the kind is 1, 2 or 4; the
    // refusal is told (61219) only when `tellRefusal`.
    int recognise(int threshold, bool tellRefusal = true);

    // ---- lookups ----
    // The group in force at segment n: F of the last group change at or before n, else 0.
    int groupInForce(int n) const;
    // The group a segment is coloured with.
    int groupForColour(int n) const;
    // Whether segment n is the G01 line of a jump.
    bool startsJump(int n) const;
    // End point of every segment, walking the lower elements from the origin.
    std::vector<Point64> segmentEndPoints() const;
    // Displacement of one element as the editor moves by it (a G00 by its end point).
    static Point64 displacement(const korvex::PathElement& e);
    // Clamps a segment index into the document (0 when it is empty).
    int clampSegment(int n) const;

    // ---- data ----
    bool machinable() const { return machinable_; }
    bool multiPass() const { return multiPass_; }
    void setMultiPass(bool on) { multiPass_ = on; }
    int kind() const { return kind_; }
    int threshold() const { return threshold_; }
    const std::string& fileName() const { return fileName_; }
    const std::string& filePath() const { return filePath_; }
    int count() const { return source_.count; }
    int capacity() const { return capacity_; }
    const char* sourceLine(int i) const { return source_.line(i); }
    const char* workingLine(int i) const { return working_.line(i); }
    const korvex::CodeSegment& segment(int i) const { return segments_[static_cast<std::size_t>(i)]; }
    const PathRect& rect() const { return rect_; }
    const std::vector<korvex::JumpEntry>& jumps() const { return jumps_; }
    const std::vector<GroupChange>& groupChanges() const { return groupChanges_; }
    const std::vector<RecognisedEntry>& recognised() const { return recognised_; }
    const std::vector<std::string>& preamble() const { return preamble_; }
    bool modified() const { return modified_; }
    void setModified(bool on) { modified_ = on; }
    // Whether every line is valid UTF-8 (else the program treats the text as GB18030).
    bool textIsUtf8() const { return textIsUtf8_; }
    // The warning of the last parse, if it had one.
    const std::optional<DocMessage>& lastWarning() const { return lastWarning_; }

private:
    void show(const DocMessage& m) const;
    int allocateTables(int capacity);
    ParseResult parse(bool onLoad);
    ParseResult parseSegments(int parseKind);
    void failParse(const char* text);
    bool validLineText(std::string_view text) const;

    MessageSink* sink_;
    bool machinable_ = false;
    bool multiPass_ = false;
    int kind_ = 0;
    int threshold_ = 0;
    std::string fileName_;
    std::string filePath_;
    korvex::ProgramLines source_;
    korvex::ProgramLines working_;
    std::vector<korvex::CodeSegment> segments_;
    PathRect rect_;
    int capacity_ = 0;
    std::vector<korvex::JumpEntry> jumps_;
    std::vector<GroupChange> groupChanges_;
    std::vector<RecognisedEntry> recognised_;
    // Lines before the G92 line of a two-contour program (its taper header), written back in
    // front on save.
    std::vector<std::string> preamble_;
    bool modified_ = false;
    bool textIsUtf8_ = true;
    bool lastParseClean_ = false;
    std::optional<DocMessage> lastWarning_;
};

// Nearest segment end point to (x, y): the last segment whose end lies within the best distance
// so far in x and in y, starting from 1000 microns. 0 when none is that close, -1 when there are
// no segments.
int nearestSegment(const std::vector<Point64>& ends, int64_t x, int64_t y);

}  // namespace tavrel

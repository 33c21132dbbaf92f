#include "editor/document/tavrel_doc.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "code/kind.h"
#include "code/threeb.h"
#include "editor/document/file_access.h"
#include "editor/document/text_lines.h"

namespace tavrel {

using korvex::CodeSegment;
using korvex::PathElement;

namespace {

bool isMachinableKind(int kind) {
    return kind == korvex::kKindIso || kind == korvex::kKind3B || kind == korvex::kKindIsoSwitches;
}

// Fills `to` (a store of `capacity` lines, one entry of front room) with the first `count` lines
// of `from`. 0, or -1 when memory runs out.
int copyLines(const korvex::ProgramLines& from, int count, korvex::ProgramLines& to, int capacity, int frontRoom) {
    if (to.allocate(capacity, frontRoom) != 0) return -1;
    for (int i = 0; i < count; ++i) {
        if (to.append(from.line(i)) != 0) return -1;
    }
    return 0;
}

}  // namespace

void CTavrelDoc::show(const DocMessage& m) const {
    if (sink_) sink_->show(m);
}

void CTavrelDoc::reset() {
    machinable_ = false;
    multiPass_ = false;
    kind_ = 0;
    threshold_ = 0;
    capacity_ = 0;
    rect_ = PathRect{};
    fileName_.clear();
    filePath_.clear();
    source_ = korvex::ProgramLines{};
    working_ = korvex::ProgramLines{};
    segments_ = {};
    jumps_.clear();
    groupChanges_.clear();
    recognised_.clear();
    preamble_.clear();
    modified_ = false;
    textIsUtf8_ = true;
    lastParseClean_ = false;
    lastWarning_.reset();
}

int CTavrelDoc::allocateTables(int capacity) {
    try {
        // The working table has one slot of front room for the start line a 3B program gets.
        if (source_.allocate(capacity) != 0 || working_.allocate(capacity, 1) != 0) return -1;
        segments_.assign(static_cast<std::size_t>(capacity) + 1, CodeSegment{});
    } catch (const std::bad_alloc&) {
        return -1;
    }
    capacity_ = capacity;
    return 0;
}

int CTavrelDoc::newDocument() {
    reset();
    if (allocateTables(kReserveLines) != 0) {
        reset();
        show(DocMessage::fatalError(fatal::kMallocFailed));
        return -1;
    }
    return 0;
}

int CTavrelDoc::load(const std::string& path) {
    reset();
    std::string text;
    if (readRegularFile(path, text) != 0) {
        show(DocMessage::fatalError(fatal::kCannotOpen));
        return -1;
    }
    const TextLines lines = splitTextLines(text);
    if (lines.rawCount == 0) {
        show(DocMessage::fatalError(fatal::kCannotOpen));
        return -1;
    }
    if (lines.tooLongLine > 0) {
        show(DocMessage::warning(msg::kLineTooLong, {std::to_string(lines.tooLongLine)}));
        return -1;
    }
    if (lines.rawCount > korvex::kMaxProgramLines || allocateTables(static_cast<int>(lines.rawCount) + kReserveLines) != 0) {
        reset();
        show(DocMessage::fatalError(fatal::kMallocFailed));
        return -1;
    }
    fileName_ = fileNameOf(path);
    filePath_ = path;
    for (const std::string_view line : lines.kept) {
        if (source_.append(line) != 0) {
            reset();
            show(DocMessage::fatalError(fatal::kMallocFailed));
            return -1;
        }
    }
    textIsUtf8_ = lines.utf8;
    if (parse(true) != ParseResult::kOk) {
        reset();
        return -1;
    }
    modified_ = false;
    return 0;
}

ParseResult CTavrelDoc::reparse() {
    modified_ = true;
    const ParseResult r = parse(false);
    // The recognised list follows the code. A program that cannot be recognised simply has an
    // empty list: the refusal was told when the operator asked.
    recognise(threshold_, false);
    return r;
}

void CTavrelDoc::failParse(const char* text) {
    machinable_ = false;
    lastParseClean_ = false;
    show(DocMessage::fatalError(text));
}

ParseResult CTavrelDoc::parse(bool onLoad) {
    (void)onLoad;
    lastWarning_.reset();
    lastParseClean_ = false;
    const int previousCount = working_.count;
    // Refill the working table from the source table, with one entry of front room for the
    // start line a 3B program may get.
    const int n = source_.count;
    if (copyLines(source_, n, working_, capacity_, 1) != 0) {
        failParse(fatal::kMallocFailed);
        return ParseResult::kFatal;
    }

    // 1. Kind; a missing end or unknown code is a warning only.
    kind_ = korvex::detectProgramKind(working_);
    if (kind_ == korvex::kKindIsoNoEnd || kind_ == korvex::kKind3BNoEnd) {
        lastWarning_ = DocMessage::warning(msg::kMissingEnd);
    } else if (kind_ == korvex::kKindUnknown) {
        lastWarning_ = DocMessage::warning(msg::kUnknownCode);
    }
    if (lastWarning_) show(*lastWarning_);

    // 2. Normalisation. A two-contour program's lines before its G92 line (the taper header) are
    // kept aside and written back in front on save.
    if (korvex::isTwoContourKind(kind_)) {
        for (int i = 0; i < working_.count; ++i) {
            const char* s = working_.line(i);
            if (std::strchr(s, 'N') && std::strstr(s, "G92")) break;
            preamble_.emplace_back(s, ::strnlen(s, korvex::kMaxLineChars));
        }
    }
    const bool normalises = kind_ == korvex::kKindIso || kind_ == korvex::kKind3B ||
                            kind_ == korvex::kKindIsoSwitches || korvex::isTwoContourKind(kind_);
    if (normalises && korvex::normaliseProgram(working_, kind_) != 0) {
        std::fill(segments_.begin(), segments_.end(), CodeSegment{});
        failParse(fatal::kFixFailed);
        return ParseResult::kFatal;
    }

    // 3. Copy back, so a 3B program always starts with its start line. The same number of lines
    // means only the first (start line) and the last ("D" completed to "DD") can differ.
    if (working_.count > capacity_) {
        show(DocMessage::warning(msg::kTableFull));
        return ParseResult::kHeaderNoRoom;
    }
    const int wc = working_.count;
    if (wc == n) {
        if (wc > 0 && (source_.setLine(0, working_.line(0)) != 0 ||
                       source_.setLine(wc - 1, working_.line(wc - 1)) != 0)) {
            failParse(fatal::kMallocFailed);
            return ParseResult::kFatal;
        }
    } else if (copyLines(working_, wc, source_, capacity_, 0) != 0) {
        failParse(fatal::kMallocFailed);
        return ParseResult::kFatal;
    }

    // 4. 3B to ISO, line by line so that an unreadable line is named.
    if (kind_ == korvex::kKind3B) {
        for (int i = 0; i < wc; ++i) {
            if (korvex::translate3BLines(working_, i, i + 1) != 0) {
                lastWarning_ = DocMessage::warning(msg::kUnreadableLine, {std::to_string(i)});
                show(*lastWarning_);
                kind_ = korvex::kKindUnknown;
                break;
            }
        }
    }

    // 5. Jump table.
    jumps_.assign(kJumpCapacity, korvex::JumpEntry{});
    const int jumpCount = korvex::findJumpSegments(working_, jumps_.data(), kJumpCapacity);
    if (jumpCount < 0) {
        jumps_.clear();
        std::fill(segments_.begin(), segments_.end(), CodeSegment{});
        failParse(fatal::kJumpInfoFailed);
        return ParseResult::kFatal;
    }
    jumps_.resize(static_cast<std::size_t>(jumpCount));

    // 6. Segments, without steps.
    int parseKind = kind_ == korvex::kKind3B ? korvex::kKindIso : kind_;
    if (sink_) sink_->busy(true);
    int unreadable = -1;
    const bool parses = isMachinableKind(kind_) || korvex::isTwoContourKind(kind_);
    for (int i = 0; i < wc; ++i) {
        CodeSegment& s = segments_[static_cast<std::size_t>(i)];
        if (!parses || unreadable >= 0) {
            s = CodeSegment{};
            continue;
        }
        if (korvex::parseLine(working_.line(i), parseKind, s, false) != 0) {
            s = CodeSegment{};
            unreadable = i;
            continue;
        }
        // The editor reads only E and F of a group change.
        s.lower.groupL = s.lower.groupQ = s.upper.groupL = s.upper.groupQ = 0;
    }
    // Slots freed by the edit hold nothing.
    for (int i = wc; i < std::max(previousCount, wc + 1) && i < static_cast<int>(segments_.size()); ++i) {
        segments_[static_cast<std::size_t>(i)] = CodeSegment{};
    }
    if (sink_) sink_->busy(false);
    if (unreadable >= 0) {
        lastWarning_ = DocMessage::warning(msg::kUnreadableLine, {std::to_string(unreadable)});
        show(*lastWarning_);
        kind_ = korvex::kKindUnknown;
        parseKind = kind_;
    }

    // 7. Group changes: T17 lines only (a G00 moves the wire and changes no group).
    std::vector<korvex::SwitchEntry> switches(kGroupChangeCapacity);
    const int switchCount = korvex::buildSwitchTable(working_, parseKind, segments_.data(), wc,
                                                     switches.data(), kGroupChangeCapacity);
    if (switchCount < 0) {
        groupChanges_.clear();
        failParse(fatal::kDaoInfoFailed);
        return ParseResult::kFatal;
    }
    groupChanges_.clear();
    for (int i = 0; i < switchCount; ++i) {
        const korvex::SwitchEntry& w = switches[static_cast<std::size_t>(i)];
        groupChanges_.push_back(GroupChange{w.segment, w.e, w.f});
    }

    // 8. Bounding rectangle.
    const korvex::Extents box = korvex::programExtents(segments_.data(), wc);
    rect_ = PathRect{box.minX, box.maxY, box.maxX, box.minY};

    // 9. Machinable flag.
    machinable_ = isMachinableKind(kind_);
    lastParseClean_ = machinable_;
    return ParseResult::kOk;
}

// ---------------------------------------------------------------------------------------------
// Writing

int CTavrelDoc::writeTo(const std::string& path) {
    std::string reason;
    const int probe = probeWriteAccess(path, &reason);
    if (probe == -1) {
        show(DocMessage::warning(msg::kFileInUse));
        return -1;
    }
    if (probe != 0) {
        show(DocMessage::warning(msg::kWriteFailed, {path, reason}));
        return -1;
    }
    const bool fourNb = fileNameEndsWith(path, "4nb");
    if (fourNb && !lastParseClean_) {
        // Half-translated text would be worse than no file: refuse with the reason.
        show(lastWarning_ ? *lastWarning_ : DocMessage::warning(msg::kUnknownCode));
        return -1;
    }
    std::string content;
    try {
        if (fourNb) {
            content = joinLinesCrLf(working_, working_.count);
        } else {
            for (const std::string& line : preamble_) {
                content += line;
                content += "\r\n";
            }
            content += joinLinesCrLf(source_, source_.count);
        }
    } catch (const std::bad_alloc&) {
        show(DocMessage::fatalError(fatal::kMallocFailed));
        return -1;
    }
    if (replaceFileContent(path, content, reason) != 0) {
        show(DocMessage::warning(msg::kWriteFailed, {path, reason}));
        return -1;
    }
    fileName_ = fileNameOf(path);
    filePath_ = path;
    modified_ = false;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Document operations

bool CTavrelDoc::validLineText(std::string_view text) const {
    if (text.size() > static_cast<std::size_t>(korvex::kMaxLineChars) ||
        text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        show(DocMessage::warning(msg::kInputTooLong));
        return false;
    }
    return !text.empty();
}

int CTavrelDoc::insertLinesAfter(int index, const std::vector<std::string>& lines) {
    const int n = source_.count;
    if (index < -1 || index >= n) {
        show(DocMessage::warning(msg::kTableFull));
        return -1;
    }
    std::vector<std::string_view> texts;
    for (const std::string& line : lines) {
        const std::string_view t = stripLeadingBlanks(line);
        if (!validLineText(t)) return -1;
        texts.push_back(t);
    }
    const int add = static_cast<int>(texts.size());
    if (add == 0) return -1;
    if (n + add > capacity_) {
        show(DocMessage::warning(msg::kTableFull));
        return -1;
    }
    const int at = index < 0 ? n : index + 1;
    // Lines removed from the front leave their entries before line 0; a store that has run out
    // of entries after line 0 is rebuilt (rare: only after the first line was deleted).
    if (n + add > source_.capacity()) {
        korvex::ProgramLines fresh;
        if (copyLines(source_, n, fresh, capacity_, 0) != 0) {
            show(DocMessage::fatalError(fatal::kMallocFailed));
            return -1;
        }
        source_ = std::move(fresh);
    }
    for (int i = 0; i < add; ++i) {
        if (source_.insertAt(at + i) != 0 || source_.setLine(at + i, texts[static_cast<std::size_t>(i)]) != 0) {
            show(DocMessage::fatalError(fatal::kMallocFailed));
            return -1;
        }
    }
    return 0;
}

int CTavrelDoc::insertLineAfter(int index, std::string_view text) {
    return insertLinesAfter(index, {std::string(text)});
}

int CTavrelDoc::replaceLine(int index, std::string_view text) {
    if (index < 0 || index >= source_.count) return -1;
    const std::string_view t = stripLeadingBlanks(text);
    if (!validLineText(t)) return -1;
    if (source_.setLine(index, t) != 0) {
        show(DocMessage::fatalError(fatal::kMallocFailed));
        return -1;
    }
    return 0;
}

int CTavrelDoc::deleteLine(int index) {
    if (index < 0 || index >= source_.count) return -1;
    source_.removeAt(index, 1);
    return 0;
}

std::string CTavrelDoc::snapshot() const { return joinLinesCrLf(source_, source_.count); }

int CTavrelDoc::loadSnapshot(std::string_view text) {
    const TextLines lines = splitTextLines(text);
    if (static_cast<int64_t>(lines.kept.size()) > capacity_ || lines.tooLongLine > 0) return -1;
    korvex::ProgramLines fresh;
    if (fresh.allocate(capacity_) != 0) return -1;
    for (const std::string_view line : lines.kept) {
        if (fresh.append(line) != 0) return -1;
    }
    source_ = std::move(fresh);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Recognition

int CTavrelDoc::recognise(int threshold, bool tellRefusal) {
    threshold_ = threshold;
    recognised_.clear();
    if (!isMachinableKind(kind_)) {
        if (tellRefusal) show(DocMessage::warning(msg::kNoRecognition));
        return -1;
    }
    // truncate(sqrt(d2)) < t exactly when d2 < t * t, so the lengths need no square root.
    const uint64_t t = threshold > 0 ? static_cast<uint64_t>(threshold) : 0;
    const uint64_t limit = t * t;
    std::size_t jump = 0;
    for (int i = 0; i < count(); ++i) {
        while (jump < jumps_.size() && jumps_[jump].line < i) ++jump;
        if (jump < jumps_.size() && jumps_[jump].line == i) {
            recognised_.push_back(RecognisedEntry{i, 1});
            continue;
        }
        const PathElement& e = segments_[static_cast<std::size_t>(i)].lower;
        if (e.kind != korvex::kElementLine || limit == 0) continue;
        const Point64 d = displacement(e);
        const uint64_t dx = static_cast<uint64_t>(d.x < 0 ? -d.x : d.x);
        const uint64_t dy = static_cast<uint64_t>(d.y < 0 ? -d.y : d.y);
        if (dx * dx + dy * dy < limit) recognised_.push_back(RecognisedEntry{i, 0});
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Lookups

int CTavrelDoc::groupInForce(int n) const {
    // The last group change at or before n.
    const auto it = std::upper_bound(groupChanges_.begin(), groupChanges_.end(), n,
                                     [](int v, const GroupChange& g) { return v < g.segment; });
    return it == groupChanges_.begin() ? 0 : std::prev(it)->f;
}

int CTavrelDoc::groupForColour(int n) const {
    if (groupChanges_.empty()) return 0;
    const auto it = std::lower_bound(groupChanges_.begin(), groupChanges_.end(), n,
                                     [](const GroupChange& g, int v) { return g.segment < v; });
    if (it == groupChanges_.begin()) return it->e;   // before or at the first change
    if (it == groupChanges_.end()) return std::prev(it)->f;
    if (it->segment == n) return it->e;
    return std::prev(it)->f;
}

bool CTavrelDoc::startsJump(int n) const {
    const auto it = std::lower_bound(jumps_.begin(), jumps_.end(), n,
                                     [](const korvex::JumpEntry& j, int v) { return j.line < v; });
    return it != jumps_.end() && it->line == n;
}

Point64 CTavrelDoc::displacement(const PathElement& e) {
    switch (e.kind) {
    case korvex::kElementEmpty:
    case korvex::kElementLine:
    case korvex::kElementSwitch:  // a G00 moves by its end point; a T17 has none
        return {e.endX, e.endY};
    case korvex::kElementArcCw:
    case korvex::kElementArcCcw:
        return {static_cast<int64_t>(e.endX) - e.startX, static_cast<int64_t>(e.endY) - e.startY};
    default:
        return {};
    }
}

std::vector<Point64> CTavrelDoc::segmentEndPoints() const {
    std::vector<Point64> ends(static_cast<std::size_t>(count()));
    Point64 at;
    for (int i = 0; i < count(); ++i) {
        const Point64 d = displacement(segments_[static_cast<std::size_t>(i)].lower);
        at.x += d.x;
        at.y += d.y;
        ends[static_cast<std::size_t>(i)] = at;
    }
    return ends;
}

int CTavrelDoc::clampSegment(int n) const {
    if (count() <= 0 || n < 0) return 0;
    return std::min(n, count() - 1);
}

int nearestSegment(const std::vector<Point64>& ends, int64_t x, int64_t y) {
    if (ends.empty()) return -1;
    constexpr int64_t kReachMicrons = 1000;
    int64_t bestX = kReachMicrons, bestY = kReachMicrons;
    int best = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const int64_t dx = ends[i].x > x ? ends[i].x - x : x - ends[i].x;
        const int64_t dy = ends[i].y > y ? ends[i].y - y : y - ends[i].y;
        if (dx <= bestX && dy <= bestY) {
            best = static_cast<int>(i);
            bestX = dx;
            bestY = dy;
        }
    }
    return best;
}

}  // namespace tavrel

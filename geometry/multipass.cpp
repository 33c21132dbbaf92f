#include "geometry/multipass.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>

#include "code/iso.h"
#include "code/kind.h"
#include "code/numbers.h"
#include "code/parse.h"
#include "code/segment.h"
#include "code/writer.h"
#include "geometry/equ.h"
#include "geometry/offset.h"
#include "geometry/trace.h"

namespace korvex {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The cutting elements of a contour must close within this, mm: every pass is assumed to end
// where it began (T = S without a step).
constexpr double kClosureToleranceMm = 0.01;

// One item of the assembled program: a move or a group switch.
struct Item {
    EquHalf h;
    bool fullCircle = false;  // a drawn full circle, written as one although its ends coincide
};

// A compensated contour of one pass and the points the passes join at.
struct PassContour {
    std::vector<EquHalf> el;
    GeoPoint s;  // start (end of the lead-in)
    GeoPoint t;  // step point
};

bool isMove(const EquHalf& h) { return h.kind == kEquLine || h.isArc(); }

// Angle swept from start to end in the arc's direction, (0, 2 pi]; coinciding ends are a whole
// turn on a drawn full circle and nothing on any other arc.
double sweepOf(const EquHalf& h, bool fullCircle) {
    if (h.startX == h.endX && h.startY == h.endY) return fullCircle ? 2 * kPi : 0;
    double a = std::atan2(h.endY - h.centreY, h.endX - h.centreX) -
               std::atan2(h.startY - h.centreY, h.startX - h.centreX);
    if (h.kind == kEquArcCw) a = -a;
    a = std::fmod(a, 2 * kPi);
    if (a < 0) a += 2 * kPi;
    return a == 0 ? 2 * kPi : a;
}

double lengthOf(const EquHalf& h, bool fullCircle) {
    if (h.isArc()) return h.radius * sweepOf(h, fullCircle);
    return std::hypot(h.endX - h.startX, h.endY - h.startY);
}

// The point `fraction` of the element's length before its end: along a line toward its start,
// along an arc by turning its end back about the centre.
bool pointBefore(const EquHalf& h, bool fullCircle, double fraction, GeoPoint& p) {
    if (fraction == 0) {
        p = {h.endX, h.endY};
        return true;
    }
    if (h.isArc()) {
        const double angle = fraction * sweepOf(h, fullCircle) * (h.kind == kEquArcCcw ? -1 : 1);
        const double vx = h.endX - h.centreX, vy = h.endY - h.centreY;
        p = {h.centreX + vx * std::cos(angle) - vy * std::sin(angle),
             h.centreY + vx * std::sin(angle) + vy * std::cos(angle)};
    } else {
        p = {h.endX + fraction * (h.startX - h.endX), h.endY + fraction * (h.startY - h.endY)};
    }
    return std::isfinite(p.x) && std::isfinite(p.y);
}

EquHalf reversed(EquHalf h) {
    std::swap(h.startX, h.endX);
    std::swap(h.startY, h.endY);
    if (h.kind == kEquArcCw) h.kind = kEquArcCcw;
    else if (h.kind == kEquArcCcw) h.kind = kEquArcCw;
    return h;
}

EquHalf withEnd(EquHalf h, GeoPoint p) {
    h.endX = p.x;
    h.endY = p.y;
    return h;
}

EquHalf withStart(EquHalf h, GeoPoint p) {
    h.startX = p.x;
    h.startY = p.y;
    return h;
}

// The cutting elements of lines[first+1 .. last-1], from the contour's origin at 0, 0.
int buildCutting(const std::vector<std::string>& lines, int first, int last, std::vector<Equ>& out,
                 std::vector<char>& fullCircle) {
    out.clear();
    fullCircle.clear();
    int64_t x = 0, y = 0;  // microns
    for (int i = first; i < last; ++i) {
        const char* text = lines[static_cast<size_t>(i)].c_str();
        IsoStatement s;
        if (parseIsoStatement(text, s) < 0) {
            geometryTrace("方程转换失败:%s!\n", text);
            return -1;
        }
        const double sx = static_cast<double>(x) / 1000.0, sy = static_cast<double>(y) / 1000.0;
        if (!(std::fabs(sx) <= kMaxCoordinateMm && std::fabs(sy) <= kMaxCoordinateMm)) return -1;
        Equ e;
        const int converted = statementToEqu(s, sx, sy, 0.0, e);
        if (i == first) {
            // The lead-in only says where the contour begins.
            if (converted < 0) {
                geometryTrace("方程转换失败:%s!\n", text);
                return -1;
            }
        } else {
            if (converted < 0 || !isMove(e.source)) {
                geometryTrace("UNKNOW TYPE\n");
                return -1;
            }
            out.push_back(e);
            fullCircle.push_back(e.source.isArc() && s.x == 0 && s.y == 0);
        }
        x += s.x;
        y += s.y;
    }
    if (out.empty()) return -1;
    const EquHalf& a = out.front().source;
    const EquHalf& b = out.back().source;
    if (std::hypot(b.endX - a.startX, b.endY - a.startY) > kClosureToleranceMm) {
        geometryTrace("CONTOUR NOT CLOSED: %f, %f\n", b.endX - a.startX, b.endY - a.startY);
        return -1;
    }
    return 0;
}

// The cutting elements compensated by `gap` as one closed loop whose neighbours meet directly.
int compensatePass(const std::vector<Equ>& source, double gap, std::vector<EquHalf>& out) {
    std::vector<Equ> elements = source;
    for (Equ& e : elements) e.offset = storedOffset(e.source, gap);
    std::vector<Equ> loop;
    if (compensateClosedLoop(elements, CornerType::Sharp, 1, loop) < 0) return -1;
    if (loop.size() != elements.size()) {
        // A connecting arc was put in: the passes would not be the contour moved sideways.
        size_t i = 0;
        while (i < elements.size() && loop[i].offset == elements[i].offset &&
               loop[i].source.startX == elements[i].source.startX && loop[i].source.startY == elements[i].source.startY)
            ++i;
        geometryTrace("ConnectEqus error!%d\n", static_cast<int>(i));
        return -1;
    }
    out.clear();
    out.reserve(loop.size());
    for (const Equ& e : loop) out.push_back(e.compensated);
    return 0;
}

// The step split on the last pass: walking back from the end, the element where the summed
// lengths first exceed `len`.
bool findStepSplit(const std::vector<EquHalf>& el, const std::vector<char>& fullCircle, double len,
                   StepSplit& split) {
    if (len < kMultipassMinStepMm) {
        split = {static_cast<int>(el.size()) - 1, 0.0};
        return true;
    }
    double sum = 0;
    for (int i = static_cast<int>(el.size()) - 1; i >= 0; --i) {
        const double l = lengthOf(el[static_cast<size_t>(i)], fullCircle[static_cast<size_t>(i)]);
        sum += l;
        if (sum > len) {
            split = {i, (len - (sum - l)) / l};
            return true;
        }
    }
    return false;
}

// ---- assembling the items of one contour ----

class Assembler {
public:
    Assembler(const std::vector<PassContour>& passes, const std::vector<char>& fullCircle, const StepSplit& split)
        : passes_(passes), fullCircle_(fullCircle), k_(static_cast<size_t>(split.element)),
          whole_(split.fraction == 0) {
        // Each pass and each step cut, a few moves and switches between them.
        items.reserve(passes.size() * (fullCircle.size() + 1) * 2 + 32);
    }

    std::vector<Item> items;

    void toGroup(int group, int l, int q) {
        Item it;
        it.h.kind = kEquSwitch;
        it.h.groupE = group_;
        it.h.groupF = group;
        it.h.groupL = l;
        it.h.groupQ = q;
        items.push_back(it);
        group_ = group;
    }
    void line(GeoPoint from, GeoPoint to) {
        Item it;
        it.h.kind = kEquLine;
        it.h.startX = from.x;
        it.h.startY = from.y;
        it.h.endX = to.x;
        it.h.endY = to.y;
        items.push_back(it);
    }
    // Pass p from S(p) forward to T(p).
    void forwardPass(int p) {
        const auto& el = passes_[static_cast<size_t>(p)].el;
        for (size_t i = 0; i < k_; ++i) add(el[i], fullCircle_[i]);
        add(withEnd(el[k_], passes_[static_cast<size_t>(p)].t), whole_ && fullCircle_[k_]);
    }
    // Pass p from T(p) back to S(p).
    void backwardPass(int p) {
        const auto& el = passes_[static_cast<size_t>(p)].el;
        add(reversed(withEnd(el[k_], passes_[static_cast<size_t>(p)].t)), whole_ && fullCircle_[k_]);
        for (size_t i = k_; i-- > 0;) add(reversed(el[i]), fullCircle_[i]);
    }
    // The step of pass p from T(p) forward to its end.
    void stepForward(int p) {
        const auto& el = passes_[static_cast<size_t>(p)].el;
        add(withStart(el[k_], passes_[static_cast<size_t>(p)].t), false);
        for (size_t i = k_ + 1; i < el.size(); ++i) add(el[i], fullCircle_[i]);
    }
    // The step of pass p from its end back to T(p).
    void stepBackward(int p) {
        const auto& el = passes_[static_cast<size_t>(p)].el;
        for (size_t i = el.size() - 1; i > k_; --i) add(reversed(el[i]), fullCircle_[i]);
        add(reversed(withStart(el[k_], passes_[static_cast<size_t>(p)].t)), false);
    }

private:
    void add(const EquHalf& h, bool fullCircle) {
        Item it;
        it.h = h;
        it.fullCircle = fullCircle;
        items.push_back(it);
    }

    const std::vector<PassContour>& passes_;
    const std::vector<char>& fullCircle_;
    size_t k_;
    bool whole_;
    int group_ = 0;
};

void assemble(Assembler& a, const std::vector<PassContour>& passes, const MultipassSettings& s) {
    const int count = s.count;
    const bool step = s.stepLen() >= kMultipassMinStepMm;
    const auto S = [&](int p) { return passes[static_cast<size_t>(p)].s; };
    const auto T = [&](int p) { return passes[static_cast<size_t>(p)].t; };
    const GeoPoint origin{0, 0};

    a.toGroup(s.inDao, 0, 0);
    a.line(origin, S(0));
    a.toGroup(s.dao[0], 0, 0);
    for (int p = 0; p < count; ++p) {
        const bool backward = step && p % 2 == 1;
        if (backward) a.backwardPass(p);
        else a.forwardPass(p);
        if (p == count - 1) break;
        const GeoPoint from = backward ? S(p) : T(p), to = backward ? S(p + 1) : T(p + 1);
        const int next = s.dao[static_cast<size_t>(p + 1)];
        if (p == 0 && s.firstGap) {
            a.toGroup(next, p + 1, 0);
            a.line(from, to);
        } else {
            a.line(from, to);
            a.toGroup(next, p + 1, 0);
        }
    }

    GeoPoint last = T(count - 1);
    if (step) {
        const int stepPass = count;  // the contour compensated with LastLen
        const bool endedAtS = (count - 1) % 2 == 1;
        if (s.once) {
            a.toGroup(s.firstDao, 0, 1);
            if (endedAtS) {
                a.line(S(count - 1), S(stepPass));
                a.stepBackward(stepPass);
            } else {
                a.line(T(count - 1), T(stepPass));
            }
            a.stepForward(stepPass);
        } else {
            // Each cut starts at the kind of point where the motion before it ended: after the
            // last main pass ended at S, the even passes cut backward from S.
            GeoPoint previousEnd{};
            for (int p = 0; p <= count - 2; ++p) {
                const bool backward = (p % 2 == 0) == endedAtS;
                const GeoPoint start = backward ? S(p) : T(p);
                if (p == 0) {
                    a.line(endedAtS ? S(count - 1) : T(count - 1), start);
                    a.toGroup(s.firstDao, 0, 1);
                } else {
                    a.toGroup(s.dao[static_cast<size_t>(p)], 0, p + 1);
                    a.line(previousEnd, start);
                }
                if (backward) a.stepBackward(p);
                else a.stepForward(p);
                previousEnd = backward ? T(p) : S(p);
            }
            a.toGroup(s.lastDao, 0, count);
            a.line(T(count - 2), T(stepPass));
            a.stepForward(stepPass);
        }
        last = S(stepPass);
    }
    a.toGroup(s.outDao, 0, 0);
    a.line(last, origin);
}

// ---- writing ----

void appendMillimetres(std::string& out, int32_t microns) {
    char text[16];
    out.append(text, static_cast<size_t>(formatMillimetres(microns, text)));
}

std::string moveText(IsoCode code, int32_t x, int32_t y, int32_t i, int32_t j) {
    std::string out = isoCodeName(code);
    out += " X";
    appendMillimetres(out, x);
    out += " Y";
    appendMillimetres(out, y);
    out += " I";
    appendMillimetres(out, i);
    out += " J";
    appendMillimetres(out, j);
    return out;
}

std::string switchText(int e, int f, int l, int q) {
    return "T17 E" + std::to_string(e) + "F" + std::to_string(f) + "L" + std::to_string(l) + "Q" +
           std::to_string(q);
}

// The items as statements; each value is the difference of rounded absolute points.
int writeItems(const std::vector<Item>& items, std::vector<std::string>& out) {
    out.reserve(out.size() + items.size() + 1);
    int32_t x = 0, y = 0;
    for (const Item& it : items) {
        if (it.h.kind == kEquSwitch) {
            out.push_back(switchText(it.h.groupE, it.h.groupF, it.h.groupL, it.h.groupQ));
            continue;
        }
        Equ e;
        e.compensated = it.h;
        IsoStatement s;
        if (equToStatement(e, x, y, s) < 0) return -1;
        // An arc whose written X and Y are both 0 reads back as a full circle: unless it is one,
        // it is written as a line of no length, so no line is dropped and two contours stay paired.
        if (it.h.isArc() && s.x == 0 && s.y == 0 && !it.fullCircle) {
            out.push_back(moveText(IsoCode::kG01, 0, 0, 0, 0));
            continue;
        }
        out.push_back(moveText(s.code, s.x, s.y, s.i, s.j));
        x += s.x;
        y += s.y;
    }
    return 0;
}

// Thousandths as "%.3f" prints them, whatever the process locale.
std::string thousandths(int64_t v) {
    std::string out = v < 0 ? "-" : "";
    const uint64_t a = v < 0 ? static_cast<uint64_t>(-(v + 1)) + 1 : static_cast<uint64_t>(v);
    std::string frac = std::to_string(a % 1000);
    frac.insert(0, 3 - frac.size(), '0');
    return out + std::to_string(a / 1000) + "." + frac;
}

std::string taperHeaderLine(const TaperHeader& t) {
    return std::string("Korvex -Version 2.0 -Type ZD -Height ") + thousandths(int64_t{t.heightX10} * 100) +
           " -Width " + thousandths(int64_t{t.widthX10} * 100) + " -Base " + thousandths(int64_t{t.baseX10} * 100) +
           " -R " + thousandths(int64_t{t.radiusX10} * 100) + " -Degree " + thousandths(t.angleX1000);
}

std::string fileHeader(const std::string& product) {
    std::string text = kBannerLine;
    text += '\n';
    text += product;
    text += '\n';
    text += kBannerLine;
    text += '\n';
    return text;
}

std::string rtrim(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

std::string formatted(const char* format, const std::string& value) {
    std::string out = format;
    const size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, value);
    return out;
}

bool validGroup(int g) { return g >= 0 && g <= kMultipassMaxGroup; }
bool validGap(double g) { return std::isfinite(g) && std::fabs(g) <= kMultipassGapLimitMm; }

}  // namespace

std::string multipassSettingsProblem(const MultipassSettings& s) {
    if (s.mode != 0 && s.mode != 1) return "Mode";
    if (s.count < kMultipassMinCount || s.count > kMultipassMaxCount) return "Count";
    if (!std::isfinite(s.len) || s.len < 0) return "Len";
    if (!validGap(s.lastLen)) return "LastLen";
    for (int i = 0; i < kMultipassMaxCount; ++i) {
        if (!validGroup(s.dao[static_cast<size_t>(i)])) return "Dao" + std::to_string(i + 1);
        if (!validGap(s.offset[static_cast<size_t>(i)])) return "Offset" + std::to_string(i + 1);
    }
    if (!validGroup(s.inDao)) return "InDao";
    if (!validGroup(s.outDao)) return "OutDao";
    if (!validGroup(s.firstDao)) return "FirstDao";
    if (!validGroup(s.lastDao)) return "LastDao";
    return {};
}

std::string segmentMultipleSettingsProblem(const SegmentMultipleSettings& s) {
    if (s.count < kMultipassMinCount || s.count > kMultipassMaxCount) return "Count";
    if (!std::isfinite(s.len)) return "Len";
    for (int i = 0; i < kMultipassMaxCount; ++i) {
        if (!validGroup(s.dao[static_cast<size_t>(i)])) return "Dao" + std::to_string(i + 1);
        if (!validGap(s.offset[static_cast<size_t>(i)])) return "Offset" + std::to_string(i + 1);
    }
    if (!validGroup(s.inDao)) return "InDao";
    if (!validGroup(s.outDao)) return "OutDao";
    return {};
}

int generateContourPasses(const std::vector<std::string>& lines, int first, int last,
                          const MultipassSettings& s, const StepSplit* given, StepSplit* found,
                          std::vector<std::string>& statements) {
    if (!multipassSettingsProblem(s).empty()) return -1;
    if (first < 0 || last >= static_cast<int>(lines.size()) || last - first < 2) return -1;
    std::vector<Equ> source;
    std::vector<char> fullCircle;
    if (buildCutting(lines, first, last, source, fullCircle) < 0) return -1;

    // Passes 0 .. Count-1 with their gaps, and the step's last cut with LastLen as pass Count.
    std::vector<PassContour> passes(static_cast<size_t>(s.count) + 1);
    for (int p = 0; p <= s.count; ++p) {
        const double gap = p < s.count ? s.offset[static_cast<size_t>(p)] : s.lastLen;
        PassContour& pc = passes[static_cast<size_t>(p)];
        if (compensatePass(source, gap, pc.el) < 0) {
            geometryTrace("CompensateEqus error!%d\n", p);
            return -1;
        }
        pc.s = {pc.el.front().startX, pc.el.front().startY};
    }

    StepSplit split;
    if (given) {
        split = *given;
        if (split.element < 0 || split.element >= static_cast<int>(source.size())) return -1;
    } else if (!findStepSplit(passes[static_cast<size_t>(s.count) - 1].el, fullCircle, s.stepLen(), split)) {
        geometryTrace("LengthEqu error!%d\n", s.count - 1);
        return kMultipassStepTooLong;
    }
    if (found) *found = split;
    for (int p = 0; p <= s.count; ++p) {
        PassContour& pc = passes[static_cast<size_t>(p)];
        const auto k = static_cast<size_t>(split.element);
        if (!pointBefore(pc.el[k], fullCircle[k], split.fraction, pc.t)) {
            geometryTrace("PointEqu error!%d\n", p);
            return -1;
        }
    }

    Assembler a(passes, fullCircle, split);
    assemble(a, passes, s);
    return writeItems(a.items, statements);
}

std::vector<std::string> numberStatements(const std::vector<std::string>& statements, int firstNumber) {
    std::vector<std::string> out;
    out.reserve(statements.size());
    int n = firstNumber;
    for (const std::string& s : statements) out.push_back("N" + std::to_string(n++) + " " + s + ";");
    return out;
}

int countSwitchLines(const std::string& text) {
    int n = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (std::string_view(text).substr(at, end - at).find("T17") != std::string_view::npos) ++n;
        at = end + 1;
    }
    return n;
}

int multipassFileText(const LoadedProgram& program, const MultipassSettings& s, std::string& text,
                      std::string& error) {
    text.clear();
    error = kMultipassFailedText;
    if (!multipassSettingsProblem(s).empty()) return -1;
    const bool two = isTwoContourKind(program.kind);
    if (two && !program.taper.present) {
        error = formatted(kMultipassSourceFailedText, program.path);
        return -1;
    }
    const int count = program.lines.count;
    std::vector<std::string> lower, upper;
    lower.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const char* line = program.lines.line(i);
        if (!two) {
            lower.emplace_back(line);
            continue;
        }
        int firstLength = 0;
        const char* second = nullptr;
        if (splitTwoContourLine(line, firstLength, second) < 0) return -1;
        upper.push_back(rtrim(std::string_view(line, static_cast<size_t>(firstLength))));
        lower.emplace_back(second);
    }

    // Contour c runs from the line after the previous jump's closing pause (after the start
    // line for the first) to the line before the next jump's opening pause (before the end).
    struct Range { int first, last; };
    std::vector<Range> ranges;
    int first = 1;
    for (const JumpEntry& j : program.jumps) {
        ranges.push_back({first, j.line - 2});
        first = j.line + 2;
    }
    ranges.push_back({first, count - 2});

    std::vector<std::string> down, up;
    int number = 0;
    for (size_t c = 0; c < ranges.size(); ++c) {
        std::vector<std::string> lowerBlock, upperBlock;
        lowerBlock.push_back(c == 0 ? "G92 X0.000 Y0.000" : "M00");
        StepSplit split;
        const int rc = generateContourPasses(lower, ranges[c].first, ranges[c].last, s, nullptr, &split, lowerBlock);
        if (rc == kMultipassStepTooLong) {
            error = kMultipassStepTooLongText;
            return -1;
        }
        if (rc < 0) return -1;
        lowerBlock.push_back(c + 1 == ranges.size() ? "M02" : "M00");
        if (two) {
            upperBlock.push_back(lowerBlock.front());
            if (generateContourPasses(upper, ranges[c].first, ranges[c].last, s, &split, nullptr, upperBlock) < 0)
                return -1;
            upperBlock.push_back(lowerBlock.back());
            if (upperBlock.size() != lowerBlock.size()) return -1;
        }
        for (std::string& line : numberStatements(lowerBlock, number)) down.push_back(std::move(line));
        if (two)
            for (std::string& line : numberStatements(upperBlock, number)) up.push_back(std::move(line));
        number += static_cast<int>(lowerBlock.size());
        if (c < program.jumps.size()) {
            // The jump move is carried over as the source states it.
            const size_t jumpLine = static_cast<size_t>(program.jumps[c].line);
            down.push_back(lower[jumpLine]);
            if (two) up.push_back(upper[jumpLine]);
        }
    }

    text = fileHeader(two ? taperHeaderLine(program.taper) : std::string(kProductLine));
    size_t size = text.size();
    for (const std::string& line : down) size += line.size() + 1;
    for (const std::string& line : up) size += line.size() + 1;
    text.reserve(size);
    for (size_t i = 0; i < down.size(); ++i) {
        if (two) {
            text += up[i];
            text += ' ';
        }
        text += down[i];
        text += '\n';
    }
    if (countSwitchLines(text) > kMultipassMaxSwitches) {
        text.clear();
        return -1;
    }
    error.clear();
    return 0;
}

int segmentMultipleFileText(const char* line, const SegmentMultipleSettings& s, std::string& text,
                            std::string& error) {
    text.clear();
    error = kMultipassFailedText;
    if (!segmentMultipleSettingsProblem(s).empty()) return -1;
    IsoStatement st;
    if (parseIsoStatement(line, st) < 0) {
        geometryTrace("方程转换失败:%s!\n", line);
        return -1;
    }
    if (st.code != IsoCode::kG01) {
        geometryTrace("方程无效:%s!\n", line);
        return -1;
    }
    // The leads lie on the side the gaps move the wire to.
    if (s.len == 0) return -1;
    for (int p = 0; p < s.count; ++p)
        if (!(s.offset[static_cast<size_t>(p)] * s.len > 0)) return -1;
    const double dx = st.x / 1000.0, dy = st.y / 1000.0;
    const double length = std::hypot(dx, dy);
    if (!(length > 0)) return -1;
    const GeoPoint right{dy / length, -dx / length};  // unit normal to the right of travel

    // The program starts at the lead-in's outer end; the edge runs from A to B.
    const GeoPoint a{-s.len * right.x, -s.len * right.y};
    const GeoPoint b{a.x + dx, a.y + dy};
    const GeoPoint leadOutEnd{b.x + s.len * right.x, b.y + s.len * right.y};
    const auto at = [&](GeoPoint base, int p) {
        const double g = s.offset[static_cast<size_t>(p)];
        return GeoPoint{base.x + g * right.x, base.y + g * right.y};
    };
    std::vector<PassContour> none;
    std::vector<char> noCircles;
    Assembler program(none, noCircles, StepSplit{});
    program.toGroup(s.inDao, 0, 0);
    program.line({0, 0}, at(a, 0));
    program.toGroup(s.dao[0], 0, 0);
    for (int p = 0; p < s.count; ++p) {
        const bool back = p % 2 == 1;
        program.line(at(back ? b : a, p), at(back ? a : b, p));
        if (p == s.count - 1) break;
        program.line(at(back ? a : b, p), at(back ? a : b, p + 1));
        program.toGroup(s.dao[static_cast<size_t>(p + 1)], p + 1, 0);
    }
    const bool endedAtA = (s.count - 1) % 2 == 1;
    program.toGroup(s.outDao, s.count, 0);
    program.line(at(endedAtA ? a : b, s.count - 1), endedAtA ? GeoPoint{0, 0} : leadOutEnd);

    std::vector<std::string> statements{"G92 X0.000 Y0.000"};
    if (writeItems(program.items, statements) < 0) return -1;
    statements.emplace_back("M02");
    text = fileHeader(kProductLine);
    for (const std::string& l : numberStatements(statements, 0)) {
        text += l;
        text += '\n';
    }
    error.clear();
    return 0;
}

}  // namespace korvex

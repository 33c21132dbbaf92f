#include "code/writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "code/numbers.h"

namespace korvex {

const char* const k3BCountDirections[k3BCountDirectionCount] = {"GX", "GY"};
const char* const k3BCodes[k3BCodeCount] = {"L1",  "L2",  "L3",  "L4",  "SR1", "SR2",
                                            "SR3", "SR4", "NR1", "NR2", "NR3", "NR4"};

namespace {

// Longest ISO line these forms produce is well under this (six numbers of at most 12 chars).
constexpr int kLineBufferBytes = 160;

int findName(std::string_view name, const char* const* list, int count) {
    for (int i = 0; i < count; ++i) {
        if (name == list[i]) return i;
    }
    return -1;
}

// " X%.3f" and the like: a letter and microns as millimetres.
void appendCoordinate(std::string& out, char letter, int32_t microns) {
    char number[16];
    const int n = formatMillimetres(microns, number);
    out.push_back(' ');
    out.push_back(letter);
    out.append(number, static_cast<std::size_t>(n));
}

std::string lineStart(int n, std::string_view code) {
    std::string s;
    s.reserve(kLineBufferBytes);
    char number[16];
    const auto r = std::to_chars(number, number + sizeof number, n);
    s.push_back('N');
    s.append(number, r.ptr);
    s.push_back(' ');
    s.append(code);
    return s;
}

// "%6.3f" in the C locale: fixed, three decimals, right-aligned in six characters.
std::string fixed3Width6(double v) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    std::string s(buf, r.ec == std::errc{} ? r.ptr : buf);
    if (s.size() < 6) s.insert(0, 6 - s.size(), ' ');
    return s;
}

int writeAll(const char* path, std::string_view header, std::size_t count,
             const auto& lineAt) {
    std::FILE* f = std::fopen(path, "w+");
    if (!f) return -1;
    bool ok = header.empty() || std::fwrite(header.data(), 1, header.size(), f) == header.size();
    for (std::size_t i = 0; ok && i < count; ++i) {
        const std::string_view line = lineAt(i);
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fputc('\n', f) != EOF;
    }
    if (std::fclose(f) != 0) ok = false;
    return ok ? 0 : -1;
}

}  // namespace

int find3BCountDirection(std::string_view name) {
    return findName(name, k3BCountDirections, k3BCountDirectionCount);
}

int find3BCode(std::string_view name) { return findName(name, k3BCodes, k3BCodeCount); }

std::string format3BStatement(const Manual3BStatement& s) {
    if (s.direction < 0 || s.direction >= k3BCountDirectionCount || s.code < 0 ||
        s.code >= k3BCodeCount) {
        return {};
    }
    char buf[kLineBufferBytes];
    std::snprintf(buf, sizeof buf, "B %8d B %8d B %8d %s  %s", static_cast<int>(s.x),
                  static_cast<int>(s.y), static_cast<int>(s.j), k3BCountDirections[s.direction],
                  k3BCodes[s.code]);
    return buf;
}

std::string format3BFile(double startXMm, double startYMm,
                         const std::vector<std::string>& statements) {
    std::string text;
    text.reserve(128 + statements.size() * 48);
    text.append(kBannerLine).push_back('\n');
    text.append(kProductLine).push_back('\n');
    text.append(kBannerLine).push_back('\n');
    text.append("Start Point  =  ").append(fixed3Width6(startXMm));
    text.append(" , ").append(fixed3Width6(startYMm)).append(" ;\n");
    char number[16];
    int n = 1;
    for (const std::string& statement : statements) {
        std::snprintf(number, sizeof number, "%4d", n++);
        text.append("N ").append(number).append(": ").append(statement).append(";\n");
    }
    std::snprintf(number, sizeof number, "%4d", n);
    text.append("N ").append(number).append(": DD\n");
    return text;
}

int write3BFile(const char* path, double startXMm, double startYMm,
                const std::vector<std::string>& statements) {
    const std::string text = format3BFile(startXMm, startYMm, statements);
    return writeAll(path, text, 0, [](std::size_t) { return std::string_view{}; });
}

std::string isoStartLine(int n) { return lineStart(n, "G92 X0.000 Y0.000;"); }
std::string isoEndLine(int n) { return lineStart(n, "M02;"); }
std::string isoPauseLine(int n) { return lineStart(n, "M00;"); }

std::string isoBareLine(int n, std::string_view code) {
    std::string s = lineStart(n, code);
    s.push_back(';');
    return s;
}

std::string isoMoveLine(int n, std::string_view code, int32_t x, int32_t y) {
    std::string s = lineStart(n, code);
    appendCoordinate(s, 'X', x);
    appendCoordinate(s, 'Y', y);
    s.push_back(';');
    return s;
}

std::string isoArcLine(int n, std::string_view code, int32_t x, int32_t y, int32_t i, int32_t j) {
    std::string s = lineStart(n, code);
    appendCoordinate(s, 'X', x);
    appendCoordinate(s, 'Y', y);
    appendCoordinate(s, 'I', i);
    appendCoordinate(s, 'J', j);
    s.push_back(';');
    return s;
}

int writeProgramFile(const char* path, const ProgramLines& lines, std::string_view header) {
    return writeAll(path, header, static_cast<std::size_t>(std::max(lines.count, 0)),
                    [&](std::size_t i) { return std::string_view(lines.line(static_cast<int>(i))); });
}

int writeProgramFile(const char* path, const std::vector<std::string>& lines,
                     std::string_view header) {
    return writeAll(path, header, lines.size(),
                    [&](std::size_t i) { return std::string_view(lines[i]); });
}

}  // namespace korvex

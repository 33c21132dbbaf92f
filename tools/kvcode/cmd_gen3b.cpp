// kvcode gen3b: the manual 3B generator without its dialog. Reads the start point
// ("startX startY", millimetres) and then one statement per line ("x y J GX|GY CODE", microns)
// from standard input and prints the file that "Gen 3B file" writes for them.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "code/writer.h"
#include "tools/kvcode/commands.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

template <typename T>
bool parseWhole(std::string_view word, T& value) {
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
    const auto r = std::from_chars(first, last, value);
    return r.ec == std::errc{} && r.ptr == last;
}

int fail(int lineNumber, const char* what) {
    std::fprintf(stderr, "kvcode gen3b: line %d: %s\n", lineNumber, what);
    return kExitFailed;
}

}  // namespace

int runGen3b(int argc, char**) {
    if (argc != 0) {
        std::fputs("usage: kvcode gen3b < STATEMENTS\n", stderr);
        return kExitUsage;
    }
    bool haveStart = false;
    double startX = 0, startY = 0;
    std::vector<std::string> statements;
    std::string line;
    int lineNumber = 0;
    while (std::getline(std::cin, line)) {
        ++lineNumber;
        const std::vector<std::string_view> words = splitWords(line);
        if (words.empty()) continue;
        if (!haveStart) {
            if (words.size() != 2 || !parseWhole(words[0], startX) ||
                !parseWhole(words[1], startY)) {
                return fail(lineNumber, "expected the start point: startX startY (mm)");
            }
            haveStart = true;
            continue;
        }
        Manual3BStatement s;
        if (words.size() != 5 || !parseWhole(words[0], s.x) || !parseWhole(words[1], s.y) ||
            !parseWhole(words[2], s.j)) {
            return fail(lineNumber, "expected a statement: x y J GX|GY CODE (integer microns)");
        }
        s.direction = find3BCountDirection(words[3]);
        if (s.direction < 0) return fail(lineNumber, "the count direction must be GX or GY");
        s.code = find3BCode(words[4]);
        if (s.code < 0) return fail(lineNumber, "the code must be one of L1..L4, SR1..SR4, NR1..NR4");
        statements.push_back(format3BStatement(s));
    }
    if (!haveStart) {
        std::fputs("kvcode gen3b: no input: expected the start point line \"startX startY\"\n",
                   stderr);
        return kExitFailed;
    }

    const std::string text = format3BFile(startX, startY, statements);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        return kExitFailed;
    }
    return 0;
}

}  // namespace korvex::kvcode

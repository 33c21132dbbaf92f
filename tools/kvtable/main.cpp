// kvtable: show and edit the controller's pulse parameter files.
//
//   kvtable show FILE
//   kvtable set [--track 1] FILE ROW PW PI FM LOW AMP WS VF     ("-" is an empty cell)
#include "controller/link/pulse_cells.h"
#include "controller/link/pulse_files.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace korvex;

namespace {

constexpr const char* kReadFailed = "Read Dao table failed";
constexpr const char* kWriteFailed = "Write Dao table failed";

int usage() {
    std::fputs("usage: kvtable show FILE\n"
               "       kvtable set [--track 1] FILE ROW PW PI FM LOW AMP WS VF   (- is an empty cell)\n",
               stderr);
    return 2;
}

const char* shown(const std::string& cell) { return cell.empty() ? "-" : cell.c_str(); }

int show(const std::string& path) {
    PulseFile file;
    if (readPulseFile(path, file) != 0) {
        std::fprintf(stderr, "%s\n", kReadFailed);
        return 1;
    }
    if (file.name)
        std::printf("name=%s\n", file.name->c_str());
    for (std::size_t row = 0; row < file.groups.size(); ++row) {
        const PulseCells c = pulseCells(file.groups[row]);
        std::printf("%zu %s %s %s %s %s %s %s\n", row, shown(c[0]), shown(c[1]), shown(c[2]),
                    shown(c[3]), shown(c[4]), shown(c[5]), shown(c[6]));
    }
    return 0;
}

int set(std::vector<std::string> args) {
    int trackingMode = 0;
    if (!args.empty() && args[0] == "--track") {
        if (args.size() < 2 || (args[1] != "0" && args[1] != "1"))
            return usage();
        trackingMode = std::atoi(args[1].c_str());
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 2 + kPulseEditableColumns)
        return usage();
    const std::string& path = args[0];
    PulseFile file;
    if (readPulseFile(path, file) != 0) {
        std::fprintf(stderr, "%s\n", kReadFailed);
        return 1;
    }
    char* end = nullptr;
    const long row = std::strtol(args[1].c_str(), &end, 10);
    if (args[1].empty() || *end != '\0' || row < 0 || row >= static_cast<long>(file.groups.size())) {
        std::fprintf(stderr, "Please input the number between 0 and %zu\n", file.groups.size() - 1);
        return 1;
    }
    PulseCells cells;
    for (int i = 0; i < kPulseEditableColumns; ++i) {
        const std::string& a = args[static_cast<std::size_t>(2 + i)];
        cells[static_cast<std::size_t>(i)] = a == "-" ? std::string() : a;
    }
    PulseGroup& target = file.groups[static_cast<std::size_t>(row)];
    if (const auto error = parsePulseCells(cells, static_cast<int>(row), trackingMode, target, target)) {
        std::fprintf(stderr, "%s\n", pulseCellErrorEnglish(*error).c_str());
        return 1;
    }
    if (writePulseFile(path, file) != 0) {
        std::fprintf(stderr, "%s\n", kWriteFailed);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "show")
        return show(args[1]);
    if (!args.empty() && args[0] == "set")
        return set(std::vector<std::string>(args.begin() + 1, args.end()));
    return usage();
}

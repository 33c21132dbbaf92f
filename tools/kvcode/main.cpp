// kvcode: inspect and convert machining code files from a terminal.
#include <cstdio>
#include <cstring>

#include "tools/kvcode/commands.h"

namespace {

void usage() {
    std::fputs(
        "usage: kvcode parse [--no-force-zero] FILE\n"
        "       kvcode steps FILE INDEX [--upper] [--backward]\n"
        "       kvcode info FILE\n"
        "       kvcode transform vmirror|hmirror|reverse-flip|forward-flip|reverse FILE\n"
        "       kvcode gen3b < STATEMENTS\n"
        "       kvcode offset FILE OFFSET_MM [--round]\n"
        "       kvcode doc FILE [--save OUT]\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvex::kvcode;
    struct Command { const char* name; int (*run)(int, char**); };
    const Command commands[] = {
        {"parse", runParse}, {"steps", runSteps}, {"info", runInfo},
        {"transform", runTransform}, {"gen3b", runGen3b}, {"offset", runOffset}, {"doc", runDoc},
    };
    if (argc < 2) {
        usage();
        return 2;
    }
    for (const Command& c : commands) {
        // Each subcommand sees its own arguments after the command name.
        if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
    }
    usage();
    return 2;
}

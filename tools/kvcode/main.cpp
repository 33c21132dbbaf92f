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
        "       kvcode taper one (--below FILE | --upper FILE) --height MM --width MM --base MM [--r MM]\n"
        "              [--degree DEG] [--rmin MM] [--cell ROW=TEXT]... [--flag ROW=ER|NER]...\n"
        "       kvcode taper two --below FILE --upper FILE --height MM --width MM --base MM [--r MM] [--degree DEG]\n"
        "       kvcode guides FILE INDEX [--end | --steps L,U]\n"
        "       kvcode multipass FILE [--punch] [--count N] [--len MM] [--last-len MM] [--once] [--first-gap]\n"
        "              [--groups G1,G2,...] [--offsets O1,O2,...] [--in G] [--out G] [--first G] [--last G]\n"
        "       kvcode multipass --segment LINE FILE [--count N] [--len MM] [--groups ...] [--offsets ...]\n"
        "              [--in G] [--out G]\n"
        "       kvcode doc FILE [--save OUT]\n"
        "       kvcode groups FILE [--threshold UM] [--insert SEGMENT GROUP]\n"
        "       kvcode join FILE OTHER DX DY\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvex::kvcode;
    struct Command { const char* name; int (*run)(int, char**); };
    const Command commands[] = {
        {"parse", runParse}, {"steps", runSteps}, {"info", runInfo},
        {"transform", runTransform}, {"gen3b", runGen3b}, {"offset", runOffset},
        {"taper", runTaper}, {"guides", runGuides},
        {"multipass", runMultipass}, {"doc", runDoc},
        {"groups", runGroups}, {"join", runJoin},
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

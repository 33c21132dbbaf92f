// Placeholder until this subcommand is built.
#include <cstdio>

#include "tools/kvcode/commands.h"

namespace korvex::kvcode {

int runGen3b(int, char**) {
    std::fputs("kvcode: 'gen3b' is not available yet\n", stderr);
    return 2;
}

}  // namespace korvex::kvcode

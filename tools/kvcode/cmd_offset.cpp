// Placeholder until this subcommand is built.
#include <cstdio>

#include "tools/kvcode/commands.h"

namespace korvex::kvcode {

int runOffset(int, char**) {
    std::fputs("kvcode: 'offset' is not available yet\n", stderr);
    return 2;
}

}  // namespace korvex::kvcode

// Placeholder until this subcommand is built.
#include <cstdio>

#include "tools/kvcode/commands.h"

namespace korvex::kvcode {

int runTransform(int, char**) {
    std::fputs("kvcode: 'transform' is not available yet\n", stderr);
    return 2;
}

}  // namespace korvex::kvcode

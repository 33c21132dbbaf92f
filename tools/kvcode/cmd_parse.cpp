// Placeholder until the loader is built.
#include <cstdio>

#include "tools/kvcode/commands.h"

namespace korvex::kvcode {

int runParse(int, char**) { std::fputs("kvcode: 'parse' is not available yet\n", stderr); return 2; }
int runSteps(int, char**) { std::fputs("kvcode: 'steps' is not available yet\n", stderr); return 2; }
int runInfo(int, char**) { std::fputs("kvcode: 'info' is not available yet\n", stderr); return 2; }

}  // namespace korvex::kvcode

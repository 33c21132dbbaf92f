// A machine for the tests, as a process of its own so that a test can kill it the way a crash
// ends a controller: publishes "online" 1 (with 0 as its last will) and a cutting state, then
// waits until it is killed or its standard input closes.
//   fleet_test_publisher HOST PORT CARD_ID
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fleet/viewer/tests/fleet_test_support.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: fleet_test_publisher HOST PORT CARD_ID\n");
        return 2;
    }
    using namespace korvex::fleet;
    testing::TestMachine machine(argv[1], std::atoi(argv[2]), argv[3]);
    if (!machine.connect()) {
        std::fprintf(stderr, "fleet_test_publisher: no connection\n");
        return 1;
    }
    FleetState state;
    state.machine = "Crash test";
    state.program = "plate.3b";
    state.run_state = 3;
    state.progress = 12;
    state.time = utcIsoTime(std::chrono::system_clock::now());
    if (!machine.sendState(state)) return 1;
    std::puts("ready");
    std::fflush(stdout);
    // Blocks until the test ends this process.
    while (std::getchar() != EOF) {
    }
    return 0;
}

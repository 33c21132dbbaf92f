// Connects as a machine through the publisher, says "connected" on stdout and waits for its
// end (the test kills it, as a crash or a pulled plug would).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "controller/fleet/fleet_publisher.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: fleet_publisher_child HOST PORT CARD_ID\n");
    return 2;
  }
  korvex::fleet::FleetPublisherConfig config;
  config.broker.host = argv[1];
  config.broker.port = std::atoi(argv[2]);
  config.cardId = argv[3];
  korvex::fleet::FleetPublisher publisher(config);
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return 1;
  publisher.onLinkChanged([fd = pipeFds[1]](korvex::fleet::FleetLink link) {
    if (link == korvex::fleet::FleetLink::Connected) (void)!::write(fd, "c", 1);
  });
  if (publisher.start() != 0) return 1;
  char c = 0;
  if (::read(pipeFds[0], &c, 1) != 1) return 1;
  std::printf("connected\n");
  std::fflush(stdout);
  ::pause();
  return 0;
}

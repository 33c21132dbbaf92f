#include "controller/document/taper_header.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "code/lines.h"
#include "code/taper_header.h"

namespace korvex {

bool pathHasTaperHeader(std::string_view) {
    // The header is known by its line, not by the name: every file is looked at.
    return true;
}

int parseTaperHeader(std::string_view line, int32_t machineType, TaperBlock& out) {
    TaperValues v;
    if (!parseTaperHeaderLine(line, v)) return -1;
    TaperBlock block;
    block.heightTenths = v.heightX10;
    block.widthTenths = v.widthX10;
    block.baseTenths = v.baseX10;
    block.radiusTenths = v.radiusX10;
    block.degreeMilli = v.angleX1000;
    block.taperType = machineType;
    out = block;
    return 0;
}

int readTaperBlock(int fd, int32_t machineType, TaperBlock& out) {
    // The first two lines as a 300-byte buffer reads them: each at most 299 characters and a
    // CR LF pair.
    char head[2 * (kMaxLineChars + 2)];
    ssize_t n;
    do {
        n = ::pread(fd, head, sizeof head, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return -1;
    std::string line;
    if (fileLineAt(std::string_view(head, static_cast<std::size_t>(n)), 1, line) != 0) return -1;
    line.resize(std::strcspn(line.c_str(), "\r\n"));
    // No header line: nothing to send (the loader refuses a ".3nb" name without one).
    if (!isTaperHeaderLine(line)) return -1;
    return parseTaperHeader(line, machineType, out) == 0 ? 0 : -2;
}

}  // namespace korvex

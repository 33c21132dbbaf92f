#include "controller/link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "controller/link/trace.h"

namespace korvex {
namespace {

bool speedOf(int baud, speed_t& speed) {
    switch (baud) {
        case 9600: speed = B9600; return true;
        case 19200: speed = B19200; return true;
        case 38400: speed = B38400; return true;
        case 57600: speed = B57600; return true;
        case 115200: speed = B115200; return true;
        default: return false;
    }
}

// Raw 8N1 with every kind of flow control off. Any setting another program left on the device
// (hardware handshake, XON/XOFF, canonical input, echo) is cleared explicitly.
bool configureLine(int fd, speed_t speed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        LinkTrace("GetCommState ERROR\n");
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0 ||
        tcsetattr(fd, TCSANOW, &tio) != 0) {
        LinkTrace("SetCommState ERROR\n");
        return false;
    }
    return true;
}

}  // namespace

int SerialPort::Open(const std::string& device, int baud) {
    Close();
    speed_t speed = B0;
    if (!speedOf(baud, speed)) {
        LinkTrace("SetCommState ERROR\n");
        return -1;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        LinkTrace("CreateFile ERROR\n");
        return -1;
    }
    // The port belongs to this program alone: an advisory lock keeps a second controller or
    // service tool away, and the exclusive mode keeps out ordinary opens.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        LinkTrace("SetupComm ERROR\n");
        ::close(fd);
        return -1;
    }
    if (!configureLine(fd, speed)) {
        ioctl(fd, TIOCNXCL);
        ::close(fd);
        return -1;
    }
    fd_ = fd;
    Purge();
    return 0;
}

void SerialPort::Close() {
    if (fd_ < 0) return;
    // Release the exclusive mode: the terminal may outlive our descriptor (a pseudo-terminal
    // whose master stays open) and must be reopenable.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

void SerialPort::Purge() {
    if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
}

int SerialPort::WriteAll(const uint8_t* bytes, std::size_t count, int timeoutMs) {
    if (fd_ < 0) {
        LinkTrace("Error: hCom = NULL\n");
        return -1;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            LinkTrace("write error!please try again!\n");
            return -1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            LinkTrace("To get write result error,try again!\n");
            return -1;
        }
        pollfd pfd{fd_, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            LinkTrace("To get write result error,try again!\n");
            return -1;
        }
        if (ready > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 &&
            (pfd.revents & POLLOUT) == 0) {
            LinkTrace("write error!please try again!\n");
            return -1;
        }
    }
    return 0;
}

}  // namespace korvex

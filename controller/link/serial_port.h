// A serial device: a termios port set to 8 data bits, no parity, one stop bit, raw, without flow
// control, used non-blocking and driven by poll(). The card runs at 19200 baud, the GSM modem at
// 9600.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvex {

inline constexpr int kBaudRate = 19200;

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort() { Close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device for this program alone and sets the line. Returns 0, or -1 with the trace
    // text of the step that failed (a baud rate termios has no constant for fails too); nothing
    // stays open on failure.
    int Open(const std::string& device, int baud = kBaudRate);
    void Close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Writes all bytes within timeoutMs. A line that does not take them in time (a device left
    // with hardware flow control and no partner, a full buffer) fails instead of blocking.
    // Returns 0 or -1 with its trace text.
    int WriteAll(const uint8_t* bytes, std::size_t count, int timeoutMs);

    // Drops whatever is queued in both directions.
    void Purge();

private:
    int fd_ = -1;
};

}  // namespace korvex

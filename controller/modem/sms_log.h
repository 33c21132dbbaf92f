// The notifier's log, "%08x_Sms.txt" beside the error log and in its format: one line per outcome
// (sent, called, given up with the modem's last answer, refused, dropped, the modem lost and
// back), each prefixed "[YYYY/MM/DD hh:mm:ss] ".
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace korvex::modem {

inline constexpr char kSmsLogSuffix[] = "_Sms.txt";

// "<dir>/<card id as eight lower-case hex digits>_Sms.txt", beside the card's error log.
std::string smsLogPath(const std::string& dir, uint32_t cardId);

class SmsLog {
public:
    // An empty path logs nothing (the tools print their outcomes instead).
    explicit SmsLog(std::string path = {}) : path_(std::move(path)) {}
    // Appends one line; returns 0, or -1 when nothing was written.
    int append(const std::string& text);
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::mutex mutex_;
};

}  // namespace korvex::modem

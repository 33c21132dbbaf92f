#include "controller/modem/sms_log.h"

#include <cstdio>
#include <ctime>

#include "controller/link/error_log.h"

namespace korvex::modem {

std::string smsLogPath(const std::string& dir, uint32_t cardId) { return CardLogPath(dir, cardId, kSmsLogSuffix); }

int SmsLog::append(const std::string& text) {
    if (path_.empty()) return -1;
    std::lock_guard lock(mutex_);
    const auto slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeDirectories(path_.substr(0, slash));
    std::FILE* f = std::fopen(path_.c_str(), "a");
    if (!f) return -1;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::fprintf(f, "[%4d/%02d/%02d %02d:%02d:%02d] %s\n", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                 local.tm_hour, local.tm_min, local.tm_sec, text.c_str());
    std::fclose(f);
    return 0;
}

}  // namespace korvex::modem

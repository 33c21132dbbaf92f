#include "controller/link/error_log.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "controller/link/diagnostics.h"

namespace korvex {
namespace {

bool usable(const char* value) { return value != nullptr && *value != '\0'; }

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// $HOME, else the account's entry in the password database.
std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (usable(home)) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        usable(found->pw_dir))
        return found->pw_dir;
    return {};
}

}  // namespace

std::string LogDirectoryFrom(const char* dataDir, const char* stateHome, const char* home) {
    if (usable(dataDir)) return withoutTrailingSlashes(dataDir) + "/" + kLogFolderName;
    std::string state;
    if (usable(stateHome) && stateHome[0] == '/')
        state = withoutTrailingSlashes(stateHome);
    else if (usable(home))
        state = withoutTrailingSlashes(home) + "/.local/state";
    else
        return {};
    if (state == "/") state.clear();
    return state + "/" + kStateFolderName + "/" + kLogFolderName;
}

std::string DefaultLogDirectory() {
    const std::string home = homeDirectory();
    return LogDirectoryFrom(std::getenv("KORVEX_DATA_DIR"), std::getenv("XDG_STATE_HOME"), home.c_str());
}

int MakeDirectories(const std::string& path) {
    if (path.empty()) return -1;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? 0 : -1;
    // Each prefix ending before a '/' in turn, then the whole path.
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return -1;
        if (end == std::string::npos) break;
    }
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 0 : -1;
}

std::string CardLogPath(const std::string& dir, uint32_t cardId, const char* suffix) {
    char name[32];
    std::snprintf(name, sizeof name, "%08x%s", cardId, suffix);
    return dir + "/" + name;
}

ErrorLog::~ErrorLog() {
    if (file_ != nullptr) std::fclose(file_);
}

int ErrorLog::Append(uint32_t cardId, const char* format, va_list args) {
    if (cardId == 0 || dir_.empty()) return -1;
    std::lock_guard lock(mutex_);
    if (file_ != nullptr && fileId_ != cardId) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (file_ == nullptr) {
        if (MakeDirectories(dir_) != 0) return -1;
        file_ = std::fopen(CardLogPath(dir_, cardId, "_Err.txt").c_str(), "a+");
        if (file_ == nullptr) return -1;
        fileId_ = cardId;
    }
    char line[kErrorLogLineBytes + 1];
    const std::string prefix = LocalTimePrefix();
    std::snprintf(line, sizeof line, "%s", prefix.c_str());
    const std::size_t used = std::strlen(line);
    const int wanted = std::vsnprintf(line + used, sizeof line - used, format, args);
    if (wanted < 0) return -1;
    // A cut line still ends its entry: the last character becomes the line end.
    if (used + static_cast<std::size_t>(wanted) > kErrorLogLineBytes) line[kErrorLogLineBytes - 1] = '\n';
    std::fputs(line, file_);
    return std::fflush(file_) == 0 ? 0 : -1;
}

}  // namespace korvex

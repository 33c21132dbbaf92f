// The link's own files and where they go.
//
// The log folder holds, per card, "%08x_Err.txt" (messages that must outlive the program, such
// as a lost link) and "%08x_Link.txt" (the last frames on the line, written when a transaction
// failed after all its attempts). It is "$KORVEX_DATA_DIR/log" when that variable is set (tests,
// several installations side by side), else "Korvex-Z Files/log" in the user's XDG state
// directory ($XDG_STATE_HOME, by default ~/.local/state): logs are state of this machine, not
// data to carry elsewhere. Whatever the current directory is, nothing is written there. The
// folder is made on the first write, so a tool that never fails never creates it.
//
// The link takes the folder as an option (it reads no environment of its own); the controller
// passes platform's logDirectory(), the tools DefaultLogDirectory(), and both follow the rule
// above.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace korvex {

inline constexpr std::size_t kErrorLogLineBytes = 1023;  // a line of the error log, prefix included
inline constexpr char kLogFolderName[] = "log";
inline constexpr char kStateFolderName[] = "Korvex-Z Files";

// The log folder from the environment's values (null or empty means unset): "<dataDir>/log",
// else "<stateHome>/Korvex-Z Files/log" (a relative stateHome is ignored, as the XDG rules ask),
// else "<home>/.local/state/Korvex-Z Files/log". Empty when none is usable.
std::string LogDirectoryFrom(const char* dataDir, const char* stateHome, const char* home);
// The log folder of this process: $KORVEX_DATA_DIR, $XDG_STATE_HOME, then $HOME or the account's
// home directory.
std::string DefaultLogDirectory();

// Makes the folder and every missing parent (the ones made are private to the user). Returns 0
// when the folder exists afterwards, -1 otherwise.
int MakeDirectories(const std::string& path);

// "<dir>/<card id as eight lower-case hex digits><suffix>".
std::string CardLogPath(const std::string& dir, uint32_t cardId, const char* suffix);

// The per-card error log. The file is opened in append mode on the first line of a card and
// stays open; a line for another card switches files.
class ErrorLog {
public:
    explicit ErrorLog(std::string dir) : dir_(std::move(dir)) {}
    ~ErrorLog();
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    // Appends "[YYYY/MM/DD hh:mm:ss] " and the formatted text, flushed at once; the caller writes
    // the "\n". A line over kErrorLogLineBytes is cut and still ends in "\n". Returns 0, or -1
    // when nothing was written (card id 0, no folder, file not writable).
    int Append(uint32_t cardId, const char* format, va_list args) __attribute__((format(printf, 3, 0)));

private:
    const std::string dir_;
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
    uint32_t fileId_ = 0;
};

}  // namespace korvex

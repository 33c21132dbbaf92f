// Buffered output for kvcode: large programs print millions of numbers, so the text is built
// in a buffer and written in big blocks.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace korvex::kvcode {

class Output {
public:
    explicit Output(std::FILE* f) : file_(f) { buf_.reserve(kFlushBytes + 1024); }
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& raw(std::string_view s) {
        buf_.append(s);
        maybeFlush();
        return *this;
    }
    Output& integer(int64_t v) {
        char tmp[24];
        const auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
        buf_.append(tmp, static_cast<std::size_t>(r.ptr - tmp));
        maybeFlush();
        return *this;
    }
    // Shortest text that reads back as the same double; JSON has no infinities, so a value too
    // large to hold is written as null.
    Output& real(double v);
    // A JSON string: quotes, backslashes and control characters escaped; a byte above 127 is the
    // character of the same number (\u0080 to \u00ff), so any line prints as valid JSON.
    Output& jsonString(std::string_view s);

    // Returns false when a write failed.
    bool flush();

private:
    static constexpr std::size_t kFlushBytes = 1 << 20;
    void maybeFlush() {
        if (buf_.size() >= kFlushBytes) flush();
    }
    std::FILE* file_;
    std::string buf_;
    bool failed_ = false;
};

}  // namespace korvex::kvcode

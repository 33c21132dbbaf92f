#include "tools/kvcode/output.h"

#include <cmath>

namespace korvex::kvcode {

Output& Output::real(double v) {
    if (!std::isfinite(v)) return raw("null");
    char tmp[40];
    const auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    return raw(std::string_view(tmp, static_cast<std::size_t>(r.ptr - tmp)));
}

Output& Output::jsonString(std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    buf_.push_back('"');
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            buf_.push_back('\\');
            buf_.push_back(ch);
        } else if (c == '\n') {
            buf_.append("\\n");
        } else if (c == '\t') {
            buf_.append("\\t");
        } else if (c == '\r') {
            buf_.append("\\r");
        } else if (c < 0x20 || c >= 0x80) {
            buf_.append("\\u00");
            buf_.push_back(kHex[c >> 4]);
            buf_.push_back(kHex[c & 15]);
        } else {
            buf_.push_back(ch);
        }
    }
    buf_.push_back('"');
    maybeFlush();
    return *this;
}

bool Output::flush() {
    if (!buf_.empty()) {
        if (std::fwrite(buf_.data(), 1, buf_.size(), file_) != buf_.size()) failed_ = true;
        buf_.clear();
    }
    if (std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

}  // namespace korvex::kvcode

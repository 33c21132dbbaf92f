#include "code/numbers.h"

#include <locale.h>

#include <cstdlib>
#include <limits>

#include "code/segment.h"

namespace korvex {
namespace {

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Decimal text with at most three fraction digits and no exponent is read straight into
// microns. Multiplying the nearest double by 1000 lands within far less than 0.49 of the
// integer, so roundMicron would give the same value; anything else goes through strtod.
bool readMicronsFast(const char* s, const char** end, int32_t& out) {
    const char* p = s;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = (*p++ == '-');
    int64_t whole = 0;
    int wholeDigits = 0;
    while (isDigit(*p)) {
        if (++wholeDigits > 12) return false;
        whole = whole * 10 + (*p++ - '0');
    }
    int64_t fraction = 0;
    int fractionDigits = 0;
    if (*p == '.') {
        ++p;
        while (isDigit(*p)) {
            if (++fractionDigits > 3) return false;
            fraction = fraction * 10 + (*p++ - '0');
        }
    }
    if (wholeDigits + fractionDigits == 0) return false;
    if (*p == 'e' || *p == 'E') return false;
    if ((*p == 'x' || *p == 'X') && wholeDigits == 1 && whole == 0 && fractionDigits == 0 &&
        p[-1] == '0') {
        return false;  // "0x" starts a hexadecimal number for strtod
    }
    for (int k = fractionDigits; k < 3; ++k) fraction *= 10;
    const int64_t microns = whole * 1000 + fraction;
    out = clampToInt32(negative ? -microns : microns);
    if (end) *end = p;
    return true;
}

}  // namespace

int32_t clampToInt32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int64_t sumOfSquares(int32_t a, int32_t b) {
    const uint64_t a2 = static_cast<uint64_t>(static_cast<int64_t>(a) * a);
    const uint64_t b2 = static_cast<uint64_t>(static_cast<int64_t>(b) * b);
    const uint64_t sum = a2 + b2;  // each at most 2^62: no wrap
    constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    return static_cast<int64_t>(sum > kMax ? kMax : sum);
}

int32_t readInt32(const char* s, const char** end) {
    const char* p = s;
    while (isCSpace(*p)) ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = (*p++ == '-');
    if (!isDigit(*p)) {
        if (end) *end = s;  // no number: nothing is consumed
        return 0;
    }
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{1} << 40;  // far beyond 32 bits: stop growing
    while (isDigit(*p)) {
        if (value < kLimit) value = value * 10 + (*p - '0');
        ++p;
    }
    if (end) *end = p;
    return clampToInt32(negative ? -value : value);
}

double readReal(const char* s, const char** end) {
    char* e = nullptr;
    const locale_t c = cLocale();
    const double v = c ? strtod_l(s, &e, c) : std::strtod(s, &e);
    if (end) *end = e;
    return v;
}

int32_t readMicrons(const char* s, const char** end) {
    int32_t v = 0;
    if (readMicronsFast(s, end, v)) return v;
    return roundMicron(readReal(s, end) * 1000.0);
}

int formatMillimetres(int32_t microns, char* out) {
    int64_t v = microns;
    char* p = out;
    if (v < 0) {
        *p++ = '-';
        v = -v;
    }
    const int64_t whole = v / 1000;
    const int fraction = static_cast<int>(v % 1000);
    char digits[12];
    int n = 0;
    int64_t w = whole;
    do {
        digits[n++] = static_cast<char>('0' + w % 10);
        w /= 10;
    } while (w > 0);
    while (n > 0) *p++ = digits[--n];
    *p++ = '.';
    *p++ = static_cast<char>('0' + fraction / 100);
    *p++ = static_cast<char>('0' + fraction / 10 % 10);
    *p++ = static_cast<char>('0' + fraction % 10);
    *p = '\0';
    return static_cast<int>(p - out);
}

}  // namespace korvex

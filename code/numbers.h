// Number reading and writing for code text, independent of the process locale: the programs set
// the user's locale for their windows, but code files always use a decimal point.
#pragma once

#include <cstdint>

namespace korvex {

// Reads an integer as strtol does in base 10 (leading white space, a sign, digits; no digits
// gives 0), clamped to the 32-bit range. `end`, when not null, receives the first unread char.
int32_t readInt32(const char* s, const char** end = nullptr);

// Reads a real as strtod does in the C locale (white space, sign, digits, fraction, exponent; no
// digits gives 0). `end`, when not null, receives the first unread character.
double readReal(const char* s, const char** end = nullptr);

// Reads a real in millimetres and converts it to microns with roundMicron(value * 1000).
int32_t readMicrons(const char* s, const char** end = nullptr);

// Writes microns as millimetres with three decimals, exactly as printf("%.3f", v / 1000.0) in the
// C locale would (never "-0.000"). `out` needs 13 bytes; returns the number of chars written.
int formatMillimetres(int32_t microns, char* out);

// Saturating conversions for values computed in 64 bits.
int32_t clampToInt32(int64_t v);
// a*a + b*b, saturated at INT64_MAX.
int64_t sumOfSquares(int32_t a, int32_t b);

}  // namespace korvex

// The geometry's diagnostic trace: crossing headers, failures and compensation steps are passed
// as printf-style texts to one hook. No hook is set by default, so the texts are discarded and
// formatting costs nothing; a test or a debug build may install one.
#pragma once

namespace korvex {

using GeometryTraceHook = void (*)(const char* text);

// Installs the sink for the geometry's trace texts; nullptr discards them again.
void setGeometryTraceHook(GeometryTraceHook hook);

// Formats and hands one text to the hook, if one is set.
void geometryTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace korvex

#include "geometry/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace korvex {
namespace {

std::atomic<GeometryTraceHook> gHook{nullptr};

// Longest trace text; longer texts are cut, never written past the buffer.
constexpr int kTraceTextBytes = 512;

}  // namespace

void setGeometryTraceHook(GeometryTraceHook hook) { gHook.store(hook); }

void geometryTrace(const char* format, ...) {
    GeometryTraceHook hook = gHook.load();
    if (hook == nullptr) return;
    char text[kTraceTextBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    hook(text);
}

}  // namespace korvex

#include "controller/link/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvex {
namespace {

std::atomic<TraceSink> gTraceSink{nullptr};
constexpr int kTraceTextBytes = 512;

}  // namespace

void SetTraceSink(TraceSink sink) { gTraceSink.store(sink, std::memory_order_release); }

void InstallTraceSinkFromEnvironment() {
    const char* value = std::getenv("KORVEX_TRACE");
    if (value != nullptr && std::strcmp(value, "1") == 0) SetTraceSink(TraceToStderr);
}

void TraceToStderr(const char* text) { std::fputs(text, stderr); }

void LinkTrace(const char* format, ...) {
    TraceSink sink = gTraceSink.load(std::memory_order_acquire);
    if (sink == nullptr) return;
    char text[kTraceTextBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    sink(text);
}

}  // namespace korvex

// The link's trace hook: a printf-style diagnostic sink shared by the card link and the path
// geometry. By default the texts are discarded; a service build or tool may install a sink.
#pragma once

namespace korvex {

// Receives one composed trace text (it usually ends in "\n"). Must not block for long: it may
// be called from the reader thread.
using TraceSink = void (*)(const char* text);

// Installs a sink, or discards the texts again with nullptr. Safe from any thread.
void SetTraceSink(TraceSink sink);

// Installs the standard-error sink when the environment variable KORVEX_TRACE is "1".
void InstallTraceSinkFromEnvironment();

// Writes the text to standard error.
void TraceToStderr(const char* text);

// Formats and passes the text on; costs one atomic load when no sink is installed.
void LinkTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace korvex

// The one place library code sends its diagnostic lines. Nothing in the core
// prints: each line goes to the sink the program installed, or nowhere. The
// command-line tool installs one that writes to stderr under --verbose; the
// wizard under --verbose or ORVANTA_DEBUG=1.
#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

namespace orvanta {

// Receives one line, without its line end. Called from any thread, one call
// at a time.
using DiagnosticSink = std::function<void(std::string_view line)>;

// Installs `sink` (an empty one drops every line, the default).
void SetDiagnosticSink(DiagnosticSink sink);

// A sink that writes each line to `stream` (normally stderr), terminal-safe
// (see output::TerminalSafe): whatever a camera sent reaches the terminal
// as text, never as an escape sequence.
DiagnosticSink StreamDiagnosticSink(FILE* stream);

// One diagnostic line, printf-style; a trailing newline is dropped.
void Diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));


}  // namespace orvanta

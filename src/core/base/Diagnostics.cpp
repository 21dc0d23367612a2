#include "core/base/Diagnostics.h"

#include <algorithm>
#include <cstdarg>
#include <mutex>
#include <string>

#include "core/base/OutputText.h"

namespace orvanta {

namespace {

std::mutex& SinkMutex() {
    static std::mutex m;
    return m;
}

DiagnosticSink& Sink() {
    static DiagnosticSink sink;
    return sink;
}

void Emit(std::string_view line) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    if (Sink()) Sink()(line);
}

}  // namespace

void SetDiagnosticSink(DiagnosticSink sink) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    Sink() = std::move(sink);
}

DiagnosticSink StreamDiagnosticSink(FILE* stream) {
    return [stream](std::string_view line) {
        // Lines quote what cameras send (names, faults, addresses): made
        // terminal-safe here, once, for every caller. A tab is ours (an
        // indent) and moves nothing, so it stays.
        std::string shown;
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            shown += output::TerminalSafe(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
            if (tab == std::string_view::npos) break;
            shown += '\t';
            start = tab + 1;
        }
        std::fwrite(shown.data(), 1, shown.size(), stream);
        std::fputc('\n', stream);
        std::fflush(stream);
    };
}

void Diagnostic(const char* format, ...) {
    char buf[1024];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0) return;
    std::string_view line(buf, std::min(static_cast<std::size_t>(n), sizeof buf - 1));
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    Emit(line);
}

}  // namespace orvanta

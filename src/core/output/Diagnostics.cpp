#include "core/output/Diagnostics.h"

#include <algorithm>
#include <cstdarg>
#include <mutex>
#include <string>

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

// The stream's partial line, kept until its newline arrives.
std::string& Pending() {
    static std::string pending;
    return pending;
}

ssize_t StreamWrite(void*, const char* data, size_t size) {
    std::string lines;
    {
        static std::mutex m;
        std::lock_guard<std::mutex> lock(m);
        std::string& pending = Pending();
        pending.append(data, size);
        // A runaway writer without newlines cannot grow this without bound.
        if (pending.size() > 4096 && pending.find('\n') == std::string::npos) pending += '\n';
        const std::size_t last = pending.rfind('\n');
        if (last == std::string::npos) return static_cast<ssize_t>(size);
        lines = pending.substr(0, last + 1);
        pending.erase(0, last + 1);
    }
    std::size_t start = 0;
    for (std::size_t nl = lines.find('\n'); nl != std::string::npos; nl = lines.find('\n', start)) {
        Emit(std::string_view(lines).substr(start, nl - start));
        start = nl + 1;
    }
    return static_cast<ssize_t>(size);
}

}  // namespace

void SetDiagnosticSink(DiagnosticSink sink) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    Sink() = std::move(sink);
}

DiagnosticSink StreamDiagnosticSink(FILE* stream) {
    return [stream](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), stream);
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

FILE* DiagnosticStream() {
    static FILE* stream = [] {
        cookie_io_functions_t io{};
        io.write = StreamWrite;
        FILE* f = fopencookie(nullptr, "w", io);
        if (f) setvbuf(f, nullptr, _IOLBF, 0);
        return f;
    }();
    // fopencookie fails only without memory; /dev/null-like behaviour is the
    // safe fallback for the callers' fprintf.
    if (!stream) {
        static FILE* devnull = std::fopen("/dev/null", "w");
        return devnull;
    }
    return stream;
}

}  // namespace orvanta

// Collects the diagnostic lines written while it lives, each with its
// newline, and puts the silent sink back when it goes.
#pragma once

#include <string>
#include <string_view>

#include "core/base/Diagnostics.h"

class DiagnosticCapture {
public:
    DiagnosticCapture() {
        orvanta::SetDiagnosticSink([this](std::string_view line) { text_ += std::string(line) + "\n"; });
    }
    ~DiagnosticCapture() { orvanta::SetDiagnosticSink({}); }
    DiagnosticCapture(const DiagnosticCapture&) = delete;
    DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

#include "CommandLine.h"
#include "PasswordInput.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>

#include "core/base/Diagnostics.h"
#include "core/base/OutputText.h"
#include "core/base/AddressText.h"

namespace orvanta::cli {

namespace {

// Guards stdout/stderr between the command and the --timeout watchdog.
std::mutex g_outputMutex;
bool g_outputStarted = false;
bool g_jsonOutput = false;

void WriteAll(FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::string ErrorJson(int code, const std::string& message) {
    return "{\"error\": {\"exit_code\": " + std::to_string(code) + ", \"message\": " + output::JsonString(message) +
           "}}\n";
}

void StartWatchdog(std::string command, int seconds) {
    std::thread([command = std::move(command), seconds] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        std::lock_guard<std::mutex> lock(g_outputMutex);
        // Results are being written: they are complete and true, let them finish.
        if (g_outputStarted) return;
        const std::string message = "no result within " + std::to_string(seconds) + " s (--timeout)";
        WriteAll(stderr, "orvanta-cli " + command + ": " + message + "\n");
        if (g_jsonOutput) WriteAll(stdout, ErrorJson(kExitNoAnswer, message));
        RestoreTerminalEcho();  // a password prompt may still be waiting
        std::_Exit(kExitNoAnswer);
    }).detach();
}

bool ParseWholeNumber(const std::string& text, long lo, long hi, long& value) {
    if (text.empty() || text.size() > 9) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= lo && value <= hi;
}

}  // namespace

bool ParsedArgs::Has(const std::string& name) const {
    return values.count(name) || std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::string ParsedArgs::Get(const std::string& name, const std::string& fallback) const {
    const auto it = values.find(name);
    return it == values.end() ? fallback : it->second;
}

const std::vector<OptionSpec>& CommonOptions() {
    static const std::vector<OptionSpec> common = {{"--verbose", false}, {"--timeout", true}};
    return common;
}

bool ParseOptions(const Args& args, const std::vector<OptionSpec>& specs, ParsedArgs& out, std::string& why) {
    std::vector<OptionSpec> all = specs;
    all.insert(all.end(), CommonOptions().begin(), CommonOptions().end());
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        // "-" alone is a value (stdin), never an option; "--" ends the options.
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            out.positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string inlineValue;
        bool hasInline = false;
        if (const std::size_t eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
            inlineValue = a.substr(eq + 1);
            a.resize(eq);
            hasInline = true;
        }
        const auto spec = std::find_if(all.begin(), all.end(), [&](const OptionSpec& s) { return a == s.name; });
        if (spec == all.end()) {
            why = "unknown option " + a;
            return false;
        }
        if (!spec->takesValue) {
            if (hasInline) {
                why = a + " takes no value";
                return false;
            }
            out.flags.push_back(a);
        } else if (hasInline) {
            out.values[a] = inlineValue;
        } else if (i + 1 < args.size()) {
            out.values[a] = args[++i];
        } else {
            why = a + " needs a value";
            return false;
        }
    }
    return true;
}

bool ApplyCommonOptions(const char* command, const ParsedArgs& args, int defaultSeconds, std::string& why,
                        TransportSettings* transport) {
    long seconds = defaultSeconds;
    if (args.values.count("--timeout") &&
        !ParseWholeNumber(args.Get("--timeout"), 1, kMaxTimeoutSeconds, seconds)) {
        why = "--timeout takes a whole number of seconds from 1 to " + std::to_string(kMaxTimeoutSeconds);
        return false;
    }
    if (args.Has("--verbose")) SetDiagnosticSink(StreamDiagnosticSink(stderr));
    if (transport) transport->overallLimitMs = static_cast<int>(seconds * 1000);
    StartWatchdog(command, static_cast<int>(seconds));
    return true;
}

bool ParseFormatOption(const ParsedArgs& args, const std::vector<std::string>& allowed, const std::string& fallback,
                       std::string& format, std::string& why) {
    format = args.Get("--format", fallback);
    if (std::find(allowed.begin(), allowed.end(), format) == allowed.end()) {
        why = "--format takes ";
        for (std::size_t i = 0; i < allowed.size(); ++i)
            why += (i == 0 ? "" : i + 1 == allowed.size() ? " or " : ", ") + allowed[i];
        return false;
    }
    std::lock_guard<std::mutex> lock(g_outputMutex);
    g_jsonOutput = format == "json";
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& content, std::string& why) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot read " + path + ": " + std::strerror(errno ? errno : ENOENT);
        return false;
    }
    // Bounded, so that /dev/zero or an endless pipe ends in a refusal
    // instead of filling the memory before the --timeout watchdog fires.
    content.clear();
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        content.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (content.size() > kMaxInputFileBytes) {
            why = path + " is larger than " + std::to_string(kMaxInputFileBytes >> 20) + " MiB";
            return false;
        }
    }
    if (in.bad()) {
        why = "cannot read " + path + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }
    return true;
}

bool IsDottedQuad(const std::string& text) {
    uint32_t address = 0;
    return ParseIpv4(text, address);
}

bool ParsePort(const std::string& text, std::string& why) {
    long port = 0;
    if (!ParseWholeNumber(text, 1, 65535, port)) {
        why = "port '" + text + "' is not a number from 1 to 65535";
        return false;
    }
    return true;
}

bool ParseHostPort(const std::string& text, std::string& host, std::string& port, std::string& why) {
    const std::size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    port = colon == std::string::npos ? "80" : text.substr(colon + 1);
    const bool numeric = !host.empty() && host.find_first_not_of("0123456789.") == std::string::npos;
    if (numeric ? !IsDottedQuad(host)
                : (host.empty() || host.size() > 63 ||
                   host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") !=
                       std::string::npos || host[0] == '-')) {
        why = "'" + output::TerminalSafe(host) + "' is not an IPv4 address (a.b.c.d, each 0 to 255) or host name";
        return false;
    }
    return ParsePort(port, why);
}

int ExitForResult(HttpResult result) {
    switch (result.status) {
        case HttpStatus::Unauthorized: return kExitRefused;
        case HttpStatus::ConnectFailed:
        case HttpStatus::SendFailed:
        case HttpStatus::NoReply:
        case HttpStatus::TimedOut: return kExitNoAnswer;
        default: return kExitFailed;
    }
}

std::string ResultText(HttpResult result) {
    std::string words;
    switch (result.status) {
        case HttpStatus::ConnectFailed: words = "no connection (refused, unreachable or timed out)"; break;
        case HttpStatus::SendFailed: words = "the request could not be sent"; break;
        case HttpStatus::NoReply: words = "the camera sent no reply"; break;
        case HttpStatus::TimedOut: words = "the reply did not end in time (stalled, or cut short of its length)"; break;
        case HttpStatus::Unauthorized: words = "the camera refused the user name and password"; break;
        default: words = std::string("the camera answered ") + HttpStatusName(result.status); break;
    }
    return HttpResultNumber(result) + " (" + HttpStatusName(result.status) + "): " + words;
}

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void PrintResult(const std::string& text) {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    g_outputStarted = true;
    WriteAll(stdout, text);
}

void PrintProgress(const std::string& text) {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    WriteAll(stdout, text);
    std::fflush(stdout);
}

int Fail(const char* command, int code, const std::string& message, bool jsonOutput) {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    g_outputStarted = true;
    // Messages quote cameras and arguments: terminal-safe here, for every
    // caller (JSON escapes its own way).
    WriteAll(stderr, std::string("orvanta-cli ") + command + ": " + output::TerminalSafe(message) + "\n");
    if (jsonOutput) WriteAll(stdout, ErrorJson(code, message));
    return code;
}

int UsageError(const char* command, const std::string& why) {
    std::fprintf(stderr, "orvanta-cli %s: %s\nusage: orvanta-cli %s\n", command, why.c_str(),
                 CommandUsage(command).c_str());
    return kExitUsage;
}

std::string WriteOutputTable(const std::string& format, const output::OutputTable& table) {
    output::OutputFormat f = output::OutputFormat::Text;
    output::ParseOutputFormat(format, f);
    return output::WriteTable(f, table, StdoutIsTerminal());
}

}  // namespace orvanta::cli

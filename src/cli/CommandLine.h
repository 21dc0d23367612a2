// What every orvanta-cli command shares: option parsing, exit codes, where
// passwords come from, how a failure is reported, and the overall time
// limit. Standard output carries results only; everything else goes to
// standard error.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/output/RecordWriter.h"

namespace orvanta::cli {

enum ExitCode {
    kExitDone = 0,       // what was printed is true
    kExitFailed = 1,     // the operation failed
    kExitUsage = 2,      // the command line was refused; nothing was sent
    kExitRefused = 3,    // the camera or server refused the credentials
    kExitNoAnswer = 4,   // no answer, not reachable, or --timeout passed
    kExitPartial = 5,    // what was printed is true, but fields it names as missing could not be read
};

// Default for --timeout: long enough for a full read of a slow camera, short
// enough that a script notices a hang.
inline constexpr int kDefaultTimeoutSeconds = 120;
inline constexpr int kMaxTimeoutSeconds = 86400;

struct OptionSpec {
    const char* name;   // "--user"
    bool takesValue;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // options with a value, last one wins
    std::vector<std::string> flags;             // options without a value

    bool Has(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& fallback = "") const;
};

// Every command also takes --verbose and --timeout SECONDS. "--opt=value"
// works as "--opt value". False with `why` set for anything unknown.
bool ParseOptions(const Args& args, const std::vector<OptionSpec>& specs, ParsedArgs& out, std::string& why);

// The options every command gets from ParseOptions.
const std::vector<OptionSpec>& CommonOptions();

// Applies --verbose (diagnostic lines to stderr) and --timeout (the overall
// limit: a watchdog that ends the process with exit 4 and, for a command that
// talks to a camera, the overall limit of its `transport`).
// `defaultSeconds` when --timeout is not given. False with `why` on a bad value.
bool ApplyCommonOptions(const char* command, const ParsedArgs& args, int defaultSeconds, std::string& why,
                        TransportSettings* transport = nullptr);

// --format: one of `allowed` ("text", "csv", "json", "ini"); `fallback` when
// not given. False with `why` otherwise.
bool ParseFormatOption(const ParsedArgs& args, const std::vector<std::string>& allowed, const std::string& fallback,
                       std::string& format, std::string& why);

// The whole content of a file (a settings file, a plan), at most
// kMaxInputFileBytes; false with the system's reason or the size.
inline constexpr std::size_t kMaxInputFileBytes = 16u << 20;
bool ReadWholeFile(const std::string& path, std::string& content, std::string& why);

// An IPv4 address in dotted-quad form, each part 0..255.
bool IsDottedQuad(const std::string& text);
// HOST[:PORT]: HOST a dotted quad (or, when it is not made of digits and
// dots only, a host name), PORT 1..65535 (default 80).
bool ParseHostPort(const std::string& text, std::string& host, std::string& port, std::string& why);
bool ParsePort(const std::string& text, std::string& why);

// The exit code for a failed camera request.
int ExitForResult(HttpResult result);

// Standard output is a terminal: text then loses its control characters.
bool StdoutIsTerminal();

// Writes results. From the first call on, the --timeout watchdog lets the
// output finish instead of cutting it.
void PrintResult(const std::string& text);

// Writes part of a listing that is still growing (rows as they are heard):
// unlike PrintResult, the --timeout watchdog may still end the command.
void PrintProgress(const std::string& text);

// Reports a failure: one line "orvanta-cli COMMAND: message" on stderr and,
// when `jsonOutput`, {"error": {...}} on stdout so the output still parses.
// Returns `code`.
int Fail(const char* command, int code, const std::string& message, bool jsonOutput);

// A usage error: the reason and the command's usage on stderr. Returns 2.
int UsageError(const char* command, const std::string& why);

// The usage text of a command (main.cpp holds the table).
std::string CommandUsage(const std::string& command);

// Result kinds in words for messages.
std::string ResultText(HttpResult result);

// Writes an output table in the chosen format ("text", "csv" or "json").
std::string WriteOutputTable(const std::string& format, const output::OutputTable& table);

}  // namespace orvanta::cli

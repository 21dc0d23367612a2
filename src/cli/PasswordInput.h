// Where a command's password comes from, read so that neither what it is
// given nor where it is typed gives the password away or holds the command:
// a password file must be a regular file (or "-", standard input) of at most
// 4 KiB, one that other users may read is named in a warning, standard input
// is read no further than one line of 4 KiB, and a password typed at a
// terminal is not echoed. The caller starts the --timeout watchdog first, so
// a source that never ends cannot hold the command past it.
#pragma once

#include <cstddef>
#include <string>

#include "CommandLine.h"

namespace orvanta::cli {

inline constexpr std::size_t kMaxPasswordBytes = 4096;

// A password from --password - (one line of stdin), --password-file FILE
// (its first line; "-" is stdin), --password TEXT, or the environment's
// ORVANTA_PASSWORD, in that order. `have` false when none was given. False
// with `why` on error. A warning goes to stderr as "orvanta-cli COMMAND: ...".
bool ReadPassword(const char* command, const ParsedArgs& args, std::string& password, bool& have, std::string& why);

// The first line of a password file held to the same rules (a regular file
// of at most 4 KiB, others' read access warned of); "-" is not taken here.
bool ReadPasswordFile(const char* command, const std::string& path, std::string& password, std::string& why);

// Puts the terminal's echo back if a password read switched it off; for a
// process that ends in the middle of the read (the --timeout watchdog).
void RestoreTerminalEcho();

}  // namespace orvanta::cli

// Where the wizard keeps its per-user runtime files (the single-instance
// lock and the record of added aliases): $XDG_RUNTIME_DIR when the session
// sets it, else a folder of our own under /tmp. /tmp is shared by every
// user, so that folder is made private and refused when anyone else could
// have prepared it: another user's folder or link there would let them
// block the wizard or hide an alias from its clean-up.
#pragma once

#include <string>

namespace orvanta::hostnet {

// $XDG_RUNTIME_DIR, or /tmp/orvanta-<uid> when it is unset or empty.
std::string RuntimeFolder();

// Makes `dir` (one level) with mode 0700 when missing and checks it is a
// real folder owned by the real user that no one else can write; an own
// folder others may still read is closed to them. Empty when usable, else
// why not (one line).
std::string MakePrivateFolder(const std::string& dir);

}  // namespace orvanta::hostnet

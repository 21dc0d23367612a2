// Where the wizard keeps its per-user runtime files (the single-instance
// lock and the record of added aliases): $XDG_RUNTIME_DIR when the session
// sets it, else a folder of our own under /tmp. /tmp is shared by every
// user, so that folder is made private and refused when anyone else could
// have prepared it: another user's folder or link there would let them
// block the wizard or hide an alias from its clean-up. Its name is
// predictable (the next start must find the record), so another user can
// take it first; then a folder in the user's own cache folder serves, which
// nobody else can prepare, and is found again by the next start the same way.
#pragma once

#include <string>

namespace orvanta::hostnet {

// $XDG_RUNTIME_DIR; when it is unset or empty, /tmp/orvanta-<uid> if it is
// (or can be made) ours and private, else $XDG_CACHE_HOME/orvanta-runtime
// ($HOME/.cache when XDG_CACHE_HOME is unset) made private. When neither can
// be had, the /tmp name, which the callers' own check refuses with a line
// saying what is off.
std::string RuntimeFolder();

// The first of `preferred` and `fallback` that MakePrivateFolder accepts;
// else `preferred`.
std::string FirstPrivateFolder(const std::string& preferred, const std::string& fallback);

// Makes `dir` (one level) with mode 0700 when missing and checks it is a
// real folder owned by the real user that no one else can write; an own
// folder others may still read is closed to them. Empty when usable, else
// why not (one line).
std::string MakePrivateFolder(const std::string& dir);

}  // namespace orvanta::hostnet

// A file a command writes for the user (a picture, a report): written
// beside its name and renamed over it once whole, so a failure or a stopped
// process never leaves half a file under the name asked for.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::cli {

// False with `why` when it could not be written; nothing is left behind then.
bool WriteFileWhole(const std::string& path, std::string_view bytes, std::string& why);

}  // namespace orvanta::cli

// The simulated camera's parameters: CGI key names and values, kept in a
// "Key=value" file that both sides of the simulator read. Every change is
// written back at once through a temporary file and rename, so a reader never
// sees half a file.
#pragma once

#include <map>
#include <mutex>
#include <string>

namespace orvanta::camsim {

class CameraStore {
public:
    // Loads `path` (when not empty) over the built-in defaults and writes the
    // result back, so the file names every key. False with `error` set when
    // the file exists but cannot be read, or cannot be written.
    bool Open(const std::string& path, std::string& error);

    std::string Get(const std::string& key) const;
    long GetInt(const std::string& key, long fallback = 0) const;
    // Sets each key and saves the file once.
    bool Update(const std::map<std::string, std::string>& values);

private:
    bool SaveLocked();

    mutable std::mutex mutex_;
    std::string path_;
    std::map<std::string, std::string> values_;
};

}  // namespace orvanta::camsim

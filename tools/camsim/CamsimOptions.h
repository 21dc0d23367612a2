// Command-line options of the simulated camera: every "--key value" or
// "--key=value" pair, and bare "--flag"s, kept by name so that each side of
// the simulator (discovery, web, listing server) reads the options it knows.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvanta::camsim {

class CamsimOptions {
public:
    // Returns false (with a message in `error`) on an argument that is not an option.
    bool Parse(int argc, char** argv, std::string& error);

    // False (with a message naming the first one) when an option is not
    // among `known`: a mistyped option must not start a camera that quietly
    // ignores it.
    bool OnlyKnown(const std::vector<std::string>& known, std::string& error) const;

    bool Has(const std::string& key) const { return values_.count(key) != 0; }
    std::string Get(const std::string& key, const std::string& fallback = "") const;
    long GetInt(const std::string& key, long fallback) const;
    // Every value given for a repeatable option, in order.
    std::vector<std::string> GetAll(const std::string& key) const;
    // GetAll(key), then the lines of the file named by `fileKey` (when
    // given) that are neither empty nor "#" comments. False when that file
    // cannot be read.
    bool GetAllWithFile(const std::string& key, const std::string& fileKey, std::vector<std::string>& values) const;

private:
    std::multimap<std::string, std::string> values_;
};

}  // namespace orvanta::camsim

#include "CamsimOptions.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace orvanta::camsim {

bool CamsimOptions::Parse(int argc, char** argv, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            error = "unexpected argument: " + arg;
            return false;
        }
        arg.erase(0, 2);
        const auto eq = arg.find('=');
        if (eq != std::string::npos) {
            values_.emplace(arg.substr(0, eq), arg.substr(eq + 1));
        } else if (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) {
            values_.emplace(arg, argv[++i]);
        } else {
            values_.emplace(arg, "");
        }
    }
    return true;
}

bool CamsimOptions::OnlyKnown(const std::vector<std::string>& known, std::string& error) const {
    for (const auto& [key, value] : values_) {
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            error = "unknown option --" + key;
            return false;
        }
    }
    return true;
}

std::string CamsimOptions::Get(const std::string& key, const std::string& fallback) const {
    const auto it = values_.find(key);
    return it == values_.end() ? fallback : it->second;
}

long CamsimOptions::GetInt(const std::string& key, long fallback) const {
    const auto it = values_.find(key);
    if (it == values_.end() || it->second.empty()) return fallback;
    char* end = nullptr;
    const long v = std::strtol(it->second.c_str(), &end, 10);
    return (end && *end == '\0') ? v : fallback;
}

std::vector<std::string> CamsimOptions::GetAll(const std::string& key) const {
    std::vector<std::string> out;
    auto [lo, hi] = values_.equal_range(key);
    for (auto it = lo; it != hi; ++it) out.push_back(it->second);
    return out;
}

bool CamsimOptions::GetAllWithFile(const std::string& key, const std::string& fileKey,
                                  std::vector<std::string>& values) const {
    values = GetAll(key);
    if (!Has(fileKey)) return true;
    std::ifstream in(Get(fileKey));
    if (!in) return false;
    for (std::string l; std::getline(in, l);)
        if (!l.empty() && l[0] != '#') values.push_back(l);
    return true;
}

}  // namespace orvanta::camsim

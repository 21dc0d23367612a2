#include "WholeFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace orvanta::cli {

bool WriteFileWhole(const std::string& path, std::string_view bytes, std::string& why) {
    const std::string partial = path + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            why = "cannot write " + partial;
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(partial, path, ec);
    if (ec) {
        why = "cannot write " + path + ": " + ec.message();
        std::filesystem::remove(partial, ec);
        return false;
    }
    return true;
}

}  // namespace orvanta::cli

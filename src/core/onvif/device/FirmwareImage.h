// A firmware image on disk, checked before anything is sent: a regular
// file (not a folder, a pipe, a device), not empty, at most 256 MiB (no
// camera image comes near it; a larger file is the wrong file). Kept open
// from the check to the upload, so the file that was checked is the one
// sent, whatever happens to its name in between.
#pragma once

#include <cstdint>
#include <string>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

inline constexpr std::uint64_t kMaxFirmwareBytes = 256ull << 20;

class FirmwareImage {
public:
    FirmwareImage() = default;
    ~FirmwareImage();
    FirmwareImage(const FirmwareImage&) = delete;
    FirmwareImage& operator=(const FirmwareImage&) = delete;
    FirmwareImage(FirmwareImage&& other) noexcept;
    FirmwareImage& operator=(FirmwareImage&& other) noexcept;

    // Ok with the file open; Refused naming the path and the reason otherwise.
    static OnvifResult Open(const std::string& path, FirmwareImage& out);

    int Fd() const { return fd_; }
    std::uint64_t Size() const { return size_; }
    const std::string& Path() const { return path_; }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string path_;
};

}  // namespace orvanta::onvif

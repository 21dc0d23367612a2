#include "core/onvif/device/FirmwareImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace orvanta::onvif {

FirmwareImage::~FirmwareImage() {
    if (fd_ >= 0) close(fd_);
}

FirmwareImage::FirmwareImage(FirmwareImage&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), path_(std::move(other.path_)) {}

FirmwareImage& FirmwareImage::operator=(FirmwareImage&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        path_ = std::move(other.path_);
    }
    return *this;
}

OnvifResult FirmwareImage::Open(const std::string& path, FirmwareImage& out) {
    const auto refuse = [&](const std::string& why) {
        return OnvifResult{OnvifStatus::Refused, "the firmware file " + path + " " + why + "; nothing was sent"};
    };
    if (path.empty()) return {OnvifStatus::Refused, "no firmware file given; nothing was sent"};
    // Non-blocking, so that a named pipe is refused below instead of
    // holding the open until a writer comes.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return refuse("cannot be opened: " + std::string(std::strerror(errno)));
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int e = errno;
        close(fd);
        return refuse("cannot be examined: " + std::string(std::strerror(e)));
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        return refuse(S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file");
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size == 0) {
        close(fd);
        return refuse("is empty");
    }
    if (size > kMaxFirmwareBytes) {
        close(fd);
        return refuse("is " + std::to_string(size) + " bytes, more than the " + std::to_string(kMaxFirmwareBytes >> 20) +
                      " MiB a firmware image may be");
    }
    FirmwareImage image;
    image.fd_ = fd;
    image.size_ = size;
    image.path_ = path;
    out = std::move(image);
    return {};
}

}  // namespace orvanta::onvif

#include "core/hostnet/RuntimeFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace orvanta::hostnet {

std::string FirstPrivateFolder(const std::string& preferred, const std::string& fallback) {
    if (MakePrivateFolder(preferred).empty()) return preferred;
    if (!fallback.empty() && MakePrivateFolder(fallback).empty()) return fallback;
    return preferred;
}

std::string RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return runtime;
    std::string cache;
    if (const char* c = std::getenv("XDG_CACHE_HOME"); c && *c == '/') cache = c;
    else if (const char* home = std::getenv("HOME"); home && *home == '/') cache = std::string(home) + "/.cache";
    // The cache folder itself may not exist yet on a fresh account.
    if (!cache.empty()) mkdir(cache.c_str(), 0700);
    return FirstPrivateFolder("/tmp/orvanta-" + std::to_string(getuid()),
                              cache.empty() ? std::string() : cache + "/orvanta-runtime");
}

std::string MakePrivateFolder(const std::string& dir) {
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return dir + ": " + std::strerror(errno);
    // Checked and tightened through one descriptor, so what is checked is
    // what is used; O_NOFOLLOW refuses a link planted in its place.
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        return dir + (e == ELOOP || e == ENOTDIR ? " is not a folder (a link?)" : ": " + std::string(std::strerror(e)));
    }
    struct stat st;
    std::string why;
    if (fstat(fd, &st) != 0) why = dir + ": " + std::strerror(errno);
    else if (st.st_uid != getuid()) why = dir + " belongs to another user";
    // Open to others even for a moment means anything may have been put in
    // it: closing it now would not take that out again.
    else if (st.st_mode & 0022) why = dir + " is writable by other users";
    else if ((st.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0) why = dir + " cannot be made private";
    close(fd);
    return why;
}

}  // namespace orvanta::hostnet

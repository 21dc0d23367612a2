#include "core/hostnet/linux/BoundSocket.h"

#include <unistd.h>

#include <cerrno>

namespace orvanta::hostnet {

int BindOrClose(int& fd, const sockaddr* address, socklen_t length) {
    if (bind(fd, address, length) == 0) return 0;
    const int e = errno;
    close(fd);
    fd = -1;
    return -e;
}

}  // namespace orvanta::hostnet

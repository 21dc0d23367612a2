// Binding a freshly opened socket: a socket that cannot be bound is of no
// use to its owner, so it is closed at once and the owner's descriptor set
// back to -1 (its "not open" mark), and the caller gets the reason.
#pragma once

#include <sys/socket.h>

namespace orvanta::hostnet {

// 0, or -errno with `fd` closed and set to -1.
int BindOrClose(int& fd, const sockaddr* address, socklen_t length);

}  // namespace orvanta::hostnet

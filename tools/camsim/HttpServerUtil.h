// Small pieces shared by the simulator's two HTTP sides.
#pragma once

#include <atomic>
#include <map>
#include <string>

namespace orvanta::camsim {

// Reads until the blank line ending the headers, the peer closes, or 3 s pass.
std::string ReadRequest(int fd);
bool SendAll(int fd, const std::string& data);
// Half-closes and waits (up to waitMs) for the client to close, so the reply
// is never lost to a reset caused by unread request bytes; then closes.
void CloseGracefully(int fd, const std::atomic<bool>& stop, int waitMs = 2000);
// Keeps the connection open in both directions, as a camera that never
// finishes its reply does, until the client closes it, `stop` or waitMs.
void HoldOpen(int fd, const std::atomic<bool>& stop, int waitMs);
std::string PercentDecode(const std::string& s);
// Query pairs, decoded; a bare key ("WPS") maps to "".
std::map<std::string, std::string> ParseQuery(const std::string& query);
// The target of "GET <target> HTTP/1.x"; empty when the line is not a GET.
std::string RequestTarget(const std::string& request);
// A listening TCP socket on `bindAddress` (every address of this namespace
// when empty), or -1.
int ListenOn(int port, const std::string& bindAddress);
// Appends one line to a log file (shared lock for every side).
void AppendLine(const std::string& path, const std::string& line);

}  // namespace orvanta::camsim

// The sides of the simulated camera. Each runs until `stop` becomes true or a
// fatal error, and returns a process exit code (0 when it stopped cleanly).
#pragma once

#include <atomic>
#include <string>

#include "CamsimOptions.h"

namespace orvanta::camsim {

// Answers discovery requests on UDP 49160 (DiscoveryResponder.cpp).
int RunDiscoveryResponder(const CamsimOptions& options, std::atomic<bool>& stop);
// Serves the camera's CGI pages over HTTP/1.0 (WebServer.cpp).
int RunWebServer(const CamsimOptions& options, std::atomic<bool>& stop);
// Answers the camera-listing server's query (ListingServer.cpp).
int RunListingServer(const CamsimOptions& options, std::atomic<bool>& stop);

// Usage text of each side, printed by --help.
std::string DiscoveryResponderUsage();
std::string WebServerUsage();
std::string ListingServerUsage();

}  // namespace orvanta::camsim

// The sides of the simulated camera (DiscoveryResponder.h, WebServer.h,
// ListingServer.h). Each is used in three steps, and each step returns a
// process exit code, 0 when it went well:
//   Parse  reads the side's options; 2, with a message on stderr, for a bad
//          one. Every side that will run parses before any side starts.
//   SetUp  binds the side's socket and opens its files; 1 on failure.
//   Serve  answers until `stop` becomes true, and has ended every thread of
//          its own when it returns.
#pragma once

#include "DiscoveryResponder.h"
#include "ListingServer.h"
#include "WebServer.h"

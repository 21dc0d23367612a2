// The camera-listing server: log in with an ID and password and get the
// cameras registered under them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Deadline.h"
#include "core/http/TransportSettings.h"

namespace orvanta {

struct ServerCredentials {
    char ID[33];
    char Password[33];
};

struct ServerCameraEntry {
    char ID[256];
    char IP[256];
    char Port[64];
    char Mac_address[64];
    char Modelname[256];
};

// How the ID and password log in; the server takes the number as Page=.
enum class ListingLogin : int {
    User = 2,
    Device = 3,
};
// A larger announced count is capped: the reply cannot describe more.
inline constexpr uint32_t kMaxServerCameras = 1024;

// The request text (the listing, Act=1, the one thing the server is asked);
// false when it does not fit its 6144-byte buffer.
bool BuildListingRequest(const ServerCredentials& credentials, ListingLogin login, std::string& request);

// The entries of a reply, or nothing when a status text (or "Unauthorized"
// on a device login) refuses it or it carries no usable count. Entry i holds
// the items after the i-th "Camera=" marker, up to the next one; items that
// follow "Total Camera=N" directly, before any marker, are the first camera.
// Entries beyond what the reply describes stay empty.
std::optional<std::vector<ServerCameraEntry>> ParseListingReply(std::string_view reply, ListingLogin login);

// Connects, asks, parses and closes, by `deadline` at the latest. On success
// `countOut` receives the number of entries; on any failure it is left
// untouched and nothing returns.
std::optional<std::vector<ServerCameraEntry>> QueryServerCameras(const TransportSettings& limits,
                                                                 const Deadline& deadline,
                                                                 const ServerCredentials& credentials,
                                                                 uint32_t& countOut, const char* host,
                                                                 const char* port, ListingLogin login);

// The same query for callers that must tell the failures apart (the
// command line): whether the server answered, refused the login, or failed.
enum class ListingOutcome {
    Listed,    // a reply with a camera count: `entries` holds the list
    Refused,   // the server refused the ID and password
    NoAnswer,  // no connection, nothing sent or no reply
    Failed,    // a status text, or a reply without a camera count
};

struct ListingResult {
    ListingOutcome outcome = ListingOutcome::Failed;
    std::vector<ServerCameraEntry> entries;
    std::string why;  // one short English line for anything but Listed
};

// Classifies a reply: a 401 status line or a plain "Unauthorized" reply
// without a camera count is a refusal, for both login types.
ListingResult ClassifyListingReply(std::string_view reply, ListingLogin login);

ListingResult QueryListing(const TransportSettings& limits, const Deadline& deadline,
                           const ServerCredentials& credentials, const char* host, const char* port,
                           ListingLogin login);

}  // namespace orvanta

// The camera-listing server: log in with an ID and password and get the
// cameras registered under them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

inline constexpr int kLoginUser = 2;
inline constexpr int kLoginDevice = 3;
inline constexpr int kListingActionQuery = 1;
// A larger announced count is capped: the reply cannot describe more.
inline constexpr uint32_t kMaxServerCameras = 1024;

// The request text; false when it does not fit its 6144-byte buffer.
bool BuildListingRequest(const ServerCredentials& credentials, int action, int loginType,
                         std::string& request);

// The entries of a reply, or nothing when a status text (or "Unauthorized"
// on a device login) refuses it or it carries no usable count.
std::optional<std::vector<ServerCameraEntry>> ParseListingReply(std::string_view reply, int loginType);

// Connects, asks, parses and closes. On success `countOut` receives the
// number of entries; on any failure it is left untouched and nothing returns.
std::optional<std::vector<ServerCameraEntry>> QueryServerCameras(const ServerCredentials& credentials,
                                                                 uint32_t& countOut, const char* host,
                                                                 const char* port, int action, int loginType);

}  // namespace orvanta

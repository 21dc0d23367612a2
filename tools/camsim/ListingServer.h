// The camera-listing server: answers a listing query with the cameras
// registered for its ID, password and login type, one connection at a time.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "CamsimOptions.h"

namespace orvanta::camsim {

struct ListedCamera {
    std::string id, ip, port, mac, model;
};

struct Account {
    std::string id, password, type;  // type: "3" device, "2" user
    std::vector<ListedCamera> cameras;
};

class ListingServer {
public:
    ListingServer() = default;
    ~ListingServer();
    ListingServer(const ListingServer&) = delete;
    ListingServer& operator=(const ListingServer&) = delete;

    // The steps every side takes (see CamsimSides.h).
    int Parse(const CamsimOptions& options);
    int SetUp();
    int Serve(const std::atomic<bool>& stop);

private:
    std::vector<Account> accounts_;
    std::string fail_;  // every query answered with this failure when set
    std::string log_;
    int port_ = 80;
    std::string bind_;
    int listener_ = -1;
};

std::string ListingServerUsage();

}  // namespace orvanta::camsim

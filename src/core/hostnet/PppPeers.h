// pppd's own files as the dial-up phonebook: the first peer file in name
// order is the first entry, its "user" option the account, and the password
// the matching line of pap-secrets or chap-secrets when those can be read.
#pragma once

#include <string>

#include "core/hostnet/HostNetwork.h"

namespace orvanta::hostnet {

struct PppPaths {
    std::string peersDir = "/etc/ppp/peers";
    std::string papSecrets = "/etc/ppp/pap-secrets";
    std::string chapSecrets = "/etc/ppp/chap-secrets";
};

DialUpAccount ReadFirstPppAccount(const PppPaths& paths);

}  // namespace orvanta::hostnet

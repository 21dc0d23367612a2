// What a parameter request reads or writes, in the camera's own numbers: a
// group is the page number its CGI takes (Page=), or one of two selectors
// that have no page of their own; an action is its Act=.
#pragma once

namespace orvanta {

enum class ParameterGroup : int {
    None = 0,  // a record field the camera does not exchange
    Sysinfo = 1,
    Network = 3,
    Ddns = 13,
    Time = 15,          // selector: the time CGI takes no page
    NetworkShort = 18,  // selector: the short write form of the network page
    Version = 23,
    Capabilities = 32,
    NatStatus = 34,
};

enum class ParameterAction : int {
    Read = 1,
    Write = 2,
};

// The number the camera takes for each.
constexpr int WireNumber(ParameterGroup group) { return static_cast<int>(group); }
constexpr int WireNumber(ParameterAction action) { return static_cast<int>(action); }

}  // namespace orvanta

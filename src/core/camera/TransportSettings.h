// The time limits of the camera transport. The defaults are the ones the
// wizard runs with; tests shorten them instead of waiting for real time-outs.
// A value, never a process-wide setting: whoever talks to a camera (the
// wizard's camera service, a command of the command line) keeps its own and
// hands it to every transport call.
#pragma once

namespace orvanta {

struct TransportSettings {
    int connectWaitMs = 1000;     // one wait for a camera connect to complete
    int connectAttempts = 2;      // waits before a camera connect gives up
    int sendSliceMs = 250;        // one wait for the socket to take the request
    int sendAttempts = 12;        // waits before a send gives up
    int receiveSliceMs = 250;     // one wait for reply bytes
    // Overall bound on one reply, counted from the first wait: a camera that
    // keeps its connection open after answering, without saying how long its
    // reply is, cannot hang the caller. What arrived by then is taken as the
    // reply, unless its header announced more.
    int receiveLimitMs = 15000;
    // Overall bound on a whole sequence of requests (a read, a save, a scan,
    // a WPS query, a listing query), counted from its start; 0 means none.
    // Past it the sequence ends with kHttpTimedOut. The wizard leaves it at 0:
    // its progress timers give up on a task and cancel it.
    int overallLimitMs = 0;
    int probeSliceMs = 250;       // one wait of the internet reachability probe
    int probeAttempts = 12;       // waits before the probe gives up
};

}  // namespace orvanta

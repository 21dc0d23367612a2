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
    // A reply that does not say how long it is ends when the camera closes
    // the connection, or once its body has begun, ends at a line end, and
    // nothing more has come for this long: a camera that keeps the
    // connection open then answers a whole read in a few seconds, short of
    // the time the window waits for a read task (6.6 s), instead of each
    // reply waiting out receiveLimitMs. Every caller (the window, the
    // command line, the provisioner) keeps this default, so such a camera
    // reads the same everywhere. 0 turns the rule off.
    int replyQuietMs = 500;
    // Overall bound on a whole sequence of requests (a read, a save, a scan,
    // a WPS query, a listing query), counted from its start; 0 means none.
    // Past it the sequence ends with HttpStatus::TimedOut. The wizard leaves it at 0:
    // its progress timers give up on a task and cancel it.
    int overallLimitMs = 0;
    int probeSliceMs = 250;       // one wait of the internet reachability probe
    int probeAttempts = 12;       // waits before the probe gives up
};

}  // namespace orvanta

// Periods of the wizard's timers. The defaults are the running wizard's;
// tests shorten them instead of waiting for minutes of ticks.
#pragma once

namespace orvanta {

struct TimerSettings {
    int readTickMs = 300;     // progress of a camera read
    int saveTickMs = 800;     // progress of a camera save
    int refindTickMs = 700;   // finding the camera again after a save
    int searchTickMs = 1000;  // the search page's polling of discovery
    int wpsTickMs = 5000;     // the WPS page's status polling
};

}  // namespace orvanta

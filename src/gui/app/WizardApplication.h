// The program around the main window: command line, single-instance check,
// the key filter, deployment settings, exit signals, and the window itself.
#pragma once

namespace orvanta {

class WizardApplication {
public:
    // The whole program; returns the process exit code.
    static int Run(int argc, char** argv);

    // --help / --version / bad options, answered before any window system
    // is touched. Returns -1 when the program should go on and start.
    static int HandleCommandLine(int argc, char** argv, bool& measureStartup);
};

}  // namespace orvanta

// The texts the main window shows in its own message boxes and wait window,
// read once per language from [WizardDlg] "Message2".."Message8" and
// [WaitDlg] "note2".."note4".
#pragma once

#include <string>

namespace orvanta {

class LanguageStrings;

struct WizardMessages {
    // Message boxes.
    std::string noAnswer;         // the camera did not answer in time, or failed
    std::string savedWireless;    // saved; the camera restarts onto the wireless network
    std::string saved;            // saved; the camera restarts with its new settings
    std::string notFoundAgain;    // the camera did not reappear after its restart
    std::string foundAgain;       // the camera reappeared with its new settings
    std::string passwordRefused;  // the root password of the login dialog was refused
    std::string accessRefused;    // the read was refused without a valid login
    // The wait window's line while each operation runs.
    std::string reading;
    std::string saving;
    std::string refinding;

    // Reads every text (absent ones become "").
    void Load(const LanguageStrings& strings);
};

}  // namespace orvanta

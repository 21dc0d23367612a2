// The texts the main window shows in its own message boxes and wait dialog.
// Indexes follow the key numbers: Message[1..8] from [WizardDlg] "Message1"..
// "Message8", note[1..4] from [WaitDlg] "note1".."note4"; index 0 stays empty.
#pragma once

#include <string>

namespace orvanta {

class LanguageStrings;

struct WizardMessages {
    std::string Message[9];
    std::string note[5];

    // Reads all twelve texts (capacity 1024 each); absent ones become "".
    void Load(const LanguageStrings& strings);
};

}  // namespace orvanta

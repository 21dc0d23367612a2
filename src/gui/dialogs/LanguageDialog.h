// The language chooser: a list of the language files (names without
// ".ini"), preselected by the user's language, with a field the user may
// also type into. Made anew for every run so the list is always read from
// the folder as it is now; the caller keeps the answer between runs.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace orvanta {

class LanguageDialog : public QDialog {
    Q_OBJECT
public:
    enum Id : int {
        kDialog = 241,
        kLanguageList = 1345,
        kOk = 1,
    };

    // `names` in list order, `preselect` an index into them or -1,
    // `previousChoice` the answer of the last run (kept when this run is
    // closed without OK).
    LanguageDialog(const std::vector<std::string>& names, int preselect, std::string previousChoice,
                 QWidget* parent = nullptr);

    // The text confirmed with OK, or the previous choice.
    const std::string& ChosenName() const { return chosenName_; }

    QComboBox* Combo() const { return combo_; }
    // Presses OK (for the button and for tests).
    void Confirm();

private:
    std::string chosenName_;
    QComboBox* combo_;
    QPushButton* ok_;
};

}  // namespace orvanta

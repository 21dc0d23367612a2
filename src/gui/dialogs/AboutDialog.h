// The about box: two lines of text, a title and an OK button, all read from
// the "AboutDlg" section of the active language file when it opens.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace orvanta {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    enum Id : int {
        kDialog = 100,
        kProductLine = 1371,
        kDetails = 1372,
        kOk = 1373,
    };

    explicit AboutDialog(const std::string& languageFilePath, QWidget* parent = nullptr);

private:
    QLabel* info1_;
    QLabel* info2_;
    QPushButton* ok_;
};

}  // namespace orvanta

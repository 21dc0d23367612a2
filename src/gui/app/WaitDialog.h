// The wait window shown while the camera is read or written: a caption-less
// pop-up with a progress bar, a line of text and, while a worker runs, a
// Cancel button. Created once, hidden, by the main window; other code sets
// progress and text and shows or hides it.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orvanta {

class WaitDialog : public QDialog {
    Q_OBJECT
public:
    enum Id : int {
        kDialog = 170,
        kProgress = 1159,
        kText = 1160,
        kCancel = 1161,
    };

    explicit WaitDialog(QWidget* owner = nullptr);

    void SetRange(int low, int high);
    void SetPos(int pos);
    int Maximum() const;
    int Position() const;
    // `done` of `total` steps; a total of 0 (not known yet) shows a busy bar.
    void SetProgress(int done, int total);
    void SetCancelShown(bool shown);
    bool CancelShown() const;
    void SetCancelText(const QString& text);

signals:
    void CancelClicked();

public:
    void SetText(const QString& text);
    QString Text() const;

protected:
    // The main window disables itself while the wait window shows, and Qt
    // passes that on to its owned windows, which would grey out the very
    // progress the user is watching. The wait window has nothing to click,
    // so it keeps itself enabled.
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QProgressBar* progress_;
    QLabel* text_;
    QPushButton* cancel_;
};

}  // namespace orvanta

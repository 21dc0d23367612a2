// The camera's root login, asked for when a camera refuses the empty login.
// The user name is always "root"; only the password is typed. Whatever way
// the dialog closes, the caller takes UserText() and PasswordText().
#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta {

class RootLoginDialog : public QDialog {
    Q_OBJECT
public:
    enum Id : int {
        kDialog = 246,
        kUserLabel = 1360,
        kUser = 1358,
        kPasswordLabel = 1361,
        kPassword = 1359,
        kNote = 1362,
        kOk = 1374,
        // The template's own OK and Cancel, never shown.
        kTemplateOk = 1,
        kTemplateCancel = 2,
    };

    // The record's login fields hold 63 bytes; the password edit takes no
    // more characters than that, so what is typed is what is sent (a longer
    // password could never have worked and would be cut silently).
    static constexpr int kMaxPasswordChars = 63;

    explicit RootLoginDialog(const std::string& languageFilePath, QWidget* parent = nullptr);

    QString UserText() const { return user_; }
    QString PasswordText() const { return password_; }

    QLineEdit* PasswordEdit() const { return passwordEdit_; }
    QPushButton* OkButton() const { return ok_; }

private:
    void OnOk();

    QString user_;
    QString password_;
    QLineEdit* userEdit_;
    QLineEdit* passwordEdit_;
    QPushButton* ok_;
};

}  // namespace orvanta

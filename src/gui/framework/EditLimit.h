// A typing limit for line edits that write into a fixed-width record field.
//
// QLineEdit::setMaxLength cuts text that is set from code, which would hide
// an overlong value read from the camera (a page must show it and refuse it
// on Next), and it counts characters while the record counts bytes. The
// limit here works like the classic edit-control limit instead: it refuses
// typing or pasting that would make the text longer than the limit, leaves
// text set from code alone, and never cuts what is already there when the
// limit is lowered. A text is too long when it has more than `maxChars`
// characters or when its UTF-8 form does not fit a field of `fieldWidth`
// bytes with its terminator, so whatever the user types lands in the record
// whole.
//
// It is the edit's validator: QLineEdit undoes a user edit that its
// validator calls Invalid, and does not validate setText.
#pragma once

#include <QString>
#include <QValidator>
#include <cstddef>

class QLineEdit;

namespace orvanta {

class EditLimit : public QValidator {
    Q_OBJECT
public:
    // Sets (or changes) the limit of `edit`. A later call replaces the
    // earlier limit; the edit's text is not touched.
    static EditLimit* Apply(QLineEdit* edit, int maxChars, std::size_t fieldWidth);
    // The limit on `edit`, or null when it has none.
    static EditLimit* Of(const QLineEdit* edit);

    int MaxChars() const { return maxChars_; }
    // True when `text` is within the limit.
    bool Fits(const QString& text) const;

    State validate(QString& input, int& pos) const override;

private:
    EditLimit(QLineEdit* edit, int maxChars, std::size_t fieldWidth);

    int maxChars_;
    std::size_t fieldWidth_;
    QString current_;  // the edit's text as last accepted
};

}  // namespace orvanta

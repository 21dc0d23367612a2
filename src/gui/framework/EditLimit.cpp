#include "gui/framework/EditLimit.h"

#include <QLineEdit>

namespace orvanta {

EditLimit::EditLimit(QLineEdit* edit, int maxChars, std::size_t fieldWidth)
    : QValidator(edit), maxChars_(maxChars), fieldWidth_(fieldWidth), current_(edit->text()) {
    // The edit's own limit would cut text set from code: this takes over.
    edit->setMaxLength(32767);
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { current_ = text; });
    edit->setValidator(this);
}

EditLimit* EditLimit::Apply(QLineEdit* edit, int maxChars, std::size_t fieldWidth) {
    if (edit == nullptr) return nullptr;
    if (EditLimit* limit = Of(edit)) {
        limit->maxChars_ = maxChars;
        limit->fieldWidth_ = fieldWidth;
        return limit;
    }
    return new EditLimit(edit, maxChars, fieldWidth);
}

EditLimit* EditLimit::Of(const QLineEdit* edit) {
    return edit ? qobject_cast<EditLimit*>(const_cast<QValidator*>(edit->validator())) : nullptr;
}

bool EditLimit::Fits(const QString& text) const {
    if (text.size() > maxChars_) return false;
    if (fieldWidth_ == 0) return text.isEmpty();
    return static_cast<std::size_t>(text.toUtf8().size()) <= fieldWidth_ - 1;
}

QValidator::State EditLimit::validate(QString& input, int& /*pos*/) const {
    if (Fits(input)) return Acceptable;
    // Too long, but no longer than before: deleting from a long value read
    // from the camera (or left over from a higher limit) stays possible.
    const bool grows =
        input.size() > current_.size() || input.toUtf8().size() > current_.toUtf8().size();
    return grows ? Invalid : Acceptable;
}

}  // namespace orvanta

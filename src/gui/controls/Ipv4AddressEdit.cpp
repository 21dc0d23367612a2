#include "gui/controls/Ipv4AddressEdit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "core/base/AddressText.h"

namespace orvanta {

Ipv4AddressEdit::Ipv4AddressEdit(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("field%1").arg(i));
        edit->setAccessibleName(QStringLiteral("Address part %1").arg(i + 1));
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignCenter);
        edit->setMaxLength(3);
        edit->setValidator(new QIntValidator(0, 999, edit));
        edit->installEventFilter(this);
        row->addWidget(edit, 1);
        fields_[static_cast<std::size_t>(i)] = edit;
        connect(edit, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
        if (i < 3) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            row->addWidget(dot);
        }
    }
    setFocusProxy(fields_[0]);
}

int Ipv4AddressEdit::FieldValue(int i) const {
    const QString t = fields_[static_cast<std::size_t>(i)]->text();
    if (t.isEmpty()) return 0;
    return std::min(t.toInt(), 255);
}

std::array<uint8_t, 4> Ipv4AddressEdit::Fields() const {
    std::array<uint8_t, 4> out{};
    for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(FieldValue(i));
    return out;
}

Ipv4Address Ipv4AddressEdit::Value() const {
    const auto f = Fields();
    return Ipv4Address::FromHostOrder((uint32_t{f[0]} << 24) | (uint32_t{f[1]} << 16) | (uint32_t{f[2]} << 8) |
                                      uint32_t{f[3]});
}

void Ipv4AddressEdit::SetValue(Ipv4Address address) {
    const uint32_t hostOrder = address.HostOrder();
    for (int i = 0; i < 4; ++i) {
        const unsigned v = (hostOrder >> (24 - 8 * i)) & 0xFFu;
        fields_[static_cast<std::size_t>(i)]->setText(QString::number(v));
    }
    emit AddressChanged();
}

void Ipv4AddressEdit::Clear() {
    for (auto* f : fields_) f->clear();
    emit AddressChanged();
}

bool Ipv4AddressEdit::IsBlank() const {
    for (auto* f : fields_)
        if (!f->text().isEmpty()) return false;
    return true;
}

void Ipv4AddressEdit::SetFromRecordText(const char* text) {
    if (text == nullptr || *text == '\0') {
        Clear();
        return;
    }
    // Text that is no address shows as 255.255.255.255, the all-ones value
    // the record has always held for it.
    SetValue(Ipv4Address::FromNetworkOrder(Ipv4ClassicValue(text)));
}

QString Ipv4AddressEdit::RecordText() const {
    const auto f = Fields();
    return QString::asprintf("%d.%d.%d.%d", f[0], f[1], f[2], f[3]);
}

void Ipv4AddressEdit::OnFieldEdited(int i) {
    auto* edit = fields_[static_cast<std::size_t>(i)];
    // Out-of-range numbers are pulled down to 255 as they are typed, so the
    // field always shows what will be stored.
    if (!edit->text().isEmpty() && edit->text().toInt() > 255) edit->setText(QStringLiteral("255"));
    if (edit->text().size() == 3 && i < 3) {
        fields_[static_cast<std::size_t>(i + 1)]->setFocus();
        fields_[static_cast<std::size_t>(i + 1)]->selectAll();
    }
    emit AddressChanged();
}

bool Ipv4AddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < 4; ++i) {
            if (watched != fields_[static_cast<std::size_t>(i)]) continue;
            auto* key = static_cast<QKeyEvent*>(event);
            auto* edit = fields_[static_cast<std::size_t>(i)];
            if ((key->text() == QLatin1String(".") || key->key() == Qt::Key_Space) && i < 3) {
                if (!edit->text().isEmpty()) {
                    fields_[static_cast<std::size_t>(i + 1)]->setFocus();
                    fields_[static_cast<std::size_t>(i + 1)]->selectAll();
                }
                return true;
            }
            if (key->key() == Qt::Key_Backspace && edit->cursorPosition() == 0 && i > 0) {
                fields_[static_cast<std::size_t>(i - 1)]->setFocus();
                return false;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void Ipv4AddressEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        // A disabled control greys its fields like the rest of the page.
        setBackgroundRole(isEnabled() ? QPalette::Base : QPalette::Window);
    }
    QFrame::changeEvent(event);
}

}  // namespace orvanta

// Our own IPv4 address control: four number fields of 0..255 separated by
// dots, the first field holding the first dotted number. A field left empty
// reads as 0, so an untouched control gives 0.0.0.0.
//
// Exchange with the settings record is by dotted-quad text:
//  - SetFromRecordText reads the C library's classic forms ("10.1" or
//    "0x0a.0.0.1" as well), and a text it rejects shows as 255.255.255.255.
//    An empty text clears the fields instead: writing such a control back
//    must not turn an unset address into the broadcast address.
//  - RecordText formats the four fields with "%d.%d.%d.%d".
#pragma once

#include <QFrame>
#include <array>
#include <cstdint>

#include "core/base/Ipv4Address.h"

class QLineEdit;

namespace orvanta {

class Ipv4AddressEdit : public QFrame {
    Q_OBJECT
public:
    explicit Ipv4AddressEdit(QWidget* parent = nullptr);

    void SetValue(Ipv4Address address);
    Ipv4Address Value() const;
    std::array<uint8_t, 4> Fields() const;
    void Clear();
    // True when every field is empty.
    bool IsBlank() const;

    void SetFromRecordText(const char* text);
    QString RecordText() const;

    // The field editors, for tests and keyboard navigation.
    QLineEdit* FieldEdit(int i) const { return fields_[static_cast<std::size_t>(i)]; }

signals:
    void AddressChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int FieldValue(int i) const;
    void OnFieldEdited(int i);

    std::array<QLineEdit*, 4> fields_{};
};

}  // namespace orvanta

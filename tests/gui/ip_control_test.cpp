// The IPv4 address control and its exchange with the record's dotted-quad
// text fields, both ways.
#include <QLineEdit>
#include <QTest>

#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/framework/WizardPage.h"

using namespace orvanta;

class IpControlTest : public QObject {
    Q_OBJECT
private slots:
    void recordToControl_data();
    void recordToControl();
    void blankFieldsReadAsZero();
    void typingIsHeldToTheFieldRange();
    void storeCutsNothingAndTerminates();
};

void IpControlTest::recordToControl_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("shown");
    // Plain address: first number in the first field (byte order).
    QTest::newRow("dotted quad") << "192.168.1.10" << "192.168.1.10";
    QTest::newRow("zeros") << "0.0.0.0" << "0.0.0.0";
    QTest::newRow("broadcast") << "255.255.255.255" << "255.255.255.255";
    // Short forms inet_addr accepts: a.b puts b in the low 24 bits.
    QTest::newRow("two parts") << "10.1" << "10.0.0.1";
    QTest::newRow("three parts") << "172.16.300" << "172.16.1.44";
    // Hexadecimal and octal parts as inet_addr reads them.
    QTest::newRow("hex part") << "0x0a.0.0.1" << "10.0.0.1";
    QTest::newRow("octal part") << "010.0.0.1" << "8.0.0.1";
    // Text inet_addr rejects shows as 255.255.255.255.
    QTest::newRow("word") << "camera" << "255.255.255.255";
    QTest::newRow("part above 255") << "256.1.1.1" << "255.255.255.255";
    QTest::newRow("five parts") << "1.2.3.4.5" << "255.255.255.255";
    QTest::newRow("trailing dot") << "1.2.3.4." << "255.255.255.255";
}

void IpControlTest::recordToControl() {
    QFETCH(QString, record);
    QFETCH(QString, shown);
    Ipv4AddressEdit ctrl;
    const QByteArray text = record.toLatin1();
    WizardPage::LoadAddress(&ctrl, text.constData());
    QCOMPARE(ctrl.RecordText(), shown);
    QCOMPARE(ctrl.FieldEdit(0)->text(), shown.section(QLatin1Char('.'), 0, 0));
    QVERIFY(!ctrl.IsBlank());
}

void IpControlTest::blankFieldsReadAsZero() {
    Ipv4AddressEdit ctrl;
    // An untouched control stores 0.0.0.0.
    QVERIFY(ctrl.IsBlank());
    QCOMPARE(ctrl.RecordText(), QStringLiteral("0.0.0.0"));
    // An empty record text leaves the control blank instead of showing the
    // all-ones address, so writing it back never stores 255.255.255.255
    // for an address that was never set.
    WizardPage::LoadAddress(&ctrl, "10.0.0.9");
    WizardPage::LoadAddress(&ctrl, "");
    QVERIFY(ctrl.IsBlank());
    QCOMPARE(ctrl.RecordText(), QStringLiteral("0.0.0.0"));
    // Some fields typed, some left empty.
    ctrl.FieldEdit(0)->setText(QStringLiteral("10"));
    ctrl.FieldEdit(3)->setText(QStringLiteral("7"));
    QCOMPARE(ctrl.RecordText(), QStringLiteral("10.0.0.7"));
    QCOMPARE(ctrl.Value(), Ipv4Address::FromHostOrder(0x0A000007u));
}

void IpControlTest::typingIsHeldToTheFieldRange() {
    Ipv4AddressEdit ctrl;
    ctrl.show();
    ctrl.FieldEdit(0)->setFocus();
    QTest::keyClicks(ctrl.FieldEdit(0), QStringLiteral("300"));
    QCOMPARE(ctrl.FieldEdit(0)->text(), QStringLiteral("255"));
    // Letters are not taken at all.
    QTest::keyClicks(ctrl.FieldEdit(1), QStringLiteral("a1b"));
    QCOMPARE(ctrl.FieldEdit(1)->text(), QStringLiteral("1"));
    QCOMPARE(ctrl.RecordText(), QStringLiteral("255.1.0.0"));
}

void IpControlTest::storeCutsNothingAndTerminates() {
    Ipv4AddressEdit ctrl;
    ctrl.SetValue(Ipv4Address::Broadcast());
    char field[64];
    std::memset(field, 'x', sizeof field);
    WizardPage::StoreAddress(field, &ctrl);
    QCOMPARE(QByteArray(field), QByteArray("255.255.255.255"));
    // A field too small for the text gets a terminated prefix, never more.
    char small[8];
    std::memset(small, 'x', sizeof small);
    WizardPage::StoreAddress(small, &ctrl);
    QCOMPARE(QByteArray(small), QByteArray("255.255"));
}

QTEST_MAIN(IpControlTest)
#include "ip_control_test.moc"

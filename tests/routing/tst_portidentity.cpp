// Route ends and their button texts and places, without a window.
#include "routing/portidentity.h"

#include <QTest>

using Port = std::optional<PortIdentity::RouteEnd>;

Q_DECLARE_METATYPE(Port)

class TestPortIdentity : public QObject {
    Q_OBJECT

private slots:
    void buttonTexts_data();
    void buttonTexts();
};

// Button texts, the route ends they name, and their places in the button lists of a router
// with MIDI IN 2, MIDI OUT 3, USB HOST 1 and USB Device 2 (-1: not in the map).
void TestPortIdentity::buttonTexts_data() {
    QTest::addColumn<bool>("source");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Port>("port");
    QTest::addColumn<int>("index");
    QTest::newRow("MIDI IN 2") << true << "MIDI IN 2" << Port({0, 2}) << 1;
    QTest::newRow("USB Device 2 in") << true << "USB Device 2" << Port({2, 2}) << 4;
    QTest::newRow("MIDI OUT 3") << false << "MIDI OUT 3" << Port({0, 3}) << 2;
    QTest::newRow("MIDI OUT 12") << false << "MIDI OUT 12" << Port({0, 12}) << -1;
    QTest::newRow("USB HOST 1 out") << false << "USB HOST 1" << Port({1, 1}) << 3;
    QTest::newRow("USB Device 2 out") << false << "USB Device 2" << Port({2, 2}) << 5;
    QTest::newRow("USB Device 3 out") << false << "USB Device 3" << Port({2, 3}) << -1;
    QTest::newRow("MIDI OUT is no source") << true << "MIDI OUT 1" << Port() << -1;
    QTest::newRow("filter spelling") << true << "MIDI IN1" << Port() << -1;
    QTest::newRow("case matters") << false << "USB DEVICE 1" << Port() << -1;
}

void TestPortIdentity::buttonTexts() {
    QFETCH(bool, source);
    QFETCH(QString, text);
    QFETCH(Port, port);
    QFETCH(int, index);
    const auto end = source ? PortIdentity::End::Source : PortIdentity::End::Destination;
    QCOMPARE(PortIdentity::parseButtonText(end, text), port);
    if (port) {
        QCOMPARE(PortIdentity::buttonText(end, port->first, port->second), text);
        QCOMPARE(PortIdentity::buttonIndex(end, *port, {2, 3, 1, 2}), index);
    }
}

QTEST_APPLESS_MAIN(TestPortIdentity)
#include "tst_portidentity.moc"

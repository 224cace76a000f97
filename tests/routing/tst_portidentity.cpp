#include "routing/portidentity.h"

#include <QTest>

using PortIdentity::End;
using PortIdentity::PortCounts;
using PortIdentity::RouteEnd;

Q_DECLARE_METATYPE(End)
Q_DECLARE_METATYPE(PortCounts)
Q_DECLARE_METATYPE(std::optional<RouteEnd>)

class TestPortIdentity : public QObject {
    Q_OBJECT

private slots:
    void buttonText_data();
    void buttonText();
    void parseButtonText_data();
    void parseButtonText();
    void buttonIndex_data();
    void buttonIndex();
    void everyButtonFindsItsOwnIndex();
    void filterPortName_data();
    void filterPortName();
    void parseFilterPortName_data();
    void parseFilterPortName();
};

void TestPortIdentity::buttonText_data() {
    QTest::addColumn<End>("end");
    QTest::addColumn<int>("portClass");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("MIDI IN") << End::Source << 0 << 1 << "MIDI IN 1";
    QTest::newRow("MIDI OUT, two digits") << End::Destination << 0 << 12 << "MIDI OUT 12";
    QTest::newRow("USB HOST as source") << End::Source << 1 << 2 << "USB HOST 2";
    QTest::newRow("USB HOST as destination") << End::Destination << 1 << 2 << "USB HOST 2";
    QTest::newRow("USB Device as source") << End::Source << 2 << 1 << "USB Device 1";
    QTest::newRow("USB Device as destination") << End::Destination << 2 << 3 << "USB Device 3";
    QTest::newRow("class 3") << End::Source << 3 << 1 << "";
    QTest::newRow("class -1") << End::Destination << -1 << 1 << "";
}

void TestPortIdentity::buttonText() {
    QFETCH(End, end);
    QFETCH(int, portClass);
    QFETCH(int, number);
    QFETCH(QString, text);
    QCOMPARE(PortIdentity::buttonText(end, portClass, number), text);
}

void TestPortIdentity::parseButtonText_data() {
    QTest::addColumn<End>("end");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<RouteEnd>>("parsed");
    const std::optional<RouteEnd> none;
    QTest::newRow("MIDI IN 3") << End::Source << "MIDI IN 3" << std::optional(RouteEnd(0, 3));
    QTest::newRow("USB HOST 2 source")
        << End::Source << "USB HOST 2" << std::optional(RouteEnd(1, 2));
    QTest::newRow("USB Device 10 source")
        << End::Source << "USB Device 10" << std::optional(RouteEnd(2, 10));
    QTest::newRow("MIDI OUT 2") << End::Destination << "MIDI OUT 2"
                                << std::optional(RouteEnd(0, 2));
    QTest::newRow("USB Device 1 destination")
        << End::Destination << "USB Device 1" << std::optional(RouteEnd(2, 1));
    QTest::newRow("MIDI OUT is no source") << End::Source << "MIDI OUT 1" << none;
    QTest::newRow("MIDI IN is no destination") << End::Destination << "MIDI IN 1" << none;
    QTest::newRow("filter spelling has no blank") << End::Source << "MIDI IN1" << none;
    QTest::newRow("case matters") << End::Source << "USB DEVICE 1" << none;
    QTest::newRow("not a number") << End::Source << "MIDI IN x" << std::optional(RouteEnd(0, 0));
    QTest::newRow("prefix anywhere, removed everywhere")
        << End::Source << "MIDI IN MIDI IN 4" << std::optional(RouteEnd(0, 4));
    QTest::newRow("first prefix in class order wins")
        << End::Destination << "USB Device MIDI OUT 5" << std::optional(RouteEnd(0, 0));
    QTest::newRow("empty") << End::Source << "" << none;
}

void TestPortIdentity::parseButtonText() {
    QFETCH(End, end);
    QFETCH(QString, text);
    QFETCH(std::optional<RouteEnd>, parsed);
    QCOMPARE(PortIdentity::parseButtonText(end, text), parsed);
}

void TestPortIdentity::buttonIndex_data() {
    QTest::addColumn<End>("end");
    QTest::addColumn<PortCounts>("counts");
    QTest::addColumn<RouteEnd>("port");
    QTest::addColumn<int>("index");
    // MIDI IN 2, MIDI OUT 3, USB HOST 1, USB Device 2.
    const PortCounts c{2, 3, 1, 2};
    QTest::newRow("MIDI IN 1") << End::Source << c << RouteEnd(0, 1) << 0;
    QTest::newRow("MIDI IN 2") << End::Source << c << RouteEnd(0, 2) << 1;
    QTest::newRow("MIDI IN 3 missing") << End::Source << c << RouteEnd(0, 3) << -1;
    QTest::newRow("USB HOST 1 in") << End::Source << c << RouteEnd(1, 1) << 2;
    QTest::newRow("USB HOST 2 missing") << End::Source << c << RouteEnd(1, 2) << -1;
    QTest::newRow("USB Device 1 in") << End::Source << c << RouteEnd(2, 1) << 3;
    QTest::newRow("USB Device 2 in") << End::Source << c << RouteEnd(2, 2) << 4;
    QTest::newRow("USB Device 3 missing") << End::Source << c << RouteEnd(2, 3) << -1;
    QTest::newRow("MIDI OUT 3") << End::Destination << c << RouteEnd(0, 3) << 2;
    QTest::newRow("USB HOST 1 out") << End::Destination << c << RouteEnd(1, 1) << 3;
    QTest::newRow("USB Device 2 out") << End::Destination << c << RouteEnd(2, 2) << 5;
    QTest::newRow("number 0") << End::Source << c << RouteEnd(0, 0) << -1;
    QTest::newRow("negative number") << End::Destination << c << RouteEnd(1, -1) << -1;
    QTest::newRow("class 3") << End::Source << c << RouteEnd(3, 1) << -1;
    QTest::newRow("class -1") << End::Destination << c << RouteEnd(-1, 1) << -1;
    QTest::newRow("no ports yet") << End::Source << PortCounts{} << RouteEnd(0, 1) << -1;
    QTest::newRow("negative count holds nothing")
        << End::Source << PortCounts{-5, 0, 1, 0} << RouteEnd(0, 1) << -1;
    QTest::newRow("negative count shifts nothing")
        << End::Source << PortCounts{-5, 0, 1, 0} << RouteEnd(1, 1) << 0;
}

void TestPortIdentity::buttonIndex() {
    QFETCH(End, end);
    QFETCH(PortCounts, counts);
    QFETCH(RouteEnd, port);
    QFETCH(int, index);
    QCOMPARE(PortIdentity::buttonIndex(end, port, counts), index);
}

// Laying the buttons out in list order and reading each text back gives its own index.
void TestPortIdentity::everyButtonFindsItsOwnIndex() {
    const PortCounts counts{3, 2, 2, 4};
    for (End end : {End::Source, End::Destination}) {
        const int midi = end == End::Source ? counts.midiIn : counts.midiOut;
        QStringList texts;
        for (int i = 1; i <= midi; ++i)
            texts << PortIdentity::buttonText(end, PortIdentity::Midi, i);
        for (int i = 1; i <= counts.usbHost; ++i)
            texts << PortIdentity::buttonText(end, PortIdentity::UsbHost, i);
        for (int i = 1; i <= counts.usbDevice; ++i)
            texts << PortIdentity::buttonText(end, PortIdentity::UsbDevice, i);
        for (int index = 0; index < texts.size(); ++index) {
            const auto port = PortIdentity::parseButtonText(end, texts.at(index));
            QVERIFY2(port, qPrintable(texts.at(index)));
            QCOMPARE(PortIdentity::buttonIndex(end, *port, counts), index);
        }
    }
}

void TestPortIdentity::filterPortName_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << 1 << "MIDI IN1";
    QTest::newRow("1") << 1 << 12 << "MIDI OUT12";
    QTest::newRow("2") << 2 << 1 << "USB HOST IN1";
    QTest::newRow("3") << 3 << 2 << "USB HOST OUT2";
    QTest::newRow("4") << 4 << 1 << "USB DEVICE IN1";
    QTest::newRow("5") << 5 << 3 << "USB DEVICE OUT3";
    QTest::newRow("6 unknown") << 6 << 1 << "";
    QTest::newRow("-1 unknown") << -1 << 1 << "";
}

void TestPortIdentity::filterPortName() {
    QFETCH(int, code);
    QFETCH(int, number);
    QFETCH(QString, name);
    QCOMPARE(PortIdentity::filterPortName(code, number), name);
}

void TestPortIdentity::parseFilterPortName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::optional<RouteEnd>>("parsed");
    QTest::newRow("MIDI IN12") << "MIDI IN12" << std::optional(RouteEnd(0, 0x0C));
    QTest::newRow("MIDI OUT1") << "MIDI OUT1" << std::optional(RouteEnd(1, 1));
    QTest::newRow("USB HOST IN2") << "USB HOST IN2" << std::optional(RouteEnd(2, 2));
    QTest::newRow("USB HOST OUT1") << "USB HOST OUT1" << std::optional(RouteEnd(3, 1));
    QTest::newRow("USB DEVICE IN1") << "USB DEVICE IN1" << std::optional(RouteEnd(4, 1));
    QTest::newRow("USB DEVICE OUT7") << "USB DEVICE OUT7" << std::optional(RouteEnd(5, 7));
    QTest::newRow("number kept to 8 bits") << "MIDI IN300" << std::optional(RouteEnd(0, 44));
    QTest::newRow("button spelling") << "USB Device 1" << std::optional<RouteEnd>();
    QTest::newRow("empty chooser") << "" << std::optional<RouteEnd>();
}

void TestPortIdentity::parseFilterPortName() {
    QFETCH(QString, name);
    QFETCH(std::optional<RouteEnd>, parsed);
    QCOMPARE(PortIdentity::parseFilterPortName(name), parsed);
}

QTEST_APPLESS_MAIN(TestPortIdentity)
#include "tst_portidentity.moc"

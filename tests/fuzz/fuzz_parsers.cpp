// The port name parsers and the filter bytes: every name read back from the text written for
// it, button indexes against the window's button layout built plainly, and filter bytes shown
// on a panel and packed again.
#include "filters/filterbits.h"
#include "routing/portidentity.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QHash>
#include <QSet>
#include <fuzzer/FuzzedDataProvider.h>

using FuzzCheck::require;
using PortIdentity::End;
using PortIdentity::RouteEnd;

namespace {

void checkAnyText(const QString &text) {
    for (End end : {End::Source, End::Destination}) {
        const auto port = PortIdentity::parseButtonText(end, text);
        require(!port ||
                    (port->first >= PortIdentity::Midi && port->first <= PortIdentity::UsbDevice),
                "a button text names a port class");
    }
    const auto filterPort = PortIdentity::parseFilterPortName(text);
    require(!filterPort || (filterPort->first >= 0 && filterPort->first < 6 &&
                            filterPort->second >= 0 && filterPort->second <= 0xFF),
            "a filter port name gives a kind code and a byte");
}

void checkButtonText(End end, int portClass, int number) {
    const QString text = PortIdentity::buttonText(end, portClass, number);
    const auto port = PortIdentity::parseButtonText(end, text);
    if (portClass < PortIdentity::Midi || portClass > PortIdentity::UsbDevice)
        require(text.isEmpty() && !port, "no text for an unknown port class");
    else
        require(port == RouteEnd(portClass, number), "a button text reads back as its port");
}

void checkFilterPortName(int code, int number) {
    const QString name = PortIdentity::filterPortName(code, number);
    const auto port = PortIdentity::parseFilterPortName(name);
    if (code < 0 || code >= 6)
        require(name.isEmpty() && !port, "no name for an unknown filter port kind");
    else
        require(port == qMakePair(code, number & 0xFF), "a filter port name reads back");
}

// The window's button columns: MIDI ports, then USB HOST, then USB Device, each from 1.
QList<RouteEnd> buttonLayout(End end, const PortIdentity::PortCounts &counts) {
    const int midi = end == End::Source ? counts.midiIn : counts.midiOut;
    QList<RouteEnd> layout;
    for (int n = 1; n <= midi; ++n)
        layout << RouteEnd(PortIdentity::Midi, n);
    for (int n = 1; n <= counts.usbHost; ++n)
        layout << RouteEnd(PortIdentity::UsbHost, n);
    for (int n = 1; n <= counts.usbDevice; ++n)
        layout << RouteEnd(PortIdentity::UsbDevice, n);
    return layout;
}

void checkButtonIndex(End end, RouteEnd port, const PortIdentity::PortCounts &counts) {
    require(PortIdentity::buttonIndex(end, port, counts) == buttonLayout(end, counts).indexOf(port),
            "a port's button index is its place in the column");
}

// Shows bytes on a panel whose boxes all start clear, as the window does, and packs it again.
// A byte's boxes stand for its lowest bits. A byte with no other bits comes back as it went;
// one with a bit above them (a stray bit, or a byte past 7 bits) checks its highest box.
void checkFilterBytes(const FilterBytes &bytes) {
    QSet<QString> checked;
    QSet<QString> seen;
    for (const FilterBits::LoadStep &step : FilterBits::loadSteps(bytes)) {
        require(!seen.contains(step.boxName), "each box is loaded once");
        seen.insert(step.boxName);
        if (step.click)
            checked.insert(step.boxName); // a click checks a clear box
    }
    require(seen.size() == FilterBits::members().size(), "every box is loaded");

    const FilterBytes packed =
        FilterBits::pack([&](const QString &box) { return checked.contains(box); });
    QHash<int, quint32> boxBits; // byte index -> the bits its boxes stand for
    QHash<int, quint32> highestMask;
    for (const FilterBits::MemberBit &member : FilterBits::members()) {
        boxBits[member.byteIndex] |= member.mask;
        highestMask[member.byteIndex] = qMax(highestMask.value(member.byteIndex), member.mask);
    }
    for (int i = 0; i < FilterByteCount; ++i) {
        const quint32 value = quint32(bytes[std::size_t(i)]);
        const quint32 shown = quint32(packed[std::size_t(i)]);
        if ((value & ~boxBits.value(i)) == 0)
            require(shown == value, "a filter byte comes back");
        else
            require(shown & highestMask.value(i), "a stray high bit checks the highest box");
    }
}

PortIdentity::PortCounts countsFrom(FuzzedDataProvider &input) {
    const auto count = [&] { return input.ConsumeIntegralInRange(-2, 130); };
    return {count(), count(), count(), count()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    const End end = input.ConsumeBool() ? End::Source : End::Destination;
    const int portClass = input.ConsumeIntegralInRange(-1, 3);
    const int number = input.ConsumeIntegral<int>();
    checkButtonText(end, portClass, number);
    checkFilterPortName(input.ConsumeIntegralInRange(-1, 6), number);
    checkButtonIndex(end, {portClass, input.ConsumeIntegralInRange(-1, 132)}, countsFrom(input));

    FilterBytes bytes{};
    const bool sevenBit = input.ConsumeBool();
    for (qint32 &value : bytes)
        value = sevenBit ? input.ConsumeIntegralInRange(0, 0x7F) : input.ConsumeIntegral<qint32>();
    checkFilterBytes(bytes);

    const std::string text = input.ConsumeRemainingBytesAsString();
    checkAnyText(QString::fromUtf8(text.data(), int(text.size())));
    return 0;
}

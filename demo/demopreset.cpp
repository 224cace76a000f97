#include "demo/demopreset.h"

#include "filters/filterbits.h"
#include "routing/portidentity.h"
#include "sim/routersimulator.h"

#include <QSet>

namespace {

constexpr int ModeHub = 1;

// Filter port codes, in the order the router reports its filter ports.
enum FilterPortCode { MidiIn = 0, MidiOut = 1, UsbDeviceIn = 4 };

FilterBytes filterOf(const QSet<QString> &checkedBoxes) {
    return FilterBits::pack([&](const QString &box) { return checkedBoxes.contains(box); });
}

} // namespace

void applyDemoPreset(RouterSimulator &sim) {
    using PortIdentity::Midi;
    using PortIdentity::UsbDevice;
    using PortIdentity::UsbHost;
    using Route = RouterSimulator::Route;
    using End = RouterSimulator::RouteEnd;

    sim.setMode(ModeHub);
    sim.setPortCounts({2, 2, 1, 1});
    sim.setRoutes({
        Route(End(Midi, 1), End(Midi, 1)),
        Route(End(Midi, 1), End(UsbDevice, 1)),
        Route(End(Midi, 2), End(Midi, 2)),
        Route(End(UsbHost, 1), End(Midi, 2)),
        Route(End(UsbDevice, 1), End(UsbHost, 1)),
    });

    // A keyboard on MIDI IN 1: four channels, notes and a few controllers.
    sim.setFilter({MidiIn, 1}, filterOf({"checkBox_1", "checkBox_2", "checkBox_3", "checkBox_4",
                                         "checkBox_NoteOn", "checkBox_NoteOff", "c1", "c7", "c10",
                                         "c11", "c64", "c74"}));
    // A drum machine on MIDI OUT 2: clock and transport only.
    sim.setFilter({MidiOut, 2}, filterOf({"checkBox_Timing_Clock", "checkBox_Start",
                                          "checkBox_Continue", "checkBox_Stop"}));
    // The computer side: program changes and System Exclusive on all channels.
    QSet<QString> computer = {"checkBox_ProgramChange", "checkBox_SystemExclusive"};
    for (int channel = 1; channel <= 16; ++channel)
        computer.insert(QStringLiteral("checkBox_%1").arg(channel));
    sim.setFilter({UsbDeviceIn, 1}, filterOf(computer));
}

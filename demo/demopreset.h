#pragma once

class RouterSimulator;

// Puts a plausible router into the simulator: HUB mode, 2 MIDI IN, 2 MIDI OUT, 1 USB HOST,
// 1 USB Device, a few routes and a few port filters with bits set.
void applyDemoPreset(RouterSimulator &sim);

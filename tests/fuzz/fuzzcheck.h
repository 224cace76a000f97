#pragma once

#include <QtGlobal>

// What every fuzz target shares: a failed check aborts the run, which libFuzzer reports as a
// crash and keeps the input of.
namespace FuzzCheck {

// Aborts with the message when ok is false.
void require(bool ok, const char *what);

// Drops debug, info and warning messages: Qt warns on every message box that the offscreen
// platform cannot size windows, which would swamp the fuzzer's output and slow it down.
// Critical and fatal messages still print.
void quietMessages();

} // namespace FuzzCheck

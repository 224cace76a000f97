#pragma once

#include <QtGlobal>

// What every fuzz target shares: a failed check aborts the run, which libFuzzer reports as a
// crash and keeps the input of.
namespace FuzzCheck {

// Aborts with the message when ok is false.
void require(bool ok, const char *what);

// Drops debug and info messages: the code under test traces every chunk it reads, which
// would swamp the fuzzer's output and slow it down. Warnings and worse still print.
void quietDebugOutput();

} // namespace FuzzCheck

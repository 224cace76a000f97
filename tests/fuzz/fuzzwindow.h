#pragma once

#include "tests/fuzz/messageboxcloser.h"
#include "tests/support/routerbench.h"

// The real window, connected to a simulated router that stays silent, shared by all the runs
// of a fuzz target: building it takes far longer than a run. Its message boxes are closed as
// soon as they show, once the event loop runs.
class FuzzWindow {
public:
    // Creates the application and the window on first use.
    static FuzzWindow &instance();

    // Runs what the run left to the event loop (the notices, the router's reading) and forgets
    // what the window wrote: the silent router keeps all it reads.
    void settle();

    RouterBench bench;
    MessageBoxCloser closer;

private:
    FuzzWindow();
};

#pragma once

#include "tests/fuzz/messageboxcloser.h"
#include "tests/support/routerbench.h"

// The real window, connected to a simulated router that stays silent, shared by all the runs
// of a fuzz target: building it takes far longer than a run. Its message boxes are closed as
// soon as they show.
class FuzzWindow {
public:
    // Creates the application and the window on first use.
    static FuzzWindow &instance();

    // Lets the window's writes leave and forgets them: the silent router keeps all it reads.
    void discardSent();

    RouterBench bench;
    WidgetTestAccess w = bench.access();
    MessageBoxCloser closer;

private:
    FuzzWindow();
};

#pragma once

#include <QLoggingCategory>

// The debug traces, each subsystem in a category of its own. All are off unless switched on
// with QT_LOGGING_RULES (e.g. "pellvane.link.debug=true") or "pellvane --verbose":
// pellvane.link   every chunk read from the router, and received bytes dropped,
// pellvane.routing the route reports, deletes and re-reads,
// pellvane.input   the mouse buttons pressed on the window.
Q_DECLARE_LOGGING_CATEGORY(lcLink)
Q_DECLARE_LOGGING_CATEGORY(lcRouting)
Q_DECLARE_LOGGING_CATEGORY(lcInput)

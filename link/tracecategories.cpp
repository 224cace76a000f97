#include "link/tracecategories.h"

// Warnings stay on; debug messages only where the rules switch them on.
Q_LOGGING_CATEGORY(lcLink, "pellvane.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRouting, "pellvane.routing", QtWarningMsg)
Q_LOGGING_CATEGORY(lcInput, "pellvane.input", QtWarningMsg)

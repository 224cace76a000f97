#include "tests/fuzz/fuzzcheck.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace FuzzCheck {

namespace {

QtMessageHandler standardHandler = nullptr;

void dropDebugMessages(QtMsgType type, const QMessageLogContext &context,
                       const QString &message) {
    if (type != QtDebugMsg && type != QtInfoMsg)
        standardHandler(type, context, message);
}

} // namespace

void require(bool ok, const char *what) {
    if (ok)
        return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

void quietDebugOutput() {
    standardHandler = qInstallMessageHandler(dropDebugMessages);
}

} // namespace FuzzCheck

#include "tests/fuzz/fuzzcheck.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace FuzzCheck {

namespace {

QtMessageHandler standardHandler = nullptr;

void dropMinorMessages(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        standardHandler(type, context, message);
}

} // namespace

void require(bool ok, const char *what) {
    if (ok)
        return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

void quietMessages() {
    standardHandler = qInstallMessageHandler(dropMinorMessages);
}

} // namespace FuzzCheck

#include "cli/cliarguments.h"
#include "cli/commandrunner.h"
#include "cli/exitstatus.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool stderrIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    // The window's names, so that the history is read from the window's data folder.
    QCoreApplication::setOrganizationName(QStringLiteral("Pellvane"));
    QCoreApplication::setApplicationName(QStringLiteral("pellvane"));
    QTextStream out(stdout);
    QTextStream err(stderr);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    out.setCodec("UTF-8"); // Qt 6 writes UTF-8 already
    err.setCodec("UTF-8");
#endif

    const ParsedArguments parsed = parseCliArguments(QCoreApplication::arguments());
    switch (parsed.outcome) {
    case ParsedArguments::Outcome::Help:
        out << parsed.text;
        return int(ExitStatus::Done);
    case ParsedArguments::Outcome::Version:
        out << "pellvane-cli " PELLVANE_VERSION "\nLicense GPL-3.0-or-later: no warranty\n";
        return int(ExitStatus::Done);
    case ParsedArguments::Outcome::Error:
        err << "pellvane-cli: " << parsed.text << '\n';
        return int(ExitStatus::BadInput);
    case ParsedArguments::Outcome::Run:
        break;
    }
    CommandRunner runner(parsed.arguments, out, err, stderrIsTerminal());
    return int(runner.run());
}

#include "app/displayscaling.h"
#include "app/widget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <QTextStream>

#include <optional>

namespace {

QStringList argumentList(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// --help, --help-all and --version are answered before the window's application object
// exists, so they work without a display. Returns the exit code when the program has answered.
std::optional<int> answerWithoutWindow(QCommandLineParser &parser, int argc, char *argv[]) {
    // Qt's own options (-style, -platform, ...) are still among the arguments here; whether
    // anything is unknown is decided once the application object has taken them.
    parser.parse(argumentList(argc, argv));
    if (parser.isSet(QStringLiteral("version"))) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n'
                            << "License GPL-3.0-or-later: no warranty\n";
        return 0;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        // The help text names the program from an application object's arguments.
        const QCoreApplication core(argc, argv);
        parser.process(core); // prints the help and ends the program
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[]) {
    // The names also say where the settings are kept (the folder of the last configuration
    // file).
    QCoreApplication::setOrganizationName(QStringLiteral("Pellvane"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("pellvane.org"));
    QCoreApplication::setApplicationName(QStringLiteral("pellvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Shows and edits the routes and MIDI filters of a Kelvanto USB MIDI router."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QStringLiteral("Prints the debug traces of the link, the routing and the mouse input "
                       "(the logging categories pellvane.link, pellvane.routing and "
                       "pellvane.input)."));
    parser.addOption(verbose);
    if (const std::optional<int> exitCode = answerWithoutWindow(parser, argc, argv))
        return *exitCode;

    // The window has no OpenGL child. Without this, Qt 5 gives top-level widgets a surface
    // that could take one, and creating the first window loads the OpenGL driver: on X11 that
    // is over a third of the start.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    enableDisplayScaling();
    QApplication app(argc, argv);
    if (!parser.parse(app.arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.errorText().isEmpty()
                                  ? QStringLiteral("This program takes no file or other argument.")
                                  : parser.errorText();
        QTextStream(stderr) << error << '\n' << parser.helpText();
        return 2;
    }
    // QT_LOGGING_RULES is read after these rules and can still switch a category off.
    if (parser.isSet(verbose))
        QLoggingCategory::setFilterRules(QStringLiteral("pellvane.*.debug=true"));
    QGuiApplication::setDesktopFileName(QStringLiteral(PELLVANE_APP_ID));
    qRegisterMetaType<Feedbacktype>("Feedbacktype");
    Widget window;
    window.show();
    return app.exec();
}

#include "app/displayscaling.h"
#include "app/widget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <QTextStream>

#include <optional>

namespace {

// Qt's own options as the application objects of Qt 5.15 and 6.4 take them out of the
// arguments, written with one dash or two. The X11 ones are left unused on other platforms.
const QStringList QtOptionsWithValue = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                        "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                        "style", "stylesheet", "qmljsdebugger",
                                        // X11
                                        "display", "geometry", "icon", "name", "title", "visual"};
const QStringList QtOptionsWithoutValue = {"reverse", "widgetcount", "testability",
                                           // X11
                                           "nograb", "dograb"};
// Those also written as one argument, name=value.
const QStringList QtOptionsJoined = {"style", "stylesheet", "qmljsdebugger"};

// The arguments without Qt's options and their values, as the window's application object
// will leave them.
QStringList withoutQtOptions(int argc, char *argv[]) {
    QStringList own;
    for (int i = 0; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const QString option = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (i == 0 || !argument.startsWith('-'))
            own << argument;
        else if (QtOptionsWithValue.contains(option))
            ++i;
        else if (!QtOptionsWithoutValue.contains(option) &&
                 !(option.contains('=') && QtOptionsJoined.contains(option.section('=', 0, 0))))
            own << argument;
    }
    return own;
}

// Answers what needs no window before the window's application object exists, so that it
// works without a display: arguments the program does not take, --version and --help. Returns
// the exit code when the program has answered.
std::optional<int> answerWithoutWindow(QCommandLineParser &parser, int argc, char *argv[]) {
    const QStringList arguments = withoutQtOptions(argc, argv);
    const bool understood = parser.parse(arguments) && parser.positionalArguments().isEmpty();
    const bool help =
        parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"));
    if (understood && parser.isSet(QStringLiteral("version"))) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n'
                            << "License GPL-3.0-or-later: no warranty\n";
        return 0;
    }
    if (understood && !help)
        return std::nullopt;
    // The help text names the program from an application object's arguments.
    const QCoreApplication core(argc, argv);
    if (understood)
        parser.process(arguments); // prints the help and ends the program
    const QString error = parser.errorText().isEmpty()
                              ? QStringLiteral("This program takes no file or other argument.")
                              : parser.errorText();
    QTextStream(stderr) << error << '\n' << parser.helpText();
    return 2;
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
    // QT_LOGGING_RULES is read after these rules and can still switch a category off.
    if (parser.isSet(verbose))
        QLoggingCategory::setFilterRules(QStringLiteral("pellvane.*.debug=true"));
    QGuiApplication::setDesktopFileName(QStringLiteral(PELLVANE_APP_ID));
    qRegisterMetaType<Feedbacktype>("Feedbacktype");
    Widget window;
    window.show();
    return app.exec();
}

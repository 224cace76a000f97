#include "cli/cliarguments.h"

#include "routing/portidentity.h"

#include <QCommandLineParser>
#include <QList>
#include <QRegularExpression>
#include <algorithm>

namespace {

using Command = CliArguments::Command;

struct CommandInfo {
    QString name;
    Command command;
    const char *brief;   // one line of the command list
    const char *summary; // the head of the command's own help
};

const QList<CommandInfo> &commands() {
    static const QList<CommandInfo> table = {
        {"list", Command::List, "the routers found: name, serial port, vendor:product id",
         "Lists the routers found, one a line: name, serial port, vendor:product id."},
        {"dump", Command::Dump, "read the router's routes and filters into a state file",
         "Reads the router's routes and filters and writes them as one state file: "
         "{\"routes\": <route file>, \"filters\": {\"MIDI IN1\": <filter file>, ...}}."},
        {"apply", Command::Apply, "write a state, route or filter file into the router",
         "Writes a state file, a route file or a filter file into the router: all routes are "
         "cleared and the file's routes added, and each filter is set. Every verdict of the "
         "router is reported."},
        {"verify", Command::Verify, "compare the router with a state, route or filter file",
         "Reads the router and compares it with a state, route or filter file, printing every "
         "difference. Exit status 0 when the router holds what the file says, 1 when not."},
        {"history", Command::HistoryList, "list, show or apply what the router held before",
         "The states of the router that the window kept when it connected, newest first.\n"
         "  history list     one entry a line: number, date and time, routes, filters not\n"
         "                   all clear, or why the entry is damaged\n"
         "  history show N   print entry N's state file\n"
         "  history apply N  write entry N into the router as apply writes a file\n"
         "With --port, the history of the router listed on that port."},
    };
    return table;
}

QString overview() {
    QString text = "Reads, writes and checks a Kelvanto MIDI router.\n\nCommands:\n";
    for (const CommandInfo &info : commands())
        text += QStringLiteral("  %1 %2\n").arg(info.name, -8).arg(QString::fromLatin1(info.brief));
    return text + "\nRun a command with --help for its options.\n"
                  "Exit status: 0 done, 1 verify found differences, 2 bad arguments or file,\n"
                  "3 no router, cannot open it or no answer in time, 4 the router refused a "
                  "command.";
}

// Options, by the commands that take them.
const QCommandLineOption jsonOption("json", "Print a JSON array.");
const QCommandLineOption
    outputOption({"o", "output"}, "Write the state file to FILE, not to standard output.", "FILE");
const QCommandLineOption
    filterPortOption("filter-port",
                     "FILE is a filter file for this port (e.g. \"MIDI IN1\" or \"MIDI IN 1\").",
                     "NAME");
const QCommandLineOption allPortsOption("all-ports", "FILE is a filter file for every port.");
const QCommandLineOption
    deviceOption("device", "The router of this name (see list); default: the only router found.",
                 "NAME");
const QCommandLineOption
    portOption("port", "Open this serial port directly, without looking for routers.", "PATH");
const QCommandLineOption
    timeoutOption("timeout",
                  QStringLiteral("Give up when the router has not answered for MS milliseconds "
                                 "(default %1).")
                      .arg(CliArguments().timeoutMs),
                  "MS", QString::number(CliArguments().timeoutMs));
const QCommandLineOption quietOption({"q", "quiet"},
                                     "Print only errors, refusals and what was asked for.");
const QCommandLineOption verboseOption({"v", "verbose"},
                                       "Also print every frame sent and read, on standard error.");

QCommandLineOption hidden(QCommandLineOption option) {
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}
const QCommandLineOption inventoryOption =
    hidden({"inventory", "Read the routers from a JSON inventory file.", "FILE"});
const QCommandLineOption historyFolderOption = hidden(
    {"history-folder", "Read the history below DIR, not in the window's data folder.", "DIR"});

// --help-all, which the help option brings along, shows the same help: there are no Qt
// options worth showing.
bool wantsHelp(const QCommandLineParser &parser) {
    return parser.isSet("help") || parser.isSet("help-all");
}

ParsedArguments failed(const QString &message) {
    return {ParsedArguments::Outcome::Error, {}, message};
}

void describe(QCommandLineParser &parser, const CommandInfo &info) {
    parser.setApplicationDescription(QString::fromLatin1(info.summary));
    parser.addHelpOption();
    parser.addPositionalArgument(info.name, QString::fromLatin1(info.brief), info.name);
    if (info.command == Command::Apply || info.command == Command::Verify) {
        parser.addPositionalArgument("FILE", "A state, route or filter file.");
        parser.addOptions({filterPortOption, allPortsOption});
    }
    if (info.command == Command::HistoryList) {
        parser.addPositionalArgument("ACTION", "list, show or apply", "list|show N|apply N");
        parser.addOption(historyFolderOption);
    }
    if (info.command == Command::List)
        parser.addOption(jsonOption);
    if (info.command == Command::Dump)
        parser.addOption(outputOption);
    if (info.command != Command::List)
        parser.addOptions({deviceOption, portOption, timeoutOption});
    parser.addOptions({quietOption, verboseOption, inventoryOption});
}

// The options of a parsed command line; those its command does not take are never given.
class GivenOptions {
public:
    explicit GivenOptions(const QCommandLineParser &parsed)
        : parser(parsed)
        , names(parsed.optionNames()) {}

    bool isSet(const QCommandLineOption &option) const {
        const QStringList aliases = option.names();
        return std::any_of(aliases.cbegin(), aliases.cend(),
                           [this](const QString &name) { return names.contains(name); });
    }
    QString value(const QCommandLineOption &option) const {
        return isSet(option) ? parser.value(option) : option.defaultValues().value(0);
    }

private:
    const QCommandLineParser &parser;
    QStringList names; // long and short names alike, as given
};

// A --filter-port name as filterPortName writes it, when it is written so or with a blank before
// the number, as the routing side writes port names; otherwise the name as given.
QString filterPortGiven(const QString &name) {
    static const QRegularExpression blankBeforeNumber(QStringLiteral(" (?=[0-9]+$)"));
    const QString joined = QString(name).remove(blankBeforeNumber);
    return PortIdentity::filterPortNamed(joined) ? joined : name;
}

// Upper case, without blanks, dashes and underscores: how a near miss is compared.
QString loose(const QString &name) {
    static const QRegularExpression separators(QStringLiteral("[\\s_-]"));
    return name.toUpper().remove(separators);
}

// The filter port a near miss most likely means; empty when none.
QString filterPortMeant(const QString &name) {
    static const QRegularExpression kindAndNumber(QStringLiteral("^([^0-9]+)([0-9]+)$"));
    const QRegularExpressionMatch match = kindAndNumber.match(loose(name));
    const QStringList &kinds = PortIdentity::filterPortKinds();
    for (int kind = 0; match.hasMatch() && kind < kinds.size(); ++kind) {
        const QString port = PortIdentity::filterPortName(kind, match.captured(2).toInt());
        if (loose(kinds.at(kind)) == match.captured(1) && PortIdentity::filterPortNamed(port))
            return port;
    }
    return QString();
}

QString noFilterPort(const QString &name) {
    const QString problem = QStringLiteral("--filter-port: no filter port \"%1\"").arg(name);
    const QString meant = filterPortMeant(name);
    return meant.isEmpty() ? problem
                           : problem + QStringLiteral("; did you mean \"%1\"?").arg(meant);
}

// The checks that the parser cannot make; empty when the arguments fit together.
// history's action and entry number, from the words after "history"; false unless they are
// "list", "show N" or "apply N" with N from 1.
bool readHistoryAction(const QStringList &words, CliArguments &arguments) {
    if (words == QStringList{"list"}) {
        arguments.command = Command::HistoryList;
        return true;
    }
    const int action = QStringList{"show", "apply"}.indexOf(words.value(0));
    arguments.command = action == 0 ? Command::HistoryShow : Command::HistoryApply;
    bool number = false;
    arguments.entry = words.value(1).toInt(&number);
    return action >= 0 && words.size() == 2 && number && arguments.entry >= 1;
}

QString mismatch(const GivenOptions &given, int fileCount, const CliArguments &arguments) {
    const bool takesFile =
        arguments.command == Command::Apply || arguments.command == Command::Verify;
    if (fileCount != (takesFile ? 1 : 0))
        return takesFile ? QStringLiteral("one FILE expected") : QStringLiteral("no FILE expected");
    if (given.isSet(filterPortOption) && given.isSet(allPortsOption))
        return QStringLiteral("--filter-port and --all-ports exclude each other");
    if (given.isSet(filterPortOption) && !PortIdentity::filterPortNamed(arguments.filterPort))
        return noFilterPort(arguments.filterPort);
    if (given.isSet(deviceOption) && given.isSet(portOption))
        return QStringLiteral("--device and --port exclude each other");
    if (given.isSet(quietOption) && given.isSet(verboseOption))
        return QStringLiteral("--quiet and --verbose exclude each other");
    if (arguments.timeoutMs < 1)
        return QStringLiteral("--timeout takes a number of milliseconds above 0");
    return QString();
}

CliArguments::Verbosity verbosity(const GivenOptions &given) {
    if (given.isSet(quietOption))
        return CliArguments::Verbosity::Quiet;
    if (given.isSet(verboseOption))
        return CliArguments::Verbosity::Verbose;
    return CliArguments::Verbosity::Normal;
}

} // namespace

bool CliArguments::operator==(const CliArguments &other) const {
    return command == other.command && json == other.json && output == other.output &&
           file == other.file && filterPort == other.filterPort && allPorts == other.allPorts &&
           device == other.device && port == other.port && timeoutMs == other.timeoutMs &&
           verbosity == other.verbosity && entry == other.entry &&
           inventoryFile == other.inventoryFile && historyFolder == other.historyFolder;
}

ParsedArguments parseCliArguments(const QStringList &arguments) {
    // First the command: everything after it belongs to the command.
    QCommandLineParser top;
    top.setApplicationDescription(overview());
    top.addHelpOption();
    // Long only: -v is --verbose.
    const QCommandLineOption versionOption("version", "Print the version and exit.");
    top.addOption(versionOption);
    top.addPositionalArgument("command", "list, dump, apply, verify or history",
                              "COMMAND [options]");
    top.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!top.parse(arguments))
        return failed(top.errorText());
    const QStringList rest = top.positionalArguments();
    if (wantsHelp(top))
        return {ParsedArguments::Outcome::Help, {}, top.helpText()};
    if (top.isSet(versionOption))
        return {ParsedArguments::Outcome::Version, {}, {}};
    if (rest.isEmpty())
        return failed(QStringLiteral("no command given (list, dump, apply, verify or history)"));
    const auto info =
        std::find_if(commands().cbegin(), commands().cend(),
                     [&rest](const CommandInfo &c) { return c.name == rest.first(); });
    if (info == commands().cend())
        return failed(QStringLiteral("unknown command \"%1\"").arg(rest.first()));

    QCommandLineParser parser;
    describe(parser, *info);
    if (!parser.parse(QStringList(arguments.value(0)) + rest))
        return failed(QStringLiteral("%1: %2").arg(info->name, parser.errorText()));
    if (wantsHelp(parser))
        return {ParsedArguments::Outcome::Help, {}, parser.helpText()};

    const GivenOptions given(parser);
    CliArguments parsed;
    parsed.command = info->command;
    parsed.json = given.isSet(jsonOption);
    parsed.output = given.value(outputOption);
    parsed.filterPort = filterPortGiven(given.value(filterPortOption));
    parsed.allPorts = given.isSet(allPortsOption);
    parsed.device = given.value(deviceOption);
    parsed.port = given.value(portOption);
    parsed.verbosity = verbosity(given);
    parsed.inventoryFile = given.value(inventoryOption);
    parsed.historyFolder = given.value(historyFolderOption);
    if (given.isSet(timeoutOption)) {
        bool number = false;
        parsed.timeoutMs = given.value(timeoutOption).toInt(&number);
        if (!number)
            parsed.timeoutMs = 0;
    }
    QStringList words = parser.positionalArguments().mid(1);
    if (info->command == Command::HistoryList) {
        if (!readHistoryAction(words, parsed))
            return failed(QStringLiteral("history: list, show N or apply N expected, N an "
                                         "entry's number from 1"));
        words.clear();
    }
    parsed.file = words.value(0);
    const QString problem = mismatch(given, words.size(), parsed);
    if (!problem.isEmpty())
        return failed(QStringLiteral("%1: %2").arg(info->name, problem));
    return {ParsedArguments::Outcome::Run, parsed, QString()};
}

#include "cli/cliarguments.h"

#include <QTest>

namespace {

using Command = CliArguments::Command;
using Verbosity = CliArguments::Verbosity;
using Outcome = ParsedArguments::Outcome;

CliArguments command(Command which) {
    CliArguments arguments;
    arguments.command = which;
    return arguments;
}

ParsedArguments parse(const QStringList &words) {
    return parseCliArguments(QStringList("pellvane-cli") + words);
}

} // namespace

Q_DECLARE_METATYPE(CliArguments)

class TestCliArguments : public QObject {
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void mistakes_data();
    void mistakes();
    void help_data();
    void help();
};

void TestCliArguments::commands_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<CliArguments>("expected");

    QTest::newRow("list") << QStringList{"list"} << command(Command::List);
    CliArguments json = command(Command::List);
    json.json = true;
    json.verbosity = Verbosity::Quiet;
    json.inventoryFile = "inventory.json";
    QTest::newRow("list --json, quiet, hidden inventory")
        << QStringList{"list", "--json", "-q", "--inventory", "inventory.json"} << json;

    CliArguments dump = command(Command::Dump);
    dump.output = "a.json";
    dump.port = "/dev/ttyACM0";
    dump.timeoutMs = 500;
    dump.verbosity = Verbosity::Verbose;
    QTest::newRow("dump with every option")
        << QStringList{"dump",         "-o",        "a.json", "--port",
                       "/dev/ttyACM0", "--timeout", "500",    "--verbose"}
        << dump;

    CliArguments apply = command(Command::Apply);
    apply.file = "a.json";
    apply.device = "Kelvanto MIDI Router";
    QTest::newRow("apply, options after FILE")
        << QStringList{"apply", "a.json", "--device", "Kelvanto MIDI Router"} << apply;

    CliArguments onePort = command(Command::Verify);
    onePort.file = "filter.json";
    onePort.filterPort = "USB DEVICE OUT12";
    onePort.verbosity = Verbosity::Quiet;
    QTest::newRow("verify a filter file for one port")
        << QStringList{"verify", "--quiet", "--filter-port", "USB DEVICE OUT12", "filter.json"}
        << onePort;

    CliArguments allPorts = command(Command::Apply);
    allPorts.file = "filter.json";
    allPorts.allPorts = true;
    QTest::newRow("apply a filter file to every port")
        << QStringList{"apply", "filter.json", "--all-ports"} << allPorts;
}

void TestCliArguments::commands() {
    QFETCH(QStringList, words);
    QFETCH(CliArguments, expected);
    const ParsedArguments parsed = parse(words);
    QCOMPARE(parsed.text, QString());
    QCOMPARE(parsed.outcome, Outcome::Run);
    QVERIFY(parsed.arguments == expected);
}

void TestCliArguments::mistakes_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("error");

    QTest::newRow("no command") << QStringList{}
                                << "no command given (list, dump, apply or verify)";
    QTest::newRow("unknown command") << QStringList{"restore"} << "unknown command \"restore\"";
    QTest::newRow("option before the command")
        << QStringList{"--port", "/dev/ttyACM0", "dump"} << "Unknown option 'port'.";
    QTest::newRow("apply without FILE") << QStringList{"apply"} << "apply: one FILE expected";
    QTest::newRow("dump with a FILE") << QStringList{"dump", "a.json"} << "dump: no FILE expected";
    QTest::newRow("list takes no port")
        << QStringList{"list", "--port", "/dev/ttyACM0"} << "list: Unknown option 'port'.";
    QTest::newRow("-o needs a value")
        << QStringList{"dump", "-o"} << "dump: Missing value after '-o'.";
    QTest::newRow("one port and all ports")
        << QStringList{"apply", "f.json", "--filter-port", "MIDI IN1", "--all-ports"}
        << "apply: --filter-port and --all-ports exclude each other";
    QTest::newRow("filter port with a blank")
        << QStringList{"apply", "f.json", "--filter-port", "MIDI IN 1"}
        << "apply: --filter-port: \"MIDI IN 1\" is no filter port name";
    QTest::newRow("filter port 0") << QStringList{"verify", "f.json", "--filter-port", "MIDI OUT0"}
                                   << "verify: --filter-port: \"MIDI OUT0\" is no filter port name";
    QTest::newRow("device and port")
        << QStringList{"dump", "--device", "Kelvanto MIDI Router", "--port", "/dev/ttyACM0"}
        << "dump: --device and --port exclude each other";
    QTest::newRow("quiet and verbose")
        << QStringList{"dump", "-q", "-v"} << "dump: --quiet and --verbose exclude each other";
    for (const char *timeout : {"0", "-5", "2s", ""})
        QTest::newRow(qPrintable(QStringLiteral("timeout '%1'").arg(timeout)))
            << QStringList{"dump", "--timeout", timeout}
            << "dump: --timeout takes a number of milliseconds above 0";
}

void TestCliArguments::mistakes() {
    QFETCH(QStringList, words);
    QFETCH(QString, error);
    const ParsedArguments parsed = parse(words);
    QCOMPARE(parsed.outcome, Outcome::Error);
    QCOMPARE(parsed.text, error);
}

// Each command's help shows its own options only, never the hidden inventory option.
void TestCliArguments::help_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("notShown");

    const QStringList common = {"--quiet", "--verbose"};
    QTest::newRow("the commands") << QStringList{"--help"}
                                  << QStringList{"list ", "dump ", "apply ", "verify ",
                                                 "4 the router refused a command"}
                                  << QStringList{"--inventory", "--port"};
    QTest::newRow("list") << QStringList{"list", "--help"} << common + QStringList{"--json"}
                          << QStringList{"--inventory", "--port", "--timeout"};
    QTest::newRow("dump") << QStringList{"dump", "-h"}
                          << common + QStringList{"--output", "--device", "--port", "--timeout",
                                                  "(default 2000)"}
                          << QStringList{"--inventory", "--filter-port", "--json"};
    QTest::newRow("apply") << QStringList{"apply", "--help", "a.json"}
                           << common + QStringList{"FILE", "--filter-port", "--all-ports"}
                           << QStringList{"--inventory", "--output"};
}

void TestCliArguments::help() {
    QFETCH(QStringList, words);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, notShown);
    const ParsedArguments parsed = parse(words);
    QCOMPARE(parsed.outcome, Outcome::Help);
    for (const QString &text : shown)
        QVERIFY2(parsed.text.contains(text), qPrintable(text));
    for (const QString &text : notShown)
        QVERIFY2(!parsed.text.contains(text), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cliarguments.moc"

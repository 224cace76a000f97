// The command line read into its struct, without running anything. tst_pellvanecli runs the
// options at work; here the refusals, the help and the one option no run looks at.
#include "cli/cliarguments.h"

#include <QTest>

namespace {

ParsedArguments parse(const QStringList &words) {
    return parseCliArguments(QStringList("pellvane-cli") + words);
}

} // namespace

class TestCliArguments : public QObject {
    Q_OBJECT

private slots:
    void verbose();
    void mistakes_data();
    void mistakes();
    void help();
};

void TestCliArguments::verbose() {
    const ParsedArguments parsed = parse({"dump", "--verbose"});
    QCOMPARE(parsed.outcome, ParsedArguments::Outcome::Run);
    QVERIFY(parsed.arguments.verbosity == CliArguments::Verbosity::Verbose);
}

void TestCliArguments::mistakes_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("error");

    QTest::newRow("no command") << QStringList{}
                                << "no command given (list, dump, apply, verify or history)";
    QTest::newRow("unknown command") << QStringList{"restore"} << "unknown command \"restore\"";
    QTest::newRow("option before the command")
        << QStringList{"--port", "/dev/ttyACM0", "dump"} << "Unknown option 'port'.";
    QTest::newRow("apply without FILE") << QStringList{"apply"} << "apply: one FILE expected";
    QTest::newRow("dump with a FILE") << QStringList{"dump", "a.json"} << "dump: no FILE expected";
    QTest::newRow("list takes no port")
        << QStringList{"list", "--port", "/dev/ttyACM0"} << "list: Unknown option 'port'.";
    QTest::newRow("one port and all ports")
        << QStringList{"apply", "f.json", "--filter-port", "MIDI IN1", "--all-ports"}
        << "apply: --filter-port and --all-ports exclude each other";
    QTest::newRow("filter port near miss")
        << QStringList{"verify", "f.json", "--filter-port", "usb-Device IN 2 "}
        << "verify: --filter-port: no filter port \"usb-Device IN 2 \"; "
           "did you mean \"USB DEVICE IN2\"?";
    QTest::newRow("filter port 0") << QStringList{"apply", "f.json", "--filter-port", "MIDI IN 0"}
                                   << "apply: --filter-port: no filter port \"MIDI IN 0\"";
    QTest::newRow("device and port")
        << QStringList{"dump", "--device", "Kelvanto MIDI Router", "--port", "/dev/ttyACM0"}
        << "dump: --device and --port exclude each other";
    QTest::newRow("quiet and verbose")
        << QStringList{"dump", "-q", "-v"} << "dump: --quiet and --verbose exclude each other";
    QTest::newRow("timeout 0") << QStringList{"dump", "--timeout", "0"}
                               << "dump: --timeout takes a number of milliseconds above 0";
    const QString historyWords =
        "history: list, show N or apply N expected, N an entry's number from 1";
    QTest::newRow("history alone") << QStringList{"history"} << historyWords;
    QTest::newRow("history list 1") << QStringList{"history", "list", "1"} << historyWords;
    QTest::newRow("history show") << QStringList{"history", "show"} << historyWords;
    QTest::newRow("history apply 0") << QStringList{"history", "apply", "0"} << historyWords;
    QTest::newRow("history drop 1") << QStringList{"history", "drop", "1"} << historyWords;
    QTest::newRow("history of a file") << QStringList{"history", "show", "1", "--all-ports"}
                                       << "history: Unknown option 'all-ports'.";
}

void TestCliArguments::mistakes() {
    QFETCH(QStringList, words);
    QFETCH(QString, error);
    const ParsedArguments parsed = parse(words);
    QCOMPARE(parsed.outcome, ParsedArguments::Outcome::Error);
    QCOMPARE(parsed.text, error);
}

// The command list with the exit statuses; a command's help with its own options only, never
// the hidden inventory option.
void TestCliArguments::help() {
    const ParsedArguments commands = parse({"--help"});
    QCOMPARE(commands.outcome, ParsedArguments::Outcome::Help);
    for (const char *text :
         {"list ", "dump ", "apply ", "verify ", "history ", "4 the router refused a command"})
        QVERIFY2(commands.text.contains(text), text);
    const ParsedArguments list = parse({"list", "--help"});
    QCOMPARE(list.outcome, ParsedArguments::Outcome::Help);
    QVERIFY2(list.text.contains("--json") && !list.text.contains("--port") &&
                 !list.text.contains("--inventory"),
             qPrintable(list.text));
    const QString history = parse({"history", "--help"}).text;
    QVERIFY2(history.contains("history apply N") && !history.contains("--history-folder"),
             qPrintable(history));
    QCOMPARE(parse({"--version"}).outcome, ParsedArguments::Outcome::Version);
    QCOMPARE(parse({"-v"}).outcome, ParsedArguments::Outcome::Error);
}

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cliarguments.moc"

// The command line read into its struct, without running anything. The options at work are
// run end to end in tst_pellvanecli; here what a script cannot see: the fields, the refusals
// and what each command's help shows.
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
    void everyOptionInItsField();
    void mistakes_data();
    void mistakes();
    void help_data();
    void help();
};

void TestCliArguments::everyOptionInItsField() {
    CliArguments dump;
    dump.command = CliArguments::Command::Dump;
    dump.output = "a.json";
    dump.port = "/dev/ttyACM0";
    dump.timeoutMs = 500;
    dump.verbosity = CliArguments::Verbosity::Verbose;
    dump.inventoryFile = "inventory.json";
    const ParsedArguments parsed =
        parse({"dump", "-o", "a.json", "--port", "/dev/ttyACM0", "--timeout", "500", "--verbose",
               "--inventory", "inventory.json"});
    QCOMPARE(parsed.outcome, ParsedArguments::Outcome::Run);
    QVERIFY(parsed.arguments == dump);
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
    QTest::newRow("one port and all ports")
        << QStringList{"apply", "f.json", "--filter-port", "MIDI IN1", "--all-ports"}
        << "apply: --filter-port and --all-ports exclude each other";
    QTest::newRow("filter port with a blank")
        << QStringList{"apply", "f.json", "--filter-port", "MIDI IN 1"}
        << "apply: --filter-port: \"MIDI IN 1\" is no filter port name";
    QTest::newRow("device and port")
        << QStringList{"dump", "--device", "Kelvanto MIDI Router", "--port", "/dev/ttyACM0"}
        << "dump: --device and --port exclude each other";
    QTest::newRow("quiet and verbose")
        << QStringList{"dump", "-q", "-v"} << "dump: --quiet and --verbose exclude each other";
    for (const char *timeout : {"0", "2s"})
        QTest::newRow(qPrintable(QStringLiteral("timeout '%1'").arg(timeout)))
            << QStringList{"dump", "--timeout", timeout}
            << "dump: --timeout takes a number of milliseconds above 0";
}

void TestCliArguments::mistakes() {
    QFETCH(QStringList, words);
    QFETCH(QString, error);
    const ParsedArguments parsed = parse(words);
    QCOMPARE(parsed.outcome, ParsedArguments::Outcome::Error);
    QCOMPARE(parsed.text, error);
}

// Each command's help shows its own options only, never the hidden inventory option.
void TestCliArguments::help_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("notShown");

    QTest::newRow("the commands") << QStringList{"--help"}
                                  << QStringList{"list ", "dump ", "apply ", "verify ",
                                                 "4 the router refused a command"}
                                  << QStringList{"--inventory", "--port"};
    QTest::newRow("list") << QStringList{"list", "--help"} << QStringList{"--json", "--quiet"}
                          << QStringList{"--inventory", "--port", "--timeout"};
    QTest::newRow("apply") << QStringList{"apply", "--help", "a.json"}
                           << QStringList{"FILE",     "--filter-port", "--all-ports",
                                          "--device", "--timeout",     "(default 2000)"}
                           << QStringList{"--inventory", "--output", "--json"};
}

void TestCliArguments::help() {
    QFETCH(QStringList, words);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, notShown);
    const ParsedArguments parsed = parse(words);
    QCOMPARE(parsed.outcome, ParsedArguments::Outcome::Help);
    for (const QString &text : shown)
        QVERIFY2(parsed.text.contains(text), qPrintable(text));
    for (const QString &text : notShown)
        QVERIFY2(!parsed.text.contains(text), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cliarguments.moc"

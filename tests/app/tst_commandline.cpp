// The program's command line, run as a separate process: --version and --help answer without
// a display, and unknown options and arguments are refused without one; Qt's own options pass.
// The simulator's --help.
#include "tests/support/process.h"

namespace {

QProcessEnvironment withoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    return environment;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void answersWithoutDisplay();
    void refusesWhatItDoesNotKnow_data();
    void refusesWhatItDoesNotKnow();
};

void TestCommandLine::answersWithoutDisplay() {
    const ProcessRun version =
        runProcess(PELLVANE_PROGRAM, {"-platform", "xcb", "--version"}, withoutDisplay());
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out,
             QString("pellvane " PELLVANE_VERSION "\nLicense GPL-3.0-or-later: no warranty\n"));
    const ProcessRun help = runProcess(PELLVANE_PROGRAM, {"--help"}, withoutDisplay());
    QCOMPARE(help.status, 0);
    QVERIFY2(help.out.startsWith("Usage: ") && help.out.contains("Kelvanto USB MIDI router") &&
                 help.out.contains("--version") && help.out.contains("--help") &&
                 help.out.contains("--verbose") && help.out.contains("pellvane.input"),
             qPrintable(help.out));
    // The answers above did not come from a window: without them the program needs a display.
    QVERIFY(runProcess(PELLVANE_PROGRAM, {}, withoutDisplay()).status != 0);
    // The simulator answers --help instead of starting.
    const ProcessRun simHelp = runProcess(PELLVANE_SIM_PROGRAM, {"--help"});
    QVERIFY2(simHelp.status == 0 && simHelp.out.contains("pseudo-terminal"),
             qPrintable(simHelp.out));
}

void TestCommandLine::refusesWhatItDoesNotKnow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "Unknown option 'bogus'.";
    QTest::newRow("a file") << QStringList{"routes.ini"}
                            << "This program takes no file or other argument.";
}

// Refused before a display is needed; Qt's own options, such as -style, pass the check.
void TestCommandLine::refusesWhatItDoesNotKnow() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const ProcessRun refused =
        runProcess(PELLVANE_PROGRAM, QStringList{"-style", "fusion"} + arguments, withoutDisplay());
    QCOMPARE(refused.status, 2);
    QVERIFY2(refused.err.startsWith(reason + "\nUsage: "), qPrintable(refused.err));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

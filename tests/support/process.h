#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

// A program run to its end, for tests that run programs as a user or a script does.
struct ProcessRun {
    int status = -1; // the exit code; -1 when it crashed or was killed after a minute
    QString out;
    QString err;
    qint64 ms = 0;
};

// The event loop runs meanwhile, so that a simulated router in this process can answer.
inline ProcessRun
runProcess(const QString &program, const QStringList &arguments,
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
           const QString &stderrFile = QString()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!stderrFile.isEmpty())
        process.setStandardErrorFile(stderrFile);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    ProcessRun run;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ms = clock.elapsed();
    if (process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

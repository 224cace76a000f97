// Prints what the receive splitter costs: many frames in one chunk, and bytes with a frame
// start but no end arriving in small chunks. Run by hand; the figures should grow in
// proportion to the input.
#include "link/fifobuffer.h"
#include "link/sysexframe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextStream>

namespace {

struct Run {
    qint64 ms = 0;
    int frames = 0;
};

Run timed(const QList<QByteArray> &chunks) {
    FiFoBuffer buffer;
    Run run;
    QObject::connect(&buffer, &FiFoBuffer::currDataFrame, [&run] { ++run.frames; });
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &chunk : chunks)
        buffer.pushBytes(chunk);
    run.ms = clock.elapsed();
    return run;
}

// Route reports, all in one chunk.
QList<QByteArray> framesInOneChunk(int count) {
    const QByteArray report = SysexFrame::build(SysexFrame::ClassQuery, 0x03, {0, 1, 0, 2, 1});
    return {report.repeated(count)};
}

// A start byte, then 7-bit bytes without end, in chunks of chunkSize; one route report last.
QList<QByteArray> unendedBytes(int total, int chunkSize) {
    QByteArray bytes(total, 0x11);
    bytes[0] = SYSEX_START;
    QList<QByteArray> chunks;
    for (int at = 0; at < total; at += chunkSize)
        chunks << bytes.mid(at, chunkSize);
    chunks << SysexFrame::build(SysexFrame::ClassQuery, 0x03, {0, 1, 0, 2, 1});
    return chunks;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules("default.debug=false"); // one "read data:" line per chunk
    QTextStream out(stdout);
    const auto report = [&out](const QString &what, const Run &run) {
        out << what.leftJustified(44) << QString::number(run.ms).rightJustified(8) << " ms  "
            << run.frames << " frames\n";
        out.flush();
    };
    for (int count : {8000, 32000, 128000})
        report(QString("%1 frames in one chunk").arg(count), timed(framesInOneChunk(count)));
    for (int kib : {256, 1024})
        report(QString("%1 KiB unended, 64-byte chunks").arg(kib),
               timed(unendedBytes(kib * 1024, 64)));
    return 0;
}

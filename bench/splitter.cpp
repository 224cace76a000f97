// Prints what the receive splitter costs: many frames in one chunk, and bytes with a frame
// start but no end arriving in 64-byte chunks. Run by hand; the figures should grow in
// proportion to the input.
#include "link/fifobuffer.h"
#include "link/sysexframe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextStream>

namespace {

// Pushes the chunks, then prints what it took and how many frames came out.
void timed(const QString &what, const QList<QByteArray> &chunks) {
    FiFoBuffer buffer;
    int frames = 0;
    QObject::connect(&buffer, &FiFoBuffer::currDataFrame, [&frames] { ++frames; });
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &chunk : chunks)
        buffer.pushBytes(chunk);
    QTextStream(stdout) << what.leftJustified(44)
                        << QString::number(clock.elapsed()).rightJustified(8) << " ms  " << frames
                        << " frames\n";
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules("default.debug=false"); // one "read data:" line per chunk
    const QByteArray report = SysexFrame::build(SysexFrame::ClassQuery, 0x03, {0, 1, 0, 2, 1});
    for (int count : {8000, 32000, 128000})
        timed(QString("%1 frames in one chunk").arg(count), {report.repeated(count)});
    for (int kib : {256, 1024}) {
        QByteArray unended(kib * 1024, 0x11);
        unended[0] = SYSEX_START;
        QList<QByteArray> chunks;
        for (int at = 0; at < unended.size(); at += 64)
            chunks << unended.mid(at, 64);
        timed(QString("%1 KiB unended, 64-byte chunks").arg(kib), chunks << report);
    }
    return 0;
}

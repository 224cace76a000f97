#include "link/fifobuffer.h"
#include "link/sysexframe.h"

#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

namespace {

QByteArray frameOfLength(int length, int classByte = 1, int codeByte = 3) {
    return SysexFrame::build(classByte, codeByte, QByteArray(length - 7, 0x11));
}

using Chunks = QList<QByteArray>;

// Every emission, in order.
struct Recorder {
    explicit Recorder(FiFoBuffer &buffer) {
        QObject::connect(&buffer, &FiFoBuffer::currDataFrame,
                         [this](Feedbacktype kind, const QByteArray &frame) {
                             kinds << kind;
                             frames << frame;
                         });
    }
    QList<int> kinds;
    QList<QByteArray> frames;
};

} // namespace

class TestSplitter : public QObject {
    Q_OBJECT

private slots:
    // The random input would flood the log with traces.
    void initTestCase() { QLoggingCategory::setFilterRules("default.debug=false"); }
    void stream_data();
    void stream();
    void reentrantHandlerSeesEachFrameOnce();
    void randomBytesGiveOnlyWholeFrames();
};

void TestSplitter::stream_data() {
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<Chunks>("expected");
    QTest::addColumn<QList<int>>("kinds");
    const QByteArray route = frameOfLength(12);

    // The kind follows from the length, and for 8- and 9-byte frames from the header bytes;
    // those with an unknown header are dropped.
    const Chunks kept = {frameOfLength(8, 1, 1),  frameOfLength(9, 2, 1),  frameOfLength(9, 2, 2),
                         frameOfLength(9, 2, 3),  frameOfLength(11, 2, 9), frameOfLength(12),
                         frameOfLength(13, 0, 0), frameOfLength(36),       frameOfLength(7),
                         frameOfLength(10, 2, 1), frameOfLength(35)};
    const QList<int> kinds = {
        ModeReport,  RouteResult,           ConfigResult,     FilterResult, PortCountReport,
        RouteReport, FilterPortCountReport, PortFilterReport, OtherFrame,   OtherFrame,
        OtherFrame};
    const Chunks dropped = {frameOfLength(8, 1, 2), frameOfLength(8, 2, 1), frameOfLength(9, 2, 4),
                            frameOfLength(9, 1, 1)};
    QByteArray all;
    for (int i = 0; i < kept.size(); ++i)
        all += dropped.value(i) + kept[i];
    QTest::newRow("every kind in one chunk") << Chunks{all} << kept << kinds;

    QTest::newRow("noise, then a frame in three chunks")
        << Chunks{"\x12\xF7", {}, "\x56", "\x77" + route.left(3), route.mid(3, 5), route.mid(8)}
        << Chunks{route} << QList<int>{RouteReport};
    // The end is searched from the buffer start: a frame that lost its end swallows the next.
    QTest::newRow("lost end joins two frames")
        << Chunks{route.left(6), route} << Chunks{route.left(6) + route} << QList<int>{OtherFrame};
}

void TestSplitter::stream() {
    QFETCH(Chunks, chunks);
    QFETCH(Chunks, expected);
    QFETCH(QList<int>, kinds);
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    for (const QByteArray &chunk : chunks)
        buffer.pushBytes(chunk);

    QCOMPARE(recorder.frames, expected);
    QCOMPARE(recorder.kinds, kinds);
    QVERIFY(buffer.rxBuffer.isEmpty());
}

// A handler that reads more bytes from the line (as a nested event loop does) pushes them
// while the outer split is still emitting.
void TestSplitter::reentrantHandlerSeesEachFrameOnce() {
    FiFoBuffer buffer;
    const Chunks frames = {frameOfLength(11), frameOfLength(12), frameOfLength(13),
                           frameOfLength(36)};
    QList<QByteArray> seen;
    QObject::connect(&buffer, &FiFoBuffer::currDataFrame, [&](Feedbacktype, QByteArray frame) {
        seen << frame;
        if (frame == frames[0])
            buffer.pushBytes(frames[2] + frames[3].left(20));
        else if (frame == frames[2])
            buffer.pushBytes(frames[3].mid(20));
    });

    buffer.pushBytes(frames[0] + frames[1]);

    QCOMPARE(seen, frames);
    QVERIFY(buffer.rxBuffer.isEmpty());
}

// Whatever arrives, every frame handed on is whole and was taken from the input.
void TestSplitter::randomBytesGiveOnlyWholeFrames() {
    QRandomGenerator random(20240611);
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    QByteArray all(64000, Qt::Uninitialized);
    std::generate(all.begin(), all.end(), [&] { return char(random.bounded(256)); });
    for (int at = 0; at < all.size(); at += 50)
        buffer.pushBytes(all.mid(at, 50));
    QVERIFY(recorder.frames.size() > 100);
    for (const QByteArray &frame : qAsConst(recorder.frames))
        QVERIFY(frame.startsWith(SYSEX_START) && frame.indexOf(SYSEX_END) == frame.size() - 1 &&
                all.contains(frame));
}

QTEST_GUILESS_MAIN(TestSplitter)
#include "tst_splitter.moc"

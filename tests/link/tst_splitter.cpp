#include "link/fifobuffer.h"
#include "link/sysexframe.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

// Frames as the router would send them: envelope, header, filler payload, end byte.
QByteArray frameOfLength(int length, int classByte, int codeByte) {
    QByteArray frame =
        SysexFrame::build(classByte, codeByte, QByteArray(qMax(0, length - 7), 0x11));
    if (length < frame.size()) // shorter than the envelope: cut it and close it again
        frame = frame.left(length - 1) + SYSEX_END;
    return frame;
}

QList<QByteArray> repeated(int count, const QByteArray &chunk) {
    return QVector<QByteArray>(count, chunk).toList();
}

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

struct Received {
    Feedbacktype type;
    QByteArray frame;
};

// Records every emission, in order.
class Recorder : public QObject {
public:
    explicit Recorder(FiFoBuffer &buffer) {
        connect(&buffer, &FiFoBuffer::currDataFrame, this,
                [this](Feedbacktype fb, const QByteArray &data) {
                    frames.append({fb, data});
                });
    }
    QList<Received> frames;
    QList<QByteArray> bytes() const {
        QList<QByteArray> all;
        for (const Received &r : frames)
            all << r.frame;
        return all;
    }
};

QStringList traces;
void collectTraces(QtMsgType, const QMessageLogContext &, const QString &message) {
    traces << message;
}

} // namespace

class TestSplitter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void classification_data();
    void classification();
    void noiseBeforeStartIsDropped();
    void bytesWithoutStartWaitForOne();
    void frameInThreeChunksIsEmittedOnceAtTheEnd();
    void severalFramesInOneChunkComeInOrder();
    void lostEndJoinsTwoFrames();
    void reentrantHandlerSeesEachFrameOnce();
    void oneTracePerChunk();
    void badInputNeverBreaksTheBuffer_data();
    void badInputNeverBreaksTheBuffer();
    void randomBytesKeepEveryFrameWhole();

private:
    QtMessageHandler previousHandler = nullptr;
};

// Traces are collected instead of printed: the bad-input tests push megabytes.
void TestSplitter::init() {
    traces.clear();
    previousHandler = qInstallMessageHandler(collectTraces);
}

void TestSplitter::cleanup() {
    qInstallMessageHandler(previousHandler);
}

// -1 marks frames that are dropped without a signal.
void TestSplitter::classification_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("expected");

    const QList<QPair<int, int>> headers = {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2},
                                            {2, 3}, {2, 4}, {0, 1}, {3, 1}};
    const QMap<int, int> byLength = {{11, PortCountReport},
                                     {12, RouteReport},
                                     {13, FilterPortCountReport},
                                     {36, PortFilterReport}};
    const QMap<QPair<int, int>, int> nineByteResults = {
        {{2, 1}, RouteResult}, {{2, 2}, ConfigResult}, {{2, 3}, FilterResult}};

    for (int length = 2; length <= 40; ++length) {
        for (const QPair<int, int> &header : headers) {
            int expected = byLength.value(length, OtherFrame);
            if (length == 8)
                expected = header == qMakePair(1, 1) ? ModeReport : -1;
            if (length == 9)
                expected = nineByteResults.value(header, -1);
            QTest::addRow("length %d, header %02x %02x", length, header.first, header.second)
                << frameOfLength(length, header.first, header.second) << expected;
        }
    }
}

void TestSplitter::classification() {
    QFETCH(QByteArray, frame);
    QFETCH(int, expected);
    FiFoBuffer buffer;
    Recorder recorder(buffer);

    buffer.pushBytes(frame);

    QVERIFY(buffer.rxBuffer.isEmpty());
    if (expected < 0) {
        QCOMPARE(recorder.frames.size(), 0);
        return;
    }
    QCOMPARE(recorder.frames.size(), 1);
    QCOMPARE(int(recorder.frames.first().type), expected);
    QCOMPARE(recorder.frames.first().frame, frame);
}

void TestSplitter::noiseBeforeStartIsDropped() {
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    buffer.pushBytes(hex("1234f7") + hex("f000215e010102f7"));
    QCOMPARE(recorder.bytes(), QList<QByteArray>{hex("f000215e010102f7")});
    QCOMPARE(recorder.frames.first().type, ModeReport);
    QVERIFY(buffer.rxBuffer.isEmpty());
}

void TestSplitter::bytesWithoutStartWaitForOne() {
    FiFoBuffer buffer;
    Recorder recorder(buffer);

    buffer.pushBytes(hex("1234f7"));
    buffer.pushBytes(hex("56"));
    QCOMPARE(recorder.frames.size(), 0);
    QCOMPARE(buffer.rxBuffer, hex("1234f756"));

    buffer.pushBytes(hex("77f000215e020300") + hex("00f7"));
    QCOMPARE(recorder.bytes(), QList<QByteArray>{hex("f000215e02030000f7")});
    QCOMPARE(recorder.frames.first().type, FilterResult);
    QVERIFY(buffer.rxBuffer.isEmpty());
}

void TestSplitter::frameInThreeChunksIsEmittedOnceAtTheEnd() {
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    const QByteArray frame = frameOfLength(12, 1, 3);

    buffer.pushBytes(frame.left(3));
    QCOMPARE(recorder.frames.size(), 0);
    buffer.pushBytes(frame.mid(3, 5));
    QCOMPARE(recorder.frames.size(), 0);
    buffer.pushBytes(frame.mid(8));

    QCOMPARE(recorder.bytes(), QList<QByteArray>{frame});
    QCOMPARE(recorder.frames.first().type, RouteReport);
    buffer.pushBytes(QByteArray());
    QCOMPARE(recorder.frames.size(), 1);
}

void TestSplitter::severalFramesInOneChunkComeInOrder() {
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    const QList<QByteArray> frames = {frameOfLength(8, 1, 1), frameOfLength(11, 1, 3),
                                      frameOfLength(12, 1, 3), frameOfLength(9, 2, 1)};
    const QByteArray tail = frameOfLength(13, 1, 3).left(6);

    buffer.pushBytes(frames.join() + tail);

    QCOMPARE(recorder.bytes(), frames);
    const QList<Feedbacktype> types = {ModeReport, PortCountReport, RouteReport, RouteResult};
    for (int i = 0; i < types.size(); ++i)
        QCOMPARE(recorder.frames.at(i).type, types.at(i));
    QCOMPARE(buffer.rxBuffer, tail);
}

// The end byte is searched from the buffer start, so a frame that lost its end swallows
// the start of the next one.
void TestSplitter::lostEndJoinsTwoFrames() {
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    const QByteArray lostEnd = hex("f000215e0101");
    const QByteArray next = hex("f000215e010102f7");

    buffer.pushBytes(lostEnd);
    buffer.pushBytes(next);

    QCOMPARE(recorder.bytes(), QList<QByteArray>{lostEnd + next});
    QCOMPARE(recorder.frames.first().type, OtherFrame);
}

// A handler that reads more bytes from the line (as a nested event loop does) pushes them
// into the buffer while the outer split is still emitting.
void TestSplitter::reentrantHandlerSeesEachFrameOnce() {
    FiFoBuffer buffer;
    const QByteArray first = frameOfLength(11, 1, 3);
    const QByteArray second = frameOfLength(12, 1, 3);
    const QByteArray third = frameOfLength(13, 1, 3);
    const QByteArray fourth = frameOfLength(36, 1, 3);
    QList<QByteArray> seen;
    int depth = 0;
    int deepest = 0;
    connect(&buffer, &FiFoBuffer::currDataFrame, this, [&](Feedbacktype, const QByteArray &frame) {
        ++depth;
        deepest = qMax(deepest, depth);
        seen << frame;
        if (frame == first) {
            buffer.pushBytes(third.left(4));
            buffer.pushBytes(third.mid(4) + fourth.left(20));
        } else if (frame == third) {
            buffer.pushBytes(fourth.mid(20));
        }
        --depth;
    });

    buffer.pushBytes(first + second);

    QCOMPARE(seen, (QList<QByteArray>{first, second, third, fourth}));
    QVERIFY(deepest > 1);
    QVERIFY(buffer.rxBuffer.isEmpty());
}

void TestSplitter::oneTracePerChunk() {
    FiFoBuffer buffer;
    const QList<QByteArray> chunks = {QByteArray(), hex("f000"), hex("215e010102f7f7"),
                                      frameOfLength(8, 1, 1) + frameOfLength(8, 1, 1)};
    for (const QByteArray &chunk : chunks)
        buffer.pushBytes(chunk);

    QCOMPARE(traces.size(), chunks.size());
    for (const QString &trace : qAsConst(traces))
        QVERIFY2(trace.startsWith("read data:"), qPrintable(trace));
    QVERIFY(traces.at(1).contains("xF0"));
}

void TestSplitter::badInputNeverBreaksTheBuffer_data() {
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("leftOver");

    const QByteArray quietMegabyte(1 << 20, 0x55);
    QTest::newRow("empty chunks") << repeated(50, QByteArray()) << 0;
    QTest::newRow("all F7") << repeated(8, QByteArray(1 << 17, SYSEX_END)) << (1 << 20);
    QTest::newRow("megabytes without F0") << repeated(4, quietMegabyte) << (4 << 20);
    QTest::newRow("start with no end")
        << QList<QByteArray>{SYSEX_START + quietMegabyte} << (1 << 20) + 1;
    QTest::newRow("all F0") << QList<QByteArray>{QByteArray(1 << 16, SYSEX_START)} << (1 << 16);
}

// Whatever came before, the next good frame is delivered whole.
void TestSplitter::badInputNeverBreaksTheBuffer() {
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(int, leftOver);
    FiFoBuffer buffer;
    Recorder recorder(buffer);

    for (const QByteArray &chunk : chunks)
        buffer.pushBytes(chunk);
    QCOMPARE(recorder.frames.size(), 0);
    QCOMPARE(buffer.rxBuffer.size(), leftOver);

    const QByteArray frame = frameOfLength(8, 1, 1);
    buffer.pushBytes(frame);
    QCOMPARE(recorder.frames.size(), 1);
    QVERIFY(recorder.frames.first().frame.endsWith(frame));
    QVERIFY(buffer.rxBuffer.isEmpty());
}

void TestSplitter::randomBytesKeepEveryFrameWhole() {
    QRandomGenerator random(20240611);
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    QByteArray all;

    for (int chunk = 0; chunk < 2000; ++chunk) {
        QByteArray bytes(int(random.bounded(64)), Qt::Uninitialized);
        for (char &b : bytes)
            b = char(random.bounded(256));
        all += bytes;
        buffer.pushBytes(bytes);
    }

    int consumed = 0;
    for (const Received &r : qAsConst(recorder.frames)) {
        QVERIFY(r.frame.startsWith(SYSEX_START));
        QCOMPARE(r.frame.indexOf(SYSEX_END), r.frame.size() - 1);
        QVERIFY(SysexFrame::classify(r.frame) == r.type);
        const int at = all.indexOf(r.frame, consumed);
        QVERIFY(at >= consumed);
        consumed = at + r.frame.size();
    }
    QVERIFY(recorder.frames.size() > 100);
    // What stays is either waiting for a start byte or a started frame waiting for its end.
    QVERIFY(all.endsWith(buffer.rxBuffer));
    const int start = buffer.rxBuffer.indexOf(SYSEX_START);
    QVERIFY(start < 0 || (start == 0 && !buffer.rxBuffer.contains(SYSEX_END)));
}

QTEST_GUILESS_MAIN(TestSplitter)
#include "tst_splitter.moc"

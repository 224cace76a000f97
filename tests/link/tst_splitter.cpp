#include "link/fifobuffer.h"
#include "link/sysexframe.h"

#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

constexpr int Bound = 64 * 1024;

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

// Counts the traces of dropped bytes while it lives, and keeps every trace off the log.
class DropTraces {
public:
    DropTraces() {
        QLoggingCategory::setFilterRules("pellvane.link.debug=true");
        previous = qInstallMessageHandler(&DropTraces::take);
        count = 0;
    }
    ~DropTraces() {
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules("pellvane.link.debug=false");
    }
    static int count;

private:
    static void take(QtMsgType, const QMessageLogContext &, const QString &message) {
        count += message.startsWith("dropped") ? 1 : 0;
    }
    QtMessageHandler previous = nullptr;
};
int DropTraces::count = 0;

// The router's eight replies, whole and with 7-bit bytes, each with a frame that goes wrong
// in one way. Lengths and bytes 4-5 as the protocol lists them, written out by hand.
struct Row {
    const char *name;
    QByteArray bytes;
    QByteArray frame; // what the splitter hands on; empty: the bytes as they are
    int kind;
};

const QByteArray filterValues = QByteArray(25, 0x7F) + hex("0000");

QList<Row> classificationTable() {
    return {
        {"mode report", hex("F000215E 0101 02 F7"), {}, ModeReport},
        {"port counts", hex("F000215E 0102 02020101 F7"), {}, PortCountReport},
        {"route report", hex("F000215E 0103 0001000201 F7"), {}, RouteReport},
        {"route report, state 7F", hex("F000215E 0103 000100027F F7"), {}, RouteReport},
        {"filter port counts", hex("F000215E 0104 020201010101 F7"), {}, FilterPortCountReport},
        {"port filter report",
         hex("F000215E 0105 0001") + filterValues + hex("F7"),
         {},
         PortFilterReport},
        {"route result", hex("F000215E 0201 0101 F7"), {}, RouteResult},
        {"config result", hex("F000215E 0202 0000 F7"), {}, ConfigResult},
        {"filter result", hex("F000215E 0203 0102 F7"), {}, FilterResult},

        {"manufacturer 00 21 5F", hex("F000215F 0103 0001000201 F7"), {}, OtherFrame},
        {"manufacturer 01 21 5E", hex("F001215E 0101 02 F7"), {}, OtherFrame},
        {"manufacturer 00 20 5E", hex("F000205E 0201 0101 F7"), {}, OtherFrame},
        {"no manufacturer", hex("F0 F7"), {}, OtherFrame},

        {"12 bytes, 01 02", hex("F000215E 0102 0001000201 F7"), {}, OtherFrame},
        {"8 bytes, 01 02", hex("F000215E 0102 02 F7"), {}, OtherFrame},
        {"8 bytes, 02 01", hex("F000215E 0201 02 F7"), {}, OtherFrame},
        {"9 bytes, 02 04", hex("F000215E 0204 0000 F7"), {}, OtherFrame},
        {"9 bytes, 01 01", hex("F000215E 0101 0000 F7"), {}, OtherFrame},
        {"11 bytes, 01 03", hex("F000215E 0103 02020101 F7"), {}, OtherFrame},
        {"13 bytes, 01 05", hex("F000215E 0105 020201010101 F7"), {}, OtherFrame},
        {"36 bytes, 02 03", hex("F000215E 0203 0001") + filterValues + hex("F7"), {}, OtherFrame},
        {"10 bytes, 02 01", hex("F000215E 0201 000000 F7"), {}, OtherFrame},
        {"37 bytes, 01 05", hex("F000215E 0105 0001") + filterValues + hex("00F7"), {}, OtherFrame},

        {"route state 80", hex("F000215E 0103 0001000280 F7"), {}, OtherFrame},
        {"class byte 81", hex("F000215E 8101 02 F7"), {}, OtherFrame},
        {"manufacturer byte A1", hex("F000A15E 0201 0000 F7"), {}, OtherFrame},
        {"filter byte FF",
         hex("F000215E 0105 0001FF") + filterValues.mid(1) + hex("F7"),
         {},
         OtherFrame},

        {"lost end, then a frame", hex("F000215E 0103 0001 F000215E 0103 0002000101 F7"),
         hex("F000215E 0103 0002000101 F7"), RouteReport},
        {"noise, stray end, then a frame", hex("1234 F7 56 F000215E 0202 0500 F7"),
         hex("F000215E 0202 0500 F7"), ConfigResult},
    };
}

QByteArray expectedFrame(const Row &row) {
    return row.frame.isEmpty() ? row.bytes : row.frame;
}

} // namespace

class TestSplitter : public QObject {
    Q_OBJECT

private slots:
    void classification_data();
    void classification();
    void framing_data();
    void framing();
    void reentrantHandlerSeesEachFrameOnce();
    void clearWhileEmitting_data();
    void clearWhileEmitting();
    void junkStaysWithinTheBound_data();
    void junkStaysWithinTheBound();
    void longFrameUpToTheBound_data();
    void longFrameUpToTheBound();
};

void TestSplitter::classification_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("kind");
    for (const Row &row : classificationTable())
        QTest::newRow(row.name) << row.bytes << expectedFrame(row) << row.kind;
}

// Every frame is handed on, the wrong ones as OtherFrame.
void TestSplitter::classification() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, frame);
    QFETCH(int, kind);
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    buffer.pushBytes(bytes);
    QCOMPARE(recorder.frames, Chunks{frame});
    QCOMPARE(recorder.kinds, QList<int>{kind});
    QCOMPARE(buffer.heldBytes(), 0);
}

void TestSplitter::framing_data() {
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<Chunks>("expected");
    QTest::addColumn<int>("held"); // bytes kept afterwards
    const QByteArray route = hex("F000215E 0103 0001000201 F7");
    const QByteArray result = hex("F000215E 0201 0000 F7");

    QTest::newRow("noise, then a frame in three chunks")
        << Chunks{"\x12\xF7", {}, "\x56", "\x77" + route.left(3), route.mid(3, 5), route.mid(8)}
        << Chunks{route} << 0;
    QTest::newRow("two frames in one chunk")
        << Chunks{route + result} << Chunks{route, result} << 0;
    QTest::newRow("bytes without a start byte")
        << Chunks{"\x01\x02\x7F", "\x03\xF7"} << Chunks{} << 0;
    QTest::newRow("a frame waits for its end")
        << Chunks{result + route.left(5)} << Chunks{result} << 5;
    QTest::newRow("a start byte cuts off what came before")
        << Chunks{route.left(7), "\xF0\x01", "\x02"} << Chunks{} << 3;
    QTest::newRow("two starts, then an end")
        << Chunks{"\xF0\xF0", "\xF7"} << Chunks{hex("F0F7")} << 0;
}

void TestSplitter::framing() {
    QFETCH(Chunks, chunks);
    QFETCH(Chunks, expected);
    QFETCH(int, held);
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    for (const QByteArray &chunk : chunks)
        buffer.pushBytes(chunk);
    QCOMPARE(recorder.frames, expected);
    QCOMPARE(buffer.heldBytes(), held);
}

// A handler that reads more bytes from the line (as a nested event loop does) pushes them
// while the outer split is still emitting.
void TestSplitter::reentrantHandlerSeesEachFrameOnce() {
    FiFoBuffer buffer;
    const Chunks frames = {hex("F000215E 0102 02020101 F7"), hex("F000215E 0103 0001000201 F7"),
                           hex("F000215E 0104 020201010101 F7"),
                           hex("F000215E 0105 0001") + filterValues + hex("F7")};
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
    QCOMPARE(buffer.heldBytes(), 0);
}

void TestSplitter::clearWhileEmitting_data() {
    QTest::addColumn<bool>("nested");
    QTest::newRow("in the outer split") << false;
    QTest::newRow("in a nested split") << true;
}

// Connecting or disconnecting inside a frame's handling (a message box) clears the buffer
// under the splits that are emitting: what it held is gone, and what comes after is new.
void TestSplitter::clearWhileEmitting() {
    QFETCH(bool, nested);
    const QByteArray first = hex("F000215E 0201 0101 F7");
    const QByteArray second = hex("F000215E 0202 0000 F7");
    const QByteArray stale = hex("F000215E 0103 0001000201 F7");
    const QByteArray fresh = hex("F000215E 0101 02 F7");
    FiFoBuffer buffer;
    QList<QByteArray> seen;
    QObject::connect(&buffer, &FiFoBuffer::currDataFrame, [&](Feedbacktype, QByteArray frame) {
        seen << frame;
        if (nested && frame == first) {
            buffer.splitFrames(); // a wait inside the handling reads on
        } else if (frame == (nested ? second : first)) {
            buffer.clear();
            buffer.pushBytes(fresh.left(3));
        }
    });

    buffer.pushBytes(first + second + stale + stale.left(6));
    QCOMPARE(seen, nested ? Chunks({first, second}) : Chunks({first}));
    QCOMPARE(buffer.heldBytes(), 3);
    buffer.pushBytes(fresh.mid(3));
    QCOMPARE(seen.last(), fresh);
    QCOMPARE(buffer.heldBytes(), 0);
}

void TestSplitter::junkStaysWithinTheBound_data() {
    QTest::addColumn<QByteArray>("junk");
    QTest::addColumn<int>("traces");
    QRandomGenerator random(99);
    QByteArray unended(1024 * 1024, 0x11);
    unended[0] = SYSEX_START;
    QTest::newRow("a start byte and no end") << unended << 1;
    QByteArray noStart(1024 * 1024, Qt::Uninitialized);
    std::generate(noStart.begin(), noStart.end(), [&] {
        const char byte = char(random.bounded(256));
        return byte == SYSEX_START || byte == SYSEX_END ? '\x00' : byte;
    });
    QTest::newRow("no start byte") << noStart << 0;
    // Start bytes wider apart than the bound: each frame start but the last (48 576 bytes
    // before the end) is given up.
    QByteArray starts = noStart;
    for (int at = 0; at < starts.size(); at += 100000)
        starts[at] = SYSEX_START;
    QTest::newRow("a start byte every 100000, no end") << starts << 10;
}

// Bytes that cannot belong to a frame are not kept beyond the bound, with one trace for each
// frame start given up; the frames that follow are cut as ever.
void TestSplitter::junkStaysWithinTheBound() {
    QFETCH(QByteArray, junk);
    QFETCH(int, traces);
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    DropTraces dropped;
    int mostHeld = 0;
    for (int at = 0; at < junk.size(); at += 64) {
        buffer.pushBytes(junk.mid(at, 64));
        mostHeld = qMax(mostHeld, buffer.heldBytes());
    }
    QVERIFY2(mostHeld <= Bound, qPrintable(QString::number(mostHeld)));
    QCOMPARE(DropTraces::count, traces);
    QVERIFY(recorder.frames.isEmpty());

    Chunks replies;
    QByteArray all;
    for (const Row &row : classificationTable()) {
        if (row.kind != OtherFrame && row.frame.isEmpty()) {
            replies << row.bytes;
            all += row.bytes;
        }
    }
    for (int at = 0; at < all.size(); at += 5)
        buffer.pushBytes(all.mid(at, 5));
    QCOMPARE(recorder.frames, replies);
    QCOMPARE(buffer.heldBytes(), 0);
}

void TestSplitter::longFrameUpToTheBound_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("kept");
    QTest::newRow("held bytes at the bound") << Bound + 1 << true;
    QTest::newRow("held bytes past the bound") << Bound + 2 << false;
}

// A frame whose bytes before its end fit the bound still arrives; one byte more and it has
// been given up by the time its end comes.
void TestSplitter::longFrameUpToTheBound() {
    QFETCH(int, length);
    QFETCH(bool, kept);
    QByteArray frame(length, 0x22);
    frame[0] = SYSEX_START;
    frame[length - 1] = SYSEX_END;
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    DropTraces dropped;
    buffer.pushBytes(frame.left(length - 1));
    QCOMPARE(buffer.heldBytes(), kept ? length - 1 : 0);
    buffer.pushBytes(frame.right(1));
    QCOMPARE(recorder.frames, kept ? Chunks{frame} : Chunks{});
    QCOMPARE(DropTraces::count, kept ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestSplitter)
#include "tst_splitter.moc"

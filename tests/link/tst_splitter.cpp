#include "link/fifobuffer.h"
#include "link/sysexframe.h"

#include <QTest>

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
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

// The router's eight replies, whole and with 7-bit bytes, then frames that break one rule
// each. Lengths and bytes 4-5 as the protocol lists them, written out by hand. The window's
// own tests take the other rules (manufacturer, 7-bit bytes, a lost end) end to end.
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
        {"filter port counts", hex("F000215E 0104 020201010101 F7"), {}, FilterPortCountReport},
        {"port filter report",
         hex("F000215E 0105 0001") + filterValues + hex("F7"),
         {},
         PortFilterReport},
        {"route result", hex("F000215E 0201 0101 F7"), {}, RouteResult},
        {"config result", hex("F000215E 0202 0000 F7"), {}, ConfigResult},
        {"filter result", hex("F000215E 0203 0102 F7"), {}, FilterResult},

        // Each has the length, class or code of a reply, but not all three of one.
        {"12 bytes, 01 02", hex("F000215E 0102 0001000201 F7"), {}, OtherFrame},
        {"9 bytes, 02 04", hex("F000215E 0204 0000 F7"), {}, OtherFrame},
        {"9 bytes, 01 01", hex("F000215E 0101 0000 F7"), {}, OtherFrame},

        {"noise, stray end, then a frame", hex("1234 F7 56 F000215E 0202 0500 F7"),
         hex("F000215E 0202 0500 F7"), ConfigResult},
    };
}

} // namespace

class TestSplitter : public QObject {
    Q_OBJECT

private slots:
    void classification_data();
    void classification();
    void junkStaysWithinTheBound();
};

void TestSplitter::classification_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("kind");
    for (const Row &row : classificationTable())
        QTest::newRow(row.name) << row.bytes << (row.frame.isEmpty() ? row.bytes : row.frame)
                                << row.kind;
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

// A frame start without an end is held up to the 64 KiB bound and no further (64-byte chunks
// reach it exactly); the replies that follow the junk are cut as ever.
void TestSplitter::junkStaysWithinTheBound() {
    QByteArray junk(1024 * 1024, 0x11);
    junk[0] = SYSEX_START;
    FiFoBuffer buffer;
    Recorder recorder(buffer);
    int mostHeld = 0;
    for (int at = 0; at < junk.size(); at += 64) {
        buffer.pushBytes(junk.mid(at, 64));
        mostHeld = qMax(mostHeld, buffer.heldBytes());
    }
    QCOMPARE(mostHeld, 64 * 1024);
    QVERIFY(recorder.frames.isEmpty());

    Chunks replies;
    for (const Row &row : classificationTable())
        if (row.kind != OtherFrame && row.frame.isEmpty())
            replies << row.bytes;
    const QByteArray all = replies.join();
    for (int at = 0; at < all.size(); at += 5)
        buffer.pushBytes(all.mid(at, 5));
    QCOMPARE(recorder.frames, replies);
    QCOMPARE(buffer.heldBytes(), 0);
}

QTEST_GUILESS_MAIN(TestSplitter)
#include "tst_splitter.moc"

// The receive splitter fed an input cut into chunks, some of them pushed by the frame handler
// while the splitter is still emitting, against a splitter that follows the framing rule
// literally.
#include "link/fifobuffer.h"
#include "link/sysexframe.h"
#include "tests/fuzz/fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

using FuzzCheck::require;

namespace {

// Handlers push chunks at most this deep, as a handler that pumps events would.
constexpr int MaxNesting = 32;

struct Chunk {
    QByteArray bytes;
    bool clearFirst = false; // the buffer is cleared before these bytes (not from a handler)
};

// Each chunk starts with a control byte: its low 6 bits + 1 are the length and bit 6 clears
// the buffer first. Where a long chunk is allowed, the first control byte of FF is followed by
// a count n instead, and the chunk is (n + 1) * 256 bytes of one value, so that the input can
// reach past the bound on held bytes.
QList<Chunk> chunksOf(FuzzedDataProvider &input, bool longChunkAllowed) {
    QList<Chunk> chunks;
    bool longChunkTaken = !longChunkAllowed;
    while (input.remaining_bytes() > 0) {
        const auto control = input.ConsumeIntegral<quint8>();
        Chunk chunk;
        if (control == 0xFF && !longChunkTaken) {
            longChunkTaken = true;
            const int length = (input.ConsumeIntegral<quint8>() + 1) * 256;
            chunk.bytes = QByteArray(length, char(input.ConsumeIntegral<quint8>()));
        } else {
            const std::string bytes = input.ConsumeBytesAsString((control & 0x3F) + 1);
            chunk.bytes = QByteArray(bytes.data(), int(bytes.size()));
            chunk.clearFirst = control & 0x40;
        }
        chunks.append(chunk);
    }
    return chunks;
}

// The framing rule as written: a frame runs from the last F0 before an F7 to that F7; what
// lies outside frames is dropped; an unfinished frame longer than the bound is dropped when
// the bytes received so far have all been looked at.
class ReferenceSplitter {
public:
    void append(const QByteArray &bytes) {
        pending += bytes;
        int from = 0;
        for (int end = pending.indexOf(SYSEX_END); end >= 0;
             end = pending.indexOf(SYSEX_END, from)) {
            const QByteArray sinceLastEnd =
                QByteArray::fromRawData(pending.constData() + from, end + 1 - from);
            const int start = sinceLastEnd.lastIndexOf(SYSEX_START);
            if (start >= 0)
                frames.append(pending.mid(from + start, sinceLastEnd.size() - start));
            from = end + 1;
        }
        const int start = pending.lastIndexOf(SYSEX_START);
        pending = start < from ? QByteArray() : pending.mid(start);
        if (pending.size() > FrameCutter::MaxHeldBytes)
            pending.clear();
    }
    void clear() { pending.clear(); }

    QList<QByteArray> frames;
    QByteArray pending;
};

void checkFrameShape(Feedbacktype type, const QByteArray &frame) {
    require(frame.size() >= 2, "a frame holds at least its two end bytes");
    require(frame.indexOf(SYSEX_START) == 0 && frame.lastIndexOf(SYSEX_START) == 0,
            "a frame starts with its only F0");
    require(frame.indexOf(SYSEX_END) == frame.size() - 1, "a frame ends with its first F7");
    require(type == SysexFrame::classify(frame), "the frame's kind is its classification");
}

// One input through the splitter. In re-entrant runs every frame handler pushes the next chunk
// before it returns; the splitter then looks at those bytes before it runs out of bytes, so
// the reference takes them together with the chunk before.
class SplitterRun {
public:
    SplitterRun(QList<Chunk> chunks, bool reentrant)
        : chunks(std::move(chunks))
        , reentrant(reentrant) {
        QObject::connect(
            &buffer, &FiFoBuffer::currDataFrame, &buffer,
            [this](Feedbacktype type, const QByteArray &frame) { handle(type, frame); });
    }

    void run() {
        while (next < chunks.size()) {
            const Chunk &chunk = chunks.at(next++);
            if (chunk.clearFirst) {
                buffer.clear();
                reference.clear();
            }
            QByteArray segment = chunk.bytes;
            push(chunk.bytes, segment);
            reference.append(segment);
            require(buffer.heldBytes() <= FrameCutter::MaxHeldBytes, "held bytes stay bounded");
            require(buffer.heldBytes() == reference.pending.size(),
                    "only the frame still being received is held");
        }
        require(bytesOut <= bytesIn, "no more bytes out than in");
        require(frames == reference.frames, "the frames are those of the framing rule");
    }

private:
    void push(const QByteArray &bytes, QByteArray &segment) {
        bytesIn += bytes.size();
        current = &segment;
        buffer.pushBytes(bytes);
    }

    void handle(Feedbacktype type, const QByteArray &frame) {
        checkFrameShape(type, frame);
        frames.append(frame);
        bytesOut += frame.size();
        if (!reentrant || depth >= MaxNesting || next >= chunks.size())
            return;
        const QByteArray &bytes = chunks.at(next++).bytes;
        current->append(bytes);
        ++depth;
        push(bytes, *current);
        --depth;
    }

    FiFoBuffer buffer;
    QList<Chunk> chunks;
    int next = 0;
    bool reentrant;
    int depth = 0;
    QByteArray *current = nullptr; // the bytes the reference takes in one go
    ReferenceSplitter reference;
    QList<QByteArray> frames;
    qint64 bytesIn = 0;
    qint64 bytesOut = 0;
};

// A long chunk costs as much as thousands of short inputs, and the fuzzer keeps mutating the
// inputs that carry one. So only one input in 256 may: those whose hash (32-bit FNV-1a) has
// its top eight bits clear. A mutation changes the hash at random, which the fuzzer cannot
// learn to satisfy.
bool mayCarryLongChunk(const uint8_t *data, size_t size) {
    quint32 hash = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash >> 24 == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    FuzzCheck::quietMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool reentrant = input.ConsumeBool();
    SplitterRun(chunksOf(input, mayCarryLongChunk(data, size)), reentrant).run();
    return 0;
}

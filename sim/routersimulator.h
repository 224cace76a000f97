#pragma once

#include "filters/filterbytes.h"
#include "link/framecutter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <atomic>
#include <optional>
#include <random>
#include <thread>

class QSocketNotifier;
class QTimer;

// A stand-in for the router: owns the master side of a pseudo-terminal and answers the
// protocol on it, so that a serial port opened on slavePath() talks to it as to the device.
class RouterSimulator : public QObject {
    Q_OBJECT
public:
    using RouteEnd = QPair<int, int>;        // (port class code, number from 1)
    using Route = QPair<RouteEnd, RouteEnd>; // (source, destination)
    using FilterPort = QPair<int, int>;      // (filter port code 0..5, number from 1)

    struct PortCounts {
        int midiIn = 0;
        int midiOut = 0;
        int usbHost = 0;
        int usbDevice = 0;
    };

    struct ReceivedFrame {
        // Monotonic milliseconds when the frame's last byte was read off the line, stamped by
        // a thread of its own that does nothing but read: the window's event loop, however
        // busy, does not delay it.
        qint64 atMs = 0;
        QByteArray bytes;
    };

    // A fresh simulator runs in HUB mode with 2 MIDI IN, 2 MIDI OUT, 1 USB HOST and
    // 1 USB Device port, no routes, all filters zero and 8 routes allowed per source.
    explicit RouterSimulator(QObject *parent = nullptr);
    ~RouterSimulator() override;

    // Opens the pseudo-terminal (raw mode). False, with errorString(), when it cannot.
    // Starting again after hangUp() opens a new pseudo-terminal with a new slavePath().
    bool start();
    QString slavePath() const;
    QString errorString() const;

    // Router state, set by whoever creates the simulator and read back by tests.
    void setMode(int modeCode);
    int mode() const;
    void setPortCounts(const PortCounts &counts);
    PortCounts portCounts() const;
    // Filter ports follow the port counts: MIDI IN, MIDI OUT, USB HOST IN/OUT, USB DEVICE IN/OUT.
    int filterPortCount(int filterPortCode) const;
    void setRoutes(const QList<Route> &routes);
    QList<Route> routes() const; // in the order they were added
    void setRouteLimitPerSource(int limit);
    int routeLimitPerSource() const;
    void setFilter(const FilterPort &port, const FilterBytes &bytes);
    FilterBytes filter(const FilterPort &port) const; // all zero until set

    // How the tool set the line up, as the terminal's settings have it: "115200 8N1" for the
    // baud rate, data bits, parity and stop bits, with " flow control" when that is on.
    QString lineSettings() const;

    // Everything the tool sent, as frames, in arrival order.
    QList<ReceivedFrame> receivedFrames() const;
    QList<QByteArray> receivedBytes() const; // the same frames without times
    void clearReceived();

    // Fault knobs.
    // Replies leave in chunks of 1..maxChunk bytes, sizes drawn from a generator seeded with
    // seed (the same seed gives the same sizes).
    void setRandomChunks(bool on, quint32 seed = 1, int maxChunk = 8);
    void setPacing(int baud = 115200);       // 0: as fast as possible; else 10 bits a byte
    void refuseNext(int result, int reason); // next set command gets this verdict, unapplied
    void dropNextVerdict();                  // next set command is carried out, unanswered
    void holdReplies(bool on); // while on, every reply (injected bytes too) waits, in order;
                               // off sends them all
    void setSilent(bool on);   // read and record, but answer nothing
    void hangUp();             // closes the master side

    // When the last reply left, in nanoseconds of std::chrono::steady_clock; 0 before any did.
    // Safe to read from another thread than the simulator's.
    qint64 lastReplyAtNs() const { return lastReplyNs; }

    // Sends raw bytes to the tool, as if the router had sent them.
    void inject(const QByteArray &bytes);

signals:
    void frameReceived(const QByteArray &frame);

private:
    struct Verdict {
        int result = 0;
        int reason = 0;
    };
    // Judges a set command and, when apply is true and it is accepted, carries it out.
    // Nothing for a frame that is no command of its kind (it gets no answer).
    using SetCommand = std::optional<Verdict> (RouterSimulator::*)(const QByteArray &frame,
                                                                   bool apply);

    void closeLine();
    void readerLoop(int fd, int wakeFd, quint64 line);
    void takeBytes(const QByteArray &chunk, qint64 atMs, quint64 line);
    void handleFrame(const QByteArray &frame);
    void answerQuery(int item);
    void answerSetCommand(int code, SetCommand command, const QByteArray &frame);
    std::optional<Verdict> routeCommand(const QByteArray &frame, bool apply);
    std::optional<Verdict> configCommand(const QByteArray &frame, bool apply);
    std::optional<Verdict> filterCommand(const QByteArray &frame, bool apply);
    Verdict judgeRouteAdd(const Route &route) const;
    int portCount(int portClass, bool source) const;
    QList<FilterPort> filterPorts() const;

    void queueOutput(const QByteArray &bytes);
    void pumpOutput();
    qint64 pacedAllowance() const;
    int msUntilNextPacedByte() const;

    // Line.
    int masterFd = -1;
    int slaveFd = -1; // kept open so that the master never sees the tool's close as a hang-up
    QString slaveName;
    QString lastError;
    std::thread reader;
    int wakeWriteFd = -1;   // written to stop the reader
    quint64 lineNumber = 0; // counts start(): chunks read off an earlier line are dropped
    QSocketNotifier *writeNotifier = nullptr;
    QTimer *outputTimer = nullptr;
    QElapsedTimer clock;
    FrameCutter rxBuffer;
    QByteArray txQueue;

    // Router state.
    int modeCode = 1;
    PortCounts counts{2, 2, 1, 1};
    QList<Route> routeTable;
    int routeLimit = 8;
    QMap<FilterPort, FilterBytes> filters;
    QList<ReceivedFrame> received;
    std::atomic<qint64> lastReplyNs{0};

    // Fault knobs.
    bool randomChunks = false;
    int maxChunk = 8;
    std::mt19937 random{1};
    int pacingBaud = 0;
    qint64 paceStartNs = 0; // when the line last became busy
    qint64 pacedSent = 0;   // bytes written since then
    std::optional<Verdict> pendingRefusal;
    bool dropVerdict = false;
    bool holding = false;
    QByteArray heldReplies;
    bool silent = false;
};

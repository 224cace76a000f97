#pragma once

#include "filters/filterbytes.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <random>

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
        qint64 atMs = 0; // monotonic milliseconds when the frame's last byte was read
        QByteArray bytes;
    };

    explicit RouterSimulator(QObject *parent = nullptr);
    ~RouterSimulator() override;

    // Opens the pseudo-terminal (raw mode). False, with errorString(), when it cannot.
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
    void setFilter(const FilterPort &port, const FilterBytes &bytes);
    FilterBytes filter(const FilterPort &port) const; // all zero until set

    // Everything the tool sent, as frames, in arrival order.
    QList<ReceivedFrame> receivedFrames() const;
    QList<QByteArray> receivedBytes() const; // the same frames without times
    void clearReceived();

    // Fault knobs.
    void setRandomChunks(bool on, quint32 seed = 1); // replies leave in chunks of random size
    void setNoise(bool on);                          // noise bytes (never F0) between frames
    void setPacing(int baud = 115200);               // 0: as fast as possible; else 10 bits a byte
    void refuseNext(int result, int reason); // next set command gets this verdict, unapplied
    void setSilent(bool on);                 // read and record, but answer nothing
    void hangUp();                           // closes the master side

    // Sends raw bytes to the tool, as if the router had sent them.
    void inject(const QByteArray &bytes);

signals:
    void frameReceived(const QByteArray &frame);

private:
};

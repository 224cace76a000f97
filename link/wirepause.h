#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class QSerialPort;

// A pause on the line: it counts from when the bytes written to the port so far have been
// handed to the device, then runs what comes next. One pause at a time; starting another
// replaces the one running.
class WirePause : public QObject {
    Q_OBJECT
public:
    explicit WirePause(QSerialPort &port, QObject *parent = nullptr);

    void start(int ms, std::function<void()> next);
    void stop();

private:
    void startOnceWritten();

    QSerialPort &port;
    QTimer timer;
    std::function<void()> after;
    int pauseMs = 0;
    bool waitingForWrite = false;
};

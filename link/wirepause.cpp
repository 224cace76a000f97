#include "link/wirepause.h"

#include <QSerialPort>

WirePause::WirePause(QSerialPort &port, QObject *parent)
    : QObject(parent)
    , port(port) {
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer); // a coarse timer may end the pause 5 % early
    connect(&port, &QSerialPort::bytesWritten, this, &WirePause::startOnceWritten);
    connect(&timer, &QTimer::timeout, this, [this] {
        // What comes next may start the next pause.
        const std::function<void()> next = std::move(after);
        next();
    });
}

void WirePause::start(int ms, std::function<void()> next) {
    timer.stop();
    after = std::move(next);
    pauseMs = ms;
    waitingForWrite = true;
    port.flush();
    startOnceWritten();
}

void WirePause::stop() {
    timer.stop();
    waitingForWrite = false;
    after = nullptr;
}

void WirePause::startOnceWritten() {
    if (!waitingForWrite || port.bytesToWrite() > 0)
        return;
    waitingForWrite = false;
    timer.start(pauseMs);
}

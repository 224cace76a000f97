#pragma once

#include "link/feedbacktype.h"
#include "link/framecutter.h"

#include <QByteArray>
#include <QObject>

// Collects the bytes read from the serial port and hands on every complete frame.
class FiFoBuffer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void pushBytes(QByteArray chunk);
    void splitFrames();
    // Forgets every byte received; a split that is still emitting stops after its frame.
    void clear();
    int heldBytes() const { return rxBuffer.heldBytes(); }

signals:
    void currDataFrame(Feedbacktype fb, QByteArray data);

private:
    FrameCutter rxBuffer;
};

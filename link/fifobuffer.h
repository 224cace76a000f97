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

    // Takes the bytes and hands on every frame they complete, in order.
    void pushBytes(QByteArray chunk);
    // Forgets every byte received; a push that is still handing frames on stops after its frame.
    void clear();
    int heldBytes() const { return rxBuffer.heldBytes(); }

signals:
    void currDataFrame(Feedbacktype fb, QByteArray data);

private:
    FrameCutter rxBuffer;
};

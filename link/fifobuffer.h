#pragma once

#include "link/feedbacktype.h"

#include <QByteArray>
#include <QObject>

// Collects the bytes read from the serial port and hands on every complete frame.
class FiFoBuffer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void pushBytes(QByteArray chunk);
    void splitFrames();

    QByteArray rxBuffer;

signals:
    void currDataFrame(Feedbacktype fb, QByteArray data);
};

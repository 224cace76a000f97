#pragma once

#include <QMetaType>

// The kind of a frame received from the router, told by its length and header bytes.
enum Feedbacktype : qint32 {
    ModeReport = 0,
    PortCountReport = 1,
    RouteReport = 2,
    FilterPortCountReport = 3,
    PortFilterReport = 4,
    RouteResult = 5,
    ConfigResult = 6,
    FilterResult = 7,
    OtherFrame = 8,
};

Q_DECLARE_METATYPE(Feedbacktype)

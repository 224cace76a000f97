#pragma once

#include "filters/filterbytes.h"

#include <QObject>
#include <QString>

// One router port's filter, as the router last reported it or as it was last sent.
class PortFilteringSituation : public QObject {
    Q_OBJECT
public:
    explicit PortFilteringSituation(QString name);

    QString getPortName() const { return portName; }
    FilterBytes getFilterBytes() const { return filterBytes; }
    void setFilterBytes(FilterBytes values) { filterBytes = values; }

private:
    QString portName;
    FilterBytes filterBytes{};
};

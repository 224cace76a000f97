#pragma once

#include "filters/filterbytes.h"

#include <QString>

// One router port's filter record: the port's name and its 25 filter bytes, as the router
// last reported them or as they were last set.
class PortFilteringSituation {
public:
    PortFilteringSituation(QString name, const FilterBytes &bytes);

    QString getPortName() const { return portName; }
    FilterBytes getFilterBytes() const { return filterBytes; }
    void setFilterBytes(const FilterBytes &values) { filterBytes = values; }

private:
    QString portName;
    FilterBytes filterBytes{};
};

#include "filters/portfilteringsituation.h"

PortFilteringSituation::PortFilteringSituation(QString name, const FilterBytes &bytes)
    : portName(std::move(name))
    , filterBytes(bytes) {}

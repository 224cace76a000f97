#include "filters/portfilteringsituation.h"

PortFilteringSituation::PortFilteringSituation(QString name)
    : portName(std::move(name)) {}

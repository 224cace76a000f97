#include "sim/routersimulator.h"

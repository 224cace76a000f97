#pragma once

#include "sim/routersimulator.h"

#include <QString>

// Whether frames first to last reached the router at least paceMs apart, as the simulator's
// own reader thread stamped them. The pseudo-terminal hands bytes to its other end through a
// kernel work queue, which a busy machine may run a few milliseconds late: a frame that comes
// out late shortens the gap after it by as much as it lengthens the gap before, and leaves the
// span from the first frame to the last as it was. So each gap may fall short of the pace by
// that slack, and so may the whole span of the pace times the gaps, but no more.
// Empty when the frames were paced; otherwise the gaps, for the failure message.
QString unpaced(const QList<RouterSimulator::ReceivedFrame> &frames, int first, int last,
                qint64 paceMs = 15);

#include "tests/support/pacing.h"

#include <QStringList>

namespace {
constexpr qint64 LateOutMs = 5;
}

QString unpaced(const QList<RouterSimulator::ReceivedFrame> &frames, int first, int last,
                qint64 paceMs) {
    if (first < 0 || last <= first || last >= frames.size())
        return QStringLiteral("frames %1 to %2 of %3").arg(first).arg(last).arg(frames.size());
    bool paced =
        frames.at(last).atMs - frames.at(first).atMs >= paceMs * (last - first) - LateOutMs;
    QStringList gaps;
    for (int i = first + 1; i <= last; ++i) {
        const qint64 gap = frames.at(i).atMs - frames.at(i - 1).atMs;
        paced = paced && gap >= paceMs - LateOutMs;
        gaps << QString::number(gap);
    }
    return paced ? QString() : "gaps in ms: " + gaps.join(", ");
}

#include "tests/support/pacing.h"

#include <QStringList>
#include <algorithm>

namespace {
constexpr qint64 LateOutMs = 5;
}

QString unpaced(const QList<RouterSimulator::ReceivedFrame> &frames, int first, int last,
                qint64 paceMs) {
    if (first < 0 || last <= first || last >= frames.size())
        return QStringLiteral("frames %1 to %2 of %3").arg(first).arg(last).arg(frames.size());
    QList<qint64> gaps;
    for (int i = first + 1; i <= last; ++i)
        gaps << frames.at(i).atMs - frames.at(i - 1).atMs;
    const qint64 span = frames.at(last).atMs - frames.at(first).atMs;
    const bool paced = *std::min_element(gaps.cbegin(), gaps.cend()) >= paceMs - LateOutMs &&
                       span >= paceMs * gaps.size() - LateOutMs;
    if (paced)
        return QString();
    QStringList shown;
    for (qint64 gap : gaps)
        shown << QString::number(gap);
    return "gaps in ms: " + shown.join(", ");
}

#include "tests/support/pacing.h"

#include <QStringList>
#include <algorithm>

namespace {
constexpr qint64 LateOutMs = 5;
}

QString unpaced(const QList<RouterSimulator::ReceivedFrame> &frames, int first, int last,
                qint64 paceMs) {
    QList<qint64> gaps;
    for (int i = first + 1; i <= last && i < frames.size(); ++i)
        gaps << frames.at(i).atMs - frames.at(i - 1).atMs;
    if (gaps.isEmpty())
        return QStringLiteral("no gaps: %1 frames").arg(frames.size());
    QList<qint64> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.first() >= paceMs - LateOutMs && sorted.at((sorted.size() - 1) / 2) >= paceMs)
        return QString();
    QStringList shown;
    for (qint64 gap : gaps)
        shown << QString::number(gap);
    return "gaps in ms: " + shown.join(", ");
}

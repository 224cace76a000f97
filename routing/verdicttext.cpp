#include "routing/verdicttext.h"

#include <QCoreApplication>
#include <array>

namespace VerdictText {

namespace {

using Texts = std::array<const char *, 3>;

const Texts routeRefusals = {
    QT_TRANSLATE_NOOP("Widget", "Illegal routing (i.e. unable to connect in this way)"),
    QT_TRANSLATE_NOOP("Widget", "Port serial number error"),
    QT_TRANSLATE_NOOP("Widget", "Exceeding the number of routes (some connecting nodes have a "
                                "specified number of routes)")};
const Texts filterRefusals = {
    QT_TRANSLATE_NOOP("Widget", "Configuration failed:Wrong port serial number"),
    QT_TRANSLATE_NOOP("Widget", "Configuration failed:Category error"),
    QT_TRANSLATE_NOOP("Widget", "Configuration failed:Category serial number error")};

QString reasonText(const Texts &texts, int reason) {
    if (reason < 1 || reason > int(texts.size()))
        return QString();
    return QCoreApplication::translate("Widget", texts[std::size_t(reason - 1)]);
}

} // namespace

QString routeRefusal(int reason) {
    return reasonText(routeRefusals, reason);
}

QString filterRefusal(int reason) {
    return reasonText(filterRefusals, reason);
}

bool filterAccepted(int result) {
    return result == 0;
}

QString filterResult(int result, int reason) {
    if (filterAccepted(result))
        return QCoreApplication::translate("Widget", "Configuration successful");
    return result == 1 ? filterRefusal(reason) : QString();
}

} // namespace VerdictText

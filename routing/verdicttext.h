#pragma once

#include <QString>

// What the window tells the user about the router's refusals, in the words the router's
// reason codes stand for. Empty for a reason the router does not define.
namespace VerdictText {

// Reasons 1..3 of a refused route command.
QString routeRefusal(int reason);
// Reasons 1..3 of a refused set-filter command.
QString filterRefusal(int reason);

// A FilterResult's result byte: 0 is success, anything else a failure.
bool filterAccepted(int result);
// What the window shows for a FilterResult: "Configuration successful" on success, the
// reason of a result 1; nothing for another result or an unknown reason.
QString filterResult(int result, int reason);

} // namespace VerdictText

#include "app/devicelist.h"

#include "link/deviceinventory.h"

#include <QComboBox>

namespace {

constexpr int SerialNumberRole = Qt::UserRole + 1;

} // namespace

DeviceList::DeviceList(QComboBox &list)
    : list(list) {}

void DeviceList::scan() {
    QStringList goneNames;
    for (int i = 0; i < list.count(); ++i)
        goneNames << list.itemText(i);

    for (const FoundRouter &router : findRouters(*deviceInventory())) {
        if (goneNames.removeAll(router.name) > 0)
            follow(router);
        else
            list.addItem(router.name, router.portName);
        list.setItemData(entry(router.name), router.serialNumber, SerialNumberRole);
    }
    for (const QString &name : qAsConst(goneNames)) {
        if (name == connected)
            emit connectedRouterGone();
        list.removeItem(entry(name));
    }
}

// A listed device keeps its serial port while that port is still one of its own; otherwise it
// was plugged in again elsewhere and its entry takes the first port it now has. Connected
// through the port it left, the router is gone for the connection.
void DeviceList::follow(const FoundRouter &router) {
    const int at = entry(router.name);
    const QString listed = list.itemData(at).toString();
    if (listed == router.portName || router.otherPorts.contains(listed))
        return;
    if (router.name == connected)
        emit connectedRouterGone();
    list.setItemData(at, router.portName);
}

int DeviceList::entry(const QString &name) const {
    return list.findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

QString DeviceList::chosenName() const {
    return list.currentText();
}

QString DeviceList::chosenPort() const {
    return list.currentData().toString();
}

void DeviceList::setConnected(const QString &name) {
    connected = name;
    connectedSerial = list.itemData(entry(name), SerialNumberRole).toString();
}

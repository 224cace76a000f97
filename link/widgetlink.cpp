#include "app/widget.h"

#include "filters/portfilteringsituation.h"
#include "link/deviceinventory.h"
#include "link/fifobuffer.h"
#include "link/routerlink.h"
#include "ui_widget.h"

#include <QLabel>
#include <QSerialPort>
#include <QSignalBlocker>
#include <QTimer>

namespace {
constexpr qint32 baudRate = RouterLink::BaudRate;
constexpr int filterPageIndex = 1;
} // namespace

void Widget::initPort() {
    QStringList goneNames;
    for (int i = 0; i < ui->ComboBox_Devices->count(); ++i)
        goneNames << ui->ComboBox_Devices->itemText(i);

    QStringList seenNames;
    for (const FoundRouter &router : findRouters(*deviceInventory())) {
        if (goneNames.contains(router.name))
            followDevice(router);
        else
            ui->ComboBox_Devices->addItem(router.name, router.portName);
        seenNames << router.name;
    }

    for (const QString &name : qAsConst(seenNames))
        goneNames.removeAll(name);
    for (const QString &name : qAsConst(goneNames)) {
        if (name == currentDeviceName)
            letGoOfVanishedRouter();
        ui->ComboBox_Devices->removeItem(deviceEntry(name));
    }
}

// A listed device keeps its serial port while that port is still one of its own; otherwise it
// was plugged in again elsewhere and its entry takes the first port it now has. Connected
// through the port it left, the window lets go of it, as when it vanishes.
void Widget::followDevice(const FoundRouter &router) {
    const int entry = deviceEntry(router.name);
    const QString listed = ui->ComboBox_Devices->itemData(entry).toString();
    if (listed == router.portName || router.otherPorts.contains(listed))
        return;
    if (router.name == currentDeviceName && serialPort->isOpen())
        letGoOfVanishedRouter();
    ui->ComboBox_Devices->setItemData(entry, router.portName);
}

int Widget::deviceEntry(const QString &name) const {
    return ui->ComboBox_Devices->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void Widget::on_pushButton_clicked() {
    connectOrDisconnect(serialPort->isOpen());
}

void Widget::analysisData() {
    drainPort();
}

// Dispatches every complete frame that the port and the receive buffer hold. The serial port
// does not announce new bytes while its own handler runs, so the waits and message boxes that
// run inside a frame's handling call this as well. A flood of frames that each open such a
// loop would nest without end: past a few levels, frames wait until the loops above return.
void Widget::drainPort() {
    constexpr int maxDepth = 8;
    if (drainDepth >= maxDepth || !serialPort->isOpen())
        return;
    ++drainDepth;
    fifoBuffer->splitFrames(); // frames that an outer handler left in the buffer
    while (serialPort->isOpen() && serialPort->bytesAvailable() > 0)
        fifoBuffer->pushBytes(serialPort->readAll());
    --drainDepth;
}

// Frames that arrive while a nested event loop runs (a wait, a message box) are handled at
// once, also when the loop was opened from a frame's handler, where the serial port announces
// nothing new: reader calls drainPort every few milliseconds for as long as it lives.
void Widget::keepReading(QTimer &reader) {
    constexpr int intervalMs = 5;
    connect(&reader, &QTimer::timeout, this, &Widget::drainPort);
    reader.start(intervalMs);
}

// Nothing is written to a closed port: a router that vanished inside a wait or a message box
// gets no more frames.
bool Widget::writeFrame(const QByteArray &frame) {
    if (!serialPort->isOpen())
        return false;
    serialPort->write(frame);
    return true;
}

void Widget::connectOrDisconnect(bool isOpen) {
    if (isOpen)
        closeDevice();
    else
        openDevice();
}

void Widget::openDevice() {
    fifoBuffer->clear();
    forgetPendingCommands();
    clearRouteEdits();
    routerUnplugged = false;
    updateStatusLine();
    const QString deviceName = ui->ComboBox_Devices->currentText();
    if (deviceName.isEmpty()) {
        showMessage(tr("OK"), tr("Make sure there is a port connection"), QString());
        return;
    }
    currentDeviceName = deviceName;
    serialPort->setPortName(ui->ComboBox_Devices->currentData().toString());
    connect(serialPort, &QSerialPort::errorOccurred, this, &Widget::onSerialError,
            Qt::UniqueConnection);
    if (!serialPort->open(QIODevice::ReadWrite)) {
        showMessage(tr("OK"), openFailureMessage(), QString());
        return;
    }
    ++linkSession;
    serialPort->setBaudRate(baudRate, QSerialPort::AllDirections);
    serialPort->flush();
    getMidiInOut();
    ui->ComboBox_Devices->setEnabled(false);
    ui->pushButton->setText(tr("Disconnect"));
    if (ui->tabWidget->currentIndex() == filterPageIndex)
        requeryOnTabChange = true;
    updateStatusLine();
}

// The serial library also reports a port that another program holds as a permission error;
// only a user who lacks access to the device is told how to get it.
QString Widget::openFailureMessage() const {
    const QString failure = tr("Failed to open port : %1").arg(serialPort->errorString());
    if (serialPort->error() != QSerialPort::PermissionError ||
        deviceInventory()->mayOpenPort(serialPort->portName()))
        return failure;
    return failure + QStringLiteral("\n\n") +
           tr("This user may not use the router's serial port. Install the Pellvane package, "
              "whose udev rule gives the logged-in user access to the router, or add the user "
              "to the \"dialout\" group (sudo usermod -aG dialout $USER) and log in again. "
              "Then plug the router in again.");
}

void Widget::closeDevice() {
    fifoBuffer->clear();
    forgetPendingCommands();
    clearRouteEdits();
    {
        // Closing a port whose device has gone can report errors again; they must not start
        // a second disconnect inside this one.
        const QSignalBlocker blocker(serialPort);
        serialPort->close();
    }
    ui->ComboBox_Devices->setEnabled(true);
    ui->pushButton->setText(tr("Connect"));
    clearRoutingPicture();
    channelsCount = 0;
    messagesCount = 0;
    controlChangeCount = 0;
    systemCommonCount = 0;
    systemRealtimeCount = 0;
    qDeleteAll(portFilters);
    portFilters.clear();
    ui->comboBox_MiDiPorts->clear();
    on_ControlChange_pb_none_clicked();
    on_Messages_pb_none_clicked();
    on_SystemRealtime_pb_none_clicked();
    on_channel_pb_none_clicked();
    on_System_common_pb_none_clicked();
    currentDeviceName.clear();
    updateStatusLine();
}

// The router went away while connected (unplugged, or found on another port): the window lets
// go of it as "Disconnect" does, and the status line says what happened; no message box
// interrupts the user.
void Widget::letGoOfVanishedRouter() {
    routerUnplugged = true;
    closeDevice();
}

// When the device end goes away, Linux reports end-of-file on every read as ReadError, and
// the serial library keeps polling: without a disconnect the event loop would spin on it.
// Windows reports ResourceError once.
void Widget::onSerialError(int error) {
    const bool deviceGone = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (deviceGone && serialPort->isOpen())
        letGoOfVanishedRouter();
}

void Widget::on_tabWidget_currentChanged(int index) {
    Q_UNUSED(index)
    if (!requeryOnTabChange)
        return;
    getMidiInOut();
    requeryOnTabChange = false;
}

void Widget::getMidiInOut() {
    clearRoutingPicture();
    writeFrame(queryFrame1);
}

void Widget::clearRoutingPicture() {
    endGesture();
    removeAllRouteLines();
    clearPortButtons();
    for (QLabel *label : {inputLabel, outputLabel})
        if (label)
            label->setText(QString());
}

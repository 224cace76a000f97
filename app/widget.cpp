#include "app/widget.h"

#include "filters/portfilteringsituation.h"
#include "link/devicemonitor.h"
#include "link/fifobuffer.h"
#include "link/sysexframe.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "ui_widget.h"

#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSerialPort>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

namespace {
constexpr int PortScanIntervalMs = 10000;
}

// The pictures are compiled into a static library, which keeps them only when something
// refers to them. (Outside the anonymous namespace: the macro declares a global function.)
static void loadPictures() {
    Q_INIT_RESOURCE(resources);
}

Widget::Widget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Widget) {
    ui->setupUi(this);
    formMinimumSize = minimumSize();
    fillQueryFrames();
    filterMarkTimer = new QTimer(this);
    filterMarkTimer->setSingleShot(true);
    connect(filterMarkTimer, &QTimer::timeout, this, &Widget::markUnsentFilterEdits);
    initUi();
    connectFilterCheckBoxes();
    connectSignals();

    portScanTimer = new QTimer(this);
    connect(portScanTimer, &QTimer::timeout, this, &Widget::initPort);
    portScanTimer->start(PortScanIntervalMs);
    // A device plugged in or pulled out is scanned for at once; the timer stays the fallback.
    if (DeviceMonitor *monitor = deviceMonitorFor(this))
        connect(monitor, &DeviceMonitor::devicesChanged, this, &Widget::initPort);

    verdictTimer = new QTimer(this);
    verdictTimer->setSingleShot(true);
    connect(verdictTimer, &QTimer::timeout, this, &Widget::rereadRoutes);
    verdictClock.start();
    initRouteEditing();

    // Fill the device list before the window is first shown.
    initPort();
    // Sized for the screen before the window exists; showing it checks again.
    fitToScreen();
}

Widget::~Widget() {
    if (serialPort->isOpen()) {
        serialPort->clear(QSerialPort::AllDirections);
        serialPort->close();
    }
    qDeleteAll(portFilters);
    portFilters.clear();

    delete fifoBuffer;
    delete inputLayout;
    delete outputLayout;

    // The port buttons live on graphicsView; they go before the base class tears the view down.
    qDeleteAll(inputButtons);
    inputButtons.clear();
    qDeleteAll(outputButtons);
    outputButtons.clear();

    // A line item leaves its scene when it is deleted, so a rubber band still shown is safe.
    delete dragLine;
    delete serialPort;
    delete logoImage;
    delete ui;
}

int Widget::showMessage(QString okText, QString message, QString cancelText) {
    QMessageBox box;
    box.setFocusPolicy(Qt::NoFocus);
    box.addButton(QMessageBox::Ok)->setText(okText);
    if (!cancelText.isEmpty()) {
        QPushButton *cancel = box.addButton(QMessageBox::Cancel);
        cancel->setText(cancelText);
        // A question is answered "yes" only deliberately: Enter and Escape choose this button.
        box.setDefaultButton(cancel);
    }
    box.setWindowIcon(QIcon(":/icon.png"));
    box.setText(message);
    box.setWindowTitle(tr("Pellvane"));
    QTimer reader;
    keepReading(reader);
    return box.exec();
}

void Widget::fillQueryFrames() {
    QByteArray *const frames[] = {&queryFrame1, &queryFrame2, &queryFrame3, &queryFrame4,
                                  &queryFrame5};
    int item = 1;
    for (QByteArray *frame : frames)
        *frame = SysexFrame::query(item++);
}

void Widget::initUi() {
    for (QCheckBox *group :
         {ui->checkBox_Channels, ui->checkBox_Messages, ui->checkBox_ControlChange,
          ui->checkBox_SystemCommon, ui->checkBox_SystemRealtime})
        group->setTristate(true);

    // The form leaves the filter page selected; the window opens on the routing page.
    ui->tabWidget->setCurrentIndex(0);
    buttonFont = ui->checkBox_Channels->font();

    dragLine = new MyLine;
    dragLine->setLine(QLineF());
    QPen pen(Qt::black);
    pen.setWidthF(2.0);
    dragLine->setPen(pen);

    loadPictures();
    logoImage = new QImage;
    logoImage->load(":/ico.png");
    ui->lable_manufacture->setPixmap(QPixmap::fromImage(*logoImage));
    setWindowIcon(QIcon(":/icon.png"));
    ui->tabWidget->setDocumentMode(true);

    // The All/None buttons stay hidden; other code calls their slots directly.
    for (QPushButton *button :
         {ui->ControlChange_pb_all, ui->ControlChange_pb_none, ui->channel_pb_all,
          ui->channel_pb_none, ui->Messages_pb_all, ui->Messages_pb_none, ui->System_common_pb_all,
          ui->System_common_pb_none, ui->SystemRealtime_pb_all, ui->SystemRealtime_pb_none})
        button->hide();
    ui->pushButton_cancelImport->hide();
    setButtonStyle = ui->pushButton_2->styleSheet();
    explainFilterBoxes();

    serialPort = new QSerialPort;
    fifoBuffer = new FiFoBuffer;

    channelsCount = messagesCount = controlChangeCount = 0;
    systemCommonCount = systemRealtimeCount = 0;

    scene = new MainScense(ui->graphicsView);
    ui->graphicsView->setScene(scene);

    inputLayout = nullptr;
    inputLabel = nullptr;
    midiInCount = midiOutCount = usbHostCount = usbDeviceCount = 0;
    outputLayout = nullptr;
    outputLabel = nullptr;
    portsLayout = nullptr;
    lastRouteLine = nullptr;
    srcKind = srcNumber = dstKind = dstNumber = 0;
    updateStatusLine();
}

void Widget::connectSignals() {
    connect(serialPort, &QSerialPort::readyRead, this, &Widget::analysisData);
    connect(fifoBuffer, &FiFoBuffer::currDataFrame, this, &Widget::dealWithData);
    // "Disconnect All" only makes sense on the routing page.
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, [this](int index) {
        ui->pushButton_5->setVisible(index != 1);
        filterMarkTimer->start();
    });
    connect(ui->comboBox_MiDiPorts, &QComboBox::currentTextChanged, this,
            &Widget::MiDiPortsCurrTextChange);
    connectGroupToggles();
}

// The header's status line: what the window is connected to and how far a long import has
// come, or that the router went away.
void Widget::updateStatusLine() {
    QString text;
    if (serialPort->isOpen() && importTotal > 0)
        text = tr("Importing routes: %1 of %2").arg(importSent).arg(importTotal);
    else if (serialPort->isOpen())
        // The port as the device list has it (the chooser is locked while connected).
        text = tr("Connected to %1 on %2")
                   .arg(currentDeviceName, ui->ComboBox_Devices->currentData().toString());
    else if (routerUnplugged)
        text = tr("The router was unplugged");
    else
        text = tr("Not connected");
    ui->label_status->setText(text);
    // A narrow window cuts the line short; the tooltip still has all of it.
    ui->label_status->setToolTip(text);
}

void Widget::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    fitToScreen();
    connect(windowHandle(), &QWindow::screenChanged, this, &Widget::fitToScreen,
            Qt::UniqueConnection);
}

// The form's minimum size does not fit every screen at every scale. Where it does not, the
// window gives up that part of it (the pages scroll instead; the layout still keeps what the
// header and the bottom row need), and the window is kept within the screen.
void Widget::fitToScreen() {
    const QRect available = screen()->availableGeometry();
    const QSize room = available.size() - (frameGeometry().size() - size());
    const bool wideEnough = formMinimumSize.width() <= room.width();
    const bool highEnough = formMinimumSize.height() <= room.height();
    // A zero leaves that side's minimum to the layout.
    setMinimumSize(wideEnough ? formMinimumSize.width() : 0,
                   highEnough ? formMinimumSize.height() : 0);
    // The two tabs side by side take the form's whole width.
    ui->tabWidget->setUsesScrollButtons(!wideEnough);
    resize(size().boundedTo(room));

    const QRect placed = frameGeometry();
    if (available.contains(placed))
        return;
    move(qBound(available.left(), placed.left(), available.right() + 1 - placed.width()),
         qBound(available.top(), placed.top(), available.bottom() + 1 - placed.height()));
}

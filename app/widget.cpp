#include "app/widget.h"

#include "app/devicelist.h"
#include "app/fileactions.h"
#include "app/filterpanel.h"
#include "app/messagebox.h"
#include "app/myline.h"
#include "app/noticequeue.h"
#include "app/pacedsending.h"
#include "app/routerfileactions.h"
#include "app/routingview.h"
#include "app/windowtooltips.h"
#include "link/deviceinventory.h"
#include "link/devicemonitor.h"
#include "link/tracecategories.h"
#include "routing/verdicttext.h"
#include "ui_widget.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUndoStack>
#include <QWindow>
#include <array>

namespace {

constexpr int PortScanIntervalMs = 10000;
constexpr int FilterPageIndex = 1;

} // namespace

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
    initUi();
    notices = std::make_unique<NoticeQueue>(*this);
    routing = std::make_unique<RoutingView>(*ui->graphicsView, link, ui->checkBox_Channels->font());
    filters = std::make_unique<FilterPanel>(
        *ui->tabWidget, *ui->pushButton_2, link, [this](const QString &question) {
            return showMessage(tr("Yes"), question, tr("No")) == QMessageBox::Ok;
        });
    const auto note = [this](const QString &text) { noteOnStatusLine(text); };
    pacing = std::make_unique<PacedSending>(link, *ui->pushButton_cancelImport, *notices, note);
    files = std::make_unique<FileActions>(FileActions::Parts{
        *this, *ui->tabWidget, link, *routing, *filters, *notices, *pacing,
        [this] { return checkConnected(); }, [this] { on_pushButton_2_clicked(); }, note});
    devices = std::make_unique<DeviceList>(*ui->ComboBox_Devices);
    routerFiles = std::make_unique<RouterFileActions>(
        RouterFileActions::Parts{*this, link, *devices, *files, *pacing, *notices, note});
    connectFilterBoxes();
    connectGroupToggles();
    connectParts();
    connectEditing();

    auto *portScanTimer = new QTimer(this);
    portScanTimer->setObjectName(QStringLiteral("portScanTimer"));
    connect(portScanTimer, &QTimer::timeout, this, &Widget::initPort);
    portScanTimer->start(PortScanIntervalMs);
    // A device plugged in or pulled out is scanned for at once; the timer stays the fallback.
    if (DeviceMonitor *monitor = deviceMonitorFor(this))
        connect(monitor, &DeviceMonitor::devicesChanged, this, &Widget::initPort);

    // Fill the device list before the window is first shown.
    initPort();
    filters->showMark();
    updateControls();
    // Sized for the screen before the window exists; showing it checks again.
    fitToScreen();
}

// The parts go before the form whose widgets they use; the port closes last, unheard.
Widget::~Widget() {
    QObject::disconnect(&link, nullptr, nullptr, nullptr);
    routing->edits().disconnect(this); // an undo history going away tells of its last changes
    routerFiles.reset();
    files.reset();
    pacing.reset();
    filters.reset();
    routing.reset();
    devices.reset();
    notices.reset();
    link.close();
    delete ui;
}

int Widget::showMessage(QString okText, QString message, QString cancelText) {
    const std::unique_ptr<QMessageBox> box(makeMessageBox(this, okText, message, cancelText));
    return box->exec();
}

void Widget::showNotice(const QString &text) {
    notices->show(text);
}

void Widget::initUi() {
    // The form leaves the filter page selected; the window opens on the routing page.
    ui->tabWidget->setCurrentIndex(0);
    loadPictures();
    ui->lable_manufacture->setPixmap(QPixmap(QStringLiteral(":/ico.png")));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    ui->tabWidget->setDocumentMode(true);
    // The All/None buttons stay hidden; the group boxes and other code call their slots.
    for (QPushButton *button :
         {ui->ControlChange_pb_all, ui->ControlChange_pb_none, ui->channel_pb_all,
          ui->channel_pb_none, ui->Messages_pb_all, ui->Messages_pb_none, ui->System_common_pb_all,
          ui->System_common_pb_none, ui->SystemRealtime_pb_all, ui->SystemRealtime_pb_none})
        button->hide();
    ui->pushButton_cancelImport->hide();
    QCoreApplication::instance()->installEventFilter(new WindowToolTips(this));
}

void Widget::connectParts() {
    // "Disconnect All", Undo and Redo only make sense on the routing page.
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, [this](int index) {
        for (QPushButton *routingOnly :
             {ui->pushButton_5, ui->pushButton_undo, ui->pushButton_redo})
            routingOnly->setVisible(index != FilterPageIndex);
        filters->showMark();
    });
    connect(ui->comboBox_MiDiPorts, &QComboBox::currentTextChanged, this,
            &Widget::MiDiPortsCurrTextChange);
    connect(routing.get(), &RoutingView::buttonsLaidOut, this, [this] {
        for (QPushButton *input : routing->inputButtons())
            connect(input, &QPushButton::pressed, this, &Widget::connectPB11);
        for (QPushButton *output : routing->outputButtons()) {
            connect(output, &QPushButton::pressed, routing.get(),
                    [this, output] { routing->pressOutput(output); });
            connect(output, &QPushButton::clicked, this, &Widget::connectPB2);
        }
    });
    connect(routing.get(), &RoutingView::lineMade, this, [this](MyLine *line) {
        connect(line, &MyLine::currLine, this, &Widget::deleteCurrLine);
    });
    connect(&link, &RouterConnection::routeSettled, this, &Widget::showRouteVerdict);
    connect(&link, &RouterConnection::filterSettled, this, &Widget::showFilterVerdict);
    connect(&link, &RouterConnection::configurationSettled, this,
            [this](const ReplyFrame::Verdict &verdict) {
                if (verdict.result == 0)
                    noteOnStatusLine(tr("Configuration successful"));
                else
                    showNotice(tr("Configuration failed"));
            });
    connect(&link, &RouterConnection::listStarted, this, &Widget::updateControls);
    connect(&link, &RouterConnection::listEnded, this, &Widget::updateControls);
    connect(&link, &RouterConnection::lost, this, &Widget::letGoOfVanishedRouter);
    connect(&link, &RouterConnection::chainEnded, routerFiles.get(),
            &RouterFileActions::keepHistory);
    connect(&link, &RouterConnection::chainEnded, this, &Widget::updateControls);
    connect(pacing.get(), &PacedSending::progressChanged, this, &Widget::showProgress);
    connect(filters.get(), &FilterPanel::markChanged, this, &Widget::updateStatusLine);
    connect(devices.get(), &DeviceList::connectedRouterGone, this, &Widget::letGoOfVanishedRouter);
}

// Undo and Redo as buttons, in the view's menu and as the platform's keys (Ctrl+Shift+Z too),
// and Delete or Backspace for the selected route line.
void Widget::connectEditing() {
    connect(ui->pushButton_undo, &QPushButton::clicked, routing.get(), &RoutingView::undo);
    connect(ui->pushButton_redo, &QPushButton::clicked, routing.get(), &RoutingView::redo);
    QUndoStack &history = routing->edits();
    connect(&history, &QUndoStack::indexChanged, this, &Widget::updateControls);
    connect(&history, &QUndoStack::cleanChanged, this, &Widget::updateControls);
    connect(routing.get(), &RoutingView::removeAllAsked, this, &Widget::on_pushButton_5_clicked);
    connect(routing.get(), &RoutingView::told, this, &Widget::noteOnStatusLine);
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    const QKeySequence shiftZ(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    if (!redoKeys.contains(shiftZ))
        redoKeys << shiftZ;
    addShortcut(QKeySequence::keyBindings(QKeySequence::Undo), &RoutingView::undo);
    addShortcut(redoKeys, &RoutingView::redo);
    addShortcut({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)},
                &RoutingView::deleteSelected);
}

void Widget::addShortcut(const QList<QKeySequence> &keys, void (RoutingView::*edit)()) {
    auto *action = new QAction(this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, routing.get(), edit);
    addAction(action);
}

// Each member box's click lets its group box summarise the group again.
void Widget::connectFilterBoxes() {
    const std::array<void (Widget::*)(bool), FilterBits::GroupCount> countSlots = {
        &Widget::channelsCountChange, &Widget::messagesCountChange,
        &Widget::controlChangeCountChange, &Widget::systemCommonCountChange,
        &Widget::systemRealtimeCountChange};
    for (const FilterBits::MemberBit &member : FilterBits::members())
        connect(findChild<QCheckBox *>(member.boxName), &QCheckBox::clicked, this,
                countSlots[member.group]);
}

// A click on a group box that leaves it checked (from Unchecked or PartiallyChecked) checks
// every member; one that leaves it unchecked clears them.
void Widget::connectGroupToggles() {
    using Action = void (Widget::*)();
    const std::array<std::pair<Action, Action>, FilterBits::GroupCount> actions = {{
        {&Widget::on_channel_pb_all_clicked, &Widget::on_channel_pb_none_clicked},
        {&Widget::on_Messages_pb_all_clicked, &Widget::on_Messages_pb_none_clicked},
        {&Widget::on_ControlChange_pb_all_clicked, &Widget::on_ControlChange_pb_none_clicked},
        {&Widget::on_System_common_pb_all_clicked, &Widget::on_System_common_pb_none_clicked},
        {&Widget::on_SystemRealtime_pb_all_clicked, &Widget::on_SystemRealtime_pb_none_clicked},
    }};
    for (int group = 0; group < FilterBits::GroupCount; ++group) {
        const auto [all, none] = actions[group];
        connect(findChild<QCheckBox *>(FilterBits::groups().at(group).boxName), &QCheckBox::clicked,
                this, [this, all = all, none = none](bool checked) {
                    (this->*(checked ? all : none))();
                });
    }
}

// The device list.

void Widget::initPort() {
    devices->scan();
    updateControls();
}

void Widget::on_pushButton_clicked() {
    if (link.isOpen())
        disconnectRouter();
    else
        connectRouter();
}

void Widget::connectRouter() {
    routerUnplugged = false;
    lastEvent.clear();
    const QString name = devices->chosenName();
    if (name.isEmpty()) {
        showNotice(tr("Make sure there is a port connection"));
    } else if (!link.open(devices->chosenPort())) {
        showNotice(openFailureMessage());
    } else {
        devices->setConnected(name);
        routing->clear();
        getMidiInOut();
        ui->ComboBox_Devices->setEnabled(false);
        ui->pushButton->setText(tr("Disconnect"));
        requeryOnTabChange = ui->tabWidget->currentIndex() == FilterPageIndex;
    }
    updateControls();
}

// The serial library also reports a port that another program holds as a permission error;
// only a user who lacks access to the device is told how to get it.
QString Widget::openFailureMessage() const {
    const QString failure = tr("Failed to open port : %1").arg(link.errorString());
    if (link.error() != QSerialPort::PermissionError ||
        deviceInventory()->mayOpenPort(devices->chosenPort()))
        return failure;
    return failure + QStringLiteral("\n\n") +
           tr("This user may not use the router's serial port. Install the Pellvane package, "
              "whose udev rule gives the logged-in user access to the router, or add the user "
              "to the \"dialout\" group (sudo usermod -aG dialout $USER) and log in again. "
              "Then plug the router in again.");
}

void Widget::disconnectRouter() {
    link.close();
    showDisconnected();
}

// The router went away while connected (unplugged, or found on another port): the window lets
// go of it as "Disconnect" does, and the status line says what happened; no message box
// interrupts the user.
void Widget::letGoOfVanishedRouter() {
    routerUnplugged = true;
    link.close();
    showDisconnected();
}

// Every part that showed the router's state is empty again.
void Widget::showDisconnected() {
    ui->ComboBox_Devices->setEnabled(true);
    ui->pushButton->setText(tr("Connect"));
    routing->clear();
    filters->clear();
    routerFiles->disconnected();
    devices->setConnected(QString());
    requeryOnTabChange = false;
    lastEvent.clear();
    updateControls();
}

// The connection reads the port and hands each frame on by itself; these two run the same.
void Widget::analysisData() {
    link.readPort();
}

void Widget::dealWithData(Feedbacktype fb, QByteArray data) {
    link.dispatch(fb, data);
}

void Widget::on_tabWidget_currentChanged(int index) {
    Q_UNUSED(index)
    if (!requeryOnTabChange)
        return;
    requeryOnTabChange = false;
    getMidiInOut();
}

void Widget::getMidiInOut() {
    link.readState();
}

// The router's verdicts.

// A route edit the router took shows on the status line; a paced list says how far it came
// itself. A refusal opens a box with the router's reason.
void Widget::showRouteVerdict(const RouterConnection::RouteVerdict &verdict) {
    if (verdict.outcome == VerdictQueue::Outcome::Refused) {
        const QString text = VerdictText::routeRefusal(verdict.reason);
        if (!text.isEmpty())
            showNotice(text);
    } else if (verdict.outcome == VerdictQueue::Outcome::Accepted && verdict.command &&
               !verdict.listed) {
        const RouteCommand::Command &command = *verdict.command;
        const QString route = RouteEditCommand::routeText({command.source, command.destination});
        switch (command.kind) {
        case RouteCommand::Kind::Add:
            noteOnStatusLine(tr("%1 added").arg(route));
            break;
        case RouteCommand::Kind::Delete:
            noteOnStatusLine(tr("%1 removed").arg(route));
            break;
        case RouteCommand::Kind::Clear:
            noteOnStatusLine(tr("All routes removed"));
            break;
        }
    }
}

void Widget::showFilterVerdict(const RouterConnection::FilterVerdict &verdict) {
    filters->settle(verdict);
    const QString text = VerdictText::filterResult(verdict.verdict.result, verdict.verdict.reason);
    if (!VerdictText::filterAccepted(verdict.verdict.result)) {
        if (!text.isEmpty())
            showNotice(text);
    } else if (!verdict.command) {
        noteOnStatusLine(text);
    } else {
        const PortIdentity::FilterPort port = verdict.command->port;
        noteOnStatusLine(text + ": " +
                         (port == FilterCommand::AllPorts
                              ? tr("all ports")
                              : PortIdentity::filterPortName(port.first, port.second)));
    }
}

// Routing.

void Widget::connectPB11() {
    if (auto *input = qobject_cast<QPushButton *>(sender()))
        routing->pressInput(input);
}

void Widget::connectPB2(bool isChecked) {
    Q_UNUSED(isChecked)
    if (auto *output = qobject_cast<QPushButton *>(sender()))
        routing->clickOutput(output);
}

// A right press on a line offers to remove its route.
void Widget::deleteCurrLine(MyLine *line) {
    qCDebug(lcRouting) << "Widget::deleteCurrLine";
    routing->offerLineMenu(line);
}

// Enter and Escape answer "NO": only a deliberate "Yes" clears the router. The router may
// have gone, or come back, while the question was open.
void Widget::on_pushButton_5_clicked() {
    if (link.isListRunning() || !checkConnected())
        return;
    const quint64 session = link.session();
    if (showMessage(tr("Yes"), tr("Disconnect All ?"), tr("NO")) == QMessageBox::Ok &&
        link.session() == session)
        routing->clearAll();
}

// Presses that reach the window fell on an empty part of the page: a left one lets go of the
// chosen source.
void Widget::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        routing->letGo();
    const QString where = QString("(%1,%2)").arg(event->x()).arg(event->y());
    switch (event->button()) {
    case Qt::LeftButton:
        qCDebug(lcInput).noquote() << "左键：" + where;
        break;
    case Qt::RightButton:
        qCDebug(lcInput).noquote() << "右键：" + where;
        break;
    case Qt::MiddleButton:
        qCDebug(lcInput).noquote() << "中键：" + where;
        break;
    default:
        break;
    }
}

void Widget::mouseMoveEvent(QMouseEvent *event) {
    if (event->buttons() & Qt::LeftButton)
        routing->dragTo(event->globalPos());
}

// A release that no button took ends the gesture; over an output button it adds the route.
void Widget::mouseReleaseEvent(QMouseEvent *e) {
    routing->dropAt(e->globalPos());
}

// Filters.

bool Widget::checkConnected() {
    if (link.isOpen())
        return true;
    showNotice(tr("Please connect the device and try again"));
    return false;
}

bool Widget::onRoutingPage() const {
    return ui->tabWidget->currentIndex() == 0;
}

// "Set": the configuration command on the routing page, the boxes as a filter on the filter
// page.
void Widget::on_pushButton_2_clicked() {
    if (!checkConnected())
        return;
    if (onRoutingPage())
        link.sendConfiguration();
    else if (const std::optional<FilterCommand::Command> command = filters->setCommand())
        link.sendFilter(*command);
    filters->showMark();
}

void Widget::on_checkBox_Applies_To_All_clicked(bool checked) {
    filters->applyToAllPorts(checked);
}

void Widget::MiDiPortsCurrTextChange(QString name) {
    filters->choosePort(name);
}

void Widget::on_channel_pb_all_clicked() {
    filters->selectGroup(FilterBits::Channels, true);
}
void Widget::on_channel_pb_none_clicked() {
    filters->selectGroup(FilterBits::Channels, false);
}
void Widget::on_Messages_pb_all_clicked() {
    filters->selectGroup(FilterBits::Messages, true);
}
void Widget::on_Messages_pb_none_clicked() {
    filters->selectGroup(FilterBits::Messages, false);
}
void Widget::on_System_common_pb_all_clicked() {
    filters->selectGroup(FilterBits::SystemCommon, true);
}
void Widget::on_System_common_pb_none_clicked() {
    filters->selectGroup(FilterBits::SystemCommon, false);
}
void Widget::on_SystemRealtime_pb_all_clicked() {
    filters->selectGroup(FilterBits::SystemRealtime, true);
}
void Widget::on_SystemRealtime_pb_none_clicked() {
    filters->selectGroup(FilterBits::SystemRealtime, false);
}
void Widget::on_ControlChange_pb_all_clicked() {
    filters->selectGroup(FilterBits::ControlChange, true);
}
void Widget::on_ControlChange_pb_none_clicked() {
    filters->selectGroup(FilterBits::ControlChange, false);
}

void Widget::channelsCountChange(bool ok) {
    Q_UNUSED(ok)
    filters->showGroup(FilterBits::Channels);
}
void Widget::messagesCountChange(bool ok) {
    Q_UNUSED(ok)
    filters->showGroup(FilterBits::Messages);
}
void Widget::controlChangeCountChange(bool ok) {
    Q_UNUSED(ok)
    filters->showGroup(FilterBits::ControlChange);
}
void Widget::systemCommonCountChange(bool ok) {
    Q_UNUSED(ok)
    filters->showGroup(FilterBits::SystemCommon);
}
void Widget::systemRealtimeCountChange(bool ok) {
    Q_UNUSED(ok)
    filters->showGroup(FilterBits::SystemRealtime);
}

// Files.

void Widget::on_pushButton_3_clicked() {
    files->save();
}

void Widget::on_pushButton_4_clicked() {
    files->open();
}

void Widget::on_pushButton_cancelImport_clicked() {
    pacing->cancel();
}

// The whole router.

void Widget::on_pushButton_saveRouter_clicked() {
    routerFiles->saveRouter();
}

void Widget::on_pushButton_openRouter_clicked() {
    routerFiles->openRouter();
}

void Widget::on_pushButton_compare_clicked() {
    routerFiles->compare();
}

void Widget::on_pushButton_history_clicked() {
    routerFiles->showHistory();
}

// The controls that fit the moment: without a router nothing asks one anything, and while a
// list of commands is paced (an import, an undo step), nothing else may start a command, a
// file dialog or a list of its own.
void Widget::updateControls() {
    const bool open = link.isOpen();
    const bool listed = !devices->chosenName().isEmpty();
    const bool free = !link.isListRunning();
    ui->pushButton->setEnabled(open || listed);
    ui->label_noRouter->setVisible(!open && !listed);
    ui->pushButton_2->setEnabled(open && free);
    ui->pushButton_3->setEnabled(free);
    ui->pushButton_4->setEnabled(open && free);
    ui->pushButton_5->setEnabled(open && free);
    for (QPushButton *whole : {ui->pushButton_saveRouter, ui->pushButton_openRouter,
                               ui->pushButton_compare, ui->pushButton_history})
        whole->setEnabled(routerFiles->isUsable());
    ui->graphicsView->setEnabled(free);
    const QUndoStack &history = routing->edits();
    ui->pushButton_undo->setEnabled(open && free && history.canUndo());
    ui->pushButton_redo->setEnabled(open && free && history.canRedo());
    const auto tip = [](const QString &step, const QString &what, QKeySequence::StandardKey key) {
        return (what.isEmpty() ? step : step + ": " + what) + " (" +
               QKeySequence(key).toString(QKeySequence::NativeText) + ")";
    };
    ui->pushButton_undo->setToolTip(tip(tr("Undo"), history.undoText(), QKeySequence::Undo));
    ui->pushButton_redo->setToolTip(tip(tr("Redo"), history.redoText(), QKeySequence::Redo));
    updateStatusLine();
}

// A long list's Cancel takes the place of "Compare…" and "History…", which wait for the list
// to end anyway: the header keeps its width.
void Widget::showProgress() {
    const bool cancelShown = !ui->pushButton_cancelImport->isHidden();
    ui->pushButton_compare->setHidden(cancelShown);
    ui->pushButton_history->setHidden(cancelShown);
    updateStatusLine();
}

void Widget::noteOnStatusLine(const QString &text) {
    lastEvent = text;
    updateStatusLine();
}

// The header's status line: what the window is connected to, how far a long import has come,
// or that the router went away; then what went well last and edits not yet sent.
void Widget::updateStatusLine() {
    const QString progress = pacing->progress();
    QStringList parts;
    if (link.isOpen() && !progress.isEmpty())
        parts << progress;
    else if (link.isOpen())
        // The port as the device list has it (the chooser is locked while connected).
        parts << tr("Connected to %1 on %2")
                     .arg(devices->connectedName(), ui->ComboBox_Devices->currentData().toString());
    else if (routerUnplugged)
        parts << tr("The router was unplugged");
    else
        parts << tr("Not connected");
    if (!lastEvent.isEmpty())
        parts << lastEvent;
    if (filters->hasUnsentEdits())
        parts << tr("Unsent changes to %1").arg(filters->shownPort());
    const QString text = parts.join(QStringLiteral(" · "));
    ui->label_status->setText(text);
    // A narrow window cuts the line short; the tooltip still has all of it.
    ui->label_status->setToolTip(text);
}

// Closing with filter edits not yet sent asks first, as choosing another port does; Enter and
// Escape keep the window open.
void Widget::closeEvent(QCloseEvent *event) {
    if (filters->hasUnsentEdits() &&
        showMessage(tr("Yes"), tr("Discard the changes to %1?").arg(filters->shownPort()),
                    tr("No")) != QMessageBox::Ok) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
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
    // A window larger than the screen, held by its layout's minimum, keeps its top left
    // corner on it.
    move(qMax(available.left(), qMin(placed.left(), available.right() + 1 - placed.width())),
         qMax(available.top(), qMin(placed.top(), available.bottom() + 1 - placed.height())));
}

#include "app/widget.h"

#include "app/tracecategories.h"
#include "filters/portfilteringsituation.h"
#include "link/querychain.h"
#include "link/replyframe.h"
#include "routing/mainscense.h"
#include "routing/myline.h"
#include "routing/portidentity.h"
#include "routing/verdicttext.h"
#include "ui_widget.h"

#include <QComboBox>
#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSerialPort>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using PortIdentity::End;

// Keyboard focus shows as a ring inside the coloured button.
const QString portFocusStyle =
    QStringLiteral("QPushButton:focus{border:2px dashed rgb(40, 40, 40);}");

void addPortButton(QList<QPushButton *> &buttons, QVBoxLayout *column, const QString &text,
                   const QString &style, const QFont &font) {
    auto *button = new QPushButton(text);
    button->setFixedSize(120, 35);
    button->setStyleSheet(style + portFocusStyle);
    button->setFont(font);
    buttons.append(button);
    column->addWidget(button);
}

QLabel *columnLabel(const QString &text, const QFont &font) {
    auto *label = new QLabel(text);
    label->setFont(font);
    label->setMaximumSize(120, 20);
    return label;
}

PortFilteringSituation *recordNamed(const QList<PortFilteringSituation *> &records,
                                    const QString &name) {
    for (PortFilteringSituation *record : records)
        if (record->getPortName() == name)
            return record;
    return nullptr;
}

} // namespace

void Widget::dealWithData(Feedbacktype fb, QByteArray data) {
    switch (fb) {
    case ModeReport:
        writeFrame(queryFrame2);
        break;
    case PortCountReport:
        rebuildPortMap(data);
        break;
    case RouteReport:
        handleRouteReport(data);
        break;
    case FilterPortCountReport:
        handleFilterPortCounts(data);
        break;
    case PortFilterReport:
        handlePortFilterReport(data);
        break;
    case RouteResult:
        handleRouteResult(data);
        break;
    case ConfigResult:
        showNotice(ReplyFrame::verdict(data).result == 0 ? tr("Configuration successful")
                                                         : tr("Configuration failed"));
        break;
    case FilterResult:
        handleFilterResult(data);
        break;
    default:
        break;
    }
}

void Widget::showNotice(const QString &text) {
    showMessage(tr("OK"), text, QString());
}

void Widget::fillPortCombo(const QString &kindName, int count) {
    QComboBox *ports = ui->comboBox_MiDiPorts;
    for (int i = 1; i <= count; ++i)
        ports->insertItem(ports->count(), QIcon(), (kindName + "%1").arg(i), QVariant());
    ports->setEnabled(false);
    ports->setEnabled(true);
}

void Widget::removePortMapLayout() {
    delete inputLayout;
    inputLayout = nullptr;
    delete outputLayout;
    outputLayout = nullptr;
    delete portsLayout;
    portsLayout = nullptr;
    delete inputLabel;
    inputLabel = nullptr;
    delete outputLabel;
    outputLabel = nullptr;
}

// The lines go with the buttons they join: the route reports that query 3 brings draw them
// again between the new buttons.
void Widget::rebuildPortMap(const QByteArray &data) {
    endGesture();
    removeAllRouteLines();
    clearPortButtons();
    removePortMapLayout();

    const PortIdentity::PortCounts counts = ReplyFrame::portCounts(data);
    midiInCount = counts.midiIn;
    midiOutCount = counts.midiOut;
    usbHostCount = counts.usbHost;
    usbDeviceCount = counts.usbDevice;

    inputLayout = new QVBoxLayout;
    outputLayout = new QVBoxLayout;
    inputLabel = columnLabel("  Input Ports", buttonFont);
    outputLabel = columnLabel("  Output Ports", buttonFont);
    inputLayout->addWidget(inputLabel);
    outputLayout->addWidget(outputLabel);

    const auto addButton = [this](End end, int portClass, int number, const QString &style) {
        const bool source = end == End::Source;
        addPortButton(source ? inputButtons : outputButtons, source ? inputLayout : outputLayout,
                      PortIdentity::buttonText(end, portClass, number), style, buttonFont);
    };
    for (int i = 1; i <= midiInCount; ++i)
        addButton(End::Source, PortIdentity::Midi, i, styleNormal);
    for (int i = 1; i <= midiOutCount; ++i)
        addButton(End::Destination, PortIdentity::Midi, i, styleNormal);
    // USB ports are two-way: one button in each column.
    for (int portClass : {PortIdentity::UsbHost, PortIdentity::UsbDevice}) {
        const int count = portClass == PortIdentity::UsbHost ? usbHostCount : usbDeviceCount;
        for (int i = 1; i <= count; ++i) {
            addButton(End::Source, portClass, i, styleSelected);
            addButton(End::Destination, portClass, i, styleSelected);
        }
    }

    portsLayout = new QHBoxLayout;
    inputLayout->setContentsMargins(80, 5, 200, 20);
    outputLayout->setContentsMargins(200, 5, 80, 20);
    for (QVBoxLayout *column : {inputLayout, outputLayout}) {
        column->addSpacerItem(
            new QSpacerItem(0, 0, QSizePolicy::Preferred, QSizePolicy::Expanding));
        column->setSpacing(10);
    }
    portsLayout->addLayout(inputLayout);
    portsLayout->addLayout(outputLayout);
    QGraphicsView *view = ui->graphicsView;
    view->setLayout(portsLayout);

    for (QPushButton *button : qAsConst(inputButtons))
        connect(button, &QPushButton::pressed, this, &Widget::connectPB11);
    for (QPushButton *button : qAsConst(outputButtons))
        connect(button, &QPushButton::clicked, this, &Widget::connectPB2);

    // Flushed, so that the wait below starts once query 3 is on its way.
    if (writeFrame(queryFrame3))
        serialPort->flush();
    view->setFixedHeight((qMax(inputButtons.size(), outputButtons.size()) + 2) * 40);
    scene->setSceneRect(0, 0, view->width() - view->verticalScrollBar()->width(),
                        view->height() - view->horizontalScrollBar()->height());
    waitMs(QueryChain::RoutesPauseMs);
    writeFrame(queryFrame4);
}

// Runs the event loop for ms milliseconds, dispatching the frames that arrive meanwhile. It
// sleeps while nothing happens, and measures on a monotonic clock, so that a wait that spans
// midnight or a clock change still lasts its full time.
void Widget::waitMs(int ms) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer reader;
    keepReading(reader);
    while (clock.elapsed() < ms) {
        deadline.start(int(ms - clock.elapsed()));
        loop.exec();
    }
}

void Widget::handleRouteReport(const QByteArray &data) {
    qCDebug(lcRouting) << "反馈的路由情况:" << data;
    const std::optional<PortIdentity::Route> route = ReplyFrame::reportedRoute(data);
    if (!route)
        return;
    const auto [source, destination] = *route;
    QPushButton *from = routeButton(End::Source, source);
    QPushButton *to = routeButton(End::Destination, destination);
    if (!from || !to)
        return;
    drawRoute(from, to, source.first, source.second, destination.first, destination.second);
}

void Widget::handleFilterPortCounts(const QByteArray &data) {
    if (ui->comboBox_MiDiPorts->count() > 0)
        return;
    const QStringList &kinds = PortIdentity::filterPortKinds();
    const QVector<int> counts = ReplyFrame::filterPortCounts(data);
    for (int code = 0; code < kinds.size(); ++code)
        fillPortCombo(kinds.at(code), counts.at(code));
    writeFrame(queryFrame5);
}

// One record per port: a port reported again gets its record's bytes replaced.
void Widget::handlePortFilterReport(const QByteArray &data) {
    const ReplyFrame::PortFilter filter = ReplyFrame::portFilter(data);
    const QString name = PortIdentity::filterPortName(filter.port.first, filter.port.second);
    PortFilteringSituation *record = recordNamed(portFilters, name);
    if (!record) {
        record = new PortFilteringSituation(name);
        portFilters.append(record);
    }
    record->setFilterBytes(filter.bytes);
    if (portFilters.size() >= ui->comboBox_MiDiPorts->count())
        MiDiPortsCurrTextChange(portFilters.first()->getPortName());
}

// Each RouteResult settles the oldest route command still waiting for one.
void Widget::handleRouteResult(const QByteArray &data) {
    lastCommand = 0;
    const ReplyFrame::Verdict result = ReplyFrame::verdict(data);
    const VerdictQueue::Settlement verdict = verdictQueue.settle(result.result, result.reason);
    armVerdictTimer();
    if (verdict.command)
        settleRouteCommand(*verdict.command, verdict.outcome);
    if (verdict.outcome != VerdictQueue::Outcome::Refused)
        return;
    const QString text = VerdictText::routeRefusal(verdict.reason);
    if (!text.isEmpty())
        showNotice(text);
}

// An added line is drawn when its command is sent and a deleted one stays until the router
// confirms; a clear takes every line but those whose adds were written after it.
void Widget::settleRouteCommand(const RouteCommand::Command &command,
                                VerdictQueue::Outcome outcome) {
    using RouteCommand::Kind;
    const bool accepted = outcome == VerdictQueue::Outcome::Accepted;
    const bool refused = outcome == VerdictQueue::Outcome::Refused;
    if ((command.kind == Kind::Add && refused) || (command.kind == Kind::Delete && accepted)) {
        if (MyLine *line = routeLine(command)) {
            takeRouteLineOut(line);
            releaseRouteLine(line);
        }
    } else if (command.kind == Kind::Clear && accepted) {
        removeRouteLinesExcept(verdictQueue.waiting());
    }
}

void Widget::handleFilterResult(const QByteArray &data) {
    const ReplyFrame::Verdict verdict = ReplyFrame::verdict(data);
    const QString text = VerdictText::filterResult(verdict.result, verdict.reason);
    if (!text.isEmpty())
        showNotice(text);
}

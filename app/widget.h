#pragma once

#include "filters/filterbytes.h"
#include "link/feedbacktype.h"
#include "routing/portidentity.h"
#include "routing/routeeditcommand.h"
#include "routing/verdictqueue.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFont>
#include <QList>
#include <QMultiMap>
#include <QPair>
#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

class FiFoBuffer;
struct FoundRouter;
class MainScense;
class MyLine;
class PortFilteringSituation;
class QHBoxLayout;
class QImage;
class QJsonObject;
class QLabel;
class QMouseEvent;
class QPushButton;
class QSerialPort;
class QShowEvent;
class QTimer;
class QUndoStack;
class QVBoxLayout;

namespace Ui {
class Widget;
}

// The one window of the tool. It owns all state for the whole run; each subsystem defines
// its member functions in its own folder (link/, routing/, filters/, config/).
class Widget : public QWidget {
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    // The one message box of the program; returns QMessageBox::Ok or QMessageBox::Cancel.
    int showMessage(QString okText, QString message, QString cancelText);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void initPort();
    void on_pushButton_clicked();
    void analysisData();
    void on_pushButton_2_clicked();
    void dealWithData(Feedbacktype fb, QByteArray data);
    void on_checkBox_Applies_To_All_clicked(bool checked);
    void on_channel_pb_all_clicked();
    void on_channel_pb_none_clicked();
    void on_Messages_pb_all_clicked();
    void on_Messages_pb_none_clicked();
    void on_System_common_pb_all_clicked();
    void on_System_common_pb_none_clicked();
    void on_SystemRealtime_pb_all_clicked();
    void on_SystemRealtime_pb_none_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_ControlChange_pb_all_clicked();
    void on_ControlChange_pb_none_clicked();
    void MiDiPortsCurrTextChange(QString name);
    void channelsCountChange(bool ok);
    void messagesCountChange(bool ok);
    void controlChangeCountChange(bool ok);
    void systemCommonCountChange(bool ok);
    void systemRealtimeCountChange(bool ok);
    void connectPB1(bool isChecked);
    void connectPB2(bool isChecked);
    void connectPB11();
    void deleteCurrLine(MyLine *line);
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void on_tabWidget_currentChanged(int index);
    void getMidiInOut();
    void on_pushButton_cancelImport_clicked();

private:
    friend class WidgetTestAccess;

    // Application shell (app/).
    void fillQueryFrames();
    void initUi();
    void connectSignals();
    void updateStatusLine();
    void fitToScreen();

    // Device link (link/).
    void followDevice(const FoundRouter &router);
    int deviceEntry(const QString &name) const;
    void connectOrDisconnect(bool isOpen);
    void onSerialError(int error);
    void openDevice();
    QString openFailureMessage() const;
    void closeDevice();
    void letGoOfVanishedRouter();
    void clearRoutingPicture();
    void drainPort();
    void keepReading(QTimer &reader);
    bool writeFrame(const QByteArray &frame);

    // Routing (routing/).
    void fillPortCombo(const QString &kindName, int count);
    void rebuildPortMap(const QByteArray &data);
    void handleRouteReport(const QByteArray &data);
    void handleFilterPortCounts(const QByteArray &data);
    void handlePortFilterReport(const QByteArray &data);
    void handleRouteResult(const QByteArray &data);
    void handleFilterResult(const QByteArray &data);
    void drawRoute(QPushButton *source, QPushButton *destination, int sourceKind, int sourceNumber,
                   int destinationKind, int destinationNumber);
    MyLine *createRouteLine(QPointF start, QPointF end, QPair<int, int> key, QPair<int, int> value);
    static QPointF sourceAnchor(const QWidget *button);
    static QPointF destinationAnchor(const QWidget *button);
    MyLine *routeLine(const RouteCommand::Command &command) const;
    void takeRouteLineOut(MyLine *line);
    void releaseRouteLine(MyLine *line);
    void removeAllRouteLines();
    void removeRouteLinesExcept(const QList<RouteCommand::Command> &keptAdds);
    void clearPortButtons();
    void anchorSource(QPushButton *button);
    bool addRoute(QPushButton *button);
    bool recordAndSendAdd(PortIdentity::RouteEnd source, PortIdentity::RouteEnd destination,
                          QPointF from, QPointF to);
    bool sendRouteAdd(PortIdentity::RouteEnd source, PortIdentity::RouteEnd destination);
    bool requestDelete(MyLine *line);
    bool requestClear();
    void initRouteEditing();
    void undoRouteEdit();
    void redoRouteEdit();
    void stepRouteEdits(void (QUndoStack::*step)());
    void clearRouteEdits();
    void recordEdit(RouteEditCommand *command);
    RouteEditCommand::Send replayer();
    int replayRouteCommands(const QList<RouteCommand::Command> &commands);
    void deleteSelectedLine();
    QPushButton *routeButton(PortIdentity::End end, PortIdentity::RouteEnd port) const;
    void endGesture();
    bool sendRouteCommand(const RouteCommand::Command &command);
    void settleRouteCommand(const RouteCommand::Command &command, VerdictQueue::Outcome outcome);
    void armVerdictTimer();
    void rereadRoutes();
    void forgetPendingCommands();
    void waitMs(int ms);
    void showNotice(const QString &text);
    void removePortMapLayout();

    // Port filters (filters/).
    bool checkConnected();
    void connectFilterCheckBoxes();
    void connectGroupToggles();
    int &filterGroupCounter(int group);
    void countFilterMember(int group, bool ok);
    void selectFilterGroup(int group, bool all);
    QByteArray takeFilterCommand();
    FilterBytes panelFilterBytes() const;
    const PortFilteringSituation *shownFilterRecord() const;
    bool hasUnsentFilterEdits() const;
    void markUnsentFilterEdits();
    bool mayLeaveFilterPort(const QString &name);
    void explainFilterBoxes();

    // Configuration files (config/).
    bool onRoutingPage() const;
    QString pageMisfit(const QJsonObject &root) const;
    void lockWhilePacing(bool locked);
    void showImportProgress(int sent, int total);
    void importRoutes(const QJsonObject &root);
    void importFilters(const QJsonObject &root);

    QString currentDeviceName;
    QPointF startPoint;
    QPointF endPoint;
    QFont buttonFont;
    MainScense *scene = nullptr;
    int channelsCount = 0;
    int messagesCount = 0;
    int controlChangeCount = 0;
    int systemCommonCount = 0;
    int systemRealtimeCount = 0;
    QList<PortFilteringSituation *> portFilters;
    Ui::Widget *ui = nullptr;
    QImage *logoImage = nullptr;
    QSerialPort *serialPort = nullptr;
    QByteArray commandBuffer;
    FiFoBuffer *fifoBuffer = nullptr;
    QVBoxLayout *inputLayout = nullptr;
    QList<QPushButton *> inputButtons;
    QLabel *inputLabel = nullptr;
    int midiInCount = 0;
    int midiOutCount = 0;
    int usbHostCount = 0;
    int usbDeviceCount = 0;
    QVBoxLayout *outputLayout = nullptr;
    QList<QPushButton *> outputButtons;
    QLabel *outputLabel = nullptr;
    QHBoxLayout *portsLayout = nullptr;
    MyLine *dragLine = nullptr;
    MyLine *lastRouteLine = nullptr;
    QMultiMap<QPushButton *, QPushButton *> importRouteMap;
    QMultiMap<QPair<int, int>, QPair<int, int>> routeMap;
    int srcKind = 0;
    int srcNumber = 0;
    int dstKind = 0;
    int dstNumber = 0;
    bool requeryOnTabChange = false;
    int lastCommand = 0;
    MyLine *lineToDelete = nullptr;
    QByteArray queryFrame1;
    QByteArray queryFrame2;
    QByteArray queryFrame3;
    QByteArray queryFrame4;
    QByteArray queryFrame5;
    QString styleSelected =
        "QPushButton{background-color:rgb(146, 208, 80);border:0px solid gray;border-radius:8px;}";
    QString styleNormal =
        "QPushButton{background-color:rgb(216,216,216);border:0px solid gray;border-radius:8px;}";
    QTimer *portScanTimer = nullptr;

    // Route commands written and not yet answered; the timer fires when the oldest is overdue.
    VerdictQueue verdictQueue;
    QElapsedTimer verdictClock;
    QTimer *verdictTimer = nullptr;
    int drainDepth = 0; // nested drainPort calls running
    bool pacingRoutes = false;
    QPointer<QPushButton> chosenSource; // marked while it is the source of a route being made
    QUndoStack *routeEdits = nullptr;   // route edits made in the window, for undo and redo
    bool replayingEdits = false;        // an undo or redo step is running
    bool editsStale = false;            // the history is to be emptied once that step returns
    quint64 linkSession = 0;            // counts successful connects

    // The status line: a connected router that went away, and a long import's progress.
    bool routerUnplugged = false;
    int importSent = 0;
    int importTotal = 0; // routes of the import that shows its progress; 0 when none does
    bool importCancelled = false;

    // The port whose record the filter panel was last loaded from; "Set" is marked while the
    // boxes differ from that record, checked once the changes of one event have settled.
    QString filterPortShown;
    QString setButtonStyle;
    QTimer *filterMarkTimer = nullptr;

    QSize formMinimumSize; // the form's minimum, kept on screens that have room for it
};

#pragma once

#include "link/feedbacktype.h"
#include "link/routerconnection.h"

#include <QByteArray>
#include <QKeySequence>
#include <QList>
#include <QSize>
#include <QString>
#include <QWidget>
#include <memory>

class DeviceList;
class FileActions;
class FilterPanel;
class MyLine;
class NoticeQueue;
class PacedSending;
class QCloseEvent;
class QMouseEvent;
class QShowEvent;
class RouterFileActions;
class RoutingView;

namespace Ui {
class Widget;
}

// The one window of the tool. It keeps the form and the slots its controls are bound to, owns
// the router connection and the parts of the window that show and edit what the router holds,
// and forwards each slot to the part it concerns:
//   the routing view - the port buttons, the route lines, the route gestures, undo and redo;
//   the filter panel - the 162 filter boxes, their groups, the port chooser, "Set"'s mark;
//   the file actions - "Save File", "Open File" and the import of a file's routes;
//   the router file actions - "Save Router…", "Open Router…", "Compare…", "History…" and
//                      keeping the router's history;
//   the paced sending - the paced lists they start, with their progress and Cancel;
//   the device list  - the routers found, scanned every 10 seconds and when devices change.
// The form's buttons: pushButton is "Connect" (or "Disconnect"), pushButton_2 "Set",
// pushButton_3 "Save File", pushButton_4 "Open File", pushButton_5 "Disconnect All",
// pushButton_undo and pushButton_redo the routing page's "Undo" and "Redo",
// pushButton_saveRouter, pushButton_openRouter, pushButton_compare and pushButton_history the
// router file actions', pushButton_cancelImport "Cancel" of a long list.
//
// Nothing the window runs from a frame, a timer or the port waits: the router's verdicts and
// notices open without blocking, and questions and file dialogs come only from a click.
class Widget : public QWidget {
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    // The program's message box for a question, asked from the user's own action; returns
    // QMessageBox::Ok or QMessageBox::Cancel.
    int showMessage(QString okText, QString message, QString cancelText);
    // A notice in the same box, shown without waiting, after the notices before it.
    void showNotice(const QString &text);

    RouterConnection &connection() { return link; }
    RoutingView &routingView() { return *routing; }
    FilterPanel &filterPanel() { return *filters; }
    RouterFileActions &routerFileActions() { return *routerFiles; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

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
    void connectPB2(bool isChecked);
    void connectPB11();
    void deleteCurrLine(MyLine *line);
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void on_tabWidget_currentChanged(int index);
    void getMidiInOut();
    void on_pushButton_cancelImport_clicked();
    void on_pushButton_saveRouter_clicked();
    void on_pushButton_openRouter_clicked();
    void on_pushButton_compare_clicked();
    void on_pushButton_history_clicked();

private:
    void initUi();
    void connectParts();
    void connectFilterBoxes();
    void connectGroupToggles();
    void connectEditing();
    void addShortcut(const QList<QKeySequence> &keys, void (RoutingView::*edit)());
    void connectRouter();
    void disconnectRouter();
    void letGoOfVanishedRouter();
    void showDisconnected();
    QString openFailureMessage() const;
    bool checkConnected();
    bool onRoutingPage() const;
    void updateControls();
    void showRouteVerdict(const RouterConnection::RouteVerdict &verdict);
    void showFilterVerdict(const RouterConnection::FilterVerdict &verdict);
    void noteOnStatusLine(const QString &text);
    void showProgress();
    void updateStatusLine();
    void fitToScreen();

    Ui::Widget *ui = nullptr;
    RouterConnection link;
    std::unique_ptr<NoticeQueue> notices;
    std::unique_ptr<RoutingView> routing;
    std::unique_ptr<FilterPanel> filters;
    std::unique_ptr<PacedSending> pacing;
    std::unique_ptr<FileActions> files;
    std::unique_ptr<DeviceList> devices;
    std::unique_ptr<RouterFileActions> routerFiles;
    bool requeryOnTabChange = false; // a connect on the filter page reads the routes again
    bool routerUnplugged = false;    // the status line says why the window is disconnected
    QString lastEvent;               // what went well last, for the status line
    QSize formMinimumSize;           // the form's minimum, kept on screens that have room for it
};

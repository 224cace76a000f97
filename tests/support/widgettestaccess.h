#pragma once

#include "app/widget.h"

// Lets tests read and drive the window's private state and operations. Tests find controls
// by object name; this is for the state that no control shows.
class WidgetTestAccess {
public:
    explicit WidgetTestAccess(Widget &window)
        : w(window) {}

    QPointF &startPoint() { return w.startPoint; }
    int &channelsCount() { return w.channelsCount; }
    int &messagesCount() { return w.messagesCount; }
    int &controlChangeCount() { return w.controlChangeCount; }
    int &systemCommonCount() { return w.systemCommonCount; }
    int &systemRealtimeCount() { return w.systemRealtimeCount; }
    QList<PortFilteringSituation *> &portFilters() { return w.portFilters; }
    QSerialPort *serialPort() { return w.serialPort; }
    MainScense *scene() { return w.scene; }
    QList<QPushButton *> &inputButtons() { return w.inputButtons; }
    QList<QPushButton *> &outputButtons() { return w.outputButtons; }
    int midiInCount() const { return w.midiInCount; }
    int midiOutCount() const { return w.midiOutCount; }
    int usbHostCount() const { return w.usbHostCount; }
    int usbDeviceCount() const { return w.usbDeviceCount; }
    MyLine *dragLine() { return w.dragLine; }
    MyLine *&lastRouteLine() { return w.lastRouteLine; }
    MyLine *&lineToDelete() { return w.lineToDelete; }
    QMultiMap<QPair<int, int>, QPair<int, int>> &routeMap() { return w.routeMap; }
    int &lastCommand() { return w.lastCommand; }
    const VerdictQueue &verdictQueue() const { return w.verdictQueue; }
    QUndoStack *routeEdits() { return w.routeEdits; }
    QTimer *portScanTimer() { return w.portScanTimer; }

    FiFoBuffer *fifoBuffer() { return w.fifoBuffer; }

    void initPort() { w.initPort(); }
    void removeAllRouteLines() { w.removeAllRouteLines(); }
    // "Open File" once the file has been read: whether it fits the shown page, and the filter
    // page's import.
    QString pageMisfit(const QJsonObject &root) const { return w.pageMisfit(root); }
    void importFilters(const QJsonObject &root) { w.importFilters(root); }

private:
    Widget &w;
};

#pragma once

#include "app/widget.h"

// Lets tests read and drive the window's private state and operations. Tests find controls
// by object name; this is for the state that no control shows.
class WidgetTestAccess {
public:
    explicit WidgetTestAccess(Widget &window)
        : w(window) {}

    QString &currentDeviceName() { return w.currentDeviceName; }
    QPointF &startPoint() { return w.startPoint; }
    QList<PortFilteringSituation *> &portFilters() { return w.portFilters; }
    QSerialPort *serialPort() { return w.serialPort; }
    MainScense *scene() { return w.scene; }
    QList<QPushButton *> &inputButtons() { return w.inputButtons; }
    QList<QPushButton *> &outputButtons() { return w.outputButtons; }
    MyLine *dragLine() { return w.dragLine; }
    MyLine *&lastRouteLine() { return w.lastRouteLine; }
    MyLine *&lineToDelete() { return w.lineToDelete; }
    QMultiMap<QPair<int, int>, QPair<int, int>> &routeMap() { return w.routeMap; }
    int &lastCommand() { return w.lastCommand; }
    const VerdictQueue &verdictQueue() const { return w.verdictQueue; }
    QUndoStack *routeEdits() { return w.routeEdits; }
    QTimer *portScanTimer() { return w.portScanTimer; }

    void initPort() { w.initPort(); }

private:
    Widget &w;
};

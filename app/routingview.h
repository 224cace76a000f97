#pragma once

#include "app/routeeditcommand.h"
#include "routing/portidentity.h"

#include <QFont>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QUndoStack>
#include <memory>

class MainScense;
class MyLine;
class QGraphicsView;
class QHBoxLayout;
class QPushButton;
class RouterConnection;

// The routing page: the router's ports as two columns of buttons laid over the view, one line
// for each route of the connection's table, the gestures that make and delete routes, and
// their undo history. A line is anchored to the two buttons it joins and follows them wherever
// a resize, a change of scale or a new port map puts them; what the router holds decides which
// lines there are.
class RoutingView : public QObject {
    Q_OBJECT
public:
    RoutingView(QGraphicsView &view, RouterConnection &connection, const QFont &buttonFont);
    ~RoutingView() override;

    const QList<QPushButton *> &inputButtons() const { return inputs; }
    const QList<QPushButton *> &outputButtons() const { return outputs; }
    // The button of a route end, or null when the port map has no such port.
    QPushButton *button(PortIdentity::End end, const PortIdentity::RouteEnd &port) const;
    // Where a line meets a button, in scene coordinates: 10 pixels right of the middle of an
    // input button, a third of a button width left of an output button, 5 pixels below the top.
    QPointF anchor(PortIdentity::End end, const QPushButton *button) const;
    // The route lines shown, by route; the rubber band is none of them.
    const QMap<PortIdentity::Route, MyLine *> &routeLines() const { return lines; }
    MainScense &scene() const { return *routeScene; }
    // Whether a port is chosen as one end of a route being made.
    bool hasChosenPort() const;
    bool showsRubberBand() const;
    QUndoStack &edits() { return history; }

    // The gestures: one end of a route chosen (an input, or an output to be routed from the
    // input chosen next), the other end clicked or dropped on, a line deleted from its menu or
    // with Delete, the routes cleared; each command that goes out is an edit of the history.
    void pressInput(QPushButton *input);
    void pressOutput(QPushButton *output);
    void clickOutput(QPushButton *output);
    void offerLineMenu(const MyLine *line);
    void deleteRoute(const MyLine *line);
    void deleteSelected();
    void clearAll();
    void dragTo(const QPoint &globalPos);
    void dropAt(const QPoint &globalPos);
    void letGo();
    void undo();
    void redo();

    // No ports, no lines, no history: the connection ended or began.
    void clear();

signals:
    void buttonsLaidOut();
    void lineMade(MyLine *line);
    void removeAllAsked();          // from the view's own menu
    void told(const QString &text); // for the status line

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOutPorts();
    void addPortButton(PortIdentity::End end, int portClass, int number);
    void removePortMap();
    void showRoutes();
    void removeLines();
    void fitSceneToView();
    void placeLine(MyLine *line);
    void placeLinesAt(const QObject *button);
    void choose(QPushButton *port, PortIdentity::End end);
    void addRoute(const QPushButton *input, const QPushButton *output);
    void offerViewMenu(const QPoint &globalPos);
    void record(RouteEditCommand *command);
    int replay(const QList<RouteCommand::Command> &commands);
    bool editable() const;

    QGraphicsView &view;
    RouterConnection &connection;
    QFont buttonFont;
    MainScense *routeScene = nullptr; // owned by the view
    std::unique_ptr<MyLine> dragLine; // the rubber band, in the scene while a route is drawn
    QList<QPushButton *> inputs;
    QList<QPushButton *> outputs;
    QHBoxLayout *portsLayout = nullptr; // installed on the view with its two columns
    PortIdentity::PortCounts laidOut;   // the counts the buttons were made for
    QMap<PortIdentity::Route, MyLine *> lines;
    QPointer<QPushButton> chosen; // marked while it is one end of a route being made
    PortIdentity::End chosenEnd = PortIdentity::End::Source;
    QUndoStack history;
};

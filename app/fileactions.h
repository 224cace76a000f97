#pragma once

#include "app/pacedsending.h"
#include "config/routerstate.h"
#include "routing/routecommand.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <functional>

class FilterPanel;
class NoticeQueue;
class QTabWidget;
class QWidget;
class RoutingView;

// "Save File" and "Open File": the routes or the shown filter, by the page shown, to and from
// a configuration file, and the import that replaces the router's routes by a file's, paced,
// with its progress and Cancel.
class FileActions : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget &window; // the dialogs' parent
        QTabWidget &tabs;
        RouterConnection &connection;
        RoutingView &routing;
        FilterPanel &filters;
        NoticeQueue &notices;
        PacedSending &pacing;
        std::function<bool()> checkConnected;      // tells the user when there is no router
        std::function<void()> set;                 // "Set"
        std::function<void(const QString &)> note; // what went well, for the status line
    };

    explicit FileActions(const Parts &parts);

    void save();
    void open();

    // What undoing an import puts back: the clear, then the routes the router holds, as an
    // import of its saved file sends them.
    static QList<RouteCommand::Command> restoring(const RouterState &state);
    // Records an import of a file's routes, whose forward commands are going out, as one step
    // of the routing view's history: undone, backward puts back the routes from before it.
    void recordImport(const QString &file, const QList<RouteCommand::Command> &forward,
                      const QList<RouteCommand::Command> &backward);

private:
    bool onRoutingPage() const;
    QString pageMisfit(const QJsonObject &root) const;
    void importRoutes(const QJsonObject &root);
    void importFilters(const QJsonObject &root);

    Parts parts;
    QString importedFile;
};

#pragma once

#include "link/routerconnection.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class FilterPanel;
class NoticeQueue;
class QPushButton;
class QTabWidget;
class QWidget;
class RoutingView;

// "Save File" and "Open File": the routes or the shown filter, by the page shown, to and from
// a configuration file, and the import that replaces the router's routes by a file's, paced,
// with its progress and Cancel. Both file dialogs start in the folder used last.
class FileActions : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget &window; // the dialogs' parent
        QTabWidget &tabs;
        QPushButton &cancel; // shown with the progress of a long import
        RouterConnection &connection;
        RoutingView &routing;
        FilterPanel &filters;
        NoticeQueue &notices;
        std::function<bool()> checkConnected;      // tells the user when there is no router
        std::function<void()> set;                 // "Set"
        std::function<void(const QString &)> note; // what went well, for the status line
    };
    // What the status line and the notices call a paced list of routes.
    struct Pacing {
        QString progress; // "Importing routes: %1 of %2"
        QString name;     // "Import", for the notice of a list that stopped early
        std::function<QString(int routes)> done; // for the status line
    };

    explicit FileActions(const Parts &parts);

    void save();
    void open();
    void cancelImport();
    // "Importing routes: k of n" while a long import runs; empty otherwise.
    QString progress() const;

signals:
    void progressChanged();

private:
    bool onRoutingPage() const;
    QString pageMisfit(const QJsonObject &root) const;
    void importRoutes(const QJsonObject &root);
    void importFilters(const QJsonObject &root);
    void showProgress(int sent);
    // Sends commands (the clear first) as a paced list; returns how many go out.
    int pace(const QList<RouteCommand::Command> &commands, const Pacing &pacing);
    void endPacing(const RouterConnection::ListResult &result);

    Parts parts;
    QString importedFile;
    std::optional<Pacing> running; // of the list running, when this started it
    int routesTotal = 0;
    int routesSent = 0;
    bool progressShown = false; // a long list shows its count and Cancel
};

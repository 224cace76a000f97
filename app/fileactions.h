#pragma once

#include "link/routerconnection.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <functional>

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
        std::function<bool()> checkConnected; // tells the user when there is no router
        std::function<void()> set;            // "Set"
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
    void endImport(const RouterConnection::ListResult &result);

    Parts parts;
    bool importing = false;
    int routesTotal = 0; // routes of the running import
    int routesSent = 0;
    bool progressShown = false; // a long import shows its count and Cancel
};

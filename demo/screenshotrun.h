#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;
class RouterSimulator;

// Drives the window like a user would for a pair of screenshots: picks the simulated
// router, connects, waits until the router's replies show on screen, saves the routing page
// and the filter page as PNG files and ends the event loop (exit code 1 when a step did not
// happen in time).
class ScreenshotRun : public QObject {
    Q_OBJECT
public:
    ScreenshotRun(QWidget &window, const RouterSimulator &sim, const QString &directory);

    // Schedules the run; it proceeds once the event loop runs.
    void start();

private:
    void connectRouter();
    void grabRoutingPage();
    void grabFilterPage();
    void finish();
    void fail(const QString &message);

    bool deviceListed() const;
    bool repliesHandled() const;
    bool allPortButtonsShown() const;
    bool filterPanelShowsCurrentPort() const;
    int routeLineCount() const;
    bool grabTo(const QString &fileName);

    // Calls next once ready() holds, checking every PollMs; fails after timeoutMs.
    void waitFor(const QString &what, int timeoutMs, std::function<bool()> ready,
                 std::function<void()> next);
    void poll();

    template <typename T> T *find(const char *objectName) const;

    static constexpr int PollMs = 50;
    static constexpr int StepTimeoutMs = 15000;
    static constexpr int PageSettleMs = 300;

    QWidget &window;
    const RouterSimulator &sim;
    QString directory;
    QStringList saved;

    QTimer pollTimer;
    QElapsedTimer waited;
    QString waitingFor;
    int waitTimeoutMs = 0;
    std::function<bool()> ready;
    std::function<void()> next;
};

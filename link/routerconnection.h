#pragma once

#include "config/routerstate.h"
#include "filters/filtercommand.h"
#include "link/feedbacktype.h"
#include "link/fifobuffer.h"
#include "link/replyframe.h"
#include "link/wirepause.h"
#include "routing/routecommand.h"
#include "routing/verdictqueue.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <optional>
#include <variant>

// The one conversation with a router, for the window and pellvane-cli alike. It owns the
// serial port, cuts what arrives into frames and keeps what the router reports as values:
// its ports, its routes and its filters. It runs the start-up queries, writes commands,
// settles each with the router's verdict and paces lists of commands. Nothing in it waits:
// pauses are timers, and everything that happens is told by a signal.
//
// The route table is what the router holds as far as its verdicts tell: an added route is in
// it from the moment its command is written and leaves again if the router refuses it; a
// deleted one stays until the router confirms. Where the verdicts cannot be trusted (one
// comes with nothing waiting, or while the routes are being read), or one does not come in
// time, the routes are read again.
class RouterConnection : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 BaudRate = 115200;
    // The pause after each command of a list has left, before the next; none after a clear,
    // whose verdict the list waits for instead.
    static constexpr int PaceMs = 15;
    // The replies have ended once the line has been quiet this long.
    static constexpr int QuietMs = 100;

    // A command of a list.
    using Command = std::variant<RouteCommand::Command, FilterCommand::Command>;

    enum class ListEnd {
        Done,         // every command that was needed went out
        Cancelled,    // cancelList()
        Lost,         // the port closed
        ClearRefused, // the router did not accept a clear: nothing after it went out
        Unanswered,   // a command got no verdict in time; the routes are read again
    };
    struct ListResult {
        int sent = 0;  // commands written
        int total = 0; // commands in the list
        ListEnd end = ListEnd::Done;
    };

    struct RouteVerdict {
        std::optional<RouteCommand::Command> command; // nothing when it settled no command
        VerdictQueue::Outcome outcome = VerdictQueue::Outcome::Unclear;
        int reason = 0;
        bool listed = false; // the command went out as part of a paced list
    };
    struct FilterVerdict {
        std::optional<FilterCommand::Command> command; // nothing when none was waiting
        ReplyFrame::Verdict verdict;
    };

    explicit RouterConnection(QObject *parent = nullptr);

    // Opens a port by name (ttyACM0) or path at BaudRate, 8N1; false with error() and
    // errorString() set when it cannot.
    bool open(const QString &portName);
    // Closes the port and forgets the conversation; a running list ends as Lost.
    void close();
    bool isOpen() const { return port.isOpen(); }
    QString portName() const { return port.portName(); }
    QSerialPort::SerialPortError error() const { return port.error(); }
    QString errorString() const { return port.errorString(); }
    // Counts the successful opens: what was asked under one connection is not answered
    // under another.
    quint64 session() const { return sessions; }

    // Whether routes are read again where the verdicts leave the table in doubt (on by
    // default). pellvane-cli reports instead.
    void setRereadWhenUnsure(bool on) { rereadWhenUnsure = on; }

    // Forgets the ports and routes and runs the start-up queries from query 1.
    void readState();
    const RouterState &state() const { return current; }
    // Every filter port has reported since this connection was opened.
    bool hasReadState() const { return chainDone; }
    // No read of the routes is under way or due: the table holds what the router reported,
    // and the commands written since.
    bool isSettled() const { return !rereading && !rereadWanted && again == Again::None; }
    // A set-filter command went out after the filters were last asked for: the records hold
    // what was sent, not what the router reported.
    bool filtersSentSinceRead() const { return filtersSent; }
    // Reads the routes and every filter port's filter again, as the router holds them now,
    // once no route command waits for its verdict, no list runs and no read is under way;
    // stateRead() tells when the replies have ended. A list waits for the read.
    void readAgain();

    // Writes one route command unless it is needed no more (the route is already as it would
    // make it, or the same delete is waiting) or a list is running; whether it went out.
    bool sendRoute(const RouteCommand::Command &command);
    // Writes a set-filter command; the records it addresses hold its bytes until the router
    // refuses it.
    bool sendFilter(const FilterCommand::Command &command);
    // Writes the configuration command ("Set" on the routing page).
    bool sendConfiguration();
    bool isWaiting(const RouteCommand::Command &command) const;
    int waitingCount() const; // commands written and not yet answered

    // Sends a list of commands, PaceMs apart on the line, once no route command waits for its
    // verdict and no read is under way. Returns how many of them will go out as the table
    // stands now; 0 starts nothing. A command the table no longer needs is passed over
    // without a pause.
    int startList(const QList<Command> &commands);
    void cancelList();
    bool isListRunning() const { return list.has_value(); }

    // What the port's and the splitter's signals run: bytes as read from the port, and one
    // whole frame of the kind classify() gave it.
    void readPort();
    void receive(const QByteArray &bytes);
    void dispatch(Feedbacktype type, const QByteArray &frame);

signals:
    void portsChanged();  // new port counts (none after readState)
    void routesChanged(); // the route table changed
    void filterPortsListed();
    void filterReported(PortIdentity::FilterPort port);
    void chainEnded(); // every filter port has reported, once per connection
    // The replies to readAgain() have ended; whole unless a filter port did not report.
    void stateRead(bool whole);
    void routeSettled(const RouterConnection::RouteVerdict &verdict);
    void filterSettled(const RouterConnection::FilterVerdict &verdict);
    void configurationSettled(const ReplyFrame::Verdict &verdict);
    void querySent(int item);
    void listStarted();
    void listProgress(int sent, int total);
    void listEnded(const RouterConnection::ListResult &result);
    void lost(const QString &why); // the router went away; the port is closed
    void frameWritten(const QByteArray &frame);
    void frameRead(const QByteArray &frame);

private:
    struct WaitingFilter {
        FilterCommand::Command command;
        QMap<PortIdentity::FilterPort, FilterBytes> before; // the records it changed
    };
    struct ListRun {
        QList<Command> commands;
        int next = 0;
        int sent = 0;
        bool started = false;
        bool awaitingClear = false;
    };

    void onPortError(QSerialPort::SerialPortError portError);
    void forgetConversation();
    bool write(const QByteArray &frame);
    void sendQuery(int item);

    void takePortCounts(const QByteArray &frame);
    void takePortMap(const PortIdentity::PortCounts &ports);
    void takeRouteReport(const QByteArray &frame);
    void takeFilterPortCounts(const QByteArray &frame);
    void takeFilterReport(const QByteArray &frame);
    void endChainIfAllFiltersIn();

    bool needed(const RouteCommand::Command &command) const;
    void writeRoute(const RouteCommand::Command &command, bool listed);
    void writeFilter(const FilterCommand::Command &command);
    void takeRouteResult(const QByteArray &frame);
    void applyToTable(const RouteCommand::Command &command, VerdictQueue::Outcome outcome);
    void takeFilterResult(const QByteArray &frame);
    void armVerdictTimer();
    void onVerdictOverdue();

    void requestReread();
    void startReread();
    void onQuiet();
    void startReadingAgain();
    void endReadingAgain();

    int plannedSends(const QList<Command> &commands) const;
    void continueList();
    void stepList();
    void settleListClear(VerdictQueue::Outcome outcome);
    void endList(ListEnd end);

    QSerialPort port{this}; // a child, so that tests can find it and report port errors
    FiFoBuffer receiver;
    WirePause chainPause{port};
    WirePause listPause{port};
    QTimer verdictTimer; // fires when the oldest waiting route command is overdue
    QTimer quietTimer;   // fires once the line has been quiet for QuietMs
    QElapsedTimer clock;
    quint64 sessions = 0;
    bool rereadWhenUnsure = true;

    RouterState current;
    bool filterPortsCounted = false;
    bool chainDone = false;
    VerdictQueue verdicts;
    QList<WaitingFilter> filtersWaiting;
    bool rereading = false;    // route reports of a re-read may still come
    bool rereadWanted = false; // read the routes again once the replies have ended
    bool filtersSent = false;
    enum class Again { None, Wanted, Reading };
    Again again = Again::None;
    QList<PortIdentity::FilterPort> filtersDue; // ports yet to report while reading again
    std::optional<ListRun> list;
};

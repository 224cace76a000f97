#include "app/pacedsending.h"

#include "app/noticequeue.h"
#include "app/windowtext.h"

#include <QPushButton>

namespace {

// Lists of more commands than this take long enough (15 ms each) to show their progress and
// to be worth cancelling.
constexpr int ProgressAbove = 20;

} // namespace

PacedSending::PacedSending(RouterConnection &connection, QPushButton &cancel, NoticeQueue &notices,
                           std::function<void(const QString &)> note)
    : connection(connection)
    , cancelButton(cancel)
    , notices(notices)
    , note(std::move(note)) {
    connect(&connection, &RouterConnection::listProgress, this, [this](int written) {
        if (running)
            showProgress(qMax(0, written - running->uncounted));
    });
    connect(&connection, &RouterConnection::listEnded, this,
            [this](const RouterConnection::ListResult &result) {
                if (running)
                    end(result);
            });
}

int PacedSending::start(const QList<RouterConnection::Command> &commands, const Pacing &pacing) {
    total = int(commands.size()) - pacing.uncounted;
    progressShown = total > ProgressAbove;
    running = pacing; // for what the list reports as it starts
    const int sends = connection.startList(commands);
    if (sends == 0)
        running.reset();
    showProgress(0);
    return sends;
}

int PacedSending::start(const QList<RouteCommand::Command> &commands, const Pacing &pacing) {
    QList<RouterConnection::Command> list;
    for (const RouteCommand::Command &command : commands)
        list.append(command);
    return start(list, pacing);
}

void PacedSending::cancel() {
    if (running)
        connection.cancelList();
}

QString PacedSending::progress() const {
    if (!running || !progressShown)
        return QString();
    return running->progress.arg(sent).arg(total);
}

void PacedSending::showProgress(int written) {
    sent = written;
    cancelButton.setVisible(running && progressShown);
    emit progressChanged();
}

// The status line says when the commands are in; a notice says how far they came when the
// list stopped early.
void PacedSending::end(const RouterConnection::ListResult &result) {
    const Pacing ended = *std::exchange(running, std::nullopt);
    showProgress(sent);
    const QString count = QString::number(sent);
    const QString of = QString::number(total);
    switch (result.end) {
    case RouterConnection::ListEnd::Done:
        if (ended.done)
            note(ended.done(total));
        break;
    case RouterConnection::ListEnd::Cancelled:
        notices.show(
            windowText("%1 cancelled after %2 of %3 %4.").arg(ended.name, count, of, ended.unit));
        break;
    case RouterConnection::ListEnd::Lost:
        notices.show(windowText("%1 stopped: the router was disconnected after %2 of %3 %4.")
                         .arg(ended.name, count, of, ended.unit));
        break;
    case RouterConnection::ListEnd::ClearRefused:
        notices.show(windowText("%1 stopped: the router did not clear its routes, so none of "
                                "the %2 %3 was sent.")
                         .arg(ended.name, QString::number(total - sent), ended.unit));
        break;
    case RouterConnection::ListEnd::Unanswered:
        notices.show(windowText("%1 stopped: the router did not answer after %2 of %3 %4; its "
                                "routes are read again.")
                         .arg(ended.name, count, of, ended.unit));
        break;
    }
    if (ended.ended)
        ended.ended(result);
}

#include "app/routerfileactions.h"

#include "app/devicelist.h"
#include "app/fileactions.h"
#include "app/filedialogs.h"
#include "app/listdialog.h"
#include "app/noticequeue.h"
#include "app/windowtext.h"
#include "config/configform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int ApplyAnswer = 1;
enum HistoryAnswer { CompareEntry = 1, ApplyEntry, SaveEntry };

// A notice lists at most this many of the differences left after writing; Compare… lists all.
constexpr int NoticeLines = 20;

QString entryTime(const RouterHistory::Entry &entry) {
    return entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString entryLine(const RouterHistory::Entry &entry) {
    if (!entry.state.contents)
        return windowText("%1 · damaged: %2").arg(entryTime(entry), entry.state.error);
    return windowText("%1 · routes: %2 · changed filters: %3")
        .arg(entryTime(entry))
        .arg(entry.routes)
        .arg(entry.changedFilters);
}

QString differencesText(const QString &name, const QStringList &differences) {
    return (differences.isEmpty() ? windowText("No differences between %1 and the router.")
                                  : windowText("How the router differs from %1:"))
        .arg(name);
}

// Only the routes are one step of the undo history.
QString applyQuestion(const QString &name, const RouterFile &file) {
    QString question = windowText("Apply %1 to the router?").arg(name);
    if (!file.routeCommands().isEmpty())
        question += ' ' + windowText("Undo puts back the routes it replaces.");
    if (!file.filterCommands().isEmpty())
        question += ' ' + windowText("The filters it sets cannot be undone.");
    return question;
}

// Why a file or entry is not used, with its name.
QString openRefusal() {
    return windowText("%1 not opened: %2. Nothing was sent to the router.");
}

QString compareRefusal() {
    return windowText("%1 not compared: %2.");
}

} // namespace

RouterFileActions::RouterFileActions(const Parts &parts)
    : parts(parts) {
    connect(&parts.connection, &RouterConnection::stateRead, this, &RouterFileActions::onStateRead);
}

bool RouterFileActions::isUsable() const {
    return parts.connection.isOpen() && parts.connection.hasReadState() &&
           !parts.connection.isListRunning();
}

bool RouterFileActions::stillUsable(quint64 session) const {
    return isUsable() && parts.connection.session() == session;
}

// The router as last reported. After set-filter commands its records hold what it was told,
// and while its routes are read again they are not all in: then the router is read again
// first, and the file is written once it has been.
void RouterFileActions::saveRouter() {
    const quint64 session = parts.connection.session();
    if (!isUsable())
        return;
    const QString path =
        FileDialogs::saveName(parts.window, windowText("Save Router"), QStringLiteral("json"));
    if (path.isEmpty() || !stillUsable(session))
        return;
    if (savePath.isEmpty() && !parts.connection.filtersSentSinceRead() &&
        parts.connection.isSettled()) {
        writeState(path);
        return;
    }
    savePath = path; // a read already asked for writes this name instead
    parts.connection.readAgain();
}

void RouterFileActions::writeState(const QString &path) {
    const RouterState &state = parts.connection.state();
    QString error;
    if (!ConfigForm::save(path, StateFile::form(state), &error)) {
        parts.notices.show(windowText("Router not saved: %1").arg(error));
        return;
    }
    parts.note(windowText("Router saved: %1 routes and the filters of %2 ports in %3")
                   .arg(state.routes.size())
                   .arg(state.filters.size())
                   .arg(QDir::toNativeSeparators(path)));
}

void RouterFileActions::openRouter() {
    useChosenFile(windowText("Open Router"), openRefusal(),
                  [this](const Wanted &wanted, quint64 session) { offer(wanted, session); });
}

void RouterFileActions::compare() {
    useChosenFile(windowText("Compare with Router"), compareRefusal(),
                  [this](const Wanted &wanted, quint64) { showDifferences(wanted); });
}

// The file chosen: a state file, a route file or a filter file, which is taken for every
// port, as pellvane-cli apply --all-ports takes it. It is used only on the router it was
// chosen for; refused, it is named with the reason.
void RouterFileActions::useChosenFile(const QString &caption, const QString &refusal,
                                      const std::function<void(const Wanted &, quint64)> &use) {
    const quint64 session = parts.connection.session();
    if (!isUsable())
        return;
    const QString path = FileDialogs::openName(parts.window, caption);
    if (path.isEmpty() || !stillUsable(session))
        return;
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    const StateFile::Reading reading =
        file.open(QIODevice::ReadOnly)
            ? StateFile::read(file.readAll())
            : StateFile::Reading{std::nullopt,
                                 windowText("cannot read: %1").arg(file.errorString())};
    if (!reading.contents)
        parts.notices.show(refusal.arg(name, reading.error));
    else if (const std::optional<Wanted> wanted =
                 fitting({RouterFile(*reading.contents, FilterCommand::AllPorts), name}, refusal))
        use(*wanted, session);
}

std::optional<RouterFileActions::Wanted> RouterFileActions::fitting(const Wanted &wanted,
                                                                    const QString &refusal) {
    const QString missing = wanted.file.missingPort(parts.connection.state());
    if (missing.isEmpty())
        return wanted;
    parts.notices.show(refusal.arg(wanted.name, missing));
    return std::nullopt;
}

void RouterFileActions::showDifferences(const Wanted &wanted) {
    const QStringList differences = wanted.file.differences(parts.connection.state());
    ListDialog(parts.window, differencesText(wanted.name, differences), differences,
               windowText("Close"))
        .exec();
}

// The differences first; only "Apply" writes, and only into the router they were shown for.
void RouterFileActions::offer(const Wanted &wanted, quint64 session) {
    const QStringList differences = wanted.file.differences(parts.connection.state());
    ListDialog question(parts.window,
                        differencesText(wanted.name, differences) + "\n\n" +
                            applyQuestion(wanted.name, wanted.file),
                        differences, windowText("Cancel"));
    question.addAnswer(windowText("Apply"), ApplyAnswer);
    if (question.exec() == ApplyAnswer && stillUsable(session))
        apply(wanted);
}

// The commands pellvane-cli apply sends, as one paced list. Its routes are one undo step.
void RouterFileActions::apply(const Wanted &wanted) {
    const QList<RouteCommand::Command> routes = wanted.file.routeCommands();
    const QList<RouteCommand::Command> before = FileActions::restoring(parts.connection.state());
    const PacedSending::Pacing pacing{
        windowText("Writing to the router: %1 of %2 commands"),
        windowText("Writing %1").arg(wanted.name),
        windowText("commands"),
        0,
        {},
        [this, wanted](const RouterConnection::ListResult &result) { readBack(wanted, result); }};
    if (parts.pacing.start(wanted.file.commands(), pacing) > 0 && !routes.isEmpty())
        parts.files.recordImport(wanted.name, routes, before);
}

// However the list ended, a router still connected is read again and compared with the file.
void RouterFileActions::readBack(const Wanted &wanted, const RouterConnection::ListResult &result) {
    if (result.end == RouterConnection::ListEnd::Lost)
        return;
    checking = wanted;
    parts.connection.readAgain();
}

// A router that did not report every filter again is not written down as if it had.
void RouterFileActions::onStateRead(bool whole) {
    const QString path = std::exchange(savePath, QString());
    const std::optional<Wanted> written = std::exchange(checking, std::nullopt);
    const QString unread = windowText("the router did not report all its filters again");
    if (!path.isEmpty() && whole)
        writeState(path);
    else if (!path.isEmpty())
        parts.notices.show(windowText("Router not saved: %1.").arg(unread));
    if (written && whole)
        reportComparison(*written);
    else if (written)
        parts.notices.show(
            windowText("%1 was written, but %2: Compare… shows what the router holds.")
                .arg(written->name, unread));
}

void RouterFileActions::reportComparison(const Wanted &wanted) {
    const QStringList left = wanted.file.differences(parts.connection.state());
    if (left.isEmpty()) {
        parts.note(windowText("Router now matches %1").arg(wanted.name));
        return;
    }
    QStringList shown = left.mid(0, NoticeLines);
    if (left.size() > NoticeLines)
        shown << windowText("… and %1 more").arg(left.size() - NoticeLines);
    parts.notices.show(windowText("The router still differs from %1:").arg(wanted.name) + '\n' +
                       shown.join('\n'));
}

// The entries newest first; a damaged one is listed with why, and nothing can be done with
// it.
void RouterFileActions::showHistory() {
    const quint64 session = parts.connection.session();
    if (!isUsable())
        return;
    const RouterHistory kept = history();
    const QList<RouterHistory::Entry> entries = kept.entries();
    QStringList lines;
    QList<bool> sound;
    for (const RouterHistory::Entry &entry : entries) {
        lines << entryLine(entry);
        sound << entry.state.contents.has_value();
    }
    QString text = windowText("What the router held at earlier connects, newest first, kept in "
                              "%1:")
                       .arg(QDir::toNativeSeparators(kept.folder()));
    if (!RouterHistory::isEnabled())
        text += ' ' + windowText("The history is turned off: nothing new is kept.");
    ListDialog dialog(parts.window, text, lines, windowText("Close"));
    dialog.addAnswer(windowText("Compare…"), CompareEntry, sound);
    dialog.addAnswer(windowText("Apply…"), ApplyEntry, sound);
    dialog.addAnswer(windowText("Save As…"), SaveEntry, sound);
    const int answer = dialog.exec();
    if (answer == 0 || !stillUsable(session))
        return;
    const RouterHistory::Entry &entry = entries.at(dialog.chosenRow());
    const QString name = windowText("history entry %1").arg(entryTime(entry));
    if (answer == SaveEntry) {
        saveEntry(entry, name);
        return;
    }
    const bool comparing = answer == CompareEntry;
    const std::optional<Wanted> wanted = fitting({RouterFile(*entry.state.contents), name},
                                                 comparing ? compareRefusal() : openRefusal());
    if (wanted && comparing)
        showDifferences(*wanted);
    else if (wanted)
        offer(*wanted, session);
}

void RouterFileActions::saveEntry(const RouterHistory::Entry &entry, const QString &name) {
    const QString path = FileDialogs::saveName(parts.window, windowText("Save History Entry"),
                                               QStringLiteral("json"));
    if (path.isEmpty())
        return;
    const std::optional<QJsonObject> state = ConfigForm::load(entry.path);
    QString error = windowText("cannot read %1").arg(QDir::toNativeSeparators(entry.path));
    if (!state || !ConfigForm::save(path, *state, &error)) {
        parts.notices.show(windowText("History entry not saved: %1").arg(error));
        return;
    }
    parts.note(windowText("Saved %1 in %2").arg(name, QDir::toNativeSeparators(path)));
}

void RouterFileActions::keepHistory() {
    if (historyOff || !RouterHistory::isEnabled())
        return;
    const RouterHistory::Keeping keeping = history().keep(parts.connection.state());
    if (keeping.error.isEmpty())
        return;
    historyOff = true;
    parts.notices.show(windowText("The history is off for this run: %1.").arg(keeping.error));
}

void RouterFileActions::disconnected() {
    checking.reset();
    if (!std::exchange(savePath, QString()).isEmpty())
        parts.notices.show(windowText("Router not saved: the router was disconnected before "
                                      "its filters were read again."));
}

RouterHistory RouterFileActions::history() const {
    return RouterHistory(RouterHistory::standardBaseFolder(), parts.devices.connectedName(),
                         parts.devices.connectedSerialNumber());
}

#include "config/routerhistory.h"

#include "config/configform.h"
#include "config/routerfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

namespace {

const QString EnabledKey = QStringLiteral("history/enabled");
const QString TimeFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QRegularExpression EntryName(QStringLiteral("^(\\d{8}-\\d{6})-(\\d{3})\\.json$"));

// Percent-encodes all but letters, digits, blanks, "-", "_", "(" and ")": no separator,
// dot or bracket is left to give the name another meaning, and two texts stay two names.
QString safeName(const QString &text) {
    return QString::fromLatin1(text.toUtf8().toPercentEncoding(" ()", ".~"));
}

StateFile::Reading readEntry(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("cannot read: %1").arg(file.errorString())};
    StateFile::Reading reading = StateFile::read(file.readAll());
    if (reading.contents && reading.contents->kind != StateFile::Kind::State)
        return {std::nullopt, QStringLiteral("not a state file")};
    return reading;
}

bool holdsSame(const StateFile::Contents &kept, const RouterState &state) {
    return kept.filters.keys() == state.filters.keys() &&
           RouterFile(kept).differences(state).isEmpty();
}

} // namespace

RouterHistory::RouterHistory(const QString &baseFolder, const QString &routerName,
                             const QString &serialNumber)
    : dir(baseFolder + '/' + safeName(routerName) +
          (serialNumber.isEmpty() ? QString() : " [" + safeName(serialNumber) + ']')) {}

RouterHistory::Keeping RouterHistory::keep(const RouterState &state, const QDateTime &when) const {
    if (!QDir().mkpath(dir))
        return {false, QStringLiteral("cannot make the history folder %1").arg(dir)};
    QStringList names = entryNames();
    QString stem = when.toUTC().toString(TimeFormat);
    int number = 0;
    if (!names.isEmpty()) {
        const StateFile::Reading newest = readEntry(dir + '/' + names.last());
        if (newest.contents && holdsSame(*newest.contents, state))
            return {};
        // A second keep within one second, or a clock set back, goes after the newest.
        const QRegularExpressionMatch last = EntryName.match(names.last());
        if (last.captured(1) >= stem) {
            stem = last.captured(1);
            number = last.captured(2).toInt() + 1;
        }
    }
    const QString name = QStringLiteral("%1-%2.json").arg(stem).arg(number, 3, 10, QChar('0'));
    const QString path = dir + '/' + name;
    QString error;
    if (!ConfigForm::save(path, StateFile::form(state), &error))
        return {false, QStringLiteral("cannot write %1: %2").arg(path, error)};
    names.append(name);
    for (; names.size() > MaxEntries; names.removeFirst()) {
        QFile oldest(dir + '/' + names.first());
        if (!oldest.remove())
            return {true, QStringLiteral("cannot remove %1: %2")
                              .arg(oldest.fileName(), oldest.errorString())};
    }
    return {true, QString()};
}

QList<RouterHistory::Entry> RouterHistory::entries() const {
    QList<Entry> list;
    const QStringList names = entryNames();
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        QDateTime time = QDateTime::fromString(name->left(15), TimeFormat);
        time.setTimeSpec(Qt::UTC);
        const QString path = dir + '/' + *name;
        Entry entry{path, time.toLocalTime(), readEntry(path)};
        if (const std::optional<StateFile::Contents> &contents = entry.state.contents) {
            entry.routes = contents->routes.value_or(QList<PortIdentity::Route>()).size();
            entry.changedFilters =
                int(std::count_if(contents->filters.cbegin(), contents->filters.cend(),
                                  [](const FilterBytes &bytes) { return bytes != FilterBytes{}; }));
        }
        list.append(entry);
    }
    return list;
}

QString RouterHistory::standardBaseFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/history");
}

bool RouterHistory::isEnabled() {
    return QSettings().value(EnabledKey, true).toBool();
}

QStringList RouterHistory::entryNames() const {
    QStringList names;
    for (const QString &name : QDir(dir).entryList(QDir::Files))
        if (EntryName.match(name).hasMatch())
            names << name;
    names.sort();
    return names;
}

#include "cli/commandrunner.h"

#include "config/configform.h"
#include "link/querychain.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString usbId(const FoundRouter &router) {
    return QStringLiteral("%1:%2")
        .arg(router.vendorId, 4, 16, QLatin1Char('0'))
        .arg(router.productId, 4, 16, QLatin1Char('0'));
}

QString quotedNames(const QList<FoundRouter> &routers) {
    QStringList names;
    for (const FoundRouter &router : routers)
        names << '"' + router.name + '"';
    return names.join(", ");
}

// A port as a path, as the serial library takes a bare name for a device under /dev, with
// links resolved: the same port given two ways is one.
QString portPath(const QString &name) {
    const QString path = name.startsWith('/') ? name : QStringLiteral("/dev/") + name;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

CommandRunner::CommandRunner(const CliArguments &arguments, QTextStream &outStream,
                             QTextStream &errStream, bool showProgress)
    : args(arguments)
    , out(outStream)
    , err(errStream)
    , progressShown(showProgress && arguments.verbosity != CliArguments::Verbosity::Quiet) {}

ExitStatus CommandRunner::run() {
    switch (args.command) {
    case CliArguments::Command::List:
        return list();
    case CliArguments::Command::Dump:
        return dump();
    case CliArguments::Command::Apply:
        return apply(readFile(), args.file);
    case CliArguments::Command::HistoryList:
        return historyList();
    case CliArguments::Command::HistoryShow:
        return historyShow();
    case CliArguments::Command::HistoryApply: {
        const std::optional<RouterHistory::Entry> entry = historyEntry();
        if (!entry)
            return failure;
        return apply(RouterFile(*entry->state.contents), entry->path);
    }
    case CliArguments::Command::Verify:
        break;
    }
    return verify();
}

ExitStatus CommandRunner::list() {
    DeviceInventory *devices = inventory();
    if (!devices)
        return failure;
    const QList<FoundRouter> routers = findRouters(*devices);
    if (args.json) {
        QJsonArray array;
        for (const FoundRouter &router : routers)
            array.append(QJsonObject{
                {"name", router.name}, {"port", router.portName}, {"id", usbId(router)}});
        out << QString::fromUtf8(QJsonDocument(array).toJson());
    } else {
        for (const FoundRouter &router : routers)
            out << router.name << '\t' << router.portName << '\t' << usbId(router) << '\n';
    }
    return ExitStatus::Done;
}

ExitStatus CommandRunner::dump() {
    const std::optional<RouterState> router = readRouter();
    if (!router)
        return failure;
    const QJsonObject state = StateFile::form(*router);
    if (args.output.isEmpty())
        out << QString::fromUtf8(QJsonDocument(state).toJson());
    else if (!ConfigForm::save(args.output, state))
        return failed(ExitStatus::BadInput, QStringLiteral("cannot write %1").arg(args.output));
    return ExitStatus::Done;
}

ExitStatus CommandRunner::apply(const std::optional<RouterFile> &wanted, const QString &source) {
    const std::optional<FileAndRouter> read = readRouterFor(wanted, source);
    if (!read)
        return failure;
    const BlockingRouterLink::Applied applied = link->apply(read->wanted.commands());
    endProgress();
    int refused = 0;
    for (const RouterConnection::RouteVerdict &verdict : applied.routes)
        refused +=
            !printVerdict(CliText::routeCommand(*verdict.command), CliText::routeVerdict(verdict));
    for (const RouterConnection::FilterVerdict &verdict : applied.filters)
        refused += !printVerdict(CliText::filterCommand(*verdict.command),
                                 CliText::filterVerdict(verdict));
    if (!applied.complete)
        return failed(ExitStatus::NoRouter, link->errorString());
    if (applied.list.end == RouterConnection::ListEnd::ClearRefused &&
        applied.list.sent < applied.list.total)
        return failed(ExitStatus::Refused,
                      QStringLiteral("the router refused to clear its routes; the other %1 "
                                     "commands were not sent")
                          .arg(applied.list.total - applied.list.sent));
    if (refused > 0)
        return failed(ExitStatus::Refused,
                      QStringLiteral("the router refused %1 of %2 commands")
                          .arg(refused)
                          .arg(applied.routes.size() + applied.filters.size()));
    return ExitStatus::Done;
}

ExitStatus CommandRunner::verify() {
    const std::optional<FileAndRouter> read = readRouterFor(readFile(), args.file);
    if (!read)
        return failure;
    const QStringList differences = read->wanted.differences(read->router);
    if (!quiet()) {
        for (const QString &line : differences)
            out << line << '\n';
    }
    return differences.isEmpty() ? ExitStatus::Done : ExitStatus::Differs;
}

ExitStatus CommandRunner::historyList() {
    const std::optional<RouterHistory> kept = history();
    if (!kept)
        return failure;
    const QList<RouterHistory::Entry> entries = kept->entries();
    for (int i = 0; i < entries.size(); ++i) {
        const RouterHistory::Entry &entry = entries.at(i);
        out << i + 1 << '\t' << entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (entry.state.contents)
            out << "\troutes: " << entry.routes << "\tchanged filters: " << entry.changedFilters
                << '\n';
        else
            out << "\tdamaged: " << entry.state.error << '\n';
    }
    return ExitStatus::Done;
}

ExitStatus CommandRunner::historyShow() {
    const std::optional<RouterHistory::Entry> entry = historyEntry();
    if (!entry)
        return failure;
    QFile file(entry->path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(ExitStatus::BadInput,
                      QStringLiteral("cannot read %1: %2").arg(entry->path, file.errorString()));
    out << QString::fromUtf8(file.readAll());
    return ExitStatus::Done;
}

std::optional<RouterFile> CommandRunner::readFile() {
    QFile file(args.file);
    if (!file.open(QIODevice::ReadOnly)) {
        failed(ExitStatus::BadInput,
               QStringLiteral("cannot read %1: %2").arg(args.file, file.errorString()));
        return std::nullopt;
    }
    const StateFile::Reading reading = StateFile::read(file.readAll());
    const QString error = reading.contents ? kindMismatch(reading.contents->kind) : reading.error;
    if (!error.isEmpty()) {
        failed(ExitStatus::BadInput, QStringLiteral("%1: %2").arg(args.file, error));
        return std::nullopt;
    }
    if (args.allPorts)
        return RouterFile(*reading.contents, FilterCommand::AllPorts);
    return RouterFile(*reading.contents, PortIdentity::filterPortNamed(args.filterPort));
}

// A filter file needs --filter-port or --all-ports, and those options need a filter file.
QString CommandRunner::kindMismatch(StateFile::Kind kind) const {
    const bool forFilterFile = !args.filterPort.isEmpty() || args.allPorts;
    if (kind == StateFile::Kind::Filter && !forFilterFile)
        return QStringLiteral("a filter file needs --filter-port NAME or --all-ports");
    if (kind != StateFile::Kind::Filter && forFilterFile)
        return QStringLiteral("--filter-port and --all-ports go with a filter file, not %1")
            .arg(kind == StateFile::Kind::State ? "a state file" : "a route file");
    return QString();
}

// The file first, so that a bad one keeps the router untouched, then the router; the file's
// ports must be the router's.
std::optional<CommandRunner::FileAndRouter>
CommandRunner::readRouterFor(const std::optional<RouterFile> &wanted, const QString &source) {
    if (!wanted)
        return std::nullopt;
    std::optional<RouterState> router = readRouter();
    if (!router)
        return std::nullopt;
    const QString missing = wanted->missingPort(*router);
    if (!missing.isEmpty()) {
        failed(ExitStatus::BadInput, QStringLiteral("%1: %2").arg(source, missing));
        return std::nullopt;
    }
    return FileAndRouter{*wanted, *router};
}

// Entry N of the history, when it is there and sound.
std::optional<RouterHistory::Entry> CommandRunner::historyEntry() {
    const std::optional<RouterHistory> kept = history();
    if (!kept)
        return std::nullopt;
    const QList<RouterHistory::Entry> entries = kept->entries();
    if (args.entry > entries.size()) {
        failed(ExitStatus::BadInput, QStringLiteral("no history entry %1: %2 kept in %3")
                                         .arg(args.entry)
                                         .arg(entries.size())
                                         .arg(kept->folder()));
        return std::nullopt;
    }
    const RouterHistory::Entry &entry = entries.at(args.entry - 1);
    if (!entry.state.contents) {
        failed(ExitStatus::BadInput, QStringLiteral("history entry %1 is damaged: %2")
                                         .arg(args.entry)
                                         .arg(entry.state.error));
        return std::nullopt;
    }
    return entry;
}

// The history of the router found, or of the router listed on the port given: the window
// keeps it by the router's name and serial number, which a bare port does not tell. Below the
// window's own data folder, unless --history-folder says otherwise.
std::optional<RouterHistory> CommandRunner::history() {
    std::optional<FoundRouter> router;
    if (args.port.isEmpty()) {
        router = findRouter();
    } else if (DeviceInventory *devices = inventory()) {
        for (const FoundRouter &found : findRouters(*devices))
            if (portPath(found.portName) == portPath(args.port))
                router = found;
        if (!router)
            failed(ExitStatus::NoRouter,
                   QStringLiteral("no router listed on %1, whose history this would be; "
                                  "choose it with --device")
                       .arg(args.port));
    }
    if (!router)
        return std::nullopt;
    const QString base =
        args.historyFolder.isEmpty() ? RouterHistory::standardBaseFolder() : args.historyFolder;
    return RouterHistory(base, router->name, router->serialNumber);
}

std::optional<RouterState> CommandRunner::readRouter() {
    const std::optional<QString> portName = routerPort();
    if (!portName)
        return std::nullopt;
    link = std::make_unique<BlockingRouterLink>(args.timeoutMs);
    watch(link->connection());
    if (!link->open(*portName)) {
        failed(ExitStatus::NoRouter,
               QStringLiteral("cannot open %1: %2").arg(*portName, link->errorString()));
        return std::nullopt;
    }
    std::optional<RouterState> state = link->readState();
    endProgress();
    if (!state)
        failed(ExitStatus::NoRouter, link->errorString());
    return state;
}

void CommandRunner::watch(RouterConnection &connection) {
    QObject::connect(&connection, &RouterConnection::querySent, &connection, [this](int item) {
        showProgress(QStringLiteral("reading the router: query %1 of %2")
                         .arg(item)
                         .arg(QueryChain::ItemCount));
    });
    QObject::connect(
        &connection, &RouterConnection::listProgress, &connection, [this](int sent, int total) {
            showProgress(QStringLiteral("writing: %1 of %2 commands sent").arg(sent).arg(total));
        });
    if (args.verbosity != CliArguments::Verbosity::Verbose)
        return;
    const auto trace = [this](const char *direction, const QByteArray &frame) {
        endProgress();
        err << direction << ' ' << frame.toHex(' ') << '\n';
        err.flush();
    };
    QObject::connect(&connection, &RouterConnection::frameWritten, &connection,
                     [trace](const QByteArray &frame) { trace(">", frame); });
    QObject::connect(&connection, &RouterConnection::frameRead, &connection,
                     [trace](const QByteArray &frame) { trace("<", frame); });
}

// The --port given, or the router found.
std::optional<QString> CommandRunner::routerPort() {
    if (!args.port.isEmpty())
        return args.port;
    const std::optional<FoundRouter> router = findRouter();
    if (!router)
        return std::nullopt;
    return router->portName;
}

// The router of --device's name, else the only one found.
std::optional<FoundRouter> CommandRunner::findRouter() {
    DeviceInventory *devices = inventory();
    if (!devices)
        return std::nullopt;
    const QList<FoundRouter> routers = findRouters(*devices);
    if (!args.device.isEmpty()) {
        for (const FoundRouter &router : routers)
            if (router.name == args.device)
                return router;
        failed(ExitStatus::NoRouter,
               QStringLiteral("no router named \"%1\" found").arg(args.device));
    } else if (routers.isEmpty()) {
        failed(ExitStatus::NoRouter, QStringLiteral("no router found"));
    } else if (routers.size() > 1) {
        failed(ExitStatus::BadInput,
               QStringLiteral("%1 routers found, choose one with --device: %2")
                   .arg(routers.size())
                   .arg(quotedNames(routers)));
    } else {
        return routers.first();
    }
    return std::nullopt;
}

DeviceInventory *CommandRunner::inventory() {
    if (args.inventoryFile.isEmpty())
        return deviceInventory();
    if (!fileInventory) {
        QString error;
        fileInventory = InventoryFile::load(args.inventoryFile, error);
        if (!fileInventory)
            failed(ExitStatus::BadInput, error);
    }
    return fileInventory.get();
}

bool CommandRunner::printVerdict(const QString &command, const CliText::Verdict &verdict) {
    if (!verdict.accepted || !quiet())
        out << command << ": " << verdict.text << '\n';
    return verdict.accepted;
}

ExitStatus CommandRunner::failed(ExitStatus status, const QString &message) {
    endProgress();
    out.flush();
    err << "pellvane-cli: " << message << '\n';
    err.flush();
    failure = status;
    return status;
}

void CommandRunner::showProgress(const QString &text) {
    if (!progressShown)
        return;
    err << '\r' << text << "\x1b[K";
    err.flush();
    progressLine = true;
}

void CommandRunner::endProgress() {
    if (!progressLine)
        return;
    err << "\r\x1b[K";
    err.flush();
    progressLine = false;
}

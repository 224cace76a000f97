#pragma once

#include "cli/blockingrouterlink.h"
#include "cli/cliarguments.h"
#include "cli/clitext.h"
#include "cli/exitstatus.h"
#include "cli/inventoryfile.h"
#include "config/routerfile.h"
#include "config/routerhistory.h"

#include <QTextStream>
#include <memory>
#include <optional>

// Runs one pellvane-cli command. Results go to out; errors, one line each, to err, and so do
// the progress line (only when showProgress) and the frames of --verbose. Nothing is written
// to the router before the file has been read, understood and found to fit its ports.
class CommandRunner {
public:
    CommandRunner(const CliArguments &arguments, QTextStream &out, QTextStream &err,
                  bool showProgress);

    ExitStatus run();

private:
    ExitStatus list();
    ExitStatus dump();
    ExitStatus apply(const std::optional<RouterFile> &wanted, const QString &source);
    ExitStatus verify();
    ExitStatus historyList();
    ExitStatus historyShow();

    struct FileAndRouter {
        RouterFile wanted;
        RouterState router;
    };
    std::optional<FileAndRouter> readRouterFor(const std::optional<RouterFile> &wanted,
                                               const QString &source);
    std::optional<RouterFile> readFile();
    QString kindMismatch(StateFile::Kind kind) const;
    std::optional<RouterHistory::Entry> historyEntry();
    std::optional<RouterHistory> history();
    std::optional<RouterState> readRouter();
    std::optional<QString> routerPort();
    std::optional<FoundRouter> findRouter();
    DeviceInventory *inventory();
    void watch(RouterConnection &connection);
    bool printVerdict(const QString &command, const CliText::Verdict &verdict);

    ExitStatus failed(ExitStatus status, const QString &message);
    void showProgress(const QString &text);
    void endProgress();
    bool quiet() const { return args.verbosity == CliArguments::Verbosity::Quiet; }

    CliArguments args;
    QTextStream &out;
    QTextStream &err;
    bool progressShown = false;
    bool progressLine = false; // a progress line is on the terminal
    ExitStatus failure = ExitStatus::Done;
    std::unique_ptr<InventoryFile> fileInventory;
    std::unique_ptr<BlockingRouterLink> link;
};

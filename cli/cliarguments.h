#pragma once

#include <QString>
#include <QStringList>

// What pellvane-cli was asked to do.
struct CliArguments {
    enum class Command { List, Dump, Apply, Verify, HistoryList, HistoryShow, HistoryApply };
    enum class Verbosity { Quiet, Normal, Verbose };

    Command command = Command::List;
    bool json = false;     // list --json
    QString output;        // dump -o FILE; empty for standard output
    QString file;          // the file apply and verify read
    QString filterPort;    // --filter-port NAME: the file is a filter file for this port
    bool allPorts = false; // --all-ports: the file is a filter file for every port
    QString device;        // --device NAME
    QString port;          // --port PATH
    int timeoutMs = 2000;
    Verbosity verbosity = Verbosity::Normal;
    int entry = 0;         // history show N, history apply N
    QString inventoryFile; // --inventory FILE, hidden from --help (see InventoryFile)
    QString historyFolder; // --history-folder DIR, hidden: the history's base folder

    bool operator==(const CliArguments &other) const;
};

struct ParsedArguments {
    enum class Outcome { Run, Help, Version, Error };

    Outcome outcome = Outcome::Error;
    CliArguments arguments; // for Run
    QString text;           // the help text, or the error in one line
};

// Reads the command line (program name first): a command, then its options and arguments.
// "--help" before a command shows the commands, after it the command's options; "--version"
// before a command asks for the version.
ParsedArguments parseCliArguments(const QStringList &arguments);

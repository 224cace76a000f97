#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

// Answers the modal message boxes, list dialogs and file dialogs that an action opens while it
// runs, and records them. Answers are used in the order they were queued; a modal that finds
// no queued answer of its kind, or whose answer is disabled, is closed (a message box with its
// first button, a file dialog cancelled), so that a test fails on its checks instead of
// hanging.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    struct Seen {
        QString title;
        QString text;
        QStringList buttons;   // the enabled ones, in the order they are laid out
        QString defaultButton; // the one Enter presses
        QStringList lines;     // a list dialog's list
    };

    struct FileDialog {
        QString title;
        QString folder; // the one it showed first
        QStringList nameFilters;
    };

    ModalAnswerer();

    // Next message box or list dialog: press this button, in a list dialog with this row
    // chosen first. Next file dialog: select this file and accept.
    void pressButton(const QString &buttonText, int row = -1) {
        answers.append({false, buttonText, row});
    }
    void chooseFile(const QString &path) { answers.append({true, path}); }

    // While set and true, an open message box or file dialog is left open and asked about again
    // a few milliseconds later: the test can act and look while it is shown.
    std::function<bool()> keepOpen;

    QList<Seen> seen;             // the message boxes shown, in order
    QStringList messages() const; // their texts
    QList<FileDialog> dialogs;    // the file dialogs shown, in order
    QStringList dialogFolders() const;

private:
    struct Answer {
        bool file = false;
        QString value;
        int row = -1;
    };
    void poll();

    QList<Answer> answers;
    QTimer timer;
};

#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Answers the modal message boxes and file dialogs that an action opens while it runs,
// and records what they showed. Answers are used in the order they were queued; a modal
// box that finds no queued answer is recorded and closed with its first button, so that a
// test fails on its checks instead of hanging.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    struct Seen {
        QString kind;        // "message" or "file"
        QString title;       // window title (message box) or caption (file dialog)
        QString text;        // message text; for a file dialog its start directory
        QStringList buttons; // message box button texts, in the order they are laid out
        QStringList filters; // file dialog name filters
    };

    ModalAnswerer();

    void pressButton(const QString &buttonText); // next message box: press this button
    void chooseFile(const QString &path);        // next file dialog: select this file and accept
    void cancelFileDialog();                     // next file dialog: reject

    QList<Seen> seen;
    QStringList messages() const; // texts of the message boxes seen, in order
    int pendingAnswers() const { return answers.size(); }

private:
    struct Answer {
        QString kind;
        QString value;
        bool cancel = false;
    };
    void poll();

    QList<Answer> answers;
    QTimer timer;
};

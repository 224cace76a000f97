#pragma once

#include <QObject>
#include <QString>

// Presses the first button of every message box as soon as it shows, from the box's own event
// loop: no timer polls, so a box costs one pass of that loop.
class MessageBoxCloser : public QObject {
    Q_OBJECT
public:
    MessageBoxCloser(); // watches every object of the application

    int shown = 0;    // message boxes shown so far
    QString lastText; // the text of the last one

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

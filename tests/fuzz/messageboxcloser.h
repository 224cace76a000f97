#pragma once

#include <QObject>
#include <functional>

// Presses the first button of every message box as soon as it shows, from the box's own event
// loop: no timer polls, so a box costs one pass of that loop.
class MessageBoxCloser : public QObject {
    Q_OBJECT
public:
    MessageBoxCloser(); // watches every object of the application

    // Runs whenever a box shows, while the code that opened it waits for the answer.
    std::function<void()> whileShown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

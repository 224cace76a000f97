#pragma once

#include <QObject>
#include <functional>

// Presses the first button of every message box as soon as it shows, at the next pass of the
// event loop: no timer polls, so a box costs one pass.
class MessageBoxCloser : public QObject {
    Q_OBJECT
public:
    MessageBoxCloser(); // watches every object of the application

    // Runs whenever a box shows.
    std::function<void()> whileShown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

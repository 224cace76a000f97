#pragma once

#include <QObject>
#include <QStringList>

class QMessageBox;
class QWidget;

// The window's notices, each in the program's message box with one "OK" button. A notice is
// opened window-modal without waiting for it, so that whoever gives it carries on; notices
// given while one is shown follow it one at a time, in order. One box, a child of the window,
// shows them all: made once, it is shown again with each next text.
class NoticeQueue : public QObject {
    Q_OBJECT
public:
    explicit NoticeQueue(QWidget &window);

    void show(const QString &text);

private:
    void showNext();

    QWidget &window;
    QStringList waiting;
    QMessageBox *box = nullptr;
};

#include "tests/fuzz/messageboxcloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>

MessageBoxCloser::MessageBoxCloser() {
    qApp->installEventFilter(this);
}

bool MessageBoxCloser::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::Show)
        return false;
    auto *box = qobject_cast<QMessageBox *>(watched);
    if (!box)
        return false;
    if (whileShown)
        whileShown();
    // Queued: the box is still being shown.
    QMetaObject::invokeMethod(
        box, [box] { box->buttons().value(0)->click(); }, Qt::QueuedConnection);
    return false;
}

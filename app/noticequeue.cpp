#include "app/noticequeue.h"

#include "app/messagebox.h"
#include "app/windowtext.h"

#include <QMessageBox>

NoticeQueue::NoticeQueue(QWidget &window)
    : window(window) {}

void NoticeQueue::show(const QString &text) {
    waiting.append(text);
    if (!box || !box->isVisible())
        showNext();
}

void NoticeQueue::showNext() {
    if (waiting.isEmpty())
        return;
    if (!box) {
        box = makeMessageBox(&window, windowText("OK"), QString(), QString());
        connect(box, &QDialog::finished, this, &NoticeQueue::showNext);
    }
    box->setText(waiting.takeFirst());
    box->open();
}

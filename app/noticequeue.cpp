#include "app/noticequeue.h"

#include "app/messagebox.h"
#include "app/windowtext.h"

#include <QMessageBox>

NoticeQueue::NoticeQueue(QWidget &window)
    : window(window) {}

void NoticeQueue::show(const QString &text) {
    waiting.append(text);
    if (!shown)
        showNext();
}

void NoticeQueue::showNext() {
    if (waiting.isEmpty())
        return;
    shown = makeMessageBox(&window, windowText("OK"), waiting.takeFirst(), QString());
    shown->setAttribute(Qt::WA_DeleteOnClose);
    connect(shown, &QDialog::finished, this, &NoticeQueue::showNext);
    shown->open();
}

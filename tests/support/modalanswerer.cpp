#include "tests/support/modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

ModalAnswerer::ModalAnswerer() {
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer.start();
}

QStringList ModalAnswerer::messages() const {
    QStringList texts;
    for (const Seen &s : seen)
        texts << s.text;
    return texts;
}

QStringList ModalAnswerer::dialogFolders() const {
    QStringList folders;
    for (const FileDialog &d : dialogs)
        folders << d.folder;
    return folders;
}

void ModalAnswerer::poll() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (keepOpen && keepOpen())
        return;
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    const bool queued = !answers.isEmpty() && answers.first().file == (dialog != nullptr);
    const QString answer = queued ? answers.takeFirst().value : QString();

    if (dialog)
        dialogs.append(
            {dialog->windowTitle(), dialog->directory().absolutePath(), dialog->nameFilters()});
    if (dialog && queued) {
        // The dialog takes a selected name only while its name field has no focus.
        if (QWidget *focused = dialog->focusWidget())
            focused->clearFocus();
        dialog->selectFile(answer);
        // QDialog::done, not QFileDialog::accept: no overwrite question for an existing file.
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        return;
    }
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (!box) {
        modal->close();
        return;
    }

    Seen s{box->windowTitle(),
           box->text(),
           {},
           box->defaultButton() ? box->defaultButton()->text() : QString()};
    const QList<QAbstractButton *> buttons = box->findChild<QDialogButtonBox *>()->buttons();
    QAbstractButton *target = buttons.value(0);
    for (QAbstractButton *b : buttons) {
        s.buttons << b->text();
        if (queued && b->text() == answer)
            target = b;
    }
    seen.append(s);
    if (target)
        target->click();
}

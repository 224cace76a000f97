#include "tests/support/modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
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
    const Answer answer = queued ? answers.takeFirst() : Answer();

    if (dialog)
        dialogs.append(
            {dialog->windowTitle(), dialog->directory().absolutePath(), dialog->nameFilters()});
    if (dialog && queued) {
        // The dialog takes a selected name only while its name field has no focus.
        if (QWidget *focused = dialog->focusWidget())
            focused->clearFocus();
        dialog->selectFile(answer.value);
        // QDialog::done, not QFileDialog::accept: no overwrite question for an existing file.
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        return;
    }
    auto *buttonBox = modal->findChild<QDialogButtonBox *>();
    if (dialog || !buttonBox) {
        modal->close();
        return;
    }

    auto *box = qobject_cast<QMessageBox *>(modal);
    Seen s{
        modal->windowTitle(), box ? box->text() : modal->findChild<QLabel *>()->text(), {}, {}, {}};
    if (auto *list = modal->findChild<QListWidget *>()) {
        if (answer.row >= 0)
            list->setCurrentRow(answer.row);
        for (int row = 0; row < list->count(); ++row)
            s.lines << list->item(row)->text();
    }
    // A message box without an answer takes its first button; a list dialog is only closed.
    QAbstractButton *target = nullptr;
    for (QAbstractButton *b : buttonBox->buttons()) {
        if (!b->isEnabled())
            continue;
        s.buttons << b->text();
        if (static_cast<QPushButton *>(b)->isDefault())
            s.defaultButton = b->text();
        if ((queued && b->text() == answer.value) || (box && !queued && !target))
            target = b;
    }
    seen.append(s);
    if (target)
        target->click();
    else
        modal->close();
}

#include "tests/support/modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer() {
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer.start();
}

void ModalAnswerer::pressButton(const QString &buttonText) {
    answers.append({"message", buttonText});
}

void ModalAnswerer::chooseFile(const QString &path) {
    answers.append({"file", path});
}

void ModalAnswerer::cancelFileDialog() {
    answers.append({"file", QString(), true});
}

QStringList ModalAnswerer::messages() const {
    QStringList texts;
    for (const Seen &s : seen)
        if (s.kind == "message")
            texts << s.text;
    return texts;
}

void ModalAnswerer::poll() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    const QString kind = qobject_cast<QFileDialog *>(modal) ? "file" : "message";
    const bool queued = !answers.isEmpty() && answers.first().kind == kind;
    const Answer answer = queued ? answers.takeFirst() : Answer{kind, QString(), true};

    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        seen.append({"file",
                     dialog->windowTitle(),
                     dialog->directory().absolutePath(),
                     {},
                     dialog->nameFilters()});
        if (answer.cancel) {
            dialog->reject();
            return;
        }
        dialog->selectFile(answer.value);
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        return;
    }
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        Seen s{"message", box->windowTitle(), box->text(), {}, {}};
        const QList<QAbstractButton *> buttons = box->findChild<QDialogButtonBox *>()->buttons();
        for (QAbstractButton *b : buttons)
            s.buttons << b->text();
        seen.append(s);
        QAbstractButton *target = buttons.value(0);
        for (QAbstractButton *b : buttons)
            if (!answer.cancel && b->text() == answer.value)
                target = b;
        if (target)
            target->click();
        return;
    }
    modal->close();
}

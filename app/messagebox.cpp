#include "app/messagebox.h"

#include "app/windowtext.h"

#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

QMessageBox *makeMessageBox(QWidget *parent, const QString &okText, const QString &message,
                            const QString &cancelText) {
    auto *box = new QMessageBox(parent);
    box->setFocusPolicy(Qt::NoFocus);
    box->addButton(QMessageBox::Ok)->setText(okText);
    if (!cancelText.isEmpty()) {
        QPushButton *cancel = box->addButton(QMessageBox::Cancel);
        cancel->setText(cancelText);
        box->setDefaultButton(cancel);
    }
    box->setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    box->setText(message);
    box->setWindowTitle(windowText("Pellvane"));
    return box;
}

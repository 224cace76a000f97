#include "app/listdialog.h"

#include "app/windowtext.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ListDialog::ListDialog(QWidget &parent, const QString &text, const QStringList &lines,
                       const QString &closeText)
    : QDialog(&parent)
    , list(new QListWidget)
    , buttons(new QDialogButtonBox) {
    setWindowTitle(windowText("Pellvane"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    list->addItems(lines);
    list->setVisible(!lines.isEmpty());
    list->setCurrentRow(0);
    QPushButton *close = buttons->addButton(closeText, QDialogButtonBox::RejectRole);
    close->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QListWidget::currentRowChanged, this, &ListDialog::enableAnswers);
    resize(640, lines.isEmpty() ? 0 : 400);
}

void ListDialog::addAnswer(const QString &text, int answer, const QList<bool> &usableRows) {
    QPushButton *button = buttons->addButton(text, QDialogButtonBox::AcceptRole);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
    answers.append({button, usableRows});
    enableAnswers();
}

int ListDialog::chosenRow() const {
    return list->currentRow();
}

void ListDialog::enableAnswers() {
    for (const auto &[button, usable] : qAsConst(answers))
        button->setEnabled(usable.isEmpty() || usable.value(chosenRow()));
}

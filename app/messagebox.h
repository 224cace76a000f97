#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// The program's one message box: titled "Pellvane" with its icon, an OK button with the given
// text and, for a question, a second button, which Enter and Escape choose: a question is
// answered "yes" only deliberately. The caller owns the box.
QMessageBox *makeMessageBox(QWidget *parent, const QString &okText, const QString &message,
                            const QString &cancelText);

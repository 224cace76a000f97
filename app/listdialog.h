#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class QDialogButtonBox;
class QListWidget;
class QPushButton;

// A text over a list of lines, and the answers to them as buttons: the differences between a
// file and the router, alone or with the question whether to write the file, and the entries
// of a router's history with what can be done with each. The close button, which Enter and
// Escape choose, answers nothing: only a deliberate answer does anything.
class ListDialog : public QDialog {
    Q_OBJECT
public:
    ListDialog(QWidget &parent, const QString &text, const QStringList &lines,
               const QString &closeText);

    // A button that ends the dialog with answer (above 0). With usableRows, it is enabled only
    // while one of the rows it marks true is chosen.
    void addAnswer(const QString &text, int answer, const QList<bool> &usableRows = {});
    // exec() returns the answer given, or 0 (Rejected) when closed otherwise.
    int chosenRow() const;

private:
    void enableAnswers();

    QListWidget *list = nullptr;
    QDialogButtonBox *buttons = nullptr;
    QList<std::pair<QPushButton *, QList<bool>>> answers;
};

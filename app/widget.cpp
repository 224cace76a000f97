#include "app/widget.h"

#include "ui_widget.h"

Widget::Widget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Widget) {
    ui->setupUi(this);
}

Widget::~Widget() {
    delete ui;
}

int Widget::showMessage(QString okText, QString message, QString cancelText) {
    Q_UNUSED(okText)
    Q_UNUSED(message)
    Q_UNUSED(cancelText)
    return 0;
}

void Widget::connectSignals() {}

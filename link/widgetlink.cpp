#include "app/widget.h"

#include "link/fifobuffer.h"

// Placeholder bodies, replaced as this subsystem is built.
void Widget::initPort() {}
void Widget::on_pushButton_clicked() {}
void Widget::analysisData() {}
void Widget::connectOrDisconnect(bool isOpen) {
    Q_UNUSED(isOpen)
}
void Widget::onSerialError(int error) {
    Q_UNUSED(error)
}
void Widget::on_tabWidget_currentChanged(int index) {
    Q_UNUSED(index)
}
void Widget::getMidiInOut() {}

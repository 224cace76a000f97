#include "app/widget.h"

#include "routing/myline.h"

// Placeholder bodies, replaced as this subsystem is built.
void Widget::on_pushButton_5_clicked() {}
void Widget::connectPB1(bool isChecked) {
    Q_UNUSED(isChecked)
}
void Widget::connectPB2(bool isChecked) {
    Q_UNUSED(isChecked)
}
void Widget::connectPB11() {}
void Widget::deleteCurrLine(MyLine *line) {
    Q_UNUSED(line)
}
void Widget::mousePressEvent(QMouseEvent *event) {
    Q_UNUSED(event)
}
void Widget::mouseMoveEvent(QMouseEvent *event) {
    Q_UNUSED(event)
}
void Widget::mouseReleaseEvent(QMouseEvent *e) {
    Q_UNUSED(e)
}
void Widget::anchorSource(QPushButton *button) {
    Q_UNUSED(button)
}
void Widget::addRoute(QPushButton *button) {
    Q_UNUSED(button)
}
void Widget::sendCommand(const QByteArray &frame) {
    Q_UNUSED(frame)
}

#include "app/widget.h"

#include "routing/myline.h"

// Placeholder bodies, replaced as this subsystem is built.
void Widget::dealWithData(Feedbacktype fb, QByteArray data) {
    Q_UNUSED(fb)
    Q_UNUSED(data)
}
void Widget::fillPortCombo(const QString &kindName, int count) {
    Q_UNUSED(kindName)
    Q_UNUSED(count)
}
void Widget::rebuildPortMap(const QByteArray &data) {
    Q_UNUSED(data)
}
void Widget::handleRouteReport(const QByteArray &data) {
    Q_UNUSED(data)
}
void Widget::handleFilterPortCounts(const QByteArray &data) {
    Q_UNUSED(data)
}
void Widget::handlePortFilterReport(const QByteArray &data) {
    Q_UNUSED(data)
}
void Widget::handleRouteResult(const QByteArray &data) {
    Q_UNUSED(data)
}
void Widget::handleFilterResult(const QByteArray &data) {
    Q_UNUSED(data)
}
void Widget::waitMs(int ms) {
    Q_UNUSED(ms)
}

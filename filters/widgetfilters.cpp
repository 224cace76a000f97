#include "app/widget.h"

#include "filters/portfilteringsituation.h"

// Placeholder bodies, replaced as this subsystem is built.
void Widget::on_pushButton_2_clicked() {}
bool Widget::checkConnected() {
    return false;
}
void Widget::connectFilterCheckBoxes() {}
void Widget::on_checkBox_Applies_To_All_clicked(bool checked) {
    Q_UNUSED(checked)
}
void Widget::on_channel_pb_all_clicked() {}
void Widget::on_channel_pb_none_clicked() {}
void Widget::on_Messages_pb_all_clicked() {}
void Widget::on_Messages_pb_none_clicked() {}
void Widget::on_System_common_pb_all_clicked() {}
void Widget::on_System_common_pb_none_clicked() {}
void Widget::on_SystemRealtime_pb_all_clicked() {}
void Widget::on_SystemRealtime_pb_none_clicked() {}
void Widget::on_ControlChange_pb_all_clicked() {}
void Widget::on_ControlChange_pb_none_clicked() {}
void Widget::MiDiPortsCurrTextChange(QString name) {
    Q_UNUSED(name)
}
void Widget::channelsCountChange(bool ok) {
    Q_UNUSED(ok)
}
void Widget::messagesCountChange(bool ok) {
    Q_UNUSED(ok)
}
void Widget::controlChangeCountChange(bool ok) {
    Q_UNUSED(ok)
}
void Widget::systemCommonCountChange(bool ok) {
    Q_UNUSED(ok)
}
void Widget::systemRealtimeCountChange(bool ok) {
    Q_UNUSED(ok)
}
void Widget::connectGroupToggles() {}

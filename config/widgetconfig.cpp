#include "app/widget.h"

// Placeholder bodies, replaced as this subsystem is built.
void Widget::on_pushButton_3_clicked() {}
void Widget::on_pushButton_4_clicked() {}

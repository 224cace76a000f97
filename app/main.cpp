#include "app/widget.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    qRegisterMetaType<Feedbacktype>("Feedbacktype");
    Widget window;
    window.show();
    return app.exec();
}

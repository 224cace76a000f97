// The yardstick for the window's start-up: a plain Qt Widgets window with one button. With
// --raster it leaves OpenGL out of its window as pellvane does, for a like-for-like figure.
#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>

int main(int argc, char *argv[]) {
    if (argc > 1 && std::strcmp(argv[1], "--raster") == 0)
        QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QPushButton(QStringLiteral("Button")));
    window.show();
    return app.exec();
}

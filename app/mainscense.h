#pragma once

#include <QGraphicsScene>

// The routing picture: route lines between the port buttons laid over the view.
class MainScense : public QGraphicsScene {
    Q_OBJECT
public:
    using QGraphicsScene::QGraphicsScene;
};

#pragma once

#include <QObject>

// Shows each widget's tooltip as a tooltip of its window, so that it looks as the platform
// draws tooltips. Qt styles a tooltip with the style sheets of the widget it is shown for and
// of that widget's parents: the filter page's rules without a selector (its orange group
// frames, its transparent scroll area) would paint it as part of the page, and no tooltip rule
// of the application or the window wins over them. The window's own sheet sets only the font.
// Installed on the application, which gives a tooltip's event to the widget under the mouse.
class WindowToolTips : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

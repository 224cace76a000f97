#include "app/windowtooltips.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

bool WindowToolTips::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(watched);
    // Qt passes the event on to the parent of a widget without a tooltip of its own.
    if (widget->toolTip().isEmpty())
        return false;
    QWidget *window = widget->window();
    // With the widget's place, a move onto another widget of the same tooltip shows it anew
    // there, as when each widget shows its own.
    const QRect place(widget->mapTo(window, QPoint()), widget->size());
    QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), widget->toolTip(), window,
                       place, widget->toolTipDuration());
    return true;
}

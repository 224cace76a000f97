#pragma once

#include <QCoreApplication>
#include <QString>

// The window's texts all go through the translation function in the window's context, "Widget",
// whichever of its parts shows them.
inline QString windowText(const char *text) {
    return QCoreApplication::translate("Widget", text);
}

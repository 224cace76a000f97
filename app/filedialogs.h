#pragma once

#include <QString>

class QWidget;

// The window's file dialogs. They offer the files the window saves, whatever their extension,
// and start in the folder of the file chosen last, also in a later run; the first time, or
// when that folder is gone, in the user's home folder.
namespace FileDialogs {

// The file to write, or nothing when cancelled; a name without an extension gets extension.
QString saveName(QWidget &parent, const QString &caption, const QString &extension);
// An existing file to read, or nothing when cancelled.
QString openName(QWidget &parent, const QString &caption);

} // namespace FileDialogs

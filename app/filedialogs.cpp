#include "app/filedialogs.h"

#include "app/windowtext.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace FileDialogs {

namespace {

const QString ConfigFolderKey = QStringLiteral("files/configFolder");

QString fileFilter() {
    return windowText("Configuration files (*.ini *.json);;All files (*)");
}

QString configFolder() {
    const QString folder = QSettings().value(ConfigFolderKey).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

QString remembered(const QString &path) {
    if (!path.isEmpty())
        QSettings().setValue(ConfigFolderKey, QFileInfo(path).absolutePath());
    return path;
}

} // namespace

QString saveName(QWidget &parent, const QString &caption, const QString &extension) {
    QString path = QFileDialog::getSaveFileName(&parent, caption, configFolder(), fileFilter());
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += '.' + extension;
    return remembered(path);
}

QString openName(QWidget &parent, const QString &caption) {
    const QString path =
        QFileDialog::getOpenFileName(&parent, caption, configFolder(), fileFilter());
    return remembered(QFile::exists(path) ? path : QString());
}

} // namespace FileDialogs

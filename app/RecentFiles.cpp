#include "app/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char* const kKey = "recentDesigns";

QSettings UserSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                     QStringLiteral("velmora"));
}

} // namespace

QStringList RecentFiles::List() const
{
    QStringList paths = UserSettings().value(kKey).toStringList();
    paths.removeAll(QString());
    return paths.mid(0, kMaxCount);
}

void RecentFiles::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = List();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    Store(paths.mid(0, kMaxCount));
}

void RecentFiles::Remove(const QString& path)
{
    QStringList paths = List();
    paths.removeAll(QFileInfo(path).absoluteFilePath());
    Store(paths);
}

void RecentFiles::Clear()
{
    Store({});
}

void RecentFiles::Store(const QStringList& paths)
{
    QSettings settings = UserSettings();
    settings.setValue(kKey, paths);
}

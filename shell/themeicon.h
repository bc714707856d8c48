#pragma once

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QStyle>

// The desktop theme's icon `name` when the theme has it, the style's
// `fallback` otherwise: what QIcon::fromTheme(name, fallback) gives, with the
// style's icon made only when it is used (it is read from its files when made,
// which costs the start-up several milliseconds for a tool bar).
inline QIcon themeIcon(const QString &name, const QStyle *style, QStyle::StandardPixmap fallback)
{
    QIcon icon = QIcon::fromTheme(name);
    if (icon.isNull() || icon.availableSizes().isEmpty())
        return style->standardIcon(fallback);
    return icon;
}

// Where icon themes are looked for when the platform names no folder of its
// own (the offscreen platform of the tests and benchmarks names none): the
// desktop's folders, as a desktop platform gives them ($HOME/.icons, then the
// "icons" folder of each data folder). The tool bar then shows the same theme
// icons on every platform, read at the one size it paints, instead of the
// style's, each read at all its sizes when made.
inline void useDesktopIconFolders()
{
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString &path : paths)
        if (!path.startsWith(u':'))
            return; // the platform has its own
    QStringList folders;
    const QString home = QDir::home().filePath(QStringLiteral(".icons"));
    if (QFileInfo(home).isDir())
        folders << home;
    folders << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                         QStandardPaths::LocateDirectory);
    QIcon::setThemeSearchPaths(folders + paths);
}

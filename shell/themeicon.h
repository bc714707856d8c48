#pragma once

#include <QIcon>
#include <QString>
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

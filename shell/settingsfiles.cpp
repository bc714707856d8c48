#include "shell/settingsfiles.h"

#include "shell/textfile.h"

#include <QLocale>
#include <cmath>

std::optional<int> parseInteger(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

DatIni DatIni::fromLines(const QStringList &lines)
{
    DatIni ini;
    if (lines.isEmpty())
        return ini;
    ini.lastFolder = lines.at(0);
    if (lines.size() > 1) {
        std::optional<int> *geometry[] = {&ini.height, &ini.width, &ini.top, &ini.left};
        for (int i = 0; i < 4; ++i) {
            const int line = i + 1;
            if (line >= lines.size())
                break;
            const auto value = parseInteger(lines.at(line));
            if (!value)
                break; // the first bad line stops the rest, as a conversion error would
            *geometry[i] = qBound(-kGeometryLimit, *value, kGeometryLimit);
        }
    }
    if (lines.size() > 5)
        ini.marginX = lines.at(5);
    if (lines.size() > 6)
        ini.marginY = lines.at(6);
    if (lines.size() > 7)
        ini.scale = lines.at(7);
    return ini;
}

QStringList DatIni::toLines() const
{
    return {lastFolder,
            QString::number(height.value_or(0)),
            QString::number(width.value_or(0)),
            QString::number(top.value_or(0)),
            QString::number(left.value_or(0)),
            marginX.value_or(QStringLiteral("0")),
            marginY.value_or(QStringLiteral("0")),
            scale.value_or(QStringLiteral("100"))};
}

QStringList DatIni::toStorableLines(const QString &fallbackFolder) const
{
    const auto storable = [](const QString &text) {
        QByteArray bytes;
        return TextFile::encode(text, &bytes) && !text.contains(u'\r') && !text.contains(u'\n');
    };
    QStringList lines = toLines();
    if (!storable(lines[0]))
        lines[0] = storable(fallbackFolder) ? fallbackFolder : QStringLiteral(".");
    const QString defaults[] = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("100")};
    for (int i = 5; i < 8; ++i)
        if (!storable(lines[i]))
            lines[i] = defaults[i - 5];
    return lines;
}

PrintIni PrintIni::fromLines(const QStringList &lines)
{
    PrintIni ini;
    const QLocale c = QLocale::c();
    const auto offset = [&c](const QString &text, double *mm) {
        bool ok = false;
        const double v = c.toDouble(text.trimmed(), &ok);
        if (!ok || !std::isfinite(v))
            return false;
        *mm = qBound(-kOffsetLimit, v, kOffsetLimit);
        return true;
    };
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1);
        if (key == u"disposition") {
            ini.onStock = value.trimmed() == u"modele";
        } else if (key == u"modele") {
            ini.stock = value.trimmed();
        } else if (key == u"debut") {
            if (const auto n = parseInteger(value); n && *n >= 1)
                ini.start = *n;
        } else if (key == u"decalage") {
            const qsizetype second = value.lastIndexOf(u';');
            const qsizetype first = second > 0 ? value.lastIndexOf(u';', second - 1) : -1;
            double x = 0;
            double y = 0;
            if (first >= 0 && offset(value.mid(first + 1, second - first - 1), &x) && offset(value.mid(second + 1), &y))
                ini.offsets.insert(value.left(first), QPointF(x, y));
        }
    }
    return ini;
}

QStringList PrintIni::toLines() const
{
    QStringList lines{QStringLiteral("disposition=") + (onStock ? QStringLiteral("modele") : QStringLiteral("grille")),
                      QStringLiteral("modele=") + stock, QStringLiteral("debut=") + QString::number(start)};
    const auto number = [](double mm) { return QString::number(std::round(mm * 100) / 100 + 0.0, 'f', 2); };
    for (auto it = offsets.constBegin(); it != offsets.constEnd(); ++it) {
        // A name with a line break cannot be a line of its own.
        if (it.key().contains(u'\r') || it.key().contains(u'\n'))
            continue;
        lines << QStringLiteral("decalage=%1;%2;%3").arg(it.key(), number(it.value().x()), number(it.value().y()));
    }
    return lines;
}

namespace TrakIni {

int fromLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return kDefault;
    const auto value = parseInteger(lines.at(0));
    if (!value)
        return kDefault;
    return qBound(kMinimum, *value, kMaximum);
}

QStringList toLines(int position) { return {QString::number(position)}; }

} // namespace TrakIni

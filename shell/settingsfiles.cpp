#include "shell/settingsfiles.h"

#include "shell/textfile.h"

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

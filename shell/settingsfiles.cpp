#include "shell/settingsfiles.h"

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
            *geometry[i] = value;
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

#include "shell/colortext.h"

namespace {

struct NamedColor {
    const char *name;
    quint32 value; // 0x00BBGGRR
};

constexpr quint32 rgb(int r, int g, int b) { return quint32(r) | quint32(g) << 8 | quint32(b) << 16; }

// The twenty standard colours, the only identifiers ever written.
constexpr NamedColor kStandard[] = {
    {"clBlack", rgb(0, 0, 0)},         {"clMaroon", rgb(128, 0, 0)},
    {"clGreen", rgb(0, 128, 0)},       {"clOlive", rgb(128, 128, 0)},
    {"clNavy", rgb(0, 0, 128)},        {"clPurple", rgb(128, 0, 128)},
    {"clTeal", rgb(0, 128, 128)},      {"clGray", rgb(128, 128, 128)},
    {"clSilver", rgb(192, 192, 192)},  {"clRed", rgb(255, 0, 0)},
    {"clLime", rgb(0, 255, 0)},        {"clYellow", rgb(255, 255, 0)},
    {"clBlue", rgb(0, 0, 255)},        {"clFuchsia", rgb(255, 0, 255)},
    {"clAqua", rgb(0, 255, 255)},      {"clWhite", rgb(255, 255, 255)},
    {"clMoneyGreen", rgb(192, 220, 192)}, {"clSkyBlue", rgb(166, 202, 240)},
    {"clCream", rgb(255, 251, 240)},   {"clMedGray", rgb(160, 160, 164)},
};

// System colour names are accepted when reading. They follow the desktop's
// theme elsewhere; here they stand for the classic default values so that a
// file reads the same on every machine. "clNone" reads as white and
// "clDefault" as black, the low bytes of their special values.
constexpr NamedColor kSystem[] = {
    {"clScrollBar", rgb(200, 200, 200)},
    {"clBackground", rgb(0, 0, 0)},
    {"clActiveCaption", rgb(153, 180, 209)},
    {"clInactiveCaption", rgb(191, 205, 219)},
    {"clMenu", rgb(240, 240, 240)},
    {"clWindow", rgb(255, 255, 255)},
    {"clWindowFrame", rgb(100, 100, 100)},
    {"clMenuText", rgb(0, 0, 0)},
    {"clWindowText", rgb(0, 0, 0)},
    {"clCaptionText", rgb(0, 0, 0)},
    {"clActiveBorder", rgb(180, 180, 180)},
    {"clInactiveBorder", rgb(244, 247, 252)},
    {"clAppWorkSpace", rgb(171, 171, 171)},
    {"clHighlight", rgb(0, 120, 215)},
    {"clHighlightText", rgb(255, 255, 255)},
    {"clBtnFace", rgb(240, 240, 240)},
    {"clBtnShadow", rgb(160, 160, 160)},
    {"clGrayText", rgb(109, 109, 109)},
    {"clBtnText", rgb(0, 0, 0)},
    {"clInactiveCaptionText", rgb(0, 0, 0)},
    {"clBtnHighlight", rgb(255, 255, 255)},
    {"cl3DDkShadow", rgb(105, 105, 105)},
    {"cl3DLight", rgb(227, 227, 227)},
    {"clInfoText", rgb(0, 0, 0)},
    {"clInfoBk", rgb(255, 255, 225)},
    {"clHotLight", rgb(0, 102, 204)},
    {"clGradientActiveCaption", rgb(185, 209, 234)},
    {"clGradientInactiveCaption", rgb(215, 228, 242)},
    {"clMenuHighlight", rgb(51, 153, 255)},
    {"clMenuBar", rgb(240, 240, 240)},
    {"clNone", rgb(255, 255, 255)},
    {"clDefault", rgb(0, 0, 0)},
};

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

namespace ColorText {

quint32 toValue(const QColor &color)
{
    const QColor c = color.toRgb();
    return rgb(c.red(), c.green(), c.blue());
}

QColor fromValue(quint32 value)
{
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

QString toText(const QColor &color)
{
    const quint32 value = toValue(color);
    for (const NamedColor &c : kStandard)
        if (c.value == value)
            return QLatin1String(c.name);
    return QStringLiteral("$%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<QColor> fromText(const QString &text)
{
    auto lookUp = [&text](const auto &table) -> std::optional<QColor> {
        for (const NamedColor &c : table)
            if (text.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
                return fromValue(c.value);
        return std::nullopt;
    };
    if (const auto color = lookUp(kStandard))
        return color;
    if (const auto color = lookUp(kSystem))
        return color;
    if (const auto value = parseInteger(text))
        return fromValue(quint32(*value));
    return std::nullopt;
}

std::optional<qint32> parseInteger(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    // Accumulate in 64 bits and stop as soon as the value leaves the range, so
    // that a line of a million digits costs nothing and cannot overflow.
    const qint64 limit = base == 16 ? qint64(0xFFFFFFFF) : (negative ? qint64(1) << 31 : (qint64(1) << 31) - 1);
    qint64 value = 0;
    for (; i < n; ++i) {
        const int d = hexDigit(text.at(i));
        if (d < 0 || d >= base)
            return std::nullopt;
        value = value * base + d;
        if (value > limit)
            return std::nullopt;
    }
    const auto bits = quint32(quint64(value) & 0xFFFFFFFF);
    return qint32(negative ? 0u - bits : bits);
}

} // namespace ColorText

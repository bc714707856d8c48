#include "shell/storabletext.h"

#include "shell/textfile.h"

#include <QChar>
#include <QStringList>

#include <utility>

namespace {

// Characters met in chemical names, statements and addresses whose nearest
// Windows-1252 text is not found by decomposition.
const std::pair<char32_t, const char *> kNearest[] = {
    // Comparison and arithmetic signs.
    {0x2265, ">="}, {0x2264, "<="}, {0x2260, "<>"}, {0x2248, "~"}, {0x223C, "~"}, {0x2243, "~"},
    {0x2212, "-"}, {0x2215, "/"}, {0x2219, "\xC2\xB7"}, {0x22C5, "\xC2\xB7"}, {0x221E, "infini"},
    {0x2192, "->"}, {0x2190, "<-"}, {0x2194, "<->"}, {0x21D2, "=>"}, {0x2032, "'"}, {0x2033, "\""},
    {0x2031, "pour dix mille"},
    // Blanks: the narrow and figure spaces do not break, the others do.
    {0x202F, "\xC2\xA0"}, {0x2007, "\xC2\xA0"}, {0x2060, ""}, {0xFEFF, ""}, {0x200B, ""},
    {0x200C, ""}, {0x200D, ""}, {0x2002, " "}, {0x2003, " "}, {0x2004, " "}, {0x2005, " "},
    {0x2006, " "}, {0x2008, " "}, {0x2009, " "}, {0x200A, " "}, {0x205F, " "}, {0x3000, " "},
    {0x2028, " "}, {0x2029, " "},
    // Dashes, quotes and bullets outside the code page.
    {0x2010, "-"}, {0x2011, "-"}, {0x2012, "-"}, {0x2015, "\xE2\x80\x94"}, {0x2043, "-"},
    {0x201B, "'"}, {0x201F, "\""}, {0x2027, "\xC2\xB7"}, {0x25CF, "\xE2\x80\xA2"},
    {0x2023, "\xE2\x80\xA2"}, {0x2044, "/"}, {0x2116, "N\xC2\xB0"},
    // Units.
    {0x2103, "\xC2\xB0" "C"}, {0x2109, "\xC2\xB0" "F"}, {0x2126, "Ohm"}, {0x212B, "\xC3\x85"},
    {0x2113, "l"},
    // Greek letters, written out as in chemical names ("alpha-pinène");
    // mu is the micro sign the code page has.
    {0x03B1, "alpha"}, {0x03B2, "beta"}, {0x03B3, "gamma"}, {0x03B4, "delta"}, {0x03B5, "epsilon"},
    {0x03F5, "epsilon"}, {0x03B6, "zeta"}, {0x03B7, "eta"}, {0x03B8, "theta"}, {0x03D1, "theta"},
    {0x03B9, "iota"}, {0x03BA, "kappa"}, {0x03BB, "lambda"}, {0x03BC, "\xC2\xB5"}, {0x03BD, "nu"},
    {0x03BE, "xi"}, {0x03BF, "omicron"}, {0x03C0, "pi"}, {0x03C1, "rho"}, {0x03C2, "sigma"},
    {0x03C3, "sigma"}, {0x03C4, "tau"}, {0x03C5, "upsilon"}, {0x03C6, "phi"}, {0x03D5, "phi"},
    {0x03C7, "chi"}, {0x03C8, "psi"}, {0x03C9, "omega"},
    {0x0391, "Alpha"}, {0x0392, "Beta"}, {0x0393, "Gamma"}, {0x0394, "Delta"}, {0x2206, "Delta"},
    {0x0395, "Epsilon"}, {0x0396, "Zeta"}, {0x0397, "Eta"}, {0x0398, "Theta"}, {0x0399, "Iota"},
    {0x039A, "Kappa"}, {0x039B, "Lambda"}, {0x039C, "Mu"}, {0x039D, "Nu"}, {0x039E, "Xi"},
    {0x039F, "Omicron"}, {0x03A0, "Pi"}, {0x03A1, "Rho"}, {0x03A3, "Sigma"}, {0x2211, "Sigma"},
    {0x03A4, "Tau"}, {0x03A5, "Upsilon"}, {0x03A6, "Phi"}, {0x03A7, "Chi"}, {0x03A8, "Psi"},
    {0x03A9, "Omega"},
    // Letters that have no decomposition.
    {0x0141, "L"}, {0x0142, "l"}, {0x0110, "D"}, {0x0111, "d"}, {0x0131, "i"}, {0x0127, "h"},
    {0x0126, "H"}, {0x0167, "t"}, {0x0166, "T"}, {0x0138, "q"}, {0x014B, "n"}, {0x014A, "N"},
    {0x0259, "e"}, {0x0250, "a"}, {0x0254, "o"}, {0x025B, "e"},
};

QString fromCodePoint(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

std::optional<QString> fromTable(char32_t codePoint)
{
    for (const auto &[c, text] : kNearest)
        if (c == codePoint)
            return QString::fromUtf8(text);
    return std::nullopt;
}

bool allStorable(const QString &text)
{
    QByteArray ignored;
    return TextFile::encode(text, &ignored);
}

// Walks `text` by code points (a surrogate pair is one character).
template<typename F>
void forEachCodePoint(const QString &text, F f)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            length = 2;
        }
        f(c, i, length);
        i += length - 1;
    }
}

} // namespace

namespace StorableText {

bool storable(char32_t codePoint)
{
    return codePoint <= 0xFFFF && allStorable(fromCodePoint(codePoint));
}

std::optional<QString> nearest(char32_t codePoint)
{
    if (storable(codePoint))
        return fromCodePoint(codePoint);
    if (const std::optional<QString> listed = fromTable(codePoint))
        return listed;
    // Compatibility forms (subscript and superscript digits, ligatures, full
    // width letters) and letters whose accent the code page lacks: the
    // decomposition, each accent put back on its letter where the code page
    // has the pair ("Ǆ" -> "DŽ") and left out where it has not ("ő" -> "o").
    const QString decomposed = fromCodePoint(codePoint).normalized(QString::NormalizationForm_KD);
    QString kept;
    bool failed = false;
    forEachCodePoint(decomposed, [&](char32_t c, qsizetype, qsizetype) {
        if (QChar::category(c) == QChar::Mark_NonSpacing) {
            if (kept.isEmpty())
                return;
            const QString composed = (kept.right(1) + fromCodePoint(c)).normalized(QString::NormalizationForm_C);
            if (composed.size() == 1 && allStorable(composed))
                kept.replace(kept.size() - 1, 1, composed);
        } else if (storable(c)) {
            kept += fromCodePoint(c);
        } else if (const std::optional<QString> listed = fromTable(c)) {
            kept += *listed;
        } else {
            failed = true;
        }
    });
    if (failed || kept.isEmpty())
        return std::nullopt;
    return kept;
}

bool storable(const QString &text)
{
    return allStorable(text);
}

QList<Problem> problems(const QString &text)
{
    QList<Problem> found;
    forEachCodePoint(text.normalized(QString::NormalizationForm_C), [&](char32_t c, qsizetype, qsizetype) {
        if (storable(c))
            return;
        for (const Problem &p : std::as_const(found))
            if (p.codePoint == c)
                return;
        found.append({fromCodePoint(c), c, nearest(c)});
    });
    return found;
}

QString replaced(const QString &text)
{
    if (allStorable(text))
        return text;
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(composed.size());
    forEachCodePoint(composed, [&](char32_t c, qsizetype i, qsizetype length) {
        const std::optional<QString> n = storable(c) ? std::nullopt : nearest(c);
        out += n ? *n : composed.mid(i, length);
    });
    return out;
}

QStringList describe(const QList<Problem> &problems)
{
    QStringList lines;
    for (const Problem &p : problems) {
        const QString code = QStringLiteral("U+%1").arg(uint(p.codePoint), 4, 16, QLatin1Char('0')).toUpper();
        QString shown = p.character;
        // Blanks and invisible characters are named by their code only.
        if (QChar::isSpace(p.codePoint) || QChar::category(p.codePoint) == QChar::Other_Format)
            shown = QStringLiteral(" ");
        QString nearestText;
        if (!p.nearest)
            nearestText = QStringLiteral(" : aucun équivalent");
        else if (p.nearest->isEmpty())
            nearestText = QStringLiteral(" → retiré");
        else if (p.nearest->trimmed().isEmpty())
            nearestText = p.nearest->at(0) == QChar(0xA0) ? QStringLiteral(" → espace insécable")
                                                           : QStringLiteral(" → espace");
        else
            nearestText = QStringLiteral(" → « %1 »").arg(*p.nearest);
        lines << QStringLiteral("« %1 » (%2)%3").arg(shown, code, nearestText);
    }
    return lines;
}

} // namespace StorableText

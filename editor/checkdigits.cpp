#include "editor/checkdigits.h"

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Sums digit * weight over positions [first, last] walked in the given
// direction, the k-th digit met getting weight k + offset.
int weightedSum(const QString &field, int from, int to, int step, int offset)
{
    int sum = 0;
    int k = 0;
    for (int i = from; i != to + step; i += step) {
        if (i < 0 || i >= field.size())
            continue;
        const QChar c = field.at(i);
        if (!isDigit(c))
            continue;
        ++k;
        sum += (c.unicode() - u'0') * (k + offset);
    }
    return sum;
}

} // namespace

namespace CheckDigits {

int ce(const QString &field) { return weightedSum(field, 0, 6, 1, 0) % 11; }

int cas(const QString &field) { return weightedSum(field, 8, 0, -1, 0) % 10; }

int index(const QString &field)
{
    const int r = weightedSum(field, 9, 0, -1, 2) % 11;
    return r == 0 ? 0 : 11 - r;
}

QChar checkChar(int value) { return value == 10 ? QChar(u'X') : QChar(char16_t(u'0' + value)); }

int charValue(QChar c, bool allowX)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (allowX && c == u'X')
        return 10;
    return -1;
}

} // namespace CheckDigits

namespace IdentificationNumbers {

QString emptyText(Kind kind)
{
    switch (kind) {
    case Kind::CE: return QStringLiteral("   -   - ");
    case Kind::CAS: return QStringLiteral("      -  - ");
    case Kind::INDEX: return QStringLiteral("   -   -  - ");
    }
    return {};
}

QString zeroText(Kind kind)
{
    switch (kind) {
    case Kind::CE: return QStringLiteral("000-000-0");
    case Kind::CAS: return QStringLiteral("000000-00-0");
    case Kind::INDEX: return QStringLiteral("000-000-00-0");
    }
    return {};
}

int checkPosition(Kind kind)
{
    switch (kind) {
    case Kind::CE: return 8;
    case Kind::CAS: return 10;
    case Kind::INDEX: return 11;
    }
    return 0;
}

bool acceptsX(Kind kind) { return kind != Kind::CAS; }

QString question(Kind kind)
{
    const char *name = kind == Kind::CE ? "CE" : kind == Kind::CAS ? "CAS" : "INDEX";
    return QStringLiteral("Le chiffre 'contrôle' du n° %1 semble erroné,\nautorisez-vous une correction automatique ?")
        .arg(QLatin1String(name));
}

Verification verify(Kind kind, const QString &text)
{
    if (text == zeroText(kind))
        return {Verification::Cleared, emptyText(kind)};
    if (text == emptyText(kind))
        return {Verification::Empty, {}};
    const int value = kind == Kind::CE ? CheckDigits::ce(text) : kind == Kind::CAS ? CheckDigits::cas(text)
                                                                                   : CheckDigits::index(text);
    const int pos = checkPosition(kind);
    const QChar check = pos < text.size() ? text.at(pos) : QChar(u' ');
    if (CheckDigits::charValue(check, acceptsX(kind)) == value)
        return {Verification::Correct, {}};
    QString corrected = text;
    if (corrected.size() <= pos)
        corrected = corrected.leftJustified(pos + 1, u' ');
    corrected[pos] = CheckDigits::checkChar(value);
    return {Verification::Wrong, corrected};
}

} // namespace IdentificationNumbers

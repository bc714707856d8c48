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

#include "editor/ufi.h"

namespace Ufi {

int value(QChar c)
{
    if (c.unicode() >= 128)
        return -1;
    return int(kAlphabet.indexOf(c.toUpper()));
}

QChar checkCharacter(QStringView fifteen)
{
    if (fifteen.size() != 15)
        return {};
    int sum = 0;
    for (qsizetype i = 0; i < 15; ++i) {
        const int v = value(fifteen.at(i));
        if (v < 0)
            return {};
        sum += int(i + 2) * v;
    }
    return kAlphabet.at((31 - sum % 31) % 31);
}

Verification verify(const QString &text)
{
    Verification result;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return result;
    QString run;
    if (t.size() == 19) {
        // Four groups: a dash after the 4th, 8th and 12th character, and only there.
        for (qsizetype i = 0; i < 19; ++i) {
            const bool dashPlace = i == 4 || i == 9 || i == 14;
            if ((t.at(i) == u'-') != dashPlace) {
                result.result = Verification::Layout;
                return result;
            }
            if (!dashPlace)
                run += t.at(i);
        }
    } else if (t.size() == 16 && !t.contains(u'-')) {
        run = t;
    } else {
        result.result = Verification::Layout;
        return result;
    }
    for (QChar c : run) {
        if (value(c) < 0) {
            result.result = Verification::Character;
            result.wrong = c;
            return result;
        }
    }
    run = run.toUpper();
    result.normalized = run.mid(0, 4) + u'-' + run.mid(4, 4) + u'-' + run.mid(8, 4) + u'-' + run.mid(12, 4);
    result.result = checkCharacter(QStringView(run).mid(1)) == run.at(0) ? Verification::Correct
                                                                          : Verification::CheckCharacter;
    return result;
}

QString message(const Verification &v, const QString &text)
{
    const QString shown = text.trimmed();
    switch (v.result) {
    case Verification::Empty:
    case Verification::Correct:
        return {};
    case Verification::Layout:
        return QStringLiteral("L'UFI « %1 » n'a pas la bonne forme : il compte seize caractères, en quatre "
                              "groupes de quatre séparés par des tirets (XXXX-XXXX-XXXX-XXXX).")
            .arg(shown);
    case Verification::Character:
        return QStringLiteral("L'UFI « %1 » contient le caractère « %2 », qui n'est pas employé dans les UFI "
                              "(chiffres 0 à 9 et lettres majuscules sauf B, I, L, O et Z).")
            .arg(shown, QString(v.wrong));
    case Verification::CheckCharacter:
        return QStringLiteral("L'UFI « %1 » n'est pas valide : son caractère de contrôle ne correspond pas "
                              "aux autres caractères. Recopiez-le exactement tel qu'il a été attribué au "
                              "mélange.")
            .arg(v.normalized);
    }
    return {};
}

} // namespace Ufi

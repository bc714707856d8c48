#pragma once

#include <QString>
#include <QStringView>

// The unique formula identifier of a mixture: sixteen characters of a
// 31-character alphabet, printed in four groups "XXXX-XXXX-XXXX-XXXX". Its
// first character is a check character over the fifteen others: with v(c)
// the position of c in the alphabet and c1..c15 the characters after it,
// v(first) = (31 - (2 v(c1) + 3 v(c2) + ... + 16 v(c15)) mod 31) mod 31.
namespace Ufi {

inline const QString kAlphabet = QStringLiteral("0123456789ACDEFGHJKMNPQRSTUVWXY");

// The value of a character in the alphabet (lower-case letters count as
// upper-case), -1 when it is not part of it.
int value(QChar c);

// The check character for the fifteen characters after it (all of the
// alphabet); a null QChar when the text is not such fifteen characters.
QChar checkCharacter(QStringView fifteen);

struct Verification {
    enum Result { Empty, Correct, Layout, Character, CheckCharacter } result = Empty;
    QString normalized; // "XXXX-XXXX-XXXX-XXXX" in capitals (Correct, CheckCharacter)
    QChar wrong;        // the character outside the alphabet (Character)
    bool ok() const { return result == Empty || result == Correct; }
};

// Checks a UFI as typed: blanks around it are ignored, letters may be small;
// sixteen characters either in four groups joined by "-" or in one run.
Verification verify(const QString &text);

// The French message for a verification that is not ok (empty otherwise).
QString message(const Verification &verification, const QString &text);

} // namespace Ufi

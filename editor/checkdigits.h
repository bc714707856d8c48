#pragma once

#include <QChar>
#include <QString>

// Check characters of the three identification numbers, computed over the text
// of their masked fields (dashes and blanks included; only the digits count,
// and a skipped character does not use up a weight).
namespace CheckDigits {

// EC number, 9 characters "ddd-ddd-c": digits of positions 0..6 weighted 1, 2,
// 3... from the left, sum modulo 11 (10 is written X).
int ce(const QString &field);

// CAS number, 11 characters "dddddd-dd-c" filled from the right: digits of
// positions 8..0 weighted 1, 2, 3... from the right, sum modulo 10.
int cas(const QString &field);

// INDEX number, 12 characters "ddd-ddd-dd-c": digits of positions 9..0 weighted
// 3, 4, 5... from the right; r = sum modulo 11; 0 when r is 0, else 11 - r.
int index(const QString &field);

// '0'..'9', or 'X' for 10.
QChar checkChar(int value);

// The value a check character stands for: a digit, or 10 for 'X' when `allowX`;
// -1 for anything else.
int charValue(QChar c, bool allowX);

} // namespace CheckDigits

// What leaving an identification number field does with its text.
namespace IdentificationNumbers {

enum class Kind { CE, CAS, INDEX };

QString emptyText(Kind kind);   // "   -   - " ...
QString zeroText(Kind kind);    // "000-000-0" ...
int checkPosition(Kind kind);   // 8, 10, 11
bool acceptsX(Kind kind);       // CE and INDEX
QString question(Kind kind);    // the correction question
inline const QString kQuestionTitle = QStringLiteral("CONFIRMATION");

struct Verification {
    enum Result { Empty, Cleared, Correct, Wrong } result;
    QString corrected; // the text with the computed check character (Wrong)
};

// Empty: nothing to verify; Cleared: the all-zero number becomes empty;
// Correct: the check character matches; Wrong: it does not.
Verification verify(Kind kind, const QString &text);

} // namespace IdentificationNumbers

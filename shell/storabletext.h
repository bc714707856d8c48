#pragma once

#include <QList>
#include <QString>

#include <optional>

// What a label's texts may hold: the label file is Windows-1252 text, so a
// character outside that code page (α, ≥, a narrow no-break space...) cannot
// be written. These functions find such characters and offer the nearest text
// the file can hold, so that the user is told when the character is typed,
// not when the file is written.
namespace StorableText {

// One character the file cannot store, with the text offered in its place.
struct Problem {
    QString character;                // the character (two UTF-16 units outside the BMP)
    char32_t codePoint = 0;
    std::optional<QString> nearest;   // none: nothing close enough can be stored
    bool operator==(const Problem &) const = default;
};

// Whether Windows-1252 holds the character, or every character of the text.
bool storable(char32_t codePoint);
bool storable(const QString &text);

// The nearest text Windows-1252 holds for a character it does not hold:
// ">=" for "≥", "alpha" for "α", a no-break space for a narrow one, "2" for a
// subscript two, the letter without its accent where only the accent is
// missing ("ł" -> "l"). No value when nothing sensible exists (Chinese, emoji).
std::optional<QString> nearest(char32_t codePoint);

// The characters of `text` that cannot be stored, each once, in order of
// first appearance. A letter followed by a combining accent that composes into
// a storable letter ("e" + U+0301) is no problem: `replaced` composes it.
QList<Problem> problems(const QString &text);

// `text` with every character that cannot be stored replaced by its nearest
// text (accents typed as combining marks composed first); characters without
// one stay as they are.
QString replaced(const QString &text);

// One line per problem, for messages: « ≥ » (U+2265) → « >= », or
// « 😀 » (U+1F600) : aucun équivalent.
QStringList describe(const QList<Problem> &problems);

} // namespace StorableText

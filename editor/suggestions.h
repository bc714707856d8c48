#pragma once

#include "shell/labeldocument.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

// The statements that usually go with a pictogram. Each pictogram n has a
// suggestion file "HPn" in the start directory: Windows-1252 text, one
// statement code per line. The suggestion window offers the H and P statements
// of the label whose codes the file lists, and carries its check marks back to
// the label.
namespace Suggestions {

// 1 -> "HP1" ... 9 -> "HP9".
QString fileName(int pictogram);

// A suggestion file holds a few dozen short lines; anything much bigger is not
// a suggestion file and is refused rather than loaded into the window.
inline constexpr qint64 kMaxBytes = 64 * 1024;
inline constexpr int kMaxLines = 1000;

inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
inline const QString kMissing =
    QStringLiteral("Les fichiers '' HPx '' sont introuvables.\nAucune suggestion possible!");
// %1: the file name ("HP5").
inline const QString kUnreadable =
    QStringLiteral("Le fichier de suggestions '' %1 '' ne peut pas être lu.\nAucune suggestion possible!");
// %1: the file name, %2: its size in bytes, %3: the largest size accepted.
inline const QString kTooLarge = QStringLiteral(
    "Le fichier de suggestions '' %1 '' est trop volumineux (%2 octets, %3 au plus).\nAucune suggestion possible!");
// %1: the file name, %2: the largest number of lines accepted.
inline const QString kTooManyLines = QStringLiteral(
    "Le fichier de suggestions '' %1 '' compte plus de %2 lignes.\nAucune suggestion possible!");
inline const QString kNotText = QStringLiteral(
    "Le fichier de suggestions '' %1 '' n'est pas un fichier texte.\nAucune suggestion possible!");
// %1: the file name, %2: what was found instead ("UTF-8", "UTF-16", ...).
inline const QString kNotAnsi = QStringLiteral(
    "Le fichier de suggestions '' %1 '' n'est pas enregistré en Windows-1252 (ANSI) : %2.\n"
    "Aucune suggestion possible!");

// The lines of a suggestion file, or why there are none.
struct FileLines {
    enum Status { Ok, Missing, Unreadable, TooLarge, TooManyLines, NotText, NotAnsi };
    Status status = Ok;
    QStringList lines;
    QString message; // the French warning; empty when the file was read
    bool ok() const { return status == Ok; }
};

// Checks the bytes of a suggestion file and splits them into lines by the text
// file rules. Refuses text that holds control bytes or a NUL followed by more
// text (a binary file), a byte order mark, UTF-8 multi-byte sequences, bytes
// that Windows-1252 leaves undefined, more than kMaxBytes bytes or more than
// kMaxLines lines. `name` names the file in the messages.
FileLines parse(const QByteArray &bytes, const QString &name);

// Reads a suggestion file. Only a regular file is opened (never a folder, a
// pipe or a device), and never more than kMaxBytes + 1 bytes of it are read.
FileLines read(const QString &path);

// A line whose text equals the statement code of an H statement becomes that
// statement's full text; then the same with the P statements. A line that
// matches nothing stays as it is. Codes are compared exactly.
QString resolveLine(const QString &line, const StatementList &hazards, const StatementList &precautions);

// One line of the suggestion window.
struct Line {
    QString text;
    bool ticked = false;
    bool operator==(const Line &) const = default;
};
using Lines = QList<Line>;

// The suggestion window's content for the codes of a suggestion file and a
// label's H and P lists: every line resolved, a line that repeats an earlier
// one dropped (two equal lines could not carry two different marks), sorted
// in French dictionary order without regard to case, and ticked where a
// ticked H or P statement of the label has exactly the same text.
Lines build(const QStringList &codes, const StatementList &hazards, const StatementList &precautions);

// Every statement of `list` whose text equals the text of one of
// `suggestions` takes that suggestion's check mark. Returns the indices of the
// statements whose mark changed.
QList<int> apply(const Lines &suggestions, StatementList *list);

// Where a window goes: the rectangle `wanted` (window frame included) moved
// inside `screen`, and when `avoid` is given, moved next to it rather than
// overlapping it (the nearest place that is on the screen and clear of it;
// when no such place exists, the one that overlaps it least).
QRect place(const QRect &wanted, const QRect &screen, const std::optional<QRect> &avoid = std::nullopt);

} // namespace Suggestions

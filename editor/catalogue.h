#pragma once

#include "shell/labeldocument.h"

#include <QString>
#include <QStringList>

// The three phrase catalogues ("H.txt", "P.txt", "EUH.txt") and the rules that
// match statements by their code.
namespace Catalogue {

enum Kind { Hazard = 0, Precaution = 1, Supplementary = 2 };

QString fileName(Kind kind); // "H.txt", "P.txt", "EUH.txt"

// Everything before the first colon, blanks included; empty without a colon.
QString statementCode(const QString &line);

// The lines of a catalogue file, as list items (see TextFile for the rules).
bool load(const QString &path, QStringList *items, QString *error = nullptr);

StatementList toStatements(const QStringList &items);

// Index of the first item whose leading characters equal `prefix` exactly
// (case-sensitive), or -1.
int prefixSearch(const QStringList &items, const QString &prefix);
int prefixSearch(const StatementList &items, const QString &prefix);

// Codes of the ticked entries of the three lists, in list order, joined by
// ", ". Empty when nothing is ticked.
QString selectionSummary(const StatementList &h, const StatementList &p, const StatementList &euh);

inline const QString kSummaryEmptyCaption = QStringLiteral("---");
inline const QString kSummaryEmptyHint = QStringLiteral("No selection of H, P and EUH statements");
inline const QString kSummaryInitialHint = QStringLiteral(
    "Aucune sélection de mentions de danger, conseils de prudence et informations supplémentaires");

} // namespace Catalogue

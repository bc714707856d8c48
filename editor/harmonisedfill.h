#pragma once

#include "editor/pictogramrules.h"
#include "shell/labeldocument.h"
#include "tools/classification.h"

#include <QList>
#include <QString>
#include <QStringList>

// Filling a label with the harmonised classification of the substance its
// numbers name: which entry, what the label receives (pictograms through the
// editor's pictogram rules, signal word, hazard and supplemental statements
// ticked in the label's own catalogues), what the label loses and what could
// not be placed. No widget: the label window asks the questions and sets its
// controls.
namespace HarmonisedFill {

inline const QString kQuestionTitle = QStringLiteral("CONFIRMATION");
inline const QString kReportTitle = QStringLiteral("AVERTISSEMENT");

// The entries the label's numbers name: the INDEX number first, then CAS,
// then EC (as the label checks compare them), the first that names any.
struct Lookup {
    SubstanceNumber number;                      // the number that named them
    QList<const HarmonisedEntry *> entries;
    // The label's other numbers that name only other entries, one French
    // sentence each, said after the fill.
    QStringList disagreements;
    bool isEmpty() const { return entries.isEmpty(); }
};
Lookup lookup(const HarmonisedTable &table, const QString &index, const QString &cas, const QString &ce);

// "INDEX 017-002-00-2 (hydrogen chloride)".
QString entryName(const HarmonisedEntry &entry);
// Asked for each entry in turn when a number names several: Yes applies it.
QString chooseQuestion(const Lookup &lookup, int i);

// What the label holds before the fill.
struct Label {
    QStringList pictograms;
    QString signalWord;
    StatementList hazards;      // the H list, its catalogue lines and ticks
    StatementList supplemental; // the EUH list
};

// What the fill sets, before the pictogram rules run.
struct Plan {
    QString signalWord;
    QList<bool> hazardTicks;        // one per line of the label's H list
    QList<bool> supplementalTicks;  // one per line of the EUH list
    QStringList pictograms;         // the entry's, in its order, to pick through the rules
    QStringList keptPictograms;     // the label's own that the entry has too: picked first
    // What the label holds and the fill takes away or changes, one French
    // phrase each; the user is asked first when there is any.
    QStringList replaced;
    // What could not be placed, one French sentence each.
    QStringList unplaced;
    // Whether the entry gives anything the label can take.
    bool hasLabelling = false;
};
Plan plan(const HarmonisedEntry &entry, const Label &label);

// The question asked before replacing what the label holds.
QString replaceQuestion(const HarmonisedEntry &entry, const QStringList &replaced);

// The pictograms after the rules: `start` then each of `wanted` picked as a
// click on its image picks it (the same precedence, limit and questions).
// What the rules left out is said in `unplaced`, with the rule's own text.
struct Pictograms {
    QStringList list;
    QStringList unplaced;
};
Pictograms placePictograms(const QStringList &start, const QStringList &wanted, const PictogramRules::Ask &ask);

// The closing message: what could not be placed, or empty when everything was.
QString report(const HarmonisedEntry &entry, const QStringList &unplaced);

} // namespace HarmonisedFill

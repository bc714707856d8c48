#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The precedence and compatibility rules between the nine pictograms, as a
// decision over the ordered list of selected codes ("SGH01".."SGH09").
namespace PictogramRules {

constexpr int kMaximum = 5;

struct Prompt {
    enum Kind { Warning, Question };
    Kind kind;
    QString text;
};

// Shows a prompt and returns the answer: true for Yes (a warning's OK also
// returns true).
using Ask = std::function<bool(const Prompt &)>;

inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
inline const QString kQuestionTitle = QStringLiteral("REMARQUE");
inline const QString kTooMany = QStringLiteral("Le nombre de pictogrammes ne peut dépasser cinq !");

// A click on the image of pictogram n (1..9): returns the new list, asking
// what the rules ask along the way. A selected pictogram or a full list
// changes nothing (the full list warns when n is not on it).
QStringList click(const QStringList &selected, int n, const Ask &ask);

// Moves the entry at `from` to `to`, the entries between shifting by one.
QStringList move(const QStringList &list, int from, int to);

} // namespace PictogramRules

#pragma once

#include "render/formatrules.h"
#include "render/labelrenderer.h"
#include "render/labelstock.h"
#include "render/sheetprint.h"

#include <QList>
#include <QString>

// The format rules applied to one printed label: its size, its pictograms'
// size, and the presentation rules of the 2024 revision (x-height of the
// smallest text measured with the font itself, line spacing, black on white,
// one sans-serif font). Widget-free; lengths in millimetres.
namespace LabelFormat {

struct Finding {
    bool error = false;   // an error; otherwise a warning
    QString message;      // French, one line
    bool operator==(const Finding &) const = default;
};

// One label as it comes out of the printer.
struct Printed {
    QString layout;             // "8 étiquettes par page", "Avery L7165"
    double widthMm = 0;         // the label: a grid's label, a stock's die-cut label
    double heightMm = 0;
    double drawnWidthMm = 0;    // the width the layout is drawn at (inside the label)
    bool valid() const { return widthMm > 0 && heightMm > 0 && drawnWidthMm > 0; }
};

// A label of a grid on a printable surface (the job's scale and margins
// included).
Printed onGrid(const SheetSettings &settings, const SheetPrint::Surface &surface);
// A die-cut label of a stock, the layout fitted inside its markup margin.
Printed onStock(const LabelStock::Template &stock);

// The printed height of a lowercase x of `face` at a font size (em) of
// `emMm` millimetres, measured with the font itself.
double xHeightMm(const QString &face, double emMm);
// Whether a font family (as asked, or as the system resolves it) has serifs.
bool hasSerifs(const QString &face);

// The capacity read from a label's "contenance" text; 0 when there is none
// or it is no number.
double capacityOf(const QString &text);

// The checks. `litres` 0: capacity unknown (the sizes are not checked, the
// x-height against the table's smallest minimum).
QList<Finding> check(const FormatRules::Table &table, double litres, const Printed &printed,
                     const LayoutMetrics &metrics);

// Whether any finding is an error.
bool hasError(const QList<Finding> &findings);
// One finding per line: "erreur : ..." / "avertissement : ...".
QString report(const QList<Finding> &findings);

// The least statement scale (fraction of the label's own statement size)
// whose x-height still meets the minimum of `litres` (the smallest minimum
// when 0); 1 or more when even the label's own size does not.
double leastStatementScale(const FormatRules::Table &table, double litres, const Printed &printed,
                           const LayoutMetrics &metrics);

// Fitting the statements of a job instead of letting them run over: the
// largest statement scale, down to the least that keeps the x-height
// minimum, at which every label holds its statements.
struct FitOffer {
    bool needed = false;     // some label does not hold its statements at the job's scale
    bool possible = false;   // a smaller scale holds them and keeps the x-height minimum
    double scale = 1;        // that scale (when possible)
    double least = 1;        // the least scale that keeps the x-height minimum
    QString message;         // French: the offer (a question) or why there is none
};
inline const QString kFitTitle = QStringLiteral("AVERTISSEMENT");
FitOffer fitStatements(const FormatRules::Table &table, double litres, const SheetPrint::Job &job,
                       const SheetPrint::Surface &surface);

// The format findings of a job: each distinct label of the job checked on
// its printed size (the job's statement scale applied).
QList<Finding> checkJob(const FormatRules::Table &table, double litres, const SheetPrint::Job &job,
                        const SheetPrint::Surface &surface);

} // namespace LabelFormat

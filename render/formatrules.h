#pragma once

#include <QList>
#include <QString>

// The minimum sizes of a hazard label and of its pictograms by the capacity
// of the package, read from "format-etiquettes.txt" of the data folder (the
// figures and their source are in that file), and the checks of a printed
// label against them. Widget-free; lengths in millimetres, capacities in
// litres.
namespace FormatRules {

inline const QString kFileName = QStringLiteral("format-etiquettes.txt");

struct Band {
    double maxLitres = -1;          // inclusive; negative: no upper limit
    double labelShort = 0;          // minimum label, short side
    double labelLong = 0;           // and long side
    double pictogramMinimum = 0;    // side of the pictogram's square
    double pictogramPreferred = 0;  // "if possible"
    bool labelIfPossible = false;   // the label minimum applies where possible
    double xHeight = 0;             // minimum height of a lowercase x of the text; 0: none
};

struct Table {
    QList<Band> bands;              // by growing capacity, the last without limit
    // The presentation rules: the least line spacing in per cent of the font
    // size (0: no such rule) and the date from which they apply, as the
    // warnings say it ("1er janvier 2028"; empty: not said).
    double lineSpacingPercent = 0;
    QString formatDate;
    // The band of a capacity; null for a capacity that is not a positive
    // number or an empty table.
    const Band *bandFor(double litres) const;
};

// The smallest minimum x-height of the table (0 when no band has one): the
// floor for a capacity that is not known.
double smallestXHeight(const Table &table);

// A capacity as the messages write it: French decimals, no trailing zeros.
QString litresText(double litres);

// Reads the table; false with a French `error` naming the file and the line
// when it is missing, damaged or not in order.
bool read(const QString &path, Table *table, QString *error);

// The label's size against the minimum of its capacity, in either
// orientation: empty when it is large enough, else a French error naming
// both sizes.
QString checkLabel(const Table &table, double litres, double widthMm, double heightMm);

// One pictogram's side against its minimum: the band's minimum side, 1 cm²,
// and one fifteenth of the minimum label area of the band (of the label's own
// area when the label is smaller, which the smallest band allows "where
// possible"). Empty when it is large enough, else a French error.
QString checkPictogram(const Table &table, double litres, double labelWidthMm, double labelHeightMm,
                       double sideMm);

} // namespace FormatRules

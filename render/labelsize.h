#pragma once

#include "render/sheetprint.h"

#include <QSizeF>
#include <QString>

// The real size of one label on paper, in millimetres, for the layout of a
// job: on a grid the label as the printer's printable area, the margins and
// the scale make it; on stock the die-cut label. Widget-free, shared by the
// print options and the sheet preview.
namespace LabelSize {

inline const QString kCaption = QStringLiteral("Taille d'une étiquette : %1");
inline const QString kOnGrid = QStringLiteral("%1 (grille de %2 par page)");
inline const QString kOnStock = QStringLiteral("%1 (%2, zone imprimée %3)");

// The label of the grid on `surface` (device pixels and pixels per inch);
// empty when the margins leave it no room.
QSizeF onGrid(const SheetSettings &settings, const SheetPrint::Surface &surface);
// The die-cut label of the stock.
QSizeF onStock(const LabelStock::Template &stock);
// Where the label is drawn inside it: the markup margin taken off, the
// label's proportions kept.
QSizeF printedOnStock(const LabelStock::Template &stock);

// "99,1 × 67,7 mm"
QString text(const QSizeF &mm);
// The caption for the job's layout: "Taille d'une étiquette : 101,3 × 71,7 mm
// (grille de 8 par page)".
QString caption(const SheetSettings &settings, const SheetPrint::Surface &surface);

} // namespace LabelSize

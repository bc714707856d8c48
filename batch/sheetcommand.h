#pragma once

#include "batch/batchtool.h"
#include "render/labelstock.h"

#include <QString>

// "planche": the label files of a sheet file, or the labels given, printed
// as the desktop's "Imprimer" prints its selection (same grid, scales,
// drawing and missing-file rule), to a PDF file or to a named printer.
namespace SheetCommand {

BatchTool::Command command();

// Shared with "verifier", which takes --par-page and --modele too.
inline const QString kStockAndGrid = QStringLiteral("choisissez soit --par-page, soit --modele, pas les deux.");
inline const QString kBadLayout = QStringLiteral("« %1 » étiquettes par page : choisissez 2, 4, 8, 16 ou 18.");
// The stock named by --modele: false after the usage error that says why it
// cannot serve (unknown, with a word when no stock data is installed, or
// refused with its reason).
bool readStockName(BatchTool &tool, const QString &name, LabelStock::Template *stock);

} // namespace SheetCommand

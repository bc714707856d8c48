#pragma once

#include "batch/batchtool.h"

// "planche": the label files of a sheet file, or the labels given, printed
// as the desktop's "Imprimer" prints its selection (same grid, scales,
// drawing and missing-file rule), to a PDF file or to a named printer.
namespace SheetCommand {

BatchTool::Command command();

} // namespace SheetCommand

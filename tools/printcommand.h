#pragma once

#include "render/sheetprint.h"

#include <QString>

class QPrinter;
class TForm_base;

// The frame's print command: the print options, the platform's print dialog,
// then the sheet job on the chosen printer with the signs of a running job
// (hourglass, "IMPRESSION EN COURS ..." in the bottom panel), and the
// warnings of the job once it is over.
namespace PrintCommand {

inline const QString kPrinting = QStringLiteral("IMPRESSION EN COURS ...");

void run(TForm_base *frame);

// The job with the settings of the print options on a printer already chosen
// (its copy count is the number of pages; the printer itself is asked for one
// copy and given its count back afterwards).
SheetPrint::Result printOn(TForm_base *frame, QPrinter *printer);

} // namespace PrintCommand

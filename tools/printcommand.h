#pragma once

#include "render/labelformat.h"
#include "render/sheetprint.h"

#include <QString>

class QPrinter;
class QWidget;
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

// The job the print options and the frame describe (settings, the active
// label and its name, the sizes for stored labels), without copies.
SheetPrint::Job currentJob(TForm_base *frame);

// Lays the job's labels out for `printer` before anything is sent and, when
// statements would be cut or run on below their label, names the labels and
// asks whether to print anyway (Non: go back). Labels in `accepted` were
// agreed to already and are not asked about again; the agreed ones are added.
// True: go on printing.
bool confirmLayout(QWidget *parent, TForm_base *frame, QPrinter *printer, QStringList *accepted);
// The Regulation's format rules on the job's labels as printed on `printer`,
// for a package of `litres` (0: unknown). `layout` gets the layout's name;
// a table that cannot be read gives its error as the only warning.
QList<LabelFormat::Finding> formatFindings(TForm_base *frame, QPrinter *printer, const SheetPrint::Job &job,
                                           double litres, QString *layout = nullptr);

// Before anything is sent, with a capacity chosen for the job: the offer to
// reduce the statements that do not fit (down to the x-height minimum), or
// why that cannot be, then the format errors and warnings with the question
// whether to print anyway. `statementScale` gets the scale agreed to. True:
// go on printing.
bool confirmFormat(QWidget *parent, TForm_base *frame, QPrinter *printer, double litres, double *statementScale);
inline const QString kFormatTitle = QStringLiteral("AVERTISSEMENT");
inline const QString kFormatIntro = QStringLiteral("Format de l'étiquette imprimée :");

inline const QString kPrintAnyway = QStringLiteral("Imprimer quand même ?\n(Non : revenir aux options d'impression)");

} // namespace PrintCommand

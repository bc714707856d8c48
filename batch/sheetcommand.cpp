#include "batch/sheetcommand.h"

#include "render/labelstock.h"
#include "render/sheetgeometry.h"
#include "render/sheetprint.h"
#include "shell/settingsfiles.h"
#include "shell/textfile.h"
#include "tools/sheetfile.h"

#include <algorithm>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace SheetCommand {

namespace {

const QString kDescription = QStringLiteral(
    "Imprime une planche comme la commande « Imprimer » de Kalvane avec une\n"
    "sélection de fiches : une planche (.pla) ou jusqu'à 18 étiquettes (.kvln),\n"
    "l'entrée k dans la case k de la page, une page par exemplaire. Une étiquette\n"
    "introuvable laisse sa case blanche et est signalée. Le logo d'une étiquette\n"
    "est pris dans le dossier « fournisseurs » voisin de son fichier.\n"
    "Avec --modele, les étiquettes vont sur les étiquettes prédécoupées d'une\n"
    "planche du commerce, à partir de la position --debut, sur autant de planches\n"
    "qu'il faut (sans limite de 18).\n");

const QString kNeedsLayout = QStringLiteral("l'option --par-page (2, 4, 8, 16 ou 18) est obligatoire.");
const QString kOneTarget = QStringLiteral("indiquez soit --pdf FICHIER.pdf, soit --imprimante NOM, l'un des deux.");
const QString kBadScale = QStringLiteral("l'échelle « %1 » n'est pas un nombre entier de 50 à 200.");
const QString kBadCopies = QStringLiteral("le nombre d'exemplaires « %1 » n'est pas un nombre entier de 1 à 999.");
const QString kBadMargins = QStringLiteral(
    "les marges « %1 » s'écrivent G,H en millimètres, point décimal (par exemple 5,10 ou 2.5,4).");
const QString kNothing = QStringLiteral("aucune planche ni étiquette à imprimer.");
const QString kSheetAlone = QStringLiteral("une planche (.pla) s'imprime seule, sans autre fichier.");
const QString kTooMany = QStringLiteral("au plus 18 étiquettes par page (%1 données).");
const QString kDoesNotFit = QStringLiteral("%1 étiquettes ne tiennent pas sur une page de %2 : choisissez --par-page %3.");
const QString kSurplus = QStringLiteral(
    "la planche compte %1 fiches ; seules les 18 premières sont imprimées (une page n'a que 18 cases).");
const QString kUnknownPrinter = QStringLiteral("imprimante inconnue « %1 »%2.");
const QString kCut = QStringLiteral(
    "les phrases ne tiennent pas toutes dans l'étiquette : coupées à partir de « %1 ».");
const QString kOverflow = QStringLiteral(
    "les phrases débordent sous l'étiquette, sur la case du dessous, à partir de « %1 ».");
const QString kPdfNotWritten = QStringLiteral("le PDF « %1 » n'a pas pu être enregistré : %2");

const QString kUnknownStock = QStringLiteral("modèle de planche inconnu « %1 » (marque et référence, par exemple \"Avery L7165\").");
const QString kRefusedStock = QStringLiteral("le modèle « %1 » ne peut pas servir : %2");
const QString kBadStart = QStringLiteral("la position de départ « %1 » n'existe pas sur la planche %2 : choisissez de 1 à %3.");
const QString kBadOffset = QStringLiteral(
    "le décalage « %1 » s'écrit en millimètres, point décimal, de -50 à 50 (par exemple -1.5).");
const QString kStockOnly = QStringLiteral("--debut, --decalage-x et --decalage-y ne servent qu'avec --modele.");
const QString kOffsetsUnread = QStringLiteral(
    "les décalages gardés pour les imprimantes dans « %1 » n'ont pas pu être lus (%2) : "
    "la planche est imprimée sans décalage.");

// A PDF page as a printer would give it: A4, its whole surface printable, at
// the resolution of a common laser printer.
constexpr int kPdfResolution = 600;

bool readInteger(const QString &text, int low, int high, int *value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// "G,H": two numbers of millimetres with "." as the decimal point (the
// comma separates them), as the sheet geometry reads a margin text.
bool readMargins(const QString &text, QString *left, QString *top)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        return false;
    QString values[2];
    for (int i = 0; i < 2; ++i) {
        const QString part = parts.at(i).trimmed();
        bool ok = false;
        const double mm = QLocale::c().toDouble(part, &ok);
        if (!ok || mm < 0 || mm > 1000)
            return false;
        values[i] = part;
    }
    *left = values[0];
    *top = values[1];
    return true;
}

// --modele, --debut and the offsets into the settings; a usage error
// status when one of them is wrong, else success.
int readStock(BatchTool &tool, const CommandLine::Parsed &line, SheetSettings *s)
{
    if (!readStockName(tool, line.value(QStringLiteral("modele")), &s->stock))
        return BatchTool::kUsageError;
    const LabelStock::Template *stock = &s->stock;
    const QString start = line.value(QStringLiteral("debut"));
    if (line.has(QStringLiteral("debut")) && !readInteger(start, 1, stock->labelsPerSheet(), &s->stockStart))
        return tool.usageError(kBadStart.arg(start, stock->name()).arg(stock->labelsPerSheet()));
    const QString keys[2] = {QStringLiteral("decalage-x"), QStringLiteral("decalage-y")};
    double *offsets[2] = {&s->offsetX, &s->offsetY};
    for (int i = 0; i < 2; ++i) {
        if (!line.has(keys[i]))
            continue;
        bool ok = false;
        const double mm = QLocale::c().toDouble(line.value(keys[i]).trimmed(), &ok);
        if (!ok || !(mm >= -50 && mm <= 50))
            return tool.usageError(kBadOffset.arg(line.value(keys[i])));
        *offsets[i] = mm;
    }
    return BatchTool::kSuccess;
}

// On label stock sent to a printer: the offsets the print options keep for
// `printer` (measured with its calibration page, in "impression.ini" of the
// start directory), for each direction the line does not give. False, with
// the reason, when that file exists but cannot be read.
bool applyStoredOffsets(const BatchTool &tool, const CommandLine::Parsed &line, const QString &printer,
                        SheetSettings *s, QString *error)
{
    const QString path = QDir(tool.startDirectory()).filePath(PrintIni::kFileName);
    if (!QFileInfo::exists(path))
        return true;
    QStringList lines;
    if (!TextFile::readLines(path, &lines, error))
        return false;
    const PrintIni ini = PrintIni::fromLines(lines);
    const auto stored = ini.offsets.constFind(printer);
    if (stored == ini.offsets.cend())
        return true;
    if (!line.has(QStringLiteral("decalage-x")))
        s->offsetX = stored->x();
    if (!line.has(QStringLiteral("decalage-y")))
        s->offsetY = stored->y();
    return true;
}

// One line per message on the error stream.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\n\n"), QStringLiteral(" "));
    text.replace(u'\n', u' ');
    return text;
}

int run(BatchTool &tool, const CommandLine::Parsed &line)
{
    SheetSettings s;
    s.activeLabel = false;
    // On label stock: no grid and no 18-label limit.
    const bool onStock = line.has(QStringLiteral("modele"));
    if (onStock && line.has(QStringLiteral("par-page")))
        return tool.usageError(kStockAndGrid);
    if (!onStock && (line.has(QStringLiteral("debut")) || line.has(QStringLiteral("decalage-x"))
                     || line.has(QStringLiteral("decalage-y"))))
        return tool.usageError(kStockOnly);
    if (onStock) {
        const int stockStatus = readStock(tool, line, &s);
        if (stockStatus != BatchTool::kSuccess)
            return stockStatus;
    }
    if (!onStock && !line.has(QStringLiteral("par-page")))
        return tool.usageError(kNeedsLayout);
    const QString layout = line.value(QStringLiteral("par-page"));
    if (!onStock && (!readInteger(layout, 2, 18, &s.labelsPerPage) || !SheetGeometry::isLayout(s.labelsPerPage)))
        return tool.usageError(kBadLayout.arg(layout));
    const bool toPdf = line.has(QStringLiteral("pdf"));
    const bool toPrinter = line.has(QStringLiteral("imprimante"));
    if (toPdf == toPrinter)
        return tool.usageError(kOneTarget);
    if (line.has(QStringLiteral("echelle")) && !readInteger(line.value(QStringLiteral("echelle")), 50, 200, &s.scale))
        return tool.usageError(kBadScale.arg(line.value(QStringLiteral("echelle"))));
    int copies = 1;
    if (line.has(QStringLiteral("copies")) && !readInteger(line.value(QStringLiteral("copies")), 1, 999, &copies))
        return tool.usageError(kBadCopies.arg(line.value(QStringLiteral("copies"))));
    if (line.has(QStringLiteral("marges"))
        && !readMargins(line.value(QStringLiteral("marges")), &s.marginLeft, &s.marginTop))
        return tool.usageError(kBadMargins.arg(line.value(QStringLiteral("marges"))));
    s.pictureMode = line.has(QStringLiteral("images"));
    s.separatorLines = line.has(QStringLiteral("pointilles"));
    s.adapt = line.has(QStringLiteral("auto"));
    s.numberingOnly = line.has(QStringLiteral("numerotation"));

    // What goes into the cells.
    if (line.arguments.isEmpty())
        return tool.usageError(kNothing);
    const auto isSheet = [](const QString &f) { return QFileInfo(f).suffix().compare(SheetFile::kSuffix, Qt::CaseInsensitive) == 0; };
    int status = BatchTool::kSuccess;
    QStringList entries;
    QString name;
    if (std::any_of(line.arguments.begin(), line.arguments.end(), isSheet)) {
        if (line.arguments.size() != 1)
            return tool.usageError(kSheetAlone);
        const QString sheet = line.arguments.constFirst();
        name = QFileInfo(sheet).completeBaseName();
        QString error;
        if (!SheetFile::read(sheet, &entries, &error)) {
            tool.problem(error);
            return BatchTool::kFileProblem;
        }
        // The reader has made every entry a full path (one written by hand
        // relative to the sheet's folder included); an empty entry is a
        // blank cell.
        if (!onStock && entries.size() > SheetFile::kMaxEntries) {
            tool.problem(sheet, kSurplus.arg(entries.size()));
            entries = SheetFile::firstEntries(entries);
            status = BatchTool::kFileProblem;
        }
    } else {
        if (!onStock && line.arguments.size() > SheetFile::kMaxEntries)
            return tool.usageError(kTooMany.arg(line.arguments.size()));
        for (const QString &f : line.arguments)
            entries << QFileInfo(f).absoluteFilePath();
        name = entries.size() == 1 ? QFileInfo(entries.constFirst()).completeBaseName() : QStringLiteral("planche");
    }
    if (!onStock && entries.size() > s.labelsPerPage)
        return tool.usageError(kDoesNotFit.arg(entries.size())
                                   .arg(s.labelsPerPage)
                                   .arg(SheetGeometry::layoutForCount(int(entries.size()))));
    s.selection = entries;

    SheetPrint::Job job;
    job.settings = s;
    job.copies = copies;
    job.pictogramFolder = tool.startDirectory();
    const QString docName = QStringLiteral("Kalvane - ") + name;

    SheetPrint::Result result;
    if (toPdf) {
        // Written to a file beside the target as the pages are drawn (the
        // memory stays flat however many pages), named as the target at the
        // end: a failure leaves no partial file and an older file of that
        // name whole.
        const QString target = QFileInfo(line.value(QStringLiteral("pdf"))).absoluteFilePath();
        TextFile::StreamedFile file(target);
        QString why;
        if (!file.open(&why)) {
            tool.problem(kPdfNotWritten.arg(QDir::toNativeSeparators(target), why));
            return BatchTool::kFileProblem;
        }
        {
            QPdfWriter writer(file.device());
            writer.setResolution(kPdfResolution);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setTitle(docName);
            writer.setCreator(QStringLiteral("Kalvane"));
            result = SheetPrint::print(&writer, job);
        }
        if (result.printed && !file.commit(&why)) {
            tool.problem(kPdfNotWritten.arg(QDir::toNativeSeparators(target), why));
            return BatchTool::kFileProblem;
        }
    } else {
        const QString printerName = line.value(QStringLiteral("imprimante"));
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
        if (info.isNull()) {
            const QStringList known = QPrinterInfo::availablePrinterNames();
            return tool.usageError(kUnknownPrinter.arg(
                printerName, known.isEmpty() ? QStringLiteral(" : aucune imprimante n'est installée")
                                             : QStringLiteral(" ; imprimantes installées : ") + known.join(QStringLiteral(", "))));
        }
        QString why;
        if (onStock && !applyStoredOffsets(tool, line, info.printerName(), &job.settings, &why)) {
            const QString ini = QDir(tool.startDirectory()).filePath(PrintIni::kFileName);
            tool.problem(kOffsetsUnread.arg(QDir::toNativeSeparators(ini), why));
            status = BatchTool::kFileProblem;
        }
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(docName);
        // The tool repeats the page itself, as the desktop does.
        printer.setCopyCount(1);
        job.deviceFailed = [&printer] { return printer.printerState() == QPrinter::Error; };
        result = SheetPrint::print(&printer, job);
    }

    if (!result.error.isEmpty()) {
        tool.problem(oneLine(result.error));
        status = BatchTool::kFileProblem;
    }
    // One line per finding, each naming its entry.
    QStringList told;
    for (const SheetPrint::EntryProblem &e : std::as_const(result.entryProblems)) {
        tool.problem(QDir::toNativeSeparators(e.entry), oneLine(e.problem));
        told << e.problem;
        status = BatchTool::kFileProblem;
    }
    for (const QString &p : std::as_const(result.problems))
        if (!told.contains(p)) {
            tool.problem(oneLine(p));
            status = BatchTool::kFileProblem;
        }
    for (const SheetPrint::CutLabel &c : std::as_const(result.cut)) {
        tool.problem(QDir::toNativeSeparators(c.entry.isEmpty() ? c.label : c.entry), kCut.arg(c.statement));
        status = BatchTool::kFileProblem;
    }
    for (const SheetPrint::CutLabel &o : std::as_const(result.overflow)) {
        bool cut = false;
        for (const SheetPrint::CutLabel &c : std::as_const(result.cut))
            cut = cut || c.label == o.label;
        if (cut)
            continue;
        tool.problem(QDir::toNativeSeparators(o.entry.isEmpty() ? o.label : o.entry), kOverflow.arg(o.statement));
        status = BatchTool::kFileProblem;
    }
    return status;
}

} // namespace

bool readStockName(BatchTool &tool, const QString &name, LabelStock::Template *stock)
{
    const LabelStock::Template *found = LabelStock::installed().find(name);
    if (!found) {
        QString text = kUnknownStock.arg(name);
        if (!QFileInfo(LabelStock::kSystemFolder).isDir())
            text += u' ' + LabelStock::kNotInstalled.arg(LabelStock::kSystemFolder);
        tool.usageError(text);
        return false;
    }
    if (!found->supported()) {
        tool.usageError(kRefusedStock.arg(found->name(), found->refusal));
        return false;
    }
    *stock = *found;
    return true;
}

BatchTool::Command command()
{
    CommandLine::Command definition;
    definition.name = QStringLiteral("planche");
    definition.arguments = QStringLiteral("PLANCHE.pla|ÉTIQUETTE.kvln...");
    definition.summary = QStringLiteral("imprime une planche d'étiquettes (PDF ou imprimante)");
    definition.description = kDescription;
    definition.options = {
        {QStringLiteral("par-page"), QChar(), QStringLiteral("N"),
         QStringLiteral("étiquettes par page : 2, 4, 8, 16 ou 18 (obligatoire sans --modele)")},
        {QStringLiteral("modele"), QChar(), QStringLiteral("\"MARQUE RÉFÉRENCE\""),
         QStringLiteral("planche d'étiquettes du commerce (par exemple \"Avery L7165\") au lieu de --par-page ; "
                        "autant de planches que d'étiquettes l'exigent")},
        {QStringLiteral("debut"), QChar(), QStringLiteral("N"),
         QStringLiteral("avec --modele : première étiquette utilisée sur la première planche (par défaut 1)")},
        {QStringLiteral("decalage-x"), QChar(), QStringLiteral("MM"),
         QStringLiteral("avec --modele : décalage de l'imprimante vers la droite, en millimètres (par défaut "
                        "celui que les options d'impression gardent pour l'imprimante, sinon 0)")},
        {QStringLiteral("decalage-y"), QChar(), QStringLiteral("MM"),
         QStringLiteral("avec --modele : décalage de l'imprimante vers le bas, en millimètres (par défaut "
                        "celui que les options d'impression gardent pour l'imprimante, sinon 0)")},
        {QStringLiteral("marges"), QChar(), QStringLiteral("G,H"),
         QStringLiteral("marges à gauche et en haut, en millimètres (par défaut 0,0)")},
        {QStringLiteral("echelle"), QChar(), QStringLiteral("S"),
         QStringLiteral("échelle des étiquettes en pour cent, de 50 à 200 (par défaut 100)")},
        {QStringLiteral("images"), QChar(), QString(),
         QStringLiteral("« Conformité à l'aperçu » : chaque étiquette en image étirée")},
        {QStringLiteral("pointilles"), QChar(), QString(), QStringLiteral("pointillés de séparation et cadre de la page")},
        {QStringLiteral("auto"), QChar(), QString(), QStringLiteral("adaptation automatique de l'échelle aux marges")},
        {QStringLiteral("numerotation"), QChar(), QString(),
         QStringLiteral("seulement la numérotation des phrases H, P et EUH")},
        {QStringLiteral("copies"), QChar(), QStringLiteral("N"),
         QStringLiteral("nombre d'exemplaires, une page chacun (par défaut 1)")},
        {QStringLiteral("pdf"), QChar(), QStringLiteral("FICHIER.pdf"), QStringLiteral("écrit les pages dans ce PDF (A4)")},
        {QStringLiteral("imprimante"), QChar(), QStringLiteral("NOM"),
         QStringLiteral("envoie les pages à cette imprimante (lpstat -p les liste)")},
    };
    return {definition, run};
}

} // namespace SheetCommand

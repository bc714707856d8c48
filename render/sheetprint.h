#pragma once

#include "render/labelcontent.h"
#include "render/sheetgeometry.h"
#include "render/sheetsettings.h"
#include "shell/framemirrors.h"

#include <QImage>
#include <QPageLayout>
#include <QPointF>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct LayoutResult;

class QPagedPaintDevice;

// Printing a sheet: the active label repeated over the page or the label
// files of a selection one per cell, on any paged device (a printer, a PDF
// writer), one page per copy. Widget-free: the print command and the batch
// tool both call it.
namespace SheetPrint {

inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
inline const QString kFailure = QStringLiteral(
    "L'impression a échoué %1 : l'imprimante est indisponible ou a refusé le document.\n"
    "Le document a été abandonné ; vérifiez l'imprimante puis relancez l'impression.");
inline const QString kAtBegin = QStringLiteral("au début du document");
inline const QString kAtNewPage = QStringLiteral("au passage à une nouvelle page");
inline const QString kAtEnd = QStringLiteral("à la fin du document");
inline const QString kNoPrintableArea = QStringLiteral(
    "L'imprimante n'indique aucune surface imprimable : rien n'a été imprimé.");
inline const QString kNoRoom = QStringLiteral(
    "Les marges sont aussi grandes que les étiquettes : il ne reste aucune place pour les imprimer.\n"
    "Rien n'a été imprimé ; réduisez les marges (onglet « Généralités »).");
// A selection entry that is there but cannot be read as a label file.
inline const QString kUnreadableEntry = QStringLiteral("Le fichier ''%1'' : %2");
inline const QString kSeveralCut = QStringLiteral("Étiquettes concernées :");
inline const QString kOverflow = QStringLiteral(
    "Les phrases ne tiennent pas toutes dans l'étiquette : à partir de « %1 », le texte déborde sous "
    "l'étiquette, sur la case du dessous.\n\nChoisissez une taille de caractères plus petite pour les phrases "
    "(menu Texte > Taille des caractères > Phrases), retirez des phrases ou choisissez moins d'étiquettes par page.");

struct Job {
    SheetSettings settings;
    LabelContent active;        // the active label (settings.activeLabel)
    QString activeName;         // its window title, for the messages
    FrameMirrors current;       // sizes for stored labels that stop before theirs
    QString pictogramFolder;
    int copies = 1;
    // The device's own error state, asked after beginning the document, after
    // each new page and after ending it (a printer's error state); none: no
    // such state.
    std::function<bool()> deviceFailed;
};

struct CutLabel {
    QString label;      // window title or file name
    QString statement;  // the first statement cut at the bottom edge
    QString entry;      // the selection entry (full path); empty for the active label
};

// Something wrong with one selection entry: why its file cannot be read as
// a label (StoredLabel::unreadable), a reading problem, a picture that
// could not be decoded.
struct EntryProblem {
    QString entry;   // the entry as the selection holds it
    QString problem; // French
    bool operator==(const EntryProblem &) const = default;
};

struct Result {
    bool printed = false;     // the document was begun and ended without error
    QString error;            // French: why nothing (or not everything) was printed
    int pages = 0;            // pages finished
    SheetGeometry geometry;
    QStringList missing;      // selection entries whose file cannot be read as a label, once each
    QStringList problems;     // other reading problems, once each
    // The same, entry by entry, with what is wrong with each missing one.
    QList<EntryProblem> entryProblems;
    QList<CutLabel> cut;      // labels whose statements were cut, once each
    // Drawn directly, labels whose statements run on below their own height
    // (onto the cell below), once each.
    QList<CutLabel> overflow;
};

// A page as the job sees it: printable area in device pixels, pixels per
// inch, and the orientation the device reports.
struct Surface {
    int width = 0;
    int height = 0;
    int dpiX = 600;
    int dpiY = 600;
    bool landscape = false;
};

// A label's content with the job's statement scale.
LabelContent scaled(const LabelContent &content, const SheetSettings &settings);

// The grid of the job on a surface.
SheetGeometry geometry(const SheetSettings &settings, const Surface &surface);

// One page of the job drawn into a white picture of the surface's size (the
// same drawing as on a printer page), for checks and previews at any
// resolution. Nothing is drawn when the surface is empty or the margins
// leave no room (`result->error` says so).
QImage pageImage(const Job &job, const Surface &surface, Result *result = nullptr);

// Sets the page orientation of the layout, lays the grid over the printable
// area and draws every copy. A missing file leaves its cell white. When the
// device fails, the document is ended and `error` says where.
Result print(QPagedPaintDevice *device, const Job &job);

// On label stock (settings.onStock()): the device's paper is set to the
// stock's, each label is drawn inside its die-cut rectangle only, and the
// labels fill as many sheets as they need (render/stockprint.cpp).
Result printOnStock(QPagedPaintDevice *device, const Job &job);

// Puts the device's page layout back as it was when this goes out of scope.
class KeptPageLayout
{
public:
    explicit KeptPageLayout(QPagedPaintDevice *device);
    ~KeptPageLayout();
    KeptPageLayout(const KeptPageLayout &) = delete;
    KeptPageLayout &operator=(const KeptPageLayout &) = delete;

private:
    QPagedPaintDevice *m_device;
    QPageLayout m_layout;
};

// The stock's own paper put on `device`, upright, with as little margin as
// the device allows (keep its layout with a KeptPageLayout first): the
// printable area's top-left corner on the paper, in mm, and the device's
// resolution. False when the device has no printable area.
struct StockPaper {
    QPointF origin;
    int dpiX = 0;
    int dpiY = 0;
};
bool useStockPaper(QPagedPaintDevice *device, const LabelStock::Template &stock, StockPaper *paper);

// Shared by the grid and the stock jobs: `text` added to `list` unless empty
// or there already; a label's layout problems and its first cut statement
// noted once per label (with its entry when known).
void addOnce(QStringList *list, const QString &text);
void noteLayout(Result *result, const QString &label, const LayoutResult &layout, const QString &entry = QString());
// Each distinct label file of `paths` read once as stored, at the job's
// statement size: a file missing or unreadable is noted in `result->missing`,
// its reading problems in `result->problems`; `take` gets the others.
void forEachStoredLabel(const Job &job, const QStringList &paths, Result *result,
                        const std::function<void(const QString &path, const LabelContent &content)> &take);

// The grid the job uses on `device` (its orientation is set first).
SheetGeometry layout(QPagedPaintDevice *device, const SheetSettings &settings);
// The surface of `device` once its orientation is set for `settings`.
Surface surface(QPagedPaintDevice *device, const SheetSettings &settings);

// The labels of a job laid out for a surface without drawing anything, so
// that the user can be asked before a page is sent: drawn as pictures, the
// labels whose statements are cut at their bottom edge (`cut`); drawn
// directly, those whose statements run on below their own cell, over the
// label below (`overflow`). Each label once; missing files in `missing`;
// `error` when the margins leave no room.
Result check(const Job &job, const Surface &surface);
// The same on stock: each label measured at the size of its die-cut label.
Result checkOnStock(const Job &job, const Surface &surface);

// What the check found, for the question asked before printing (empty when
// every label holds its statements): the labels named with the first
// statement that does not fit, and what printing them would do.
QString layoutWarning(const Result &check);
inline const QString kLayoutTitle = QStringLiteral("AVERTISSEMENT");
inline const QString kLayoutIntro = QStringLiteral("Les phrases ne tiennent pas toutes dans ces étiquettes :");
inline const QString kLayoutOverflow = QStringLiteral(
    "Imprimées ainsi, leurs phrases déborderaient sous l'étiquette, sur la case du dessous (ou seraient coupées au "
    "bas de la page).");
inline const QString kLayoutCut = QStringLiteral(
    "Imprimées ainsi, leurs phrases seraient coupées au bas de l'étiquette : les phrases suivantes n'y figureraient "
    "pas.");
inline const QString kLayoutAdvice = QStringLiteral(
    "Choisissez moins d'étiquettes par page, une taille de caractères plus petite pour les phrases (menu Texte > "
    "Taille des caractères > Phrases) ou retirez des phrases.");

// The messages of a job that went through, in the order to show them
// (missing files and unreadable pictures, then cut statements); empty when
// there is nothing to say.
QStringList messages(const Result &result);

// The warning for labels whose statements were cut.
QString cutMessage(const QList<CutLabel> &cut);
// The warning for labels whose statements run on below them.
QString overflowMessage(const QList<CutLabel> &overflow);

} // namespace SheetPrint

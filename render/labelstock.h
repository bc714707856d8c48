#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// Self-adhesive label stock: the sheets of die-cut labels sold by brand and
// part number, read from the template files of the gLabels data package
// (XML; lengths in pt, mm, cm, in or pc, bare numbers in pt) and from the
// user's own gLabels templates. All lengths here are millimetres on the
// paper, origin at its top left corner. Widget-free.
namespace LabelStock {

inline const QString kSystemFolder = QStringLiteral("/usr/share/libglabels-3.0/templates");
inline const QString kNotInstalled = QStringLiteral(
    "Les modèles de planches d'étiquettes ne sont pas installés (dossier « %1 » introuvable).\n"
    "Installez le paquet glabels-data (sudo apt-get install glabels-data) ; "
    "les grilles de 2 à 18 étiquettes par page restent disponibles.");
inline const QString kDamagedFile = QStringLiteral(
    "Le fichier de modèles « %1 » est illisible (ligne %2 : %3) : ses modèles sont ignorés, les autres sont chargés.");
inline const QString kUnknownEquiv = QStringLiteral("%1 renvoie au modèle « %2 », introuvable : ce modèle est ignoré.");

// One row-and-column block of labels: nx × ny labels, the first at (x0, y0),
// the next ones every dx across and dy down.
struct Layout {
    int nx = 0;
    int ny = 0;
    double x0 = 0;
    double y0 = 0;
    double dx = 0;
    double dy = 0;
};

struct Template {
    QString brand;
    QString part;
    QString description;
    QString paper;              // paper id: "A4", "US-Letter", "Other"...
    double paperWidth = 0;
    double paperHeight = 0;
    QString shape;              // "rectangle", "round", "ellipse", "cd"
    double width = 0;           // one label
    double height = 0;
    double round = 0;           // corner radius of a rectangle
    double markupMargin = 0;    // kept free inside each label
    QList<Layout> layouts;
    QString refusal;            // French: why this stock cannot be printed on; empty when it can
    QString file;

    QString name() const { return brand + u' ' + part; }
    bool supported() const { return refusal.isEmpty(); }
    int labelsPerSheet() const;
    // The die-cut rectangles of one sheet, row by row from the top, left to
    // right.
    QList<QRectF> dieCuts() const;
    // "Avery L7165 — 99,1 × 67,7 mm, 8 par planche"
    QString summary() const;
};

struct Catalogue {
    QList<Template> templates;  // by brand, then part
    QStringList problems;       // French, one per damaged file or broken reference
    // By "BRAND PART", case and surrounding blanks ignored; null when unknown.
    const Template *find(const QString &name) const;
};

// A length attribute ("280.8pt", "99.1mm", "8.5in", "14.2") in millimetres;
// false when it is not a finite, non-negative length with a known unit.
bool readLength(const QString &text, double *mm);

// Reads the given template files; the paper sizes come from `paperFile`
// (A4 and US Letter are known without it). `equiv` references are resolved
// across all files.
Catalogue read(const QStringList &files, const QString &paperFile);

// The template files of the data package and of the user's gLabels folder.
QStringList installedFiles(const QString &systemFolder = kSystemFolder);

// The stock of a data package folder (`systemFolder`, its "paper-sizes.xml")
// and of the user's gLabels folder; without the folder the catalogue's first
// problem is kNotInstalled.
Catalogue readInstalled(const QString &systemFolder = kSystemFolder);

// The installed stock, read the first time it is asked for and kept.
const Catalogue &installed();

// Where the labels of a job go on stock.
struct Cell {
    int sheet = 0;      // 0 = first sheet of the job
    int position = 0;   // 0-based place on the sheet
    QRectF dieCut;      // mm on the paper, printer offsets applied
    QRectF label;       // where the label is drawn: inside the markup margin, proportions kept, centred
};

// The label of width:height proportions `aspect` fitted inside `box`,
// centred.
QRectF fitted(const QRectF &box, double aspect);

inline const QString kBadStart = QStringLiteral(
    "La position de départ %1 n'existe pas sur la planche « %2 » : choisissez de 1 à %3.");

// `count` labels placed from position `start` (1 = first label of the
// sheet), going on to as many sheets as they need, every rectangle moved by
// the printer's offsets (mm; positive: to the right, downwards). Empty with
// `error` set when the start position is not on the sheet or the stock
// cannot be printed on.
QList<Cell> place(const Template &stock, int start, int count, double offsetX, double offsetY, double aspect,
                  QString *error = nullptr);

} // namespace LabelStock

#pragma once

#include "render/labelcontent.h"
#include "render/rendervariant.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QStringList>

class QPainter;

// What one drawing did: the boxes and sizes it used, and the pictures it could
// not read. Boxes are in surface pixels (an empty box was not drawn into).
struct LayoutResult {
    int pictogramCount = 0;        // codes counted for the text column
    QList<QRect> pictogramSlots;   // squares of the drawn codes, in list order; on a
                                   // page, inside the separate pictogram bitmap
    QRect pictogramArea;           // page only: where that bitmap was copied
    int columnLeft = 0;            // text column chosen by the number of codes
    QRect notice;                  // "Aucun pictogramme"
    QRect logo;
    QRect supplier;
    QRect product;
    bool productBand = false;      // filled band (true) or rule above the name
    QRect identity;
    QRect comment;
    QList<int> rules;              // y of the rules: product (white), comment top, comment bottom
    QRect signal;
    QRect statements;              // after the single-pictogram rule
    QRect complement;              // "UFI : …" and the nominal quantity, under the identity line
    QRect contains;                // "Contient : …", under it
    QRect qrCode;                  // the safety data sheet's QR code, quiet zone included
    QRect qrCaption;               // its caption, above it
    int qrModules = 0;             // modules across the code (quiet zone excluded)
    int qrModulePixels = 0;        // pixels per module as drawn

    // Drawn sizes in points, each as chosen for its block.
    int noticePoints = 0, supplierPoints = 0, productPoints = 0, identityPoints = 0,
        commentPoints = 0, signalPoints = 0, statementPoints = 0;

    // The first statement that does not fit wholly above the statement box's
    // bottom edge (its line, or its code with numbering only); empty when every
    // statement fits. When a block above the statements (supplier, product,
    // comment, signal word) already runs past that edge, its first line cut.
    QString cutStatement;

    // French messages for pictures that exist but could not be decoded; a
    // missing file is not a problem (its slot stays empty).
    QStringList problems;
};

// What the format rules look at in a label's layout, found without drawing
// it. Lengths are fractions of the label's drawn width (the layout keeps its
// proportions on every output), so that one figure serves every print size.
struct LayoutMetrics {
    QString fontFace;              // the one font of every block
    QStringList pictograms;        // the codes drawn (at most five)
    double pictogramSquare = 0;    // side of a pictogram's square
    double smallestEm = 0;         // font size (em) of the smallest text drawn; 0: no text
    double smallestLine = 0;       // its line spacing, baseline to baseline
    QString smallestName;          // which block: "les phrases"...
    double statementEm = 0;        // the statements' font size
    QStringList notBlackOnWhite;   // the blocks not drawn black on white
};

// The one label layout, drawn onto a painter with the numbers of a variant.
namespace LabelRenderer {

inline const QString kNoPictogram = QStringLiteral("Aucun pictogramme");
inline const QString kQrCaption = QStringLiteral("Fiche de données de sécurité");
// The QR code's square (quiet zone included) in label units: a label is 636
// units wide and 450 high.
constexpr int kQrUnits = 120;
// The quiet zone kept white around the modules, in modules.
constexpr int kQrQuietModules = 3;
inline const QString kCutTitle = QStringLiteral("AVERTISSEMENT");
inline const QString kCutWarning = QStringLiteral(
    "Les phrases ne tiennent pas toutes sur l'étiquette : à partir de « %1 », le texte est coupé "
    "au bas de l'étiquette.\n\nChoisissez une taille de caractères plus petite pour les phrases "
    "(menu Texte > Taille des caractères > Phrases), ou retirez des phrases.");

// The warning given when a label's statements are cut at its bottom edge,
// naming the first statement that does not fit.
QString cutWarning(const QString &statement);

// Draws the label. For the two bitmap variants the painter must paint on a
// raster image of the variant's size; this call fills it white first. For the
// page variant it draws onto whatever device the painter has (a printer page),
// without filling. Pictograms are combined with the surface by AND so that
// overlapping diamonds stay visible.
LayoutResult draw(QPainter &painter, const LabelContent &content, const RenderVariant &variant);

// The layout of a drawing without its pixels: the label drawn onto a
// one-pixel surface of the variant's resolution (`dpi` for the page variant,
// the pictures' own otherwise). Pictures come through the picture cache, so
// this is cheap enough to run for every check.
LayoutResult measure(const LabelContent &content, const RenderVariant &variant, int dpi = 0);

// The layout's metrics, from the sizes the drawing uses (the label picture's
// fonts), without drawing. Cheap: no picture is read.
LayoutMetrics metrics(const LabelContent &content);

// The label picture: 1272 x 900, Format_RGB32 (three colour bytes used).
QImage labelPicture(const LabelContent &content, LayoutResult *result = nullptr);

// The active label's picture (the floating preview, the sheet preview and
// printing in "Conformité à l'aperçu" mode): the label picture of its content.
inline QImage print_etBM(const LabelContent &content, LayoutResult *result = nullptr)
{
    return labelPicture(content, result);
}

// The active label drawn straight onto a printer page (`pageVariant` from
// RenderVariant::page).
inline LayoutResult print_etPR(QPainter &painter, const LabelContent &content, const RenderVariant &pageVariant)
{
    return draw(painter, content, pageVariant);
}

// The export image: 2121 x 1500, not smoothed.
QImage exportImage(const LabelContent &content, LayoutResult *result = nullptr);

// The floating preview's picture: the label picture smoothed once with
// BlurBitmap and halved to 636 x 450.
QImage previewImage(const LabelContent &content, LayoutResult *result = nullptr);

// The alignment flags of a comment alignment code: 16 left, 17 centred, 18
// right (word-wrap plus the horizontal alignment).
int commentFlags(int alignmentCode);

} // namespace LabelRenderer

#pragma once

#include "render/labelstock.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// The printer's calibration page for a label stock: the die-cut outlines of
// the stock where the template puts them, and crosses at known places with
// their coordinates written beside them. Printed without any offset on a
// sheet of the stock (or plain paper held over it), the distances measured
// from the paper's edges to each cross give the printer's offsets:
// offset = the written coordinate − the measured one. Widget-free.
namespace Calibration {

inline const QString kTitle = QStringLiteral("Page de calibration – %1");
inline const QString kCrossText = QStringLiteral("x = %1 mm ; y = %2 mm");
inline const QString kInstructions = QStringLiteral(
    "Imprimée sans décalage. Mesurez à la règle, depuis le bord gauche et depuis le bord haut de la feuille, "
    "le centre de chaque croix.\nDécalage horizontal = x écrit − x mesuré ; décalage vertical = y écrit − y mesuré "
    "(en mm ; positif : vers la droite, vers le bas).\nLes contours gris sont ceux des étiquettes prédécoupées du "
    "modèle : sur une planche du modèle, ils doivent tomber sur les découpes.");

// Where the crosses are, in millimetres from the paper's top left corner:
// 20 mm from each corner and the middle of the sheet.
QList<QPointF> crosses(const LabelStock::Template &stock);

// Draws the page on `painter`, whose unit is `pixelsPerMm` device pixels
// per millimetre with the origin `origin` (mm) at the device's (0, 0).
void draw(QPainter &painter, const LabelStock::Template &stock, double pixelsPerMmX, double pixelsPerMmY,
          const QPointF &origin);

struct Result {
    bool printed = false;
    QString error; // French
};

// Sets the device to the stock's paper, upright, and prints the page.
// `deviceFailed` is the device's own error state, asked after each step.
Result print(QPagedPaintDevice *device, const LabelStock::Template &stock,
             const std::function<bool()> &deviceFailed = {});

} // namespace Calibration

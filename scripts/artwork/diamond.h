#pragma once

#include <QPainterPath>
#include <QColor>

class QPainter;

// The pictograms are drawn in a square of 1000 x 1000 units centred on the origin
// (x to the right, y downwards).  The red frame is a square standing on one corner.
namespace Diamond {

inline constexpr qreal kOuter = 485.0;      // half diagonal of the outer edge
inline constexpr qreal kBorder = 54.0;      // width of the red band, across the band
inline const QColor kRed{255, 0, 0};

// Half diagonal of the white inside.
qreal innerHalfDiagonal();

// A square standing on one corner, centred on the origin.
QPainterPath path(qreal halfDiagonal);

// White field, red frame with slightly rounded outer corners.
void drawFrame(QPainter &p);

} // namespace Diamond

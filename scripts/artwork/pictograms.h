#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace Pictograms {

// Draws pictogram n (1 = SGH01 ... 9 = SGH09) so that its frame fills `target`
// (a square).  The corners of the square outside the frame are left untouched.
void draw(QPainter &p, int n, const QRectF &target);

// The pictogram on a white square picture of side `size`.
QImage render(int n, int size);

} // namespace Pictograms

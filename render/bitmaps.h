#pragma once

#include <QImage>

class QPainter;

// The two picture operations shared by the outputs, and the halving that the
// floating preview applies after smoothing.
namespace Bitmaps {

// Smooths a 24-bit picture in place with a 3 x 3 box: for rows 1 .. height-2
// top to bottom and columns 2 .. width-3 left to right, each of the three
// colour bytes becomes the sum of that byte over the nine neighbours divided by
// 9 (integer division). The filter runs in place, so the row above and the left
// neighbour already hold smoothed values: that running result is the one
// wanted. The outermost row on each side and the outermost two columns stay.
// 32-bit pictures are smoothed on their three colour bytes, the fourth byte is
// left alone; other formats are converted to Format_RGB32 first. A null
// picture is left as it is.
enum class BlurMethod {
    Best,     // the quickest the processor allows
    RowByRow, // the rule as written, one pixel after the other
    Sse2,     // 32-bit pictures: four rows at a time along a diagonal
    Avx2      // 32-bit pictures: eight rows at a time, when the processor has AVX2
};
void BlurBitmap(QImage *bitmap, BlurMethod method = BlurMethod::Best);
// Every method gives the same bytes; the choice only exists to compare them.
bool blurMethodAvailable(BlurMethod method);

// Copies the whole bitmap stretched onto the painter's device at
// (x, y, width, height), with plain copy.
void PrintBMP(QPainter &canvas, int x, int y, int width, int height, const QImage &bitmap);

// Half the size, keeping every second pixel of every second row (the label
// picture is smoothed before, so nothing is lost but detail). The result has
// the source's format.
QImage halve(const QImage &picture);

} // namespace Bitmaps

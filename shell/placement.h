#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a small window opens next to another one, kept on the screen.
namespace Placement {

// The top left corner for a window of `size` beside `anchor` (both in screen
// coordinates): to its right, or to its left, or below it, whichever fits
// first on `screen`; the result is moved inside `screen` when nothing fits.
QPoint beside(const QRect &anchor, const QSize &size, const QRect &screen);

// `wanted` moved as little as possible so that a window of `size` lies
// wholly inside `screen` (its top left corner when the screen is smaller).
QPoint inside(const QPoint &wanted, const QSize &size, const QRect &screen);

} // namespace Placement

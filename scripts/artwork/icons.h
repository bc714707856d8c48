#pragma once

#include <QImage>

// The program icon and the icons of the two document kinds, drawn for one size
// (a square of side `size`, transparent outside the drawing).
namespace Icons {

QImage program(int size);       // "kalvane": the red diamond with a K
QImage labelFile(int size);     // "feuilleKVLN": a page holding one label
QImage sheetFile(int size);     // "planche": a page holding a grid of labels

} // namespace Icons

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// PNG pictures written at a fast setting: the picture data compressed in one
// piece by libdeflate (level 4, no row filters), the chunks written by libpng.
// On a label's export image this is much quicker than the usual setting (zlib
// level 6, adaptive filters) and gives a smaller file, the pixels being
// lossless either way.
namespace PngCodec {

// Encodes a picture: Format_Grayscale8 as one grey channel, a picture with an
// alpha channel as RGBA, any other as RGB, 8 bits a channel. The resolution
// of the picture is stored too. Returns false with a French message when the
// library fails.
bool encode(const QImage &image, QByteArray *out, QString *error = nullptr);

} // namespace PngCodec

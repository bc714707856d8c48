#pragma once

#include <QImage>
#include <QString>

// Writes an RGB JPEG without chroma subsampling (4:4:4).  The default 4:2:0 of
// most encoders smears the pure red of the frame into the white next to it; at
// full chroma resolution the edges stay clean.
namespace JpegWriter {

// Returns an empty string on success, otherwise the reason of the failure.
QString write(const QImage &image, const QString &path, int quality);

} // namespace JpegWriter

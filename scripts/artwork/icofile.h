#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Windows icon container (.ico): an ICONDIR header, one ICONDIRENTRY per picture,
// then the pictures.  Small sizes are stored as 32-bit DIBs with their AND mask,
// which every reader understands; 256 x 256 is stored as PNG, as is usual for it.
namespace IcoFile {

QByteArray encode(const QList<QImage> &images);

} // namespace IcoFile

#include "icofile.h"

#include <QBuffer>
#include <QtEndian>

namespace {

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

QByteArray png(const QImage &img)
{
    QByteArray data;
    QBuffer buf(&data);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return data;
}

// BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit AND mask (set where the
// pixel is fully transparent), rows padded to 32 bits.  The header's height counts
// both the colour rows and the mask rows.
QByteArray dib(const QImage &source)
{
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    QByteArray out;
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(2 * h));
    put16(out, 1);                  // planes
    put16(out, 32);                 // bits per pixel
    put32(out, 0);                  // BI_RGB
    const int maskStride = ((w + 31) / 32) * 4;
    put32(out, quint32(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            // Non-premultiplied BGRA, as the icon format expects.
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
            out.append(char(qAlpha(line[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

} // namespace

namespace IcoFile {

QByteArray encode(const QList<QImage> &images)
{
    QList<QByteArray> payloads;
    for (const QImage &img : images)
        payloads.append(img.width() >= 256 ? png(img) : dib(img));

    QByteArray out;
    put16(out, 0);                  // reserved
    put16(out, 1);                  // type: icon
    put16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const QImage &img = images[i];
        out.append(char(img.width() >= 256 ? 0 : img.width()));   // 0 means 256
        out.append(char(img.height() >= 256 ? 0 : img.height()));
        out.append(char(0));        // no palette
        out.append(char(0));        // reserved
        put16(out, 1);              // colour planes
        put16(out, 32);             // bits per pixel
        put32(out, quint32(payloads[i].size()));
        put32(out, offset);
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray &p : payloads)
        out.append(p);
    return out;
}

} // namespace IcoFile

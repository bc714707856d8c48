#pragma once

// Small pictures and labels shared by the render tests.

#include "render/jpegcodec.h"
#include "render/labelcontent.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtTest>

namespace RenderFixtures {

// A picture of one colour, as a JPEG file's bytes. Flat colours come back
// from the codec within a few units.
inline QByteArray solidJpeg(QSize size, const QColor &colour, bool grey = false)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    if (!JpegCodec::encode(image, 100, grey, &bytes))
        qFatal("could not encode a test picture");
    return bytes;
}

// A picture with detail everywhere (so the quality setting matters).
inline QImage noisyPicture(QSize size, quint32 seed = 1)
{
    QImage image(size, QImage::Format_RGB32);
    quint32 x = seed;
    for (int r = 0; r < size.height(); ++r) {
        for (int c = 0; c < size.width(); ++c) {
            x = x * 1664525u + 1013904223u;
            image.setPixel(c, r, qRgb((x >> 8) & 255, (c * 5 + (x >> 20)) & 255, (r * 3) & 255));
        }
    }
    return image;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline bool near(QRgb actual, const QColor &expected, int tolerance = 6)
{
    return qAbs(qRed(actual) - expected.red()) <= tolerance && qAbs(qGreen(actual) - expected.green()) <= tolerance
        && qAbs(qBlue(actual) - expected.blue()) <= tolerance;
}

inline QString describe(QRgb c)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

// The number of components of a baseline or progressive JPEG, from its frame
// header (0 when there is none).
inline int componentCount(const QByteArray &jpeg)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const uchar marker = uchar(jpeg.at(i + 1));
        if (uchar(jpeg.at(i)) == 0xFF && (marker == 0xC0 || marker == 0xC1 || marker == 0xC2))
            return uchar(jpeg.at(i + 9));
    }
    return 0;
}

// A label with nothing on it but what a test adds.
inline LabelContent emptyLabel(const QString &pictogramFolder)
{
    LabelContent c;
    c.pictogramFolder = pictogramFolder;
    c.signalWord.clear();
    return c;
}

} // namespace RenderFixtures

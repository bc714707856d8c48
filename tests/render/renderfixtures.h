#pragma once

// Small pictures and labels shared by the render tests.

#include "render/jpegcodec.h"
#include "render/labelcontent.h"

#include "testhelpers.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtTest>

namespace RenderFixtures {

using TestPictures::solidJpeg;

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

inline bool near(QRgb actual, const QColor &expected, int tolerance = 6)
{
    return qAbs(qRed(actual) - expected.red()) <= tolerance && qAbs(qGreen(actual) - expected.green()) <= tolerance
        && qAbs(qBlue(actual) - expected.blue()) <= tolerance;
}

inline QString describe(QRgb c)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
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

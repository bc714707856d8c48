// The PNG encoder: every kind of picture the program writes comes back with
// the same pixels through an independent reader, with the channels it needs
// and the picture's resolution.

#include "render/pngcodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {

QImage noise(int width, int height, QImage::Format format, quint32 seed)
{
    QImage image(width, height, format);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (qsizetype x = 0; x < image.bytesPerLine(); ++x)
            line[x] = uchar(random.bounded(256));
    }
    return image;
}

QImage decoded(const QByteArray &png)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

// The colour type byte of the IHDR chunk (0 grey, 2 RGB, 6 RGBA).
int colourType(const QByteArray &png)
{
    return png.size() > 25 && png.mid(12, 4) == "IHDR" ? uchar(png.at(25)) : -1;
}

} // namespace

class TestPngCodec : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void picturesComeBackWithTheirPixels_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QImage::Format>("compareAs");
        QTest::addColumn<int>("type");
        // Odd widths: rows whose length is no multiple of 4 bytes.
        QTest::newRow("colour") << noise(37, 23, QImage::Format_RGB32, 1) << QImage::Format_RGB32 << 2;
        QTest::newRow("grey") << noise(41, 17, QImage::Format_Grayscale8, 2) << QImage::Format_Grayscale8 << 0;
        QTest::newRow("alpha") << noise(19, 29, QImage::Format_ARGB32, 3) << QImage::Format_ARGB32 << 6;
        QTest::newRow("RGB888") << noise(13, 11, QImage::Format_RGB888, 4) << QImage::Format_RGB32 << 2;
        // Noise does not compress: its data spans several chunks of the file.
        QTest::newRow("several data chunks") << noise(700, 600, QImage::Format_RGB32, 6) << QImage::Format_RGB32 << 2;
        QTest::newRow("one pixel") << noise(1, 1, QImage::Format_RGB32, 5) << QImage::Format_RGB32 << 2;
    }

    void picturesComeBackWithTheirPixels()
    {
        QFETCH(QImage, image);
        QFETCH(QImage::Format, compareAs);
        QFETCH(int, type);
        image.setDotsPerMeterX(11811);
        image.setDotsPerMeterY(5906);
        QByteArray png;
        QString error;
        QVERIFY2(PngCodec::encode(image, &png, &error), qPrintable(error));
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(colourType(png), type);
        const QImage back = decoded(png);
        QCOMPARE(back.size(), image.size());
        QCOMPARE(back.convertToFormat(compareAs), image.convertToFormat(compareAs));
        QCOMPARE(back.dotsPerMeterX(), 11811);
        QCOMPARE(back.dotsPerMeterY(), 5906);
    }

    void aDrawingIsNoLargerThanTheDefaultWriters()
    {
        // Text and flat shapes on white, as a label is.
        QImage image(1200, 850, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setPen(QPen(Qt::black, 6));
            p.setBrush(QColor(220, 0, 0));
            for (int i = 0; i < 6; ++i)
                p.drawPolygon(QPolygon({QPoint(100 + i * 170, 60), QPoint(180 + i * 170, 140),
                                        QPoint(100 + i * 170, 220), QPoint(20 + i * 170, 140)}));
            QFont font;
            font.setPixelSize(22);
            p.setFont(font);
            for (int line = 0; line < 22; ++line)
                p.drawText(30, 280 + line * 25, QStringLiteral("H%1 Provoque de graves brûlures de la peau et des lésions oculaires.").arg(300 + line));
        }
        QByteArray fast;
        QVERIFY(PngCodec::encode(image, &fast));
        QByteArray usual;
        QBuffer buffer(&usual);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(QImageWriter(&buffer, "png").write(image));
        QVERIFY2(fast.size() <= usual.size(), qPrintable(QStringLiteral("%1 > %2").arg(fast.size()).arg(usual.size())));
        QCOMPARE(decoded(fast), image);
    }

    void anEmptyPictureIsRefused()
    {
        QByteArray png("old");
        QString error;
        QVERIFY(!PngCodec::encode(QImage(), &png, &error));
        QVERIFY(png.isEmpty());
        QVERIFY(error.startsWith(QStringLiteral("l'image PNG n'a pas pu être composée")));
    }
};

QTEST_MAIN(TestPngCodec)
#include "test_pngcodec.moc"

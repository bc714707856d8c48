// The JPEG codec: colour, grey, progressive and CMYK pictures in; quality and
// grey levels out; damaged, truncated and oversized pictures refused with a
// message and without ending the process.

#include "render/jpegcodec.h"
#include "renderfixtures.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

extern "C" {
#include <jpeglib.h>
}

using namespace RenderFixtures;

namespace {

// Writes a picture with libjpeg's own settings, for the kinds of files the
// program's encoder never makes (progressive, CMYK), or plain baseline.
enum class Kind { Baseline, Progressive, AdobeCmyk };

QByteArray libjpegFile(const QImage &rgb, Kind kind)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    if (kind == Kind::AdobeCmyk) {
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
    } else {
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
    }
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (kind == Kind::Progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    QByteArray row(rgb.width() * 4, 0);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        auto *out = reinterpret_cast<uchar *>(row.data());
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            if (kind == Kind::AdobeCmyk) {
                // Stored inverted, as print software writes it: 255 is no ink.
                const int k = qMax(qRed(p), qMax(qGreen(p), qBlue(p)));
                out[4 * x + 0] = uchar(k ? qRed(p) * 255 / k : 0);
                out[4 * x + 1] = uchar(k ? qGreen(p) * 255 / k : 0);
                out[4 * x + 2] = uchar(k ? qBlue(p) * 255 / k : 0);
                out[4 * x + 3] = uchar(k);
            } else {
                out[3 * x + 0] = uchar(qRed(p));
                out[3 * x + 1] = uchar(qGreen(p));
                out[3 * x + 2] = uchar(qBlue(p));
            }
        }
        JSAMPROW r = out;
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

QImage gradient(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), 128));
    return image;
}

int largestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = qMax(worst, qMax(qAbs(qRed(p) - qRed(q)), qMax(qAbs(qGreen(p) - qGreen(q)),
                                                                    qAbs(qBlue(p) - qBlue(q)))));
        }
    }
    return worst;
}

// Sets the frame header's height and width of a baseline JPEG.
QByteArray withFrameSize(QByteArray jpeg, int width, int height)
{
    // The frame header of a baseline (C0) or progressive (C2) picture.
    qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        sof = jpeg.indexOf(QByteArray("\xFF\xC2", 2));
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 255);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 255);
    return jpeg;
}

} // namespace

class TestJpegCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colourRoundTrip()
    {
        const QImage picture = gradient(QSize(64, 48));
        QByteArray jpeg;
        QVERIFY(JpegCodec::encode(picture, 95, false, &jpeg));
        QCOMPARE(TestPictures::jpegComponents(jpeg), 3);
        QImage decoded;
        QString error;
        QVERIFY2(JpegCodec::decode(jpeg, &decoded, &error), qPrintable(error));
        QCOMPARE(decoded.format(), QImage::Format_RGB32);
        QCOMPARE(decoded.size(), QSize(64, 48));
        QVERIFY(largestDifference(decoded, picture) <= 12);
        QSize size;
        QVERIFY(JpegCodec::readSize(jpeg, &size));
        QCOMPARE(size, QSize(64, 48));
    }

    void greyLevelsAreOneChannel()
    {
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(QColor(255, 0, 0));
        QByteArray jpeg;
        QVERIFY(JpegCodec::encode(red, 90, true, &jpeg));
        QCOMPARE(TestPictures::jpegComponents(jpeg), 1);
        QImage decoded;
        QVERIFY(JpegCodec::decode(jpeg, &decoded));
        QCOMPARE(decoded.format(), QImage::Format_Grayscale8);
        // Red becomes its luminance, 0.299 * 255.
        QVERIFY(qAbs(qGray(decoded.pixel(20, 20)) - 76) <= 2);

        // Grey pictures encode in colour too when asked.
        const QImage grey = decoded;
        QVERIFY(JpegCodec::encode(grey, 90, false, &jpeg));
        QCOMPARE(TestPictures::jpegComponents(jpeg), 3);
    }

    void qualityIsKeptWithinOneToHundred()
    {
        const QImage picture = noisyPicture(QSize(96, 64));
        QByteArray q0, q1, q10, q90, q100, q150;
        QVERIFY(JpegCodec::encode(picture, 0, false, &q0));
        QVERIFY(JpegCodec::encode(picture, 1, false, &q1));
        QVERIFY(JpegCodec::encode(picture, 10, false, &q10));
        QVERIFY(JpegCodec::encode(picture, 90, false, &q90));
        QVERIFY(JpegCodec::encode(picture, 100, false, &q100));
        QVERIFY(JpegCodec::encode(picture, 150, false, &q150));
        QCOMPARE(q0, q1);
        QCOMPARE(q150, q100);
        QVERIFY(q1.size() < q10.size());
        QVERIFY(q10.size() < q90.size());
        QVERIFY(q90.size() < q100.size());
    }

    void otherInputFormatsAreEncoded()
    {
        const QImage picture = gradient(QSize(30, 20));
        for (QImage::Format f : {QImage::Format_RGB888, QImage::Format_ARGB32, QImage::Format_Indexed8}) {
            QByteArray jpeg;
            QVERIFY(JpegCodec::encode(picture.convertToFormat(f), 95, false, &jpeg));
            QImage back;
            QVERIFY(JpegCodec::decode(jpeg, &back));
            QCOMPARE(back.size(), picture.size());
        }
        QByteArray none;
        QString error;
        QVERIFY(!JpegCodec::encode(QImage(), 75, false, &none, &error));
        QVERIFY(!error.isEmpty());
    }

    void progressiveAndCmykPictures()
    {
        const QImage picture = gradient(QSize(80, 60));
        QImage decoded;
        QString error;
        QVERIFY2(JpegCodec::decode(libjpegFile(picture, Kind::Progressive), &decoded, &error), qPrintable(error));
        QCOMPARE(decoded.size(), QSize(80, 60));
        QVERIFY(largestDifference(decoded, picture) <= 12);

        QVERIFY2(JpegCodec::decode(libjpegFile(picture, Kind::AdobeCmyk), &decoded, &error), qPrintable(error));
        QCOMPARE(decoded.format(), QImage::Format_RGB32);
        QVERIFY(largestDifference(decoded, picture) <= 16);
    }

    void scaledDecodingStaysAtLeastTheSizeAsked()
    {
        QByteArray jpeg;
        QVERIFY(JpegCodec::encode(gradient(QSize(800, 600)), 90, false, &jpeg));
        QImage decoded;
        QVERIFY(JpegCodec::decode(jpeg, &decoded, nullptr, QSize(300, 300)));
        QCOMPARE(decoded.size(), QSize(400, 300)); // 4/8: the smallest still 300 high
        QVERIFY(JpegCodec::decode(jpeg, &decoded, nullptr, QSize(90, 50)));
        QCOMPARE(decoded.size(), QSize(100, 75)); // 1/8
        QVERIFY(JpegCodec::decode(jpeg, &decoded, nullptr, QSize(900, 900)));
        QCOMPARE(decoded.size(), QSize(800, 600)); // never larger than the picture
    }

    void damagedPicturesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray good;
        JpegCodec::encode(noisyPicture(QSize(64, 64)), 90, false, &good);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("ceci n'est pas une image");
        QTest::newRow("PNG signature") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        QTest::newRow("header only") << good.left(300);
        QTest::newRow("truncated halfway") << good.left(good.size() / 2);
        QTest::newRow("no end marker") << good.left(good.size() - 2);
        QByteArray scrambled = good;
        for (qsizetype i = scrambled.size() / 2; i < scrambled.size() - 2; i += 7)
            scrambled[i] = char(0xFF);
        QTest::newRow("scrambled data") << scrambled;
        // A frame of 30000 x 30000: refused before anything that size is made.
        QTest::newRow("huge frame") << withFrameSize(good, 30000, 30000);
    }

    void damagedPicturesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QImage kept(3, 3, QImage::Format_RGB32);
        kept.fill(Qt::green);
        QString error;
        QVERIFY(!JpegCodec::decode(bytes, &kept, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(error.startsWith(QStringLiteral("Image JPEG")));
        // The caller's picture is left as it was.
        QCOMPARE(kept.size(), QSize(3, 3));
        QCOMPARE(kept.pixel(1, 1), qRgb(0, 255, 0));
    }

    void extraBytesBeforeAMarkerAreHarmless()
    {
        QByteArray jpeg;
        QVERIFY(JpegCodec::encode(gradient(QSize(32, 32)), 90, false, &jpeg));
        jpeg.insert(jpeg.size() - 2, QByteArray("zz"));
        QImage decoded;
        QString error;
        QVERIFY2(JpegCodec::decode(jpeg, &decoded, &error), qPrintable(error));
    }

    void hugeFramesAreRefusedBeforeDecoding()
    {
        // A header that claims 30000 x 30000: refused from the header, even
        // when a reduced scale is asked, before the library makes room for
        // it (a progressive picture keeps every coefficient in memory).
        const QImage picture = gradient(QSize(32, 32));
        for (const QByteArray &file : {libjpegFile(picture, Kind::Progressive), libjpegFile(picture, Kind::Baseline)}) {
            for (const QSize atLeast : {QSize(), QSize(32, 32)}) {
                QImage decoded;
                QString error;
                QVERIFY(!JpegCodec::decode(withFrameSize(file, 30000, 30000), &decoded, &error, atLeast));
                QCOMPARE(error, QStringLiteral("Image JPEG trop grande."));
            }
        }
        // A progressive picture of 9000 x 9000 is refused too; a baseline one
        // of that size gets its reduced-scale decoding (here it then fails on
        // the data, which is only 32 x 32).
        QString error;
        QVERIFY(!JpegCodec::decode(withFrameSize(libjpegFile(picture, Kind::Progressive), 9000, 9000), nullptr,
                                   &error, QSize(32, 32)));
        QCOMPARE(error, QStringLiteral("Image JPEG trop grande."));
        QVERIFY(!JpegCodec::decode(withFrameSize(libjpegFile(picture, Kind::Baseline), 9000, 9000), nullptr, &error,
                                   QSize(32, 32)));
        QVERIFY(error != QStringLiteral("Image JPEG trop grande."));
    }

    void fileErrors()
    {
        QImage decoded;
        QString error;
        QVERIFY(!JpegCodec::decodeFile(QStringLiteral("/nulle/part/SGH01.jpg"), &decoded, &error));
        QVERIFY(error.contains(QStringLiteral("SGH01.jpg")));

        // Only regular files of sane size that start as a JPEG picture.
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("logo.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!JpegCodec::decodeFile(fifo, &decoded, &error)); // would block if opened
        QVERIFY(error.contains(QStringLiteral("pas un fichier ordinaire")));
        const QString text = dir.filePath(QStringLiteral("texte.jpg"));
        QVERIFY(TestFiles::write(text, QByteArray("pas une image")));
        QVERIFY(!JpegCodec::decodeFile(text, &decoded, &error));
        QVERIFY2(error.contains(QStringLiteral("n'est pas une image JPEG")), qPrintable(error));
        const QString big = dir.filePath(QStringLiteral("gros.jpg"));
        {
            QFile f(big);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(JpegCodec::kMaxFileSize + 1)); // sparse: nothing is written
        }
        QVERIFY(!JpegCodec::decodeFile(big, &decoded, &error));
        QVERIFY2(error.contains(QStringLiteral("trop volumineux")), qPrintable(error));
    }
};

QTEST_MAIN(TestJpegCodec)
#include "test_jpegcodec.moc"

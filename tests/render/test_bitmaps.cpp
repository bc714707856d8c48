// BlurBitmap against a plain, literal version of its running rule; the halving
// of the preview and PrintBMP's stretched copy.

#include "render/bitmaps.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

namespace {

// The rule written as plainly as possible: pixel by pixel, in place, reading
// whatever the picture holds at that moment.
void runningBoxReference(QImage *image)
{
    for (int r = 1; r <= image->height() - 2; ++r) {
        for (int c = 2; c <= image->width() - 3; ++c) {
            int sum[3] = {0, 0, 0};
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const QRgb p = image->pixel(c + dx, r + dy);
                    sum[0] += qRed(p);
                    sum[1] += qGreen(p);
                    sum[2] += qBlue(p);
                }
            }
            image->setPixel(c, r, qRgb(sum[0] / 9, sum[1] / 9, sum[2] / 9));
        }
    }
}

QImage randomPicture(int width, int height, QImage::Format format, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    return image.convertToFormat(format);
}

// Large flat areas and hard edges, like a drawn label.
QImage blockyPicture(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(QRect(width / 4, 0, width / 3, height / 2), QColor(0, 0, 128));
    p.fillRect(QRect(0, height / 2, width, 1), Qt::black);
    p.setPen(QColor(255, 0, 0));
    p.drawLine(0, 0, width - 1, height - 1);
    p.end();
    return image.convertToFormat(format);
}

int firstDifference(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return y * a.width() + x;
    return -1;
}

} // namespace

class TestBitmaps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blurFollowsTheRunningRule_data()
    {
        QTest::addColumn<QImage>("picture");
        // The smallest pictures with a smoothed pixel, pictures narrower and
        // wider than the banded path needs, heights that leave 0 to 3 rows
        // after the last band, and the label picture's own size.
        for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
            const char *f = format == QImage::Format_RGB32 ? "rgb32" : "rgb888";
            const QList<QSize> sizes = {{5, 3}, {6, 4}, {7, 7}, {31, 9}, {32, 6}, {33, 7}, {40, 8},
                                        {64, 9}, {64, 10}, {65, 11}, {66, 12}, {67, 13}, {101, 37},
                                        {256, 12}};
            quint32 seed = 1;
            for (const QSize &s : sizes) {
                QTest::addRow("%s random %dx%d", f, s.width(), s.height())
                    << randomPicture(s.width(), s.height(), format, seed++);
            }
            QTest::addRow("%s label size", f) << blockyPicture(1272, 900, format);
            QImage bright(50, 10, format);
            bright.fill(Qt::white);
            QTest::addRow("%s all 255", f) << bright;
        }
    }

    void blurFollowsTheRunningRule()
    {
        QFETCH(QImage, picture);
        QImage expected = picture;
        runningBoxReference(&expected);
        // Every way of smoothing (the quicker ones work on several rows at
        // once) must give exactly the bytes of the rule.
        using M = Bitmaps::BlurMethod;
        for (M method : {M::Best, M::RowByRow, M::Sse2, M::Avx2}) {
            if (!Bitmaps::blurMethodAvailable(method))
                continue;
            QImage actual = picture;
            Bitmaps::BlurBitmap(&actual, method);
            QCOMPARE(actual.format(), picture.format());
            QCOMPARE(actual.size(), picture.size());
            QCOMPARE(firstDifference(actual, expected), -1);
        }
    }

    void blurUsesTheAlreadySmoothedNeighbours()
    {
        // One bright pixel in a black picture. (2, 1) becomes 90 / 9 = 10. Its
        // right neighbour sees that 10, not the original 90: 10 / 9 = 1 (a
        // filter reading only original values would give 10 there too). The
        // row below sees 10 and 1 above it: 11 / 9 = 1.
        QImage image(6, 4, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setPixel(2, 1, qRgb(0, 0, 90));
        Bitmaps::BlurBitmap(&image);
        QCOMPARE(qBlue(image.pixel(2, 1)), 10);
        QCOMPARE(qBlue(image.pixel(3, 1)), 1);
        QCOMPARE(qBlue(image.pixel(2, 2)), 1);
        QCOMPARE(qBlue(image.pixel(1, 1)), 0);  // outer columns stay
        QCOMPARE(qRed(image.pixel(2, 1)), 0);   // the channels stay apart
    }

    void blurLeavesTheBorderAlone()
    {
        QImage picture = randomPicture(40, 9, QImage::Format_RGB32, 99);
        QImage blurred = picture;
        Bitmaps::BlurBitmap(&blurred);
        for (int x = 0; x < 40; ++x) {
            QCOMPARE(blurred.pixel(x, 0), picture.pixel(x, 0));
            QCOMPARE(blurred.pixel(x, 8), picture.pixel(x, 8));
        }
        for (int y = 0; y < 9; ++y)
            for (int x : {0, 1, 38, 39})
                QCOMPARE(blurred.pixel(x, y), picture.pixel(x, y));
        QVERIFY(blurred != picture);
    }

    void blurTakesOtherFormatsAndNothing()
    {
        QImage grey = randomPicture(20, 6, QImage::Format_Grayscale8, 7);
        QImage expected = grey.convertToFormat(QImage::Format_RGB32);
        runningBoxReference(&expected);
        Bitmaps::BlurBitmap(&grey);
        QCOMPARE(grey.format(), QImage::Format_RGB32);
        QCOMPARE(firstDifference(grey, expected), -1);

        QImage none;
        Bitmaps::BlurBitmap(&none);
        QVERIFY(none.isNull());
        Bitmaps::BlurBitmap(nullptr);
        QImage tiny = randomPicture(4, 2, QImage::Format_RGB32, 3);
        const QImage before = tiny;
        Bitmaps::BlurBitmap(&tiny);
        QCOMPARE(tiny, before);
    }

    void halvingKeepsEverySecondPixel()
    {
        for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
            const QImage picture = randomPicture(1272, 900, format, 5);
            const QImage half = Bitmaps::halve(picture);
            QCOMPARE(half.size(), QSize(636, 450));
            QCOMPARE(half.format(), format);
            for (int y = 0; y < 450; y += 7)
                for (int x = 0; x < 636; x += 5)
                    QCOMPARE(half.pixel(x, y), picture.pixel(2 * x, 2 * y));
            QCOMPARE(half.pixel(635, 449), picture.pixel(1270, 898));
        }
    }

    void printBmpStretchesTheWholeBitmap()
    {
        QImage source(2, 2, QImage::Format_RGB32);
        source.setPixel(0, 0, qRgb(255, 0, 0));
        source.setPixel(1, 0, qRgb(0, 255, 0));
        source.setPixel(0, 1, qRgb(0, 0, 255));
        source.setPixel(1, 1, qRgb(0, 0, 0));
        QImage canvas(100, 100, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        {
            QPainter p(&canvas);
            Bitmaps::PrintBMP(p, 10, 20, 40, 60, source);
            Bitmaps::PrintBMP(p, 70, 70, 0, 10, source); // nothing to cover
        }
        QCOMPARE(canvas.pixel(15, 25), qRgb(255, 0, 0));
        QCOMPARE(canvas.pixel(45, 25), qRgb(0, 255, 0));
        QCOMPARE(canvas.pixel(15, 75), qRgb(0, 0, 255));
        QCOMPARE(canvas.pixel(45, 75), qRgb(0, 0, 0));
        QCOMPARE(canvas.pixel(9, 50), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(50, 50), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(30, 80), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(70, 75), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(TestBitmaps)
#include "test_bitmaps.moc"

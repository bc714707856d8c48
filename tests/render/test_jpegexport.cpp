// The export: a 2121 x 1500 picture, three channels in colour and one in grey
// levels (the red signal word turning grey), the chosen quality, and writing
// that fails cleanly.

#include "render/jpegexport.h"
#include "renderfixtures.h"

#include <QDir>
#include <QTemporaryDir>

using namespace RenderFixtures;

namespace {

LabelContent sampleLabel(const QString &folder)
{
    LabelContent c = emptyLabel(folder);
    c.pictograms = {QStringLiteral("SGH01")};
    c.product = QStringLiteral("ACÉTONE");
    c.productLines = 1;
    c.signalWord = QStringLiteral("DANGER");
    c.statements = QStringLiteral("H225: Liquide et vapeurs très inflammables.\n");
    return c;
}

} // namespace

class TestJpegExport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(TestFiles::write(m_dir.filePath(QStringLiteral("SGH01.jpg")), solidJpeg(QSize(100, 100), QColor(255, 0, 0))));
    }

    void colourAndGrey()
    {
        const LabelContent c = sampleLabel(m_dir.path());
        LayoutResult layout;
        LabelRenderer::exportImage(c, &layout);

        QByteArray colour;
        QStringList problems;
        QVERIFY(JpegExport::encodeLabel(c, JpegExport::Options{}, &colour, &problems));
        QVERIFY(problems.isEmpty());
        QCOMPARE(TestPictures::jpegComponents(colour), 3);
        QImage picture;
        QVERIFY(JpegCodec::decode(colour, &picture));
        QCOMPARE(picture.size(), QSize(2121, 1500));
        // The default is quality 75, and the picture is not smoothed: the same
        // bytes as the export image encoded directly.
        QByteArray direct;
        QVERIFY(JpegCodec::encode(LabelRenderer::exportImage(c), 75, false, &direct));
        QCOMPARE(colour, direct);

        QByteArray grey;
        QVERIFY(JpegExport::encodeLabel(c, JpegExport::Options{true, 75}, &grey));
        QCOMPARE(TestPictures::jpegComponents(grey), 1);
        QImage greyPicture;
        QVERIFY(JpegCodec::decode(grey, &greyPicture));
        QCOMPARE(greyPicture.size(), QSize(2121, 1500));
        QCOMPARE(greyPicture.format(), QImage::Format_Grayscale8);

        // The signal word: where the colour picture is red, the grey one has
        // the luminance of red (0.299 * 255 = 76), not black.
        int redPixels = 0, greySum = 0;
        for (int y = layout.signal.top(); y <= layout.signal.bottom(); ++y) {
            for (int x = layout.signal.left(); x <= layout.signal.right(); ++x) {
                const QRgb p = picture.pixel(x, y);
                if (qRed(p) > 220 && qGreen(p) < 40 && qBlue(p) < 40) {
                    ++redPixels;
                    greySum += qGray(greyPicture.pixel(x, y));
                }
            }
        }
        QVERIFY(redPixels > 500);
        const int meanGrey = greySum / redPixels;
        QVERIFY2(qAbs(meanGrey - 76) <= 8, qPrintable(QString::number(meanGrey)));
    }

    void qualityIsPassedOn()
    {
        const LabelContent c = sampleLabel(m_dir.path());
        const QImage image = LabelRenderer::exportImage(c);
        for (int quality : {1, 40, 100}) {
            for (bool grey : {false, true}) {
                QByteArray exported, direct;
                QVERIFY(JpegExport::encodeLabel(c, JpegExport::Options{grey, quality}, &exported));
                QVERIFY(JpegCodec::encode(image, quality, grey, &direct));
                QCOMPARE(exported, direct);
            }
        }
    }

    void unreadablePicturesAreListed()
    {
        QTemporaryDir dir;
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("SGH01.jpg")), QByteArray("abimé")));
        QByteArray jpeg;
        QStringList problems;
        QVERIFY(JpegExport::encodeLabel(sampleLabel(dir.path()), JpegExport::Options{}, &jpeg, &problems));
        QCOMPARE(problems.size(), 1);
        QVERIFY(problems.first().contains(QStringLiteral("SGH01.jpg")));
        QVERIFY(!jpeg.isEmpty());
    }

    void writing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("étiquette.jpg"));
        QString error;
        QVERIFY2(JpegExport::write(path, QByteArray("premier"), &error), qPrintable(error));
        QVERIFY(JpegExport::write(path, QByteArray("second"), &error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("second"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("étiquette.jpg")});
    }

    void writeErrorsAreReportedAndLeaveNoFile()
    {
        // Tests may run as root, so no read-only folder: a "folder" that is a
        // regular file, and a name that is a folder.
        QTemporaryDir dir;
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("fichier")), QByteArray("x")));
        const QString inFile = dir.filePath(QStringLiteral("fichier/export.jpg"));
        QString error;
        QVERIFY(!JpegExport::write(inFile, QByteArray("jpeg"), &error));
        QVERIFY(error.startsWith(QStringLiteral("Impossible d'enregistrer l'image")));
        QVERIFY(error.contains(QStringLiteral("export.jpg")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dossier.jpg")));
        error.clear();
        QVERIFY(!JpegExport::write(dir.filePath(QStringLiteral("dossier.jpg")), QByteArray("jpeg"), &error));
        QVERIFY(error.contains(QStringLiteral("dossier.jpg")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("dossier.jpg"), QStringLiteral("fichier")}));
        QVERIFY(QDir(dir.filePath(QStringLiteral("dossier.jpg"))).isEmpty());
    }
};

QTEST_MAIN(TestJpegExport)
#include "test_jpegexport.moc"

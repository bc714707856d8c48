// A supplier's logo copied into the suppliers folder: JPEG pictures as they
// are, PNG pictures made JPEG, names that clash, and what is refused.

#include "render/jpegcodec.h"
#include "tools/suppliercard.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray solidJpeg(QColor colour, QSize size = QSize(80, 40))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    JpegCodec::encode(image, 95, false, &bytes);
    return bytes;
}

QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestLogoImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void jpegIsCopiedAsItIs();
    void pngBecomesJpegOnWhite();
    void refusedPicturesWriteNothing();
    void storedPathIsRelativeInTheSuppliersFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    QString file(const QString &name) const { return m_dir->filePath(name); }
};

void TestLogoImport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_folder = SupplierCard::folder(m_dir->path());
}

void TestLogoImport::jpegIsCopiedAsItIs()
{
    const QByteArray red = solidJpeg(Qt::red);
    write(file(QStringLiteral("logos/acme.jpg")), red);
    QString copied;
    QString error;
    // The suppliers folder does not exist yet: it is made.
    QVERIFY2(SupplierCard::importLogo(file(QStringLiteral("logos/acme.jpg")), m_folder, &copied, &error),
             qPrintable(error));
    QCOMPARE(copied, m_folder + QStringLiteral("acme.jpg"));
    QCOMPARE(read(copied), red);

    // The same picture again: the copy is used again, not doubled.
    QVERIFY(SupplierCard::importLogo(file(QStringLiteral("logos/acme.jpg")), m_folder, &copied));
    QCOMPARE(copied, m_folder + QStringLiteral("acme.jpg"));
    // Another picture of the same name keeps the first one whole.
    const QByteArray blue = solidJpeg(Qt::blue);
    write(file(QStringLiteral("autres/acme.jpg")), blue);
    QVERIFY(SupplierCard::importLogo(file(QStringLiteral("autres/acme.jpg")), m_folder, &copied));
    QCOMPARE(copied, m_folder + QStringLiteral("acme (2).jpg"));
    QCOMPARE(read(copied), blue);
    QCOMPARE(read(m_folder + QStringLiteral("acme.jpg")), red);
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // A picture already in the folder is used where it is.
    QVERIFY(SupplierCard::importLogo(m_folder + QStringLiteral("acme (2).jpg"), m_folder, &copied));
    QCOMPARE(copied, m_folder + QStringLiteral("acme (2).jpg"));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // ".jpeg" is kept; a name the program's files cannot hold is made fit.
    write(file(QStringLiteral("logos/Société α.JPEG")), red);
    QVERIFY(SupplierCard::importLogo(file(QStringLiteral("logos/Société α.JPEG")), m_folder, &copied));
    QCOMPARE(QFileInfo(copied).fileName(), QStringLiteral("Société _.jpeg"));
}

void TestLogoImport::pngBecomesJpegOnWhite()
{
    // A green square on a transparent band.
    QImage picture(100, 50, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 0; y < 50; ++y)
        for (int x = 50; x < 100; ++x)
            picture.setPixel(x, y, qRgba(0, 160, 0, 255));
    write(file(QStringLiteral("logos/vert.png")), png(picture));
    QString copied;
    QString error;
    QVERIFY2(SupplierCard::importLogo(file(QStringLiteral("logos/vert.png")), m_folder, &copied, &error),
             qPrintable(error));
    QCOMPARE(copied, m_folder + QStringLiteral("vert.jpg"));
    const QByteArray bytes = read(copied);
    QVERIFY(bytes.startsWith("\xFF\xD8"));
    QImage back;
    QVERIFY(JpegCodec::decode(bytes, &back, &error));
    QCOMPARE(back.size(), QSize(100, 50));
    const QColor left = back.pixelColor(10, 25);
    const QColor right = back.pixelColor(80, 25);
    QVERIFY2(left.red() > 240 && left.green() > 240 && left.blue() > 240, "transparent parts are white");
    QVERIFY(right.green() > 130 && right.red() < 40 && right.blue() < 40);
    // Chosen again: the same copy.
    QVERIFY(SupplierCard::importLogo(file(QStringLiteral("logos/vert.png")), m_folder, &copied));
    QCOMPARE(copied, m_folder + QStringLiteral("vert.jpg"));

    // A very large picture is made smaller.
    QImage wide(5000, 100, QImage::Format_RGB32);
    wide.fill(Qt::gray);
    write(file(QStringLiteral("logos/large.png")), png(wide));
    QVERIFY(SupplierCard::importLogo(file(QStringLiteral("logos/large.png")), m_folder, &copied));
    QVERIFY(JpegCodec::decode(read(copied), &back));
    QCOMPARE(back.width(), SupplierCard::kImportedSideMax);
}

void TestLogoImport::refusedPicturesWriteNothing()
{
    QString copied = QStringLiteral("inchangé");
    QString error;
    write(file(QStringLiteral("logos/anim.gif")), "GIF89a\x01\x00\x01\x00");
    QVERIFY(!SupplierCard::importLogo(file(QStringLiteral("logos/anim.gif")), m_folder, &copied, &error));
    QVERIFY(error.contains(QStringLiteral("ni une image JPEG ni une image PNG")));

    // A PNG picture that claims to be huge is refused from its header.
    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::red);
    QByteArray bytes = png(small);
    // IHDR width and height (bytes 16..23): 60000 × 60000.
    const char huge[8] = {0, 0, char(0xEA), 0x60, 0, 0, char(0xEA), 0x60};
    bytes.replace(16, 8, QByteArray(huge, 8));
    write(file(QStringLiteral("logos/geant.png")), bytes);
    QVERIFY(!SupplierCard::importLogo(file(QStringLiteral("logos/geant.png")), m_folder, &copied, &error));
    QVERIFY2(!error.isEmpty(), "a reason is given");

    // A damaged JPEG picture and a cut PNG one.
    write(file(QStringLiteral("logos/casse.jpg")), solidJpeg(Qt::red).left(200));
    QVERIFY(!SupplierCard::importLogo(file(QStringLiteral("logos/casse.jpg")), m_folder, &copied, &error));
    write(file(QStringLiteral("logos/coupe.png")), png(small).left(40));
    QVERIFY(!SupplierCard::importLogo(file(QStringLiteral("logos/coupe.png")), m_folder, &copied, &error));

    // Missing, a folder, too big.
    QVERIFY(!SupplierCard::importLogo(file(QStringLiteral("logos/absent.jpg")), m_folder, &copied, &error));
    QVERIFY(!SupplierCard::importLogo(file(QStringLiteral("logos")), m_folder, &copied, &error));
    write(file(QStringLiteral("logos/gros.jpg")), solidJpeg(Qt::red) + QByteArray(SupplierCard::kLogoSizeMax, 'x'));
    QVERIFY(!SupplierCard::importLogo(file(QStringLiteral("logos/gros.jpg")), m_folder, &copied, &error));
    QVERIFY(error.contains(QStringLiteral("trop volumineux")));

    QCOMPARE(copied, QStringLiteral("inchangé"));
    QVERIFY(QDir(m_folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestLogoImport::storedPathIsRelativeInTheSuppliersFolder()
{
    const QString start = m_dir->path();
    QCOMPARE(SupplierCard::storedLogoPath(m_folder + QStringLiteral("acme.jpg"), start),
             QStringLiteral("Kalvane\\fournisseurs\\acme.jpg"));
    // Read back from the start directory, it is the same file.
    QCOMPARE(SupplierCard::resolveLogoPath(QStringLiteral("Kalvane\\fournisseurs\\acme.jpg"), start),
             m_folder + QStringLiteral("acme.jpg"));
    QCOMPARE(SupplierCard::storedLogoPath(file(QStringLiteral("logos/acme.jpg")), start),
             file(QStringLiteral("logos/acme.jpg")));
    QCOMPARE(SupplierCard::storedLogoPath(m_folder + QStringLiteral("sous/acme.jpg"), start),
             m_folder + QStringLiteral("sous/acme.jpg"));
    QCOMPARE(SupplierCard::storedLogoPath(QString(), start), QString());
}

QTEST_GUILESS_MAIN(TestLogoImport)
#include "test_logoimport.moc"

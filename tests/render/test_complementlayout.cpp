// The complements on the drawn label: the UFI and nominal quantity under the
// identity line, the components under them, the supplementary information
// after the EUH statements, what does not fit named by the cut warning, and
// the safety data sheet's QR code in the bottom right corner, decodable from
// the JPEG export and from a direct page drawing.

#include "editor/catalogue.h"
#include "render/jpegexport.h"
#include "render/labelrenderer.h"
#include "render/qrcode.h"
#include "shell/labeldigest.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kData = QStringLiteral(KALVANE_DATA_DIR);
const QString kAddress = QStringLiteral("https://fds.example.org/diluant-d12.pdf");

LabelDocument acetone()
{
    LabelDocument doc;
    doc.hazards = Catalogue::toStatements(TextFile::readLines(kData + QStringLiteral("/H.txt")));
    doc.precautions = Catalogue::toStatements(TextFile::readLines(kData + QStringLiteral("/P.txt")));
    doc.supplementary = Catalogue::toStatements(TextFile::readLines(kData + QStringLiteral("/EUH.txt")));
    if (!LabelFile::read(kData + QStringLiteral("/Kalvane/Acetone.kvln"), &doc, nullptr, kData + QStringLiteral("/Kalvane")).ok())
        qFatal("Acetone.kvln unreadable");
    return doc;
}

FrameMirrors mirrorsOf(const LabelDocument &doc)
{
    FrameMirrors m;
    m.fontFace = doc.fontFace;
    m.productSize = LabelFile::parseSize(doc.productSize).value_or(20);
    m.statementSize = LabelFile::parseSize(doc.statementSize).value_or(8);
    m.logoPath = doc.logoPath;
    return m;
}

LabelContent contentOf(const LabelDocument &doc)
{
    return LabelContent::fromDocument(doc, mirrorsOf(doc), false, kData);
}

LabelDocument withComplements()
{
    LabelDocument doc = acetone();
    doc.ufi = QStringLiteral("GMTT-2SQN-6FDD-6TV1");
    doc.quantity = QStringLiteral("1 L");
    doc.contains = {QStringLiteral("acétone; acétate d'éthyle")};
    doc.infos = {QStringLiteral("Réservé aux utilisateurs professionnels.")};
    doc.sdsAddress = kAddress;
    return doc;
}

bool inked(const QImage &image, const QRect &box)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

// What zbarimg reads in a picture file (its raw text), or a reason.
QString decoded(const QString &path)
{
    const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbarimg.isEmpty())
        return QStringLiteral("<zbarimg (zbar-tools) is not installed>");
    QProcess p;
    p.start(zbarimg, {QStringLiteral("--raw"), QStringLiteral("-q"), path});
    if (!p.waitForFinished(60000))
        return QStringLiteral("<zbarimg did not finish>");
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

class TestComplementLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Unknown block lines draw nothing; a label without complements keeps
    // every box where it was.
    void labelWithoutComplementsUnchanged()
    {
        LabelDocument doc = acetone();
        LayoutResult plain;
        const QImage before = LabelRenderer::labelPicture(contentOf(doc), &plain);
        doc.otherComplements = {QStringLiteral("futur=1")};
        const LabelContent c = contentOf(doc);
        QVERIFY(c.complement.isEmpty() && c.contains.isEmpty() && c.sdsAddress.isEmpty());
        LayoutResult same;
        QCOMPARE(LabelRenderer::labelPicture(c, &same), before);
        QVERIFY(plain.complement.isNull() && plain.contains.isNull() && plain.qrCode.isNull());
    }

    void complementsNearTheProductIdentifier()
    {
        LayoutResult plain;
        LabelRenderer::labelPicture(contentOf(acetone()), &plain);
        const LabelContent c = contentOf(withComplements());
        QCOMPARE(c.complement, QStringLiteral("UFI : GMTT-2SQN-6FDD-6TV1    1 L"));
        QCOMPARE(c.contains, QStringLiteral("Contient : acétone; acétate d'éthyle"));
        LayoutResult r;
        const QImage image = LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.complement.top(), r.identity.bottom() + 1);
        QCOMPARE(r.contains.top(), r.complement.bottom() + 1);
        QCOMPARE(r.comment.top(), plain.comment.top() + r.complement.height() + r.contains.height());
        QVERIFY(inked(image, r.complement));
        QVERIFY(inked(image, r.contains));
        QVERIFY(r.cutStatement.isEmpty());
        QVERIFY(r.problems.isEmpty());
    }

    // The supplementary information follows the EUH statements after an
    // empty line; when the statements run out of room it is named by the cut
    // warning like a statement.
    void informationAfterTheStatements()
    {
        LabelDocument doc = withComplements();
        const LabelContent c = contentOf(doc);
        QVERIFY(c.statements.endsWith(QStringLiteral("\n\nRéservé aux utilisateurs professionnels.")));
        QVERIFY(c.statements.startsWith(LabelContent::statementBlock(doc.hazards, doc.precautions, doc.supplementary,
                                                                     false).trimmed()));
        for (int i = 1; i <= 40; ++i)
            doc.infos << QStringLiteral("Information supplémentaire numéro %1.").arg(i);
        LayoutResult r;
        LabelRenderer::labelPicture(contentOf(doc), &r);
        QVERIFY2(r.cutStatement.startsWith(QStringLiteral("Information supplémentaire numéro")),
                 qPrintable(r.cutStatement));
        // Numbering only keeps the information in full words.
        const LabelContent numbered = LabelContent::fromDocument(doc, mirrorsOf(doc), true, kData);
        QVERIFY(numbered.statements.contains(QStringLiteral("\n\nRéservé aux utilisateurs professionnels.\n")));
    }

    void componentsThatDoNotFitAreNamed()
    {
        LabelDocument doc = withComplements();
        for (int i = 1; i <= 60; ++i)
            doc.contains << QStringLiteral("composant numéro %1 au nom assez long pour remplir une ligne").arg(i);
        LayoutResult r;
        LabelRenderer::labelPicture(contentOf(doc), &r);
        QVERIFY2(r.cutStatement.startsWith(QStringLiteral("Contient : acétone")), qPrintable(r.cutStatement));
        QVERIFY(LabelRenderer::cutWarning(r.cutStatement).contains(QStringLiteral("Contient : ")));
    }

    // The QR code sits in the bottom right corner with its caption above it,
    // the statements flow around it (nothing is drawn over the code), and the
    // JPEG export decodes to the address.
    void qrCodeInTheJpegExport()
    {
        LabelDocument doc = withComplements();
        for (int i = 1; i <= 14; ++i)
            doc.infos << QStringLiteral("Ligne d'information %1 qui occupe toute la largeur de la colonne de texte.").arg(i);
        LayoutResult r;
        const QImage image = LabelRenderer::exportImage(contentOf(doc), &r);
        if (qEnvironmentVariableIsSet("KALVANE_KEEP_PICTURE"))
            image.save(qEnvironmentVariable("KALVANE_KEEP_PICTURE"));
        QCOMPARE(r.qrCode.right(), 2120);
        QCOMPARE(r.qrCode.bottom(), 1499);
        QCOMPARE(r.qrCode.width(), int(2121 * LabelRenderer::kQrUnits / 636.0));
        QCOMPARE(r.qrModules, QrCode::encode(kAddress).size);
        QVERIFY(r.qrModulePixels * (r.qrModules + 2 * LabelRenderer::kQrQuietModules) <= r.qrCode.width());
        QVERIFY(r.qrModulePixels >= 8);
        QCOMPARE(r.qrCaption.bottom(), r.qrCode.top() - 1);
        QVERIFY(inked(image, r.qrCaption));
        // The statements reach the code's height but stay left of it: its
        // quiet zone is white.
        QVERIFY(r.cutStatement.isEmpty() || r.statements.bottom() > r.qrCode.top());
        const int quiet = r.qrModulePixels * LabelRenderer::kQrQuietModules;
        QVERIFY(!inked(image, QRect(r.qrCode.left(), r.qrCode.top(), quiet - 1, r.qrCode.height())));
        QVERIFY(inked(image, QRect(r.columnLeft, r.qrCode.top(), r.qrCode.left() - r.columnLeft, r.qrCode.height())));

        QByteArray jpeg;
        QString error;
        QVERIFY2(JpegExport::encodeLabel(contentOf(doc), {}, &jpeg, nullptr, &error), qPrintable(error));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("export.jpg"));
        QVERIFY(JpegExport::write(path, jpeg, &error));
        QCOMPARE(decoded(path), kAddress);
    }

    // Drawn straight onto a page (a 105 mm wide label at 300 dpi), the code
    // decodes too.
    void qrCodeOnAPage()
    {
        const LabelDocument doc = withComplements();
        const int dpi = 300;
        const int width = qRound(105 / 25.4 * dpi);
        QImage page(width + 40, qRound(width * 900.0 / 1272) + 40, QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setDotsPerMeterX(qRound(dpi / 0.0254));
        page.setDotsPerMeterY(qRound(dpi / 0.0254));
        QPainter p(&page);
        const double a = width / 636.0;
        const double k = RenderVariant::pageFontFactor(width, page.height() - 40, true, 1.0, dpi);
        const RenderVariant v = RenderVariant::page(20, 20, width, a, k, page.height() - 20, dpi);
        const LayoutResult r = LabelRenderer::draw(p, contentOf(doc), v);
        p.end();
        QCOMPARE(r.qrCode.right(), 20 + width - 1);
        QVERIFY(r.problems.isEmpty());
        QVERIFY(r.qrCode.bottom() <= page.height() - 20);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.png"));
        QVERIFY(page.save(path));
        QCOMPARE(decoded(path), kAddress);
    }

    // Stored labels are drawn from their digest with the same complements.
    void storedLabelCarriesTheComplements()
    {
        const LabelDocument doc = withComplements();
        LabelDigest digest;
        QVERIFY(digest.read(LabelFile::serialize(doc, mirrorsOf(doc)), false).ok());
        const LabelContent stored = LabelContent::fromDigest(digest, mirrorsOf(doc), false, kData, kData);
        const LabelContent live = contentOf(doc);
        QCOMPARE(stored.complement, live.complement);
        QCOMPARE(stored.contains, live.contains);
        QCOMPARE(stored.sdsAddress, live.sdsAddress);
        QVERIFY(stored.statements.endsWith(QStringLiteral("\n\nRéservé aux utilisateurs professionnels.")));
        LayoutResult r;
        LabelRenderer::labelPicture(stored, &r);
        QVERIFY(!r.qrCode.isNull() && !r.complement.isNull() && !r.contains.isNull());
    }

    void qrCodeOfAnAddressTooLong()
    {
        QString error;
        QVERIFY(QrCode::encode(QString(8000, u'x'), &error).isNull());
        QVERIFY(error.contains(QStringLiteral("trop longue")));
        LabelDocument doc = acetone();
        doc.sdsAddress = QString(8000, u'x');
        LayoutResult r;
        LabelRenderer::labelPicture(contentOf(doc), &r);
        QVERIFY(r.qrCode.isNull());
        QCOMPARE(r.problems.size(), 1);
        QVERIFY(r.problems.first().contains(QStringLiteral("code QR")));
    }
};

QTEST_MAIN(TestComplementLayout)
#include "test_complementlayout.moc"

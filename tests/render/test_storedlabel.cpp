// Labels of the print selection drawn from their files: the same layout as
// the active label, the logo found beside the working directory, a missing
// file giving a white cell and its warning.

#include "render/storedlabel.h"
#include "renderfixtures.h"
#include "testhelpers.h"
#include "shell/textfile.h"

#include <QDir>
#include <QTemporaryDir>

using namespace RenderFixtures;

namespace {

QStringList labelLines(const QStringList &pictograms, const QString &colour)
{
    QStringList lines = {QStringLiteral("***fab***"),
                         QStringLiteral("Chimie SA"),
                         QStringLiteral("\\fournisseurs\\logo.jpg"),
                         QStringLiteral("***sub***"),
                         QStringLiteral("ACIDE"),
                         QStringLiteral("***nref***"),
                         QStringLiteral("231-595-7"),
                         LabelDocument::kEmptyCAS,
                         LabelDocument::kEmptyINDEX,
                         QStringLiteral("***commentaires***"),
                         QStringLiteral("***avertissement***"),
                         QStringLiteral("DANGER"),
                         QStringLiteral("***pic***")};
    lines << pictograms;
    lines << QStringList{QStringLiteral("***dangers***"), QStringLiteral("4"),
                         QStringLiteral("H290: Peut être corrosif pour les métaux."), QStringLiteral("***prudence***"),
                         QStringLiteral("***infos***"), QStringLiteral("***fonte***"), QStringLiteral("Arial"),
                         QStringLiteral("20"), QStringLiteral("8"), QStringLiteral("***marges_echelle***"),
                         QStringLiteral("100"), QStringLiteral("0"), QStringLiteral("0"), colour,
                         QStringLiteral("17"), QStringLiteral("_eof")};
    return lines;
}

} // namespace

class TestStoredLabel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_start;  // pictograms
    QTemporaryDir m_labels; // label files and their supplier folder
    QString m_previous;

private Q_SLOTS:
    void initTestCase()
    {
        m_previous = QDir::currentPath();
        QVERIFY(TestFiles::write(m_start.filePath(QStringLiteral("SGH05.jpg")), solidJpeg(QSize(90, 90), QColor(0, 0, 255))));
        QVERIFY(TestFiles::write(m_start.filePath(QStringLiteral("SGH07.jpg")), solidJpeg(QSize(90, 90), QColor(255, 0, 255))));
        QVERIFY(QDir(m_labels.path()).mkdir(QStringLiteral("fournisseurs")));
        QVERIFY(TestFiles::write(m_labels.filePath(QStringLiteral("fournisseurs/logo.jpg")),
                                 solidJpeg(QSize(50, 50), QColor(0, 160, 0))));
        QVERIFY(TextFile::writeLines(m_labels.filePath(QStringLiteral("acide.kvln")),
                                     labelLines({QStringLiteral("GHS05"), QStringLiteral("SGH07")},
                                                QStringLiteral("clNavy"))));
    }

    void cleanupTestCase()
    {
        QDir::setCurrent(m_previous);
    }

    void drawnLikeTheActiveLabel()
    {
        QDir::setCurrent(m_labels.path());
        LayoutResult r;
        const QImage image = StoredLabel::imp_etBM_pl(m_labels.filePath(QStringLiteral("acide.kvln")), false,
                                                  FrameMirrors(), m_start.path(), &r);
        QVERIFY2(r.problems.isEmpty(), qPrintable(r.problems.join(u'\n')));
        QCOMPARE(image.size(), QSize(1272, 900));
        QCOMPARE(r.pictogramCount, 2);
        QVERIFY(near(image.pixel(150, 150), QColor(0, 0, 255)));   // GHS05 read as SGH05
        QVERIFY(near(image.pixel(150, 450), QColor(255, 0, 255)));
        QCOMPARE(r.columnLeft, 320);
        // The logo beside the label, the supplier block one pixel
        // shorter than the active label's.
        QCOMPARE(r.logo, QRect(1272 - 60, 0, 60, 60));
        QVERIFY(near(image.pixel(1240, 30), QColor(0, 160, 0)));
        QVERIFY(r.productBand);
        QCOMPARE(image.pixel(r.product.right(), r.product.top()), qRgb(0, 0, 128));
        QCOMPARE(r.productPoints, 40);
    }

    void logoIsLookedForBesideTheLabel()
    {
        // Whatever the working directory: a sheet gathers labels of several
        // folders, each with its own "fournisseurs".
        QDir::setCurrent(m_start.path());
        LayoutResult r;
        StoredLabel::imp_etBM_pl(m_labels.filePath(QStringLiteral("acide.kvln")), false, FrameMirrors(),
                             m_start.path(), &r);
        QCOMPARE(r.logo, QRect(1272 - 60, 0, 60, 60));
        QVERIFY(r.problems.isEmpty());
    }

    void numberingOnlyFromTheFile()
    {
        LayoutResult r;
        StoredLabel::imp_etBM_pl(m_labels.filePath(QStringLiteral("acide.kvln")), true, FrameMirrors(),
                             m_start.path(), &r);
        QCOMPARE(r.signalPoints, 48);
        QCOMPARE(r.statementPoints, 40);
    }

    void missingFile()
    {
        const QString gone = m_labels.filePath(QStringLiteral("disparu.kvln"));
        LayoutResult r;
        const QImage image = StoredLabel::imp_etBM_pl(gone, false, FrameMirrors(), m_start.path(), &r);
        QCOMPARE(image.size(), QSize(1272, 900));
        QCOMPARE(image.pixel(150, 150), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(600, 450), qRgb(255, 255, 255));
        QCOMPARE(r.problems, QStringList{QStringLiteral("Le fichier ''%1'' est introuvable").arg(gone)});

        QImage page(2000, 1500, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        r = StoredLabel::imp_etPR_pl(p, gone, false, FrameMirrors(), m_start.path(),
                                    RenderVariant::page(10, 10, 1272, 2.0, 2.0, 1500, 96));
        p.end();
        QCOMPARE(r.problems.size(), 1);
        QCOMPARE(page.pixel(160, 160), qRgb(255, 255, 255));
    }

    void truncatedFileIsDrawnAsFarAsRead()
    {
        QStringList lines = labelLines({QStringLiteral("SGH05")}, QStringLiteral("clNavy"));
        lines = lines.mid(0, lines.indexOf(QStringLiteral("***dangers***")) + 1);
        const QString path = m_labels.filePath(QStringLiteral("coupe.kvln"));
        QVERIFY(TextFile::writeLines(path, lines));
        LayoutResult r;
        const QImage image = StoredLabel::imp_etBM_pl(path, false, FrameMirrors(), m_start.path(), &r);
        QCOMPARE(r.problems.size(), 1);
        QVERIFY2(r.problems.first().startsWith(QStringLiteral("Le fichier d'étiquette « %1 » est endommagé ou "
                                                              "incomplet : le fichier s'arrête après sa ligne %2, "
                                                              "dans la partie « mentions de danger ».")
                                                   .arg(path)
                                                   .arg(lines.size())),
                 qPrintable(r.problems.first()));
        QCOMPARE(r.pictogramCount, 1);
        QVERIFY(near(image.pixel(150, 150), QColor(0, 0, 255)));
    }

    void aFileTooLargeForALabelIsAWhiteCellNamed()
    {
        // Read with the label files' limit, not the generic one: a file of a
        // few megabytes in a sheet is refused before it is read or laid out.
        const QString path = m_labels.filePath(QStringLiteral("journal.kvln"));
        QByteArray big;
        QVERIFY(TextFile::encode(labelLines({QStringLiteral("SGH05")}, QStringLiteral("clNavy")).join(QStringLiteral("\r\n")),
                                 &big));
        big += QByteArray(3 << 20, 'x');
        TestFiles::write(path, big);
        LayoutResult r;
        const QImage image = StoredLabel::imp_etBM_pl(path, false, FrameMirrors(), m_start.path(), &r);
        QCOMPARE(r.problems.size(), 1);
        QVERIFY2(r.problems.first().startsWith(QStringLiteral("Le fichier « %1 » est trop volumineux pour un fichier "
                                                              "d'étiquette").arg(path)),
                 qPrintable(r.problems.first()));
        QCOMPARE(r.pictogramCount, 0);
        QCOMPARE(image.pixel(150, 150), qRgb(255, 255, 255));
    }

    void aLongParagraphIsLaidOutOnlyAsFarAsItShows()
    {
        // One statement of 300 000 characters without a blank: broken into
        // lines down to the bottom edge, then named as cut; the lines above
        // it and the statement after it are laid out as usual.
        QStringList lines = labelLines({QStringLiteral("SGH05")}, QStringLiteral("clNavy"));
        const qsizetype at = lines.indexOf(QStringLiteral("***prudence***"));
        const QString longText = QStringLiteral("H314: ") + QString(300000, u'm');
        lines.insert(at, QStringLiteral("5"));
        lines.insert(at + 1, longText);
        const QString path = m_labels.filePath(QStringLiteral("long.kvln"));
        QVERIFY(TextFile::writeLines(path, lines));
        LayoutResult r;
        StoredLabel::imp_etBM_pl(path, false, FrameMirrors(), m_start.path(), &r);
        QVERIFY2(r.problems.isEmpty(), qPrintable(r.problems.join(u'\n')));
        QCOMPARE(r.cutStatement, longText);
        // The same statement short enough to fit is not cut.
        lines[at + 1] = QStringLiteral("H314: ") + QString(100, u'm');
        QVERIFY(TextFile::writeLines(path, lines));
        StoredLabel::imp_etBM_pl(path, false, FrameMirrors(), m_start.path(), &r);
        QVERIFY(r.cutStatement.isEmpty());
    }
};

QTEST_MAIN(TestStoredLabel)
#include "test_storedlabel.moc"

// Printing on label stock, rendered to PDF and rasterised: ink only inside
// the die-cut labels that were asked for, the start position, further
// sheets, the printer's offsets, and a start position off the sheet.

#include "render/labelsize.h"
#include "render/labelstock.h"
#include "render/sheetprint.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kData = QStringLiteral(KALVANE_DATA_DIR);
constexpr int kDpi = 50; // rasterising resolution

QRect pixels(const QRectF &mm)
{
    return QRect(QPoint(int(std::floor(mm.left() * kDpi / 25.4)), int(std::floor(mm.top() * kDpi / 25.4))),
                 QPoint(int(std::ceil(mm.right() * kDpi / 25.4)), int(std::ceil(mm.bottom() * kDpi / 25.4))));
}

} // namespace

class TestStockPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_label;
    int m_run = 0;

    const LabelStock::Template &stock(const char *name)
    {
        const LabelStock::Template *t = LabelStock::installed().find(QString::fromLatin1(name));
        if (!t)
            qFatal("stock %s not installed (glabels-data)", name);
        return *t;
    }

    SheetPrint::Job job(const LabelStock::Template &t, int labels, int start) const
    {
        SheetPrint::Job j;
        j.settings.activeLabel = false;
        j.settings.separatorLines = true; // never drawn on stock
        for (int i = 0; i < labels; ++i)
            j.settings.selection << m_label;
        j.settings.stock = t;
        j.settings.stockStart = start;
        j.pictogramFolder = kData;
        return j;
    }

    // Prints to a PDF at 600 dpi and returns its pages at kDpi.
    QList<QImage> printed(const SheetPrint::Job &j, SheetPrint::Result *result)
    {
        const QString base = m_dir.filePath(QStringLiteral("run%1").arg(++m_run));
        {
            QPdfWriter writer(base + QStringLiteral(".pdf"));
            writer.setResolution(600);
            *result = SheetPrint::print(&writer, j);
        }
        QList<QImage> pages;
        if (!result->printed)
            return pages;
        QString why;
        for (const QImage &page : TestPrinting::pages(base + QStringLiteral(".pdf"), kDpi, &why))
            pages << page.convertToFormat(QImage::Format_RGB32);
        return pages;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QFAIL("pdftoppm (poppler-utils) is needed to look at the printed pages");
        m_label = m_dir.filePath(QStringLiteral("Acetone.kvln"));
        QVERIFY(QFile::copy(kData + QStringLiteral("/Kalvane/Acetone.kvln"), m_label));
    }

    void tenLabelsOnEightPerSheet()
    {
        const LabelStock::Template &t = stock("Avery L7165");
        SheetPrint::Result result;
        const QList<QImage> pages = printed(job(t, 10, 1), &result);
        QVERIFY2(result.printed, qPrintable(result.error));
        QCOMPARE(result.pages, 2);
        QCOMPARE(pages.size(), 2);
        // A4 at 50 dpi.
        QCOMPARE(pages.at(0).size(), QSize(414, 585));
        const QList<QRectF> cuts = t.dieCuts();
        QList<QRect> allowed;
        for (const QRectF &c : cuts)
            allowed << pixels(c);
        for (int p = 0; p < 2; ++p) {
            QCOMPARE(TestPictures::inkOutside(pages.at(p), allowed), 0);
            for (int k = 0; k < 8; ++k) {
                const bool used = p == 0 || k < 2;
                const int ink = TestPictures::ink(pages.at(p), pixels(cuts.at(k)));
                QVERIFY2(used ? ink > 300 : ink == 0, qPrintable(QStringLiteral("page %1 label %2: %3").arg(p).arg(k).arg(ink)));
            }
        }
        QVERIFY2(result.cut.isEmpty() && result.missing.isEmpty(), qPrintable(SheetPrint::messages(result).join(u'\n')));
    }

    void startPositionAndFourPerSheet()
    {
        // Three labels from position 3 on a 4-per-sheet stock: 3, 4, then
        // the first of a second sheet.
        const LabelStock::Template &t = stock("Avery L7169");
        SheetPrint::Result result;
        const QList<QImage> pages = printed(job(t, 3, 3), &result);
        QVERIFY2(result.printed, qPrintable(result.error));
        QCOMPARE(pages.size(), 2);
        const QList<QRectF> cuts = t.dieCuts();
        const int expected[2][4] = {{0, 0, 1, 1}, {1, 0, 0, 0}};
        for (int p = 0; p < 2; ++p)
            for (int k = 0; k < 4; ++k) {
                const int ink = TestPictures::ink(pages.at(p), pixels(cuts.at(k)));
                QVERIFY2(expected[p][k] ? ink > 300 : ink == 0,
                         qPrintable(QStringLiteral("page %1 label %2: %3").arg(p).arg(k).arg(ink)));
            }
    }

    void offsetsMoveTheInk()
    {
        const LabelStock::Template &t = stock("Avery L7165");
        SheetPrint::Result plain;
        const QList<QImage> before = printed(job(t, 1, 1), &plain);
        SheetPrint::Job shifted = job(t, 1, 1);
        shifted.settings.offsetX = 5;
        shifted.settings.offsetY = 2.5;
        SheetPrint::Result moved;
        const QList<QImage> after = printed(shifted, &moved);
        QCOMPARE(before.size(), 1);
        QCOMPARE(after.size(), 1);
        // 5 mm at 50 dpi is about 10 pixels.
        const int dx = TestPictures::inkBox(after.first()).left() - TestPictures::inkBox(before.first()).left();
        QVERIFY2(dx >= 9 && dx <= 11, qPrintable(QString::number(dx)));
        QList<QRect> allowed{pixels(t.dieCuts().first().translated(5, 2.5))};
        QCOMPARE(TestPictures::inkOutside(after.first(), allowed), 0);
    }

    void sizeOfOneLabel()
    {
        // A4 at 600 dpi without unprintable edges: 8 per page gives cells of
        // 2480 × 1753 pixels.
        SheetSettings grid;
        grid.labelsPerPage = 8;
        SheetPrint::Surface a4;
        a4.width = 4960;
        a4.height = 7016;
        QCOMPARE(LabelSize::caption(grid, a4), QStringLiteral("Taille d'une étiquette : 105,0 × 74,2 mm (grille de 8 par page)"));
        // Margins and the scale make it smaller.
        grid.scale = 50;
        QCOMPARE(LabelSize::text(LabelSize::onGrid(grid, a4)), QStringLiteral("52,5 × 37,1 mm"));
        SheetSettings onStock;
        onStock.stock = stock("Avery L7165");
        QVERIFY2(LabelSize::caption(onStock, {})
                     .startsWith(QStringLiteral("Taille d'une étiquette : 99,1 × 67,7 mm (Avery L7165, zone imprimée ")),
                 qPrintable(LabelSize::caption(onStock, {})));
    }

    void startOffTheSheetPrintsNothing()
    {
        SheetPrint::Result result;
        QVERIFY(printed(job(stock("Avery L7165"), 2, 9), &result).isEmpty());
        QVERIFY(!result.printed);
        QVERIFY(result.error.contains(QStringLiteral("de 1 à 8")));
    }

    void longLabelIsCutAtItsDieCutAndSaidSo()
    {
        // The sample with 25 more precautionary statements: too long for a
        // 99.1 x 67.7 mm label. The drawing is clipped to the die-cut, so the
        // statements past it are lost: the check before printing says "cut"
        // (not "running onto the label below", as on a grid), in both
        // drawing modes, and names the statement the print then cuts.
        const QString longLabel = m_dir.filePath(QStringLiteral("Trop longue.kvln"));
        QVERIFY(TestFiles::writeLongerLabel(m_label, longLabel));

        SheetPrint::Surface a4;
        a4.width = 4960;
        a4.height = 7016;
        for (const bool pictureMode : {false, true}) {
            SheetPrint::Job j = job(stock("Avery L7165"), 0, 1);
            j.settings.selection = {longLabel, m_label};
            j.settings.pictureMode = pictureMode;
            const SheetPrint::Result check = SheetPrint::check(j, a4);
            QVERIFY(check.overflow.isEmpty());
            QCOMPARE(check.cut.size(), 1);
            QCOMPARE(check.cut.first().label, QStringLiteral("Trop longue.kvln"));
            QVERIFY(check.cut.first().statement.startsWith(QStringLiteral("P9")));
            const QString warning = SheetPrint::layoutWarning(check);
            QVERIFY2(warning.contains(SheetPrint::kLayoutCut) && !warning.contains(SheetPrint::kLayoutOverflow),
                     qPrintable(warning));

            SheetPrint::Result result;
            printed(j, &result);
            QVERIFY2(result.printed, qPrintable(result.error));
            QCOMPARE(result.cut.size(), 1);
            QCOMPARE(result.cut.first().statement, check.cut.first().statement);
            QVERIFY(result.overflow.isEmpty());
        }
    }
};

QTEST_MAIN(TestStockPrint)
#include "test_stockprint.moc"

// The grid of a printed sheet and of the sheet preview, computed without a
// printer: the five layouts, A proportions, paper less elongated than A4,
// margins in device pixels, the automatic adaptation and the factors of the
// direct page drawing.

#include "render/sheetgeometry.h"
#include "render/sheetsettings.h"

#include <QTest>

#include <algorithm>

namespace {

SheetGeometry page(int labels, int width, int height, const QString &left = QStringLiteral("0"),
                   const QString &top = QStringLiteral("0"), int scale = 100, bool adapt = true, int dpi = 600)
{
    SheetGeometry::Page p;
    p.labelsPerPage = labels;
    p.width = width;
    p.height = height;
    p.dpiX = p.dpiY = dpi;
    p.pageLandscape = SheetGeometry::isLandscape(labels);
    p.marginLeft = left;
    p.marginTop = top;
    p.scale = scale;
    p.adapt = adapt;
    return SheetGeometry::forPage(p);
}

} // namespace

class TestSheetGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutsOnAnA4ShapedPage_data()
    {
        QTest::addColumn<int>("labels");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("gridWidth");
        QTest::addColumn<int>("gridHeight");
        QTest::addColumn<int>("cellWidth");
        QTest::addColumn<int>("cellHeight");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("countFactor");
        // Portrait pages 4800 wide, landscape pages 4800 high; the other side
        // long enough for an A sheet (6800).
        QTest::newRow("2") << 2 << false << 4800 << 6788 << 4800 << 3394 << 1 << 2 << 1.0;
        QTest::newRow("4") << 4 << true << 6788 << 4800 << 3394 << 2400 << 2 << 2 << 0.5;
        QTest::newRow("8") << 8 << false << 4800 << 6788 << 2400 << 1697 << 2 << 4 << 20.0 / 41.0;
        QTest::newRow("16") << 16 << true << 6788 << 4800 << 1697 << 1200 << 4 << 4 << 0.25;
        QTest::newRow("18") << 18 << false << 4800 << 6788 << 1600 << 1131 << 3 << 6 << 10.0 / 31.0;
    }

    void layoutsOnAnA4ShapedPage()
    {
        QFETCH(int, labels);
        QFETCH(bool, landscape);
        const SheetGeometry g = landscape ? page(labels, 6800, 4800) : page(labels, 4800, 6800);
        QCOMPARE(g.landscape, landscape);
        QFETCH(int, gridWidth);
        QFETCH(int, gridHeight);
        QFETCH(int, cellWidth);
        QFETCH(int, cellHeight);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(double, countFactor);
        QCOMPARE(g.gridWidth, gridWidth);
        QCOMPARE(g.gridHeight, gridHeight);
        QCOMPARE(g.cellWidth, cellWidth);
        QCOMPARE(g.cellHeight, cellHeight);
        QCOMPARE(g.columns, columns);
        QCOMPARE(g.rows, rows);
        QCOMPARE(g.cellCount(), labels);
        QVERIFY(qFuzzyCompare(g.countFactor, countFactor));
        QVERIFY(!g.fitted);
        // Row by row from the top, left to right.
        QCOMPARE(g.cellCorner(0), QPoint(0, 0));
        QCOMPARE(g.cellCorner(1), columns > 1 ? QPoint(cellWidth, 0) : QPoint(0, cellHeight));
        QCOMPARE(g.cellCorner(labels - 1), QPoint((columns - 1) * cellWidth, (rows - 1) * cellHeight));
        // At 100 % without margins a label is exactly its cell.
        QCOMPARE(g.labelWidth(), cellWidth);
        QCOMPARE(g.labelHeight(), cellHeight);
    }

    void marginsShiftEveryCell()
    {
        // 10 mm at 600 pixels per inch: trunc(236.22).
        const SheetGeometry g = page(2, 4800, 6800, QStringLiteral("10"), QStringLiteral("5"), 100, false);
        QCOMPARE(g.marginX, 236);
        QCOMPARE(g.marginY, 118);
        QCOMPARE(g.cellCorner(0), QPoint(236, 118));
        QCOMPARE(g.cellCorner(1), QPoint(236, 118 + 3394));
        QCOMPARE(SheetGeometry::marginPixels(300, 10.0f, 10000), 118);
        // Margins are held in single precision as typed: 25.4 mm is
        // 25.3999996 mm, just under one inch.
        QCOMPARE(SheetGeometry::marginPixels(600, SheetGeometry::millimetres(QStringLiteral("25.4")), 10000), 599);
        QCOMPARE(SheetGeometry::marginPixels(600, 25.5f, 10000), 602);
    }

    void marginTextsReadTheirLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("mm");
        QTest::newRow("whole") << QStringLiteral("10") << 10.0f;
        QTest::newRow("decimal point") << QStringLiteral("2.5") << 2.5f;
        QTest::newRow("leading blanks") << QStringLiteral("  7") << 7.0f;
        QTest::newRow("unit typed after") << QStringLiteral("12mm") << 12.0f;
        QTest::newRow("decimal comma stops") << QStringLiteral("10,5") << 10.0f;
        QTest::newRow("point first") << QStringLiteral(".5") << 0.5f;
        QTest::newRow("negative") << QStringLiteral("-3") << -3.0f;
        QTest::newRow("exponent ignored") << QStringLiteral("1e999") << 1.0f;
        QTest::newRow("empty") << QString() << 0.0f;
        QTest::newRow("words") << QStringLiteral("dix") << 0.0f;
        QTest::newRow("sign alone") << QStringLiteral("-") << 0.0f;
        QTest::newRow("point alone") << QStringLiteral(".") << 0.0f;
    }

    void marginTextsReadTheirLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(float, mm);
        QCOMPARE(SheetGeometry::millimetres(text), mm);
    }

    void adaptationFollowsTheLargerMargin()
    {
        // Ox = 236 > Oy = 0 on 2 labels per page: rx = (W - 236) / W.
        const SheetGeometry g = page(2, 4800, 6800, QStringLiteral("10"), QStringLiteral("0"));
        const double rx = (4800.0 - 236) / 4800;
        QVERIFY(qFuzzyCompare(g.adaptation, rx));
        QVERIFY(qFuzzyCompare(g.pictureScale, rx));
        QVERIFY(qFuzzyCompare(g.pageFactor, rx));
        QCOMPARE(g.labelWidth(), int(4800 * rx));
        // The top margin larger: ry = (V - Oy) / V.
        const SheetGeometry top = page(2, 4800, 6800, QStringLiteral("0"), QStringLiteral("10"));
        QVERIFY(qFuzzyCompare(top.adaptation, (3394.0 - 236) / 3394));
        // Equal margins use ry.
        const SheetGeometry equal = page(2, 4800, 6800, QStringLiteral("10"), QStringLiteral("10"));
        QVERIFY(qFuzzyCompare(equal.adaptation, (3394.0 - 236) / 3394));
        // No margins: unchanged. No adaptation: the scale alone.
        QCOMPARE(page(2, 4800, 6800).adaptation, 1.0);
        const SheetGeometry off = page(2, 4800, 6800, QStringLiteral("10"), QStringLiteral("0"), 150, false);
        QCOMPARE(off.adaptation, 1.0);
        QCOMPARE(off.pictureScale, 1.5);
        QCOMPARE(off.labelWidth(), 7200);
    }

    void scaleAndFactors()
    {
        // Landscape: a = m × S / 636; portrait: a = m × U / 900.
        const SheetGeometry four = page(4, 6800, 4800, QStringLiteral("0"), QStringLiteral("0"), 80);
        QVERIFY(qFuzzyCompare(four.pageFactor, 0.8 * 0.5));
        QVERIFY(qFuzzyCompare(four.unitFactor, 0.4 * 6788 / 636.0));
        const SheetGeometry eighteen = page(18, 4800, 6800, QStringLiteral("0"), QStringLiteral("0"), 120);
        QVERIFY(qFuzzyCompare(eighteen.pageFactor, 1.2 * 10 / 31));
        QVERIFY(qFuzzyCompare(eighteen.unitFactor, 1.2 * 10 / 31 * 6788 / 900.0));
        // The orientation the printer reports decides the unit factor.
        SheetGeometry::Page p;
        p.labelsPerPage = 4;
        p.width = 6800;
        p.height = 4800;
        p.pageLandscape = false;
        QVERIFY(qFuzzyCompare(SheetGeometry::forPage(p).unitFactor, 0.5 * 4800 / 900.0));
        // The scale stays between 50 and 200 per cent.
        QCOMPARE(page(2, 4800, 6800, QStringLiteral("0"), QStringLiteral("0"), 900).pictureScale, 2.0);
        QCOMPARE(page(2, 4800, 6800, QStringLiteral("0"), QStringLiteral("0"), -4).pictureScale, 0.5);
    }

    void a4StaysAsComputedAndLetterIsFitted()
    {
        // A4 at 600 pixels per inch: the grid's long side from the short one.
        const SheetGeometry a4 = page(18, 4960, 7016);
        QCOMPARE(a4.gridWidth, 4960);
        QCOMPARE(a4.gridHeight, 7014);
        QVERIFY(!a4.fitted);
        const SheetGeometry a4Landscape = page(16, 7016, 4960);
        QCOMPARE(a4Landscape.gridWidth, 7014);
        QCOMPARE(a4Landscape.gridHeight, 4960);

        // US Letter (8.5 × 11 in) at 600: 1.4142 × 5100 = 7212 > 6600, so the
        // height decides and every cell stays on the paper, A-proportioned.
        for (int labels : {2, 4, 8, 16, 18}) {
            const bool landscape = SheetGeometry::isLandscape(labels);
            const int w = landscape ? 6600 : 5100;
            const int h = landscape ? 5100 : 6600;
            const SheetGeometry g = page(labels, w, h);
            QVERIFY2(g.fitted, qPrintable(QString::number(labels)));
            QCOMPARE(landscape ? g.gridWidth : g.gridHeight, landscape ? 6600 : 6600);
            QCOMPARE(landscape ? g.gridHeight : g.gridWidth, 4666);
            const QPoint last = g.cellCorner(labels - 1);
            QVERIFY(last.x() + g.cellWidth <= w);
            QVERIFY(last.y() + g.cellHeight <= h);
            const double longSide = std::max(g.gridWidth, g.gridHeight);
            const double shortSide = std::min(g.gridWidth, g.gridHeight);
            QVERIFY(qAbs(longSide / shortSide - SheetGeometry::kRatio) < 0.001);
        }
    }

    void absurdMarginsStayBounded()
    {
        // Margins as large as a cell leave no room instead of a mirrored or
        // enormous label; margins beyond the page are held at its size.
        const SheetGeometry huge = page(4, 6800, 4800, QStringLiteral("999999999999999"), QStringLiteral("0"));
        QCOMPARE(huge.marginX, 6800);
        QCOMPARE(huge.adaptation, 0.0);
        QVERIFY(!huge.labelsHaveRoom());
        const SheetGeometry negative = page(4, 6800, 4800, QStringLiteral("-99999999"), QStringLiteral("-1"));
        QCOMPARE(negative.marginX, -6800);
        QVERIFY(negative.labelsHaveRoom());
        QVERIFY(negative.labelWidth() < 6 * 3394); // grows with the margin, not without bound
        const SheetGeometry noAdapt = page(4, 6800, 4800, QStringLiteral("500"), QStringLiteral("500"), 100, false);
        QVERIFY(noAdapt.labelsHaveRoom());
        // An empty page gives empty cells and no room, never a division by zero.
        const SheetGeometry empty = page(18, 0, 0, QStringLiteral("10"), QStringLiteral("10"));
        QCOMPARE(empty.cellWidth, 0);
        QVERIFY(!empty.labelsHaveRoom());
    }

    void layoutFromACount()
    {
        const QList<QPair<int, int>> table = {{0, 2}, {1, 2},  {2, 2},   {3, 4},   {4, 4},   {5, 8},
                                              {8, 8}, {9, 16}, {16, 16}, {17, 18}, {18, 18}, {40, 18}};
        for (const auto &[count, layout] : table)
            QCOMPARE(SheetGeometry::layoutForCount(count), layout);
        for (int n : {2, 4, 8, 16, 18})
            QVERIFY(SheetGeometry::isLayout(n));
        for (int n : {0, 1, 3, 6, 12, 20})
            QVERIFY(!SheetGeometry::isLayout(n));
    }

    void labelsOnOnePage()
    {
        SheetSettings s;
        s.labelsPerPage = 8;
        s.activeLabel = true;
        QCOMPARE(s.labelCount(8), 8);
        s.singleLabel = true;
        QCOMPARE(s.labelCount(8), 1);
        // The single-label flag means nothing for the selection.
        s.activeLabel = false;
        s.selection = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        QCOMPARE(s.labelCount(8), 3);
        // Never more labels than the page has cells.
        for (int i = 0; i < 10; ++i)
            s.selection << QStringLiteral("x");
        QCOMPARE(s.labelCount(8), 8);
    }

    void previewTable_data()
    {
        QTest::addColumn<int>("labels");
        QTest::addColumn<QSize>("pageSize");
        QTest::addColumn<QSize>("grid");
        QTest::addColumn<QSize>("cell");
        QTest::newRow("2") << 2 << QSize(450, 636) << QSize(1, 2) << QSize(450, 318);
        QTest::newRow("4") << 4 << QSize(636, 450) << QSize(2, 2) << QSize(318, 225);
        QTest::newRow("8") << 8 << QSize(450, 636) << QSize(2, 4) << QSize(225, 159);
        QTest::newRow("16") << 16 << QSize(636, 450) << QSize(4, 4) << QSize(159, 112);
        QTest::newRow("18") << 18 << QSize(450, 636) << QSize(3, 6) << QSize(150, 106);
    }

    void previewTable()
    {
        QFETCH(int, labels);
        QFETCH(QSize, pageSize);
        QFETCH(QSize, grid);
        QFETCH(QSize, cell);
        const auto p = SheetGeometry::forPreview(labels, QStringLiteral("0"), QStringLiteral("0"), 100, true);
        QCOMPARE(QSize(p.pageWidth, p.pageHeight), pageSize);
        QCOMPARE(QSize(p.columns, p.rows), grid);
        QCOMPARE(QSize(p.cellWidth, p.cellHeight), cell);
        QCOMPARE(p.scale, 1.0);
        QCOMPARE(p.labelRect(labels - 1),
                 QRect(QPoint((grid.width() - 1) * cell.width(), (grid.height() - 1) * cell.height()), cell));
    }

    void previewMarginsAndAdaptation()
    {
        // 10 mm: 10 × 636 / 297 = 21.41 and 10 × 450 / 210 = 21.43.
        auto p = SheetGeometry::forPreview(2, QStringLiteral("10"), QStringLiteral("10"), 100, false);
        QCOMPARE(p.marginX, 21);
        QCOMPARE(p.marginY, 21);
        p = SheetGeometry::forPreview(2, QStringLiteral("marge"), QStringLiteral(""), 100, false);
        QCOMPARE(p.marginX, 0);
        QCOMPARE(p.marginY, 0);
        // 45 preview pixels on the left, none at the top: s × (450 - 45) / 450.
        p = SheetGeometry::forPreview(2, QStringLiteral("21.02"), QStringLiteral("0"), 100, true);
        QCOMPARE(p.marginX, 45);
        QVERIFY(qFuzzyCompare(p.scale, 0.9));
        QCOMPARE(p.labelRect(0), QRect(45, 0, 405, 286)); // trunc(45 + 450 × 0.9), trunc(318 × 0.9)
        QCOMPARE(p.labelRect(1).topLeft(), QPoint(45, 318));
        // The scale of the track bar, then the adaptation.
        p = SheetGeometry::forPreview(4, QStringLiteral("0"), QStringLiteral("0"), 150, true);
        QCOMPARE(p.labelRect(3), QRect(318, 225, 477, 337));
        // Margins as large as the page: no room, no negative size.
        p = SheetGeometry::forPreview(18, QStringLiteral("100000"), QStringLiteral("3"), 200, true);
        QCOMPARE(p.scale, 0.0);
        QVERIFY(p.labelRect(0).width() <= 0);
    }
};

QTEST_GUILESS_MAIN(TestSheetGeometry)
#include "test_sheetgeometry.moc"

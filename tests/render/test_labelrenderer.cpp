// The label layout: pictogram slots and their AND combination, the notice,
// the supplier block and its logo, the text column, the product band or rule,
// the comment rules, the signal word, the single-pictogram rule, the font
// sizes of each output, the direct page drawing, and damaged pictures.

#include "render/labelrenderer.h"
#include "render/picturecache.h"
#include "renderfixtures.h"

#include <QFontInfo>
#include <QTemporaryDir>

using namespace RenderFixtures;

namespace {

// Flat colours for the nine stand-in pictograms; 1 and 3 overlap in the
// zig-zag, their AND is green.
const QColor kColours[9] = {QColor(255, 255, 0), QColor(255, 128, 0), QColor(0, 255, 255),
                            QColor(128, 0, 255), QColor(255, 0, 255), QColor(0, 128, 0),
                            QColor(0, 0, 255),   QColor(128, 64, 0),  QColor(64, 64, 64)};

QStringList codes(int n)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << LabelDocument::pictogramCode(i);
    return list;
}

bool allWhite(const QImage &image, const QRect &box)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

int pixelHeight(const LabelContent &c, const RenderVariant &v, int points, bool bold)
{
    QFont font(c.fontFace);
    font.setPixelSize(v.pixelSize(points));
    font.setBold(bold);
    QImage device(1, 1, QImage::Format_RGB32);
    return QFontMetrics(font, &device).height();
}

} // namespace

class TestLabelRenderer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_logo;     // 100 x 40
    QString folder() const { return m_dir.path(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (int i = 0; i < 9; ++i)
            QVERIFY(TestFiles::write(m_dir.filePath(LabelDocument::pictogramCode(i + 1) + QStringLiteral(".jpg")),
                                     solidJpeg(QSize(120, 120), kColours[i])));
        m_logo = m_dir.filePath(QStringLiteral("logo.jpg"));
        QVERIFY(TestFiles::write(m_logo, solidJpeg(QSize(100, 40), QColor(0, 160, 0))));
    }

    void arialIsAvailable()
    {
        // The label's default face must give real metrics on this system.
        QVERIFY2(QFontInfo(QFont(QStringLiteral("Arial"))).family() == QStringLiteral("Liberation Sans")
                     || QFontInfo(QFont(QStringLiteral("Arial"))).family() == QStringLiteral("Arial"),
                 qPrintable(QFontInfo(QFont(QStringLiteral("Arial"))).family()));
    }

    void pictogramSlotsAndColumn_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<QPoint>>("corners");
        QTest::addColumn<int>("column");
        QTest::newRow("one") << 1 << QList<QPoint>{{0, 0}} << 320;
        QTest::newRow("two") << 2 << QList<QPoint>{{0, 0}, {0, 300}} << 320;
        QTest::newRow("three in a column") << 3 << QList<QPoint>{{0, 0}, {0, 300}, {0, 600}} << 320;
        QTest::newRow("four in a zig-zag") << 4 << QList<QPoint>{{0, 0}, {0, 300}, {160, 150}, {160, 450}} << 480;
        QTest::newRow("five") << 5 << QList<QPoint>{{0, 0}, {0, 300}, {160, 150}, {160, 450}, {0, 600}} << 480;
    }

    void pictogramSlotsAndColumn()
    {
        QFETCH(int, count);
        QFETCH(QList<QPoint>, corners);
        QFETCH(int, column);
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(count);
        LayoutResult r;
        const QImage image = LabelRenderer::labelPicture(c, &r);
        QCOMPARE(image.size(), QSize(1272, 900));
        QCOMPARE(r.pictogramCount, count);
        QCOMPARE(r.columnLeft, column);
        QCOMPARE(r.pictogramSlots.size(), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(r.pictogramSlots.at(i), QRect(corners.at(i), QSize(300, 300)));
            // The last drawn square's own corner (never overlapped by a later one).
            const QPoint inside = corners.at(i) + QPoint(290, 290);
            if (i == count - 1 || count <= 3)
                QVERIFY2(near(image.pixel(inside), kColours[i]), qPrintable(describe(image.pixel(inside))));
        }
        QVERIFY(r.notice.isEmpty());
        // Nothing right of the squares but text.
        const int right = count <= 3 ? 300 : 460;
        QVERIFY(allWhite(image, QRect(right, 300, column - right, 300)));
    }

    void overlappingPictogramsAreCombinedByAnd()
    {
        // In the zig-zag, square 3 (cyan) overlaps square 1 (yellow): drawn
        // with AND, their common part is green, not cyan over yellow.
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(4);
        const QImage image = LabelRenderer::labelPicture(c);
        const QRgb common = image.pixel(230, 220);
        QVERIFY2(near(common, QColor(0, 255, 0), 10), qPrintable(describe(common)));
        // Outside the overlap each keeps its colour.
        QVERIFY(near(image.pixel(100, 100), kColours[0]));
        QVERIFY(near(image.pixel(400, 400), kColours[2]));
    }

    void noPictogramShowsTheSilverNotice()
    {
        LabelContent c = emptyLabel(folder());
        LayoutResult r;
        const QImage image = LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.columnLeft, 0);
        QCOMPARE(r.pictogramCount, 0);
        const int h = pixelHeight(c, RenderVariant::labelPicture(), 16, false);
        QCOMPARE(r.notice, QRect(0, 0, 200, h));
        // The text is silver: its darkest pixels are grey 192, none darker.
        int darkest = 255;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < 200; ++x) {
                const QRgb p = image.pixel(x, y);
                QCOMPARE(qRed(p), qBlue(p));
                darkest = qMin(darkest, qRed(p));
            }
        }
        QCOMPARE(darkest, 192);
        // Without pictograms the statements never move to 310.
        QVERIFY(r.statements.top() < 310);
        QCOMPARE(r.statements.left(), 0);
    }

    void singlePictogramGivesTheStatementsTheFullWidth()
    {
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(1);
        c.statements = QStringLiteral("H225: Liquide et vapeurs très inflammables.\n");
        LayoutResult r;
        QImage image = LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.statements, QRect(0, 310, 1272, 590));
        QVERIFY(!allWhite(image, QRect(0, 310, 320, 30))); // under the pictogram

        // Long upper blocks end below 310: the column stays.
        c.supplier = QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13");
        c.supplierLines = 13;
        image = LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.statements.left(), 320);
        QVERIFY(r.statements.top() > 310);

        // A missing picture still counts as a pictogram.
        c = emptyLabel(folder());
        c.pictograms = {QStringLiteral("SGH99")};
        image = LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.columnLeft, 320);
        QCOMPARE(r.statements.topLeft(), QPoint(0, 310));
        QVERIFY(r.problems.isEmpty());
        QVERIFY(allWhite(image, QRect(0, 0, 300, 300)));
    }

    void blocksFollowEachOther()
    {
        // Supplier, product, identity line, comment, signal word, statements,
        // each starting where the one above ended plus its gap.
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(2);
        c.supplier = QStringLiteral("Chimie SA\nLyon");
        c.supplierLines = 2;
        c.product = QStringLiteral("ACIDE\nCHLORHYDRIQUE");
        c.productLines = 2;
        c.identity = QStringLiteral("CE: 231-595-7");
        c.comment = QStringLiteral("Une\nDeux\nTrois");
        c.commentLines = 3;
        c.signalWord = QStringLiteral("DANGER");
        c.statements = QStringLiteral("H290: Peut être corrosif pour les métaux.\n");
        LayoutResult r;
        const QImage image = LabelRenderer::labelPicture(c, &r);
        const RenderVariant v = RenderVariant::labelPicture();
        const int h16 = pixelHeight(c, v, 16, false);
        QCOMPARE(r.supplier, QRect(320, 0, 952, 2 * h16));
        QCOMPARE(r.product, QRect(320, 2 * h16 + 24, 952, 2 * pixelHeight(c, v, 40, true)));
        QCOMPARE(r.identity.top(), r.product.bottom() + 1);
        QCOMPARE(r.identity.height(), pixelHeight(c, v, 20, false));
        QCOMPARE(r.comment, QRect(320, r.identity.bottom() + 1, 952, 3 * h16));
        QCOMPARE(r.rules.mid(0, 2), (QList<int>{r.comment.top(), r.comment.bottom() + 1}));
        QCOMPARE(r.signal, QRect(320, r.comment.bottom() + 1 + 20, 952, pixelHeight(c, v, 28, true)));
        QCOMPARE(r.statements, QRect(320, r.signal.bottom() + 1 + 20, 952, 900 - (r.signal.bottom() + 21)));
        // The two rules are black lines across the column.
        for (int x : {320, 800, 1271}) {
            QCOMPARE(image.pixel(x, r.comment.top()), qRgb(0, 0, 0));
            QCOMPARE(image.pixel(x, r.comment.bottom() + 1), qRgb(0, 0, 0));
        }
        QCOMPARE(image.pixel(319, r.comment.top()), qRgb(255, 255, 255));
        // The signal word is pure red.
        bool red = false;
        for (int y = r.signal.top(); y <= r.signal.bottom() && !red; ++y)
            for (int x = r.signal.left(); x <= r.signal.right() && !red; ++x)
                red = image.pixel(x, y) == qRgb(255, 0, 0);
        QVERIFY(red);
    }

    void emptyCommentGivesTwoRulesOnOneLine()
    {
        LabelContent c = emptyLabel(folder());
        LayoutResult r;
        LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.comment.height(), 0);
        QCOMPARE(r.rules.size(), 2);
        QCOMPARE(r.rules.at(0), r.rules.at(1));
        QCOMPARE(r.signal.top(), r.rules.at(1) + 20);
    }

    void productBandOrRule()
    {
        LabelContent c = emptyLabel(folder());
        c.product = QStringLiteral("ACIDE");
        c.productLines = 1;
        c.productColor = QColor(0, 0, 128);
        LayoutResult r;
        QImage image = LabelRenderer::labelPicture(c, &r);
        QVERIFY(r.productBand);
        QVERIFY(!r.rules.contains(r.product.top()));
        QCOMPARE(image.pixel(r.product.left() + 2, r.product.top()), qRgb(0, 0, 128));
        QCOMPARE(image.pixel(r.product.right(), r.product.bottom()), qRgb(0, 0, 128));
        bool whiteText = false;
        for (int x = r.product.left(); x <= r.product.right() && !whiteText; ++x)
            whiteText = image.pixel(x, r.product.center().y()) == qRgb(255, 255, 255);
        QVERIFY(whiteText);

        // Near-white is a colour too: a band with white text.
        c.productColor = QColor(255, 255, 254);
        image = LabelRenderer::labelPicture(c, &r);
        QVERIFY(r.productBand);

        // Pure white: a rule along the top, black text, no band.
        c.productColor = QColor(255, 255, 255);
        image = LabelRenderer::labelPicture(c, &r);
        QVERIFY(!r.productBand);
        QCOMPARE(r.rules.first(), r.product.top());
        QCOMPARE(image.pixel(0, r.product.top()), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(1271, r.product.top()), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(2, r.product.top() + 2), qRgb(255, 255, 255));
        bool blackText = false;
        for (int x = 0; x < 1272 && !blackText; ++x)
            blackText = qRed(image.pixel(x, r.product.center().y())) < 60;
        QVERIFY(blackText);
    }

    void logoKeepsItsProportionsInWholePixels()
    {
        LabelContent c = emptyLabel(folder());
        c.logoPath = m_logo; // 100 x 40
        c.supplier = QStringLiteral("Chimie SA");
        c.supplierLines = 1;
        LayoutResult r;
        QImage image = LabelRenderer::labelPicture(c, &r);
        // One line is lower than 60: raised to 60, width 60 * 100 / 40 = 150.
        QCOMPARE(r.logo, QRect(1122, 0, 150, 60));
        QCOMPARE(r.supplier, QRect(0, 0, 1272 - 170, 60));
        QCOMPARE(r.product.top(), 84);
        QVERIFY(near(image.pixel(1200, 30), QColor(0, 160, 0)));

        // Three lines are higher than 60: H = 3 h, width truncated.
        c.supplier = QStringLiteral("Chimie SA\nLyon\nFrance");
        c.supplierLines = 3;
        LabelRenderer::labelPicture(c, &r);
        const int h = 3 * pixelHeight(c, RenderVariant::labelPicture(), 16, false);
        QVERIFY(h > 60);
        QCOMPARE(r.logo, QRect(1272 - h * 100 / 40, 0, h * 100 / 40, h));
        QCOMPARE(r.supplier.right() + 1, 1272 - (h * 100 / 40 + 20));

        // The export: at least trunc(30 c) = 103 high, ending at 2120, the
        // supplier box ending at trunc(2121 - (wl + 10 c)).
        c.supplierLines = 1;
        c.supplier = QStringLiteral("Chimie SA");
        LabelRenderer::exportImage(c, &r);
        QCOMPARE(r.logo, QRect(2120 - 257, 0, 257, 103));
        QCOMPARE(r.supplier.right() + 1, 1829);
        QCOMPARE(r.product.top(), int(12 * RenderVariant::kExportFactor + 103));

        // No logo file: no logo, no raised height, the text to the right edge.
        c.logoPath = m_dir.filePath(QStringLiteral("absent.jpg"));
        LabelRenderer::labelPicture(c, &r);
        QVERIFY(r.logo.isEmpty());
        QCOMPARE(r.supplier, QRect(0, 0, 1272, pixelHeight(c, RenderVariant::labelPicture(), 16, false)));
    }

    void wrappedBlocksKeepEveryWord()
    {
        // A product name and a one-paragraph comment too long for one line:
        // in every output their blocks grow to the lines as wrapped, so the
        // preview, the export and the page show the same words.
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(2);
        c.product = QStringLiteral("Mélange test (5 % éthanol, 3 % acétone, 2 % propan-2-ol, eau déminéralisée)");
        c.productLines = 1;
        c.comment = QStringLiteral("Conserver le récipient bien fermé dans un endroit bien ventilé, "
                                   "à l'abri de la lumière et de toute source de chaleur, loin des acides "
                                   "et des bases, hors de portée des enfants et des animaux domestiques.");
        c.commentLines = 1;
        c.signalWord = QStringLiteral("DANGER");
        const double k = RenderVariant::pageFontFactor(2480, 3508, false, 1.0, 300);
        const struct {
            const char *name;
            RenderVariant v;
            QSize surface;
        } outputs[] = {
            {"label picture", RenderVariant::labelPicture(), QSize(1272, 900)},
            {"export image", RenderVariant::exportImage(), QSize(2121, 1500)},
            {"page", RenderVariant::page(0, 0, 2480, 2480 * 1.4142 / 900, k, 3508, 300), QSize(2480, 3508)},
        };
        for (const auto &o : outputs) {
            QImage image(o.surface, QImage::Format_RGB32);
            image.fill(Qt::white);
            LayoutResult r;
            {
                QPainter p(&image);
                r = LabelRenderer::draw(p, c, o.v);
            }
            const int productLine = pixelHeight(c, o.v, r.productPoints, true);
            const int commentLine = pixelHeight(c, o.v, r.commentPoints, false);
            QVERIFY2(r.product.height() >= 2 * productLine, o.name);
            QCOMPARE(r.product.height() % productLine, 0);
            QVERIFY2(r.comment.height() >= 2 * commentLine, o.name);
            QCOMPARE(r.comment.height() % commentLine, 0);
            // The last line of each block carries words, inside its box.
            QVERIFY2(!allWhite(image, QRect(r.comment.left(), r.comment.bottom() - commentLine + 1,
                                            r.comment.width(), commentLine - 1)),
                     o.name);
            // On the band, white letters in the last line.
            const QRect lastProductLine(r.product.left(), r.product.bottom() - productLine + 1, r.product.width(),
                                        productLine);
            bool letters = false;
            for (int y = lastProductLine.top(); y <= lastProductLine.bottom() && !letters; ++y)
                for (int x = lastProductLine.left(); x <= lastProductLine.right() && !letters; ++x)
                    letters = qGray(image.pixel(x, y)) > 128;
            QVERIFY2(letters, o.name);
            QVERIFY(r.rules.contains(r.comment.bottom() + 1));
            QVERIFY(r.cutStatement.isEmpty());
        }
    }

    void statementsThatDoNotFitAreNamed()
    {
        // Short statements of one line each: the first one whose line does
        // not fit wholly above the bottom edge is named, whatever empty lines
        // stand between the groups.
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(2);
        c.signalWord = QStringLiteral("DANGER");
        c.statementSize = 12;
        QStringList h, p;
        for (int i = 0; i < 10; ++i)
            h << QStringLiteral("H2%1: Dangereux.").arg(i, 2, 10, QLatin1Char('0'));
        for (int i = 0; i < 15; ++i)
            p << QStringLiteral("P1%1: Prudence.").arg(i, 2, 10, QLatin1Char('0'));
        c.statements = h.join(u'\n') + QStringLiteral("\n\n") + p.join(u'\n') + QStringLiteral("\n\n");
        LayoutResult r;
        LabelRenderer::labelPicture(c, &r);
        const int line = pixelHeight(c, RenderVariant::labelPicture(), r.statementPoints, false);
        const QStringList blockLines = h + QStringList{QString()} + p;
        int fitting = r.statements.height() / line;
        QVERIFY(fitting < blockLines.size());
        while (blockLines.at(fitting).isEmpty())
            ++fitting;
        QCOMPARE(r.cutStatement, blockLines.at(fitting));
        QVERIFY(LabelRenderer::cutWarning(r.cutStatement).contains(r.cutStatement));

        // Small enough, everything fits.
        c.statementSize = 5;
        LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.cutStatement, QString());

        // Numbering only: lines of codes, the first code below the edge named.
        c.numberingOnly = true;
        QStringList codesH;
        for (int i = 0; i < 80; ++i)
            codesH << QStringLiteral("H%1").arg(200 + i);
        c.statements = codesH.join(QStringLiteral(", ")) + QStringLiteral("\n\n");
        LabelRenderer::labelPicture(c, &r);
        QVERIFY(codesH.contains(r.cutStatement));
        QVERIFY(r.cutStatement != codesH.first());
    }

    void supplierBlockOfFiveLinesFits()
    {
        // Name, two address lines, two telephone lines: about 240 characters.
        const QStringList lines = {QStringLiteral("Laboratoire de chimie analytique et environnementale"),
                                   QStringLiteral("Université de Bretagne Occidentale, UFR Sciences et Techniques"),
                                   QStringLiteral("6 avenue Victor Le Gorgeu, CS 93837, 29238 Brest Cedex 3"),
                                   QStringLiteral("Tél. : +33 (0)2 98 01 60 00"),
                                   QStringLiteral("Urgence : +33 (0)1 45 42 59 59 (ORFILA)")};
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(3);
        c.signalWord = QStringLiteral("DANGER");
        c.supplier = lines.join(u'\n');
        c.supplierLines = 5;
        c.logoPath = m_logo;
        c.product = QStringLiteral("Acide chlorhydrique 37 %");
        c.productLines = 1;
        c.statements = QStringLiteral("H290: Peut être corrosif pour les métaux.\nH314: Provoque de graves brûlures.");
        QVERIFY(c.supplier.size() > 235);
        for (const bool exported : {false, true}) {
            LayoutResult r;
            const QImage image = exported ? LabelRenderer::exportImage(c, &r) : LabelRenderer::labelPicture(c, &r);
            const RenderVariant v = exported ? RenderVariant::exportImage() : RenderVariant::labelPicture();
            const int line = pixelHeight(c, v, r.supplierPoints, false);
            QVERIFY(r.supplier.height() >= 5 * line - 1);       // every line has its room
            QVERIFY(r.supplier.bottom() < r.product.top());     // above the product block
            QVERIFY(r.cutStatement.isEmpty());
            // The last line is drawn: ink in the block's last line.
            QVERIFY(!allWhite(image, QRect(r.supplier.left(), r.supplier.bottom() - line + 2, r.supplier.width(),
                                           line - 2)));
        }
    }

    void upperBlocksThatDoNotFitAreNamed()
    {
        // A supplier block too tall for the label: its first line below the
        // bottom edge is named, before any statement (all cut anyway).
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(2);
        QStringList lines;
        for (int i = 1; i <= 60; ++i)
            lines << QStringLiteral("Ligne %1").arg(i);
        c.supplier = lines.join(u'\n');
        c.supplierLines = 60;
        c.statements = QStringLiteral("H290: Peut être corrosif pour les métaux.");
        LayoutResult r;
        LabelRenderer::labelPicture(c, &r);
        const int line = pixelHeight(c, RenderVariant::labelPicture(), r.supplierPoints, false);
        const int shown = (900 - r.supplier.top()) / line; // whole lines above the edge
        QCOMPARE(r.cutStatement, lines.at(shown));
        QVERIFY(LabelRenderer::cutWarning(r.cutStatement).contains(lines.at(shown)));

        // The same for a long comment under a short supplier block.
        c.supplier = QStringLiteral("Fournisseur");
        c.supplierLines = 1;
        c.comment = lines.join(u'\n');
        c.commentLines = 60;
        LabelRenderer::labelPicture(c, &r);
        QVERIFY(lines.contains(r.cutStatement));
        QVERIFY(r.cutStatement != lines.first());
        QVERIFY(r.comment.bottom() >= 900);

        // Blocks that fit leave the statement rule as it was.
        c.comment = QStringLiteral("Conserver au frais");
        c.commentLines = 1;
        LabelRenderer::labelPicture(c, &r);
        QVERIFY(r.cutStatement.isEmpty());
    }

    void fontSizesOfEachOutput()
    {
        LabelContent c = emptyLabel(folder());
        c.productSize = 20;
        c.statementSize = 8;
        LayoutResult r;
        LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.productPoints, 40);
        QCOMPARE(r.signalPoints, 28);
        QCOMPARE(r.statementPoints, 16);
        QCOMPARE(r.identityPoints, 20);
        QCOMPARE(r.commentPoints, 16);
        LabelRenderer::exportImage(c, &r);
        QCOMPARE(r.productPoints, 68); // trunc(68.97)
        QCOMPARE(r.signalPoints, 48);
        QCOMPARE(r.statementPoints, 27);
        QCOMPARE(r.identityPoints, 34);

        // Numbering only: signal word 24 and statements 20 whatever the size.
        c.numberingOnly = true;
        c.statementSize = 12;
        LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.signalPoints, 48);
        QCOMPARE(r.statementPoints, 40);
        LabelRenderer::exportImage(c, &r);
        QCOMPARE(r.signalPoints, 82);
        QCOMPARE(r.statementPoints, 68);

        // The drawn blocks use those sizes (points at 96 pixels per inch).
        c.signalWord = QStringLiteral("DANGER");
        LabelRenderer::labelPicture(c, &r);
        QCOMPARE(r.signal.height(), pixelHeight(c, RenderVariant::labelPicture(), 48, true));
    }

    void exportGeometry()
    {
        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(3);
        LayoutResult r;
        const QImage image = LabelRenderer::exportImage(c, &r);
        QCOMPARE(image.size(), QSize(2121, 1500));
        QCOMPARE(r.pictogramSlots, (QList<QRect>{QRect(0, 0, 500, 500), QRect(0, 500, 500, 500),
                                                 QRect(0, 1000, 500, 500)}));
        QCOMPARE(r.columnLeft, 533);
        c.pictograms = codes(4);
        LabelRenderer::exportImage(c, &r);
        QCOMPARE(r.pictogramSlots.at(2), QRect(266, 250, 500, 500));
        QCOMPARE(r.pictogramSlots.at(3), QRect(266, 750, 500, 500));
        QCOMPARE(r.columnLeft, 800);
        c.pictograms = codes(1);
        LabelRenderer::exportImage(c, &r);
        QCOMPARE(r.statements.topLeft(), QPoint(0, 516));
        QCOMPARE(r.statements.bottom(), 1499);
        c.pictograms.clear();
        LabelRenderer::exportImage(c, &r);
        QCOMPARE(r.notice.width(), 344);
    }

    void noLabelLeavesThePictureWhite()
    {
        LabelContent c = emptyLabel(folder());
        c.present = false;
        c.pictograms = codes(2);
        c.signalWord = QStringLiteral("DANGER");
        const QImage image = LabelRenderer::labelPicture(c);
        QVERIFY(allWhite(image, image.rect()));
    }

    void damagedPicturesLeaveTheirSlotEmpty()
    {
        QTemporaryDir dir;
        const QByteArray good = solidJpeg(QSize(120, 120), QColor(0, 0, 255));
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("SGH01.jpg")), good));
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("SGH02.jpg")), QByteArray("pas une image", 13)));
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("SGH03.jpg")), good.left(good.size() / 2)));
        LabelContent c = emptyLabel(dir.path());
        c.pictograms = codes(3);
        c.statements = QStringLiteral("H225: Liquide et vapeurs très inflammables.\n");
        for (int pass = 0; pass < 2; ++pass) {
            LayoutResult r;
            const QImage image = LabelRenderer::labelPicture(c, &r);
            QVERIFY(near(image.pixel(150, 150), QColor(0, 0, 255)));
            QVERIFY(allWhite(image, QRect(0, 300, 300, 600)));
            // Reported at every drawing (the caller tells the user once).
            QCOMPARE(r.problems.size(), 2);
            QVERIFY(r.problems.at(0).contains(QStringLiteral("SGH02.jpg")));
            QVERIFY(r.problems.at(1).contains(QStringLiteral("SGH03.jpg")));
            // The rest of the label is drawn.
            QCOMPARE(r.columnLeft, 320);
            QVERIFY(!allWhite(image, r.statements));
        }
        // A damaged logo: no logo, reported.
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("logo.jpg")), good.left(200)));
        c.logoPath = dir.filePath(QStringLiteral("logo.jpg"));
        LayoutResult r;
        LabelRenderer::labelPicture(c, &r);
        QVERIFY(r.logo.isEmpty());
        QCOMPARE(r.problems.size(), 3);
        QVERIFY(r.problems.at(2).contains(QStringLiteral("logo.jpg")));
    }

    void aChangedPictureIsReadAgain()
    {
        // Pictures are kept between drawings only while their file is unchanged.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SGH01.jpg"));
        QVERIFY(TestFiles::write(path, solidJpeg(QSize(120, 120), QColor(255, 0, 0))));
        LabelContent c = emptyLabel(dir.path());
        c.pictograms = codes(1);
        QVERIFY(near(LabelRenderer::labelPicture(c).pixel(150, 150), QColor(255, 0, 0)));
        QVERIFY(TestFiles::write(path, solidJpeg(QSize(120, 120), QColor(0, 0, 255))));
        QFile touched(path);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        touched.close();
        QVERIFY(near(LabelRenderer::labelPicture(c).pixel(150, 150), QColor(0, 0, 255)));
        // Removed: the slot is empty again.
        QVERIFY(QFile::remove(path));
        QVERIFY(allWhite(LabelRenderer::labelPicture(c), QRect(0, 0, 300, 300)));
    }

    void storedLabelsAreOnePixelShorter()
    {
        LabelContent c = emptyLabel(folder());
        c.supplier = QStringLiteral("Chimie SA\nLyon");
        c.supplierLines = 2;
        c.comment = QStringLiteral("Une\nDeux");
        c.commentLines = 2;
        c.product = QStringLiteral("ACIDE");
        c.productLines = 1;
        LayoutResult active, stored;
        LabelRenderer::labelPicture(c, &active);
        c.stored = true;
        LabelRenderer::labelPicture(c, &stored);
        QCOMPARE(stored.supplier.height(), active.supplier.height() - 1);
        QCOMPARE(stored.product.top(), active.product.top() - 1);
        QCOMPARE(stored.comment.height(), active.comment.height() - 1);
        // On the picture the product keeps its height.
        QCOMPARE(stored.product.height(), active.product.height());
    }

    void pageDrawing()
    {
        // A label twice the picture's size on a 300 dpi page, at (100, 50).
        const int x = 100, y = 50, w = 2544;
        const double a = 4.0;
        const double k = RenderVariant::pageFontFactor(3000, 4000, false, 1.0, 300);
        QCOMPARE(k, 3000 * 96 / (300 * 636.0));
        QCOMPARE(RenderVariant::pageFontFactor(4000, 4800, true, 0.5, 600), 4800 * 0.5 * 96 / (600 * 450.0));
        const RenderVariant v = RenderVariant::page(x, y, w, a, k, 3900, 300);
        QImage page(3000, 4000, QImage::Format_RGB32);
        page.fill(Qt::white);

        LabelContent c = emptyLabel(folder());
        c.pictograms = codes(2);
        c.logoPath = m_logo;
        c.supplier = QStringLiteral("Chimie SA");
        c.supplierLines = 1;
        c.product = QStringLiteral("ACIDE");
        c.productLines = 1;
        c.signalWord = QStringLiteral("DANGER");
        LayoutResult r;
        {
            QPainter p(&page);
            r = LabelRenderer::draw(p, c, v);
        }
        // Pictograms drawn at picture scale into their own bitmap, copied to
        // (x, y) at trunc(470 s) x trunc(900 s).
        QCOMPARE(r.pictogramArea, QRect(x, y, 940, 1800));
        QVERIFY(near(page.pixel(x + 2 * 150, y + 2 * 150), kColours[0]));
        QVERIFY(near(page.pixel(x + 2 * 150, y + 2 * 450), kColours[1]));
        QCOMPARE(r.columnLeft, 740); // trunc(x + 160 a)
        // Sizes rounded: trunc(k p + 0.5), numbering-only sizes truncated.
        QCOMPARE(r.supplierPoints, int(k * 8 + 0.5));
        QCOMPARE(r.productPoints, int(k * 20 + 0.5));
        QCOMPARE(v.pointSize(24, true), int(k * 24));
        // The logo: at least trunc(30 a) = 120 high, at the label's right edge,
        // copied as it is.
        QCOMPARE(r.logo, QRect(x + w - 300, y, 300, 120));
        QVERIFY(near(page.pixel(x + w - 150, y + 60), QColor(0, 160, 0)));
        QCOMPARE(r.supplier.right() + 1, int(x + w - (300 + 10 * a)));
        // y after the supplier block, and the gap of 2 a below the product.
        QCOMPARE(r.product.top(), int(y + 12 * a + 120));
        QCOMPARE(r.identity.top(), int(r.product.bottom() + 1 + 2 * a));
        // The statements reach the page's bottom.
        QCOMPARE(r.statements.bottom(), 3899);
        // Nothing left of the label.
        QVERIFY(allWhite(page, QRect(0, 0, x, 4000)));

        // A stored label: gap 5 k and the product one pixel shorter.
        c.stored = true;
        {
            QPainter p(&page);
            r = LabelRenderer::draw(p, c, v);
        }
        QCOMPARE(r.product.height(),
                 pixelHeight(c, RenderVariant::page(0, 0, w, a, k, 0, 300), r.productPoints, true) - 1);
        QCOMPARE(r.identity.top(), int(r.product.bottom() + 1 + 5 * k));

        // One pictogram: the statements may start at trunc(y + 155 a).
        c = emptyLabel(folder());
        c.pictograms = codes(1);
        {
            QPainter p(&page);
            r = LabelRenderer::draw(p, c, v);
        }
        QCOMPARE(r.statements.topLeft(), QPoint(x, int(y + 155 * a)));

        // No pictogram: the notice at (x + a, y + a), as wide as its text.
        c.pictograms.clear();
        {
            QPainter p(&page);
            r = LabelRenderer::draw(p, c, v);
        }
        QCOMPARE(r.notice.topLeft(), QPoint(int(x + a), int(y + a)));
        QVERIFY(r.notice.width() > 0);
        QCOMPARE(r.columnLeft, x);
    }
};

QTEST_MAIN(TestLabelRenderer)
#include "test_labelrenderer.moc"

// The format rules on one printed label: each rule on both sides of its
// limit (x-height measured with the font, line spacing, label size,
// pictogram size), the presentation warnings with their date, the metrics of
// a real label against its drawing, and the offer to fit statements that do
// not hold in their cell.

#include "installedformatrules.h"
#include "render/labelformat.h"
#include "render/labelrenderer.h"
#include "render/sheetprint.h"
#include "render/storedlabel.h"

#include <QTest>

#include <cmath>

namespace {

const QString kData = QStringLiteral(KALVANE_DATA_DIR);

LabelFormat::Printed printed(double w, double h)
{
    return {QStringLiteral("essai"), w, h, w};
}

// Metrics of a label without pictograms or coloured text, in Arial.
LayoutMetrics plain()
{
    LayoutMetrics m;
    m.fontFace = QStringLiteral("Arial");
    m.smallestName = QStringLiteral("les phrases");
    m.smallestEm = 0.05;
    m.statementEm = 0.05;
    m.smallestLine = 0.05 * 1.25;
    return m;
}

bool mentions(const QList<LabelFormat::Finding> &findings, const QString &piece, bool error)
{
    for (const LabelFormat::Finding &f : findings)
        if (f.message.contains(piece) && f.error == error)
            return true;
    return false;
}

// Font sizes (em, mm) on both sides of the size whose x-height reaches
// `minimum`.
std::pair<double, double> aroundXHeight(const QString &face, double minimum)
{
    double low = 0.5, high = 10;
    while (high - low > 0.0005) {
        const double mid = (low + high) / 2;
        (LabelFormat::xHeightMm(face, mid) + 0.005 < minimum ? low : high) = mid;
    }
    return {low, high};
}

SheetPrint::Surface a4(int dpi, bool landscape = false)
{
    SheetPrint::Surface s;
    s.width = int(std::lround((landscape ? 297 : 210) * dpi / 25.4));
    s.height = int(std::lround((landscape ? 210 : 297) * dpi / 25.4));
    s.dpiX = s.dpiY = dpi;
    s.landscape = landscape;
    return s;
}

} // namespace

class TestLabelFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void installedTableHasTheRevision()
    {
        const FormatRules::Table t = installedFormatRules();
        const auto x = [&](double l) { return t.bandFor(l) ? t.bandFor(l)->xHeight : -1.0; };
        QCOMPARE(x(0.5), 1.2);
        QCOMPARE(x(0.51), 1.4);
        QCOMPARE(x(3), 1.4);
        QCOMPARE(x(3.01), 1.8);
        QCOMPARE(x(50), 1.8);
        QCOMPARE(x(50.5), 2.0);
        QCOMPARE(x(5000), 2.0);
        QCOMPARE(t.bandFor(0.5)->labelShort, 52.0);
        QCOMPARE(t.lineSpacingPercent, 120.0);
        QVERIFY(!t.formatDate.isEmpty());
        QCOMPARE(FormatRules::smallestXHeight(t), 1.2);
    }

    void xHeightIsTheFontsOwn()
    {
        // Measured, not a constant: a sans font and a serif font of the same
        // size have different x-heights, and the x-height follows the size.
        const double sans = LabelFormat::xHeightMm(QStringLiteral("Liberation Sans"), 4);
        const double serif = LabelFormat::xHeightMm(QStringLiteral("Liberation Serif"), 4);
        QVERIFY2(sans > 0.4 * 4 && sans < 0.6 * 4, qPrintable(QString::number(sans)));
        QVERIFY2(std::abs(sans - serif) > 0.05, qPrintable(QStringLiteral("%1 %2").arg(sans).arg(serif)));
        QVERIFY(std::abs(LabelFormat::xHeightMm(QStringLiteral("Liberation Sans"), 8) - 2 * sans) < 0.03);
    }

    void xHeightOnBothSides()
    {
        const FormatRules::Table t = installedFormatRules();
        for (const double litres : {0.5, 2.0, 20.0, 200.0}) {
            const double minimum = t.bandFor(litres)->xHeight;
            const auto [below, above] = aroundXHeight(QStringLiteral("Arial"), minimum);
            // A label large enough for every band, drawn 210 mm wide.
            LayoutMetrics m = plain();
            m.smallestEm = below / 210;
            m.smallestLine = m.smallestEm * 1.25;
            const QList<LabelFormat::Finding> small = LabelFormat::check(t, litres, printed(210, 148), m);
            QVERIFY2(mentions(small, QStringLiteral("hauteur d'x"), false), qPrintable(LabelFormat::report(small)));
            QVERIFY(mentions(small, QStringLiteral("à partir du ") + t.formatDate, false));
            m.smallestEm = above / 210;
            m.smallestLine = m.smallestEm * 1.25;
            const QList<LabelFormat::Finding> fine = LabelFormat::check(t, litres, printed(210, 148), m);
            QVERIFY2(fine.isEmpty(), qPrintable(LabelFormat::report(fine)));
        }
    }

    void lineSpacingOnBothSides()
    {
        const FormatRules::Table t = installedFormatRules();
        LayoutMetrics m = plain();
        m.smallestLine = m.smallestEm * 1.19;
        QVERIFY(mentions(LabelFormat::check(t, 1, printed(210, 148), m), QStringLiteral("interligne"), false));
        m.smallestLine = m.smallestEm * 1.20;
        QVERIFY(LabelFormat::check(t, 1, printed(210, 148), m).isEmpty());
    }

    void labelSizeOnBothSides()
    {
        const FormatRules::Table t = installedFormatRules();
        LayoutMetrics m = plain();
        m.smallestEm = 0.1; // text large enough on any of these labels
        m.smallestLine = 0.125;
        QVERIFY(!LabelFormat::hasError(LabelFormat::check(t, 1, printed(74, 52), m)));
        const QList<LabelFormat::Finding> small = LabelFormat::check(t, 1, printed(73.9, 52), m);
        QVERIFY(LabelFormat::hasError(small));
        QVERIFY2(mentions(small, QStringLiteral("73,9 × 52 mm"), true), qPrintable(LabelFormat::report(small)));
        QVERIFY(mentions(small, QStringLiteral("52 × 74 mm"), true));
        QVERIFY(!LabelFormat::hasError(LabelFormat::check(t, 20, printed(105, 74), m)));
        QVERIFY(LabelFormat::hasError(LabelFormat::check(t, 20, printed(105, 73.9), m)));
    }

    void pictogramOnBothSides()
    {
        // Up to 3 L on a 74 x 52 label: one fifteenth of the area, a side of
        // 16.02 mm (the diamond's side is the square's over √2).
        const FormatRules::Table t = installedFormatRules();
        LayoutMetrics m = plain();
        m.smallestEm = 0.1;
        m.smallestLine = 0.125;
        m.pictograms = {QStringLiteral("SGH02"), QStringLiteral("SGH07")};
        m.pictogramSquare = 16.1 * std::sqrt(2.0) / 74;
        QVERIFY(LabelFormat::check(t, 1, printed(74, 52), m).isEmpty());
        m.pictogramSquare = 15.95 * std::sqrt(2.0) / 74;
        const QList<LabelFormat::Finding> small = LabelFormat::check(t, 1, printed(74, 52), m);
        QVERIFY(mentions(small, QStringLiteral("pictogramme SGH02"), true));
        QVERIFY(mentions(small, QStringLiteral("pictogramme SGH07"), true));
    }

    void presentationWarnings()
    {
        const FormatRules::Table t = installedFormatRules();
        LayoutMetrics m = plain();
        m.notBlackOnWhite << QStringLiteral("la mention d'avertissement en rouge");
        const QList<LabelFormat::Finding> colours = LabelFormat::check(t, 1, printed(210, 148), m);
        QVERIFY(mentions(colours, QStringLiteral("noir sur fond blanc"), false));
        QVERIFY(!LabelFormat::hasError(colours));
        m = plain();
        m.fontFace = QStringLiteral("Times New Roman");
        QVERIFY(mentions(LabelFormat::check(t, 1, printed(210, 148), m), QStringLiteral("empattements"), false));
        // Without a capacity the sizes are not judged, and the user is told.
        m = plain();
        m.smallestEm = 0.1;
        m.smallestLine = 0.125;
        const QList<LabelFormat::Finding> unknown = LabelFormat::check(t, 0, printed(20, 10), m);
        QVERIFY(!LabelFormat::hasError(unknown));
        QVERIFY(mentions(unknown, QStringLiteral("contenance de l'emballage n'est pas indiquée"), false));
    }

    void metricsMatchTheDrawing()
    {
        LabelContent c;
        QStringList problems;
        QVERIFY(StoredLabel::load(kData + QStringLiteral("/Kalvane/Acetone.kvln"), false, FrameMirrors(), kData, &c,
                                  &problems));
        LayoutResult r;
        LabelRenderer::labelPicture(c, &r);
        const LayoutMetrics m = LabelRenderer::metrics(c);
        QCOMPARE(m.fontFace, c.fontFace);
        QCOMPARE(m.pictograms, c.pictograms.mid(0, 5));
        QCOMPARE(qRound(m.statementEm * 1272), RenderVariant::labelPicture().pixelSize(r.statementPoints));
        QCOMPARE(qRound(m.pictogramSquare * 1272), r.pictogramSlots.value(0).width());
        // A job's statement scale halves the statements' size.
        c.statementScale = 0.5;
        LabelRenderer::labelPicture(c, &r);
        QCOMPARE(qRound(LabelRenderer::metrics(c).statementEm * 1272),
                 RenderVariant::labelPicture().pixelSize(r.statementPoints));
        QVERIFY(LabelRenderer::metrics(c).statementEm < m.statementEm * 0.6);
    }

    void fitOffer()
    {
        const FormatRules::Table t = installedFormatRules();
        LabelContent c;
        QStringList problems;
        QVERIFY(StoredLabel::load(kData + QStringLiteral("/Kalvane/Acetone.kvln"), false, FrameMirrors(), kData, &c,
                                  &problems));
        c.statementSize = 20;
        SheetPrint::Job job;
        job.settings.labelsPerPage = 18;
        job.settings.activeLabel = true;
        job.activeName = QStringLiteral("Acétone");
        const SheetPrint::Surface surface = a4(300);
        const QString line = QStringLiteral("H225 : Liquide et vapeurs très inflammables.\n");
        // The fewest statements that run over an 18-per-page cell.
        int n = 1;
        for (; n < 80; ++n) {
            job.active = c;
            job.active.statements = line.repeated(n);
            if (!SheetPrint::check(job, surface).overflow.isEmpty())
                break;
        }
        QVERIFY(n < 80);
        const LabelFormat::FitOffer offer = LabelFormat::fitStatements(t, 0.5, job, surface);
        QVERIFY(offer.needed);
        QVERIFY2(offer.possible, qPrintable(offer.message));
        QVERIFY(offer.scale < 1 && offer.scale >= offer.least);
        QVERIFY(offer.message.contains(QStringLiteral("Réduire la taille des phrases")));
        // At the scale offered every statement holds and the x-height keeps
        // its minimum.
        job.settings.statementScale = offer.scale;
        QVERIFY(SheetPrint::check(job, surface).overflow.isEmpty());
        LabelContent scaled = job.active;
        scaled.statementScale = offer.scale;
        const LayoutMetrics m = LabelRenderer::metrics(scaled);
        const LabelFormat::Printed p = LabelFormat::onGrid(job.settings, surface);
        QVERIFY(LabelFormat::xHeightMm(m.fontFace, m.statementEm * p.drawnWidthMm) + 0.005 >= 1.2);
        // Three times as many statements do not hold even at the least size.
        job.settings.statementScale = 1;
        job.active.statements = line.repeated(3 * n);
        const LabelFormat::FitOffer none = LabelFormat::fitStatements(t, 0.5, job, surface);
        QVERIFY(none.needed);
        QVERIFY(!none.possible);
        QVERIFY2(none.message.contains(QStringLiteral("moins d'étiquettes par page")), qPrintable(none.message));
        // Statements that hold need no offer.
        job.active.statements = line;
        QVERIFY(!LabelFormat::fitStatements(t, 0.5, job, surface).needed);
    }
};

QTEST_MAIN(TestLabelFormat)
#include "test_labelformat.moc"

// The direct page drawing on a real printer device (a PDF-format QPrinter):
// it must work with what a printer engine offers (no raster operations there,
// the pictograms go through their own bitmap), without a single warning.

#include "render/labelrenderer.h"
#include "render/storedlabel.h"
#include "render/jpegcodec.h"

#include "testhelpers.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

} // namespace

class TestPageDrawing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawsOnAPdfPrinter()
    {
        QTemporaryDir dir;
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("SGH02.jpg")), TestPictures::solidJpeg(QSize(200, 200), QColor(255, 0, 0))));
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("SGH07.jpg")), TestPictures::solidJpeg(QSize(200, 200), QColor(0, 0, 255))));
        QVERIFY(TestFiles::write(dir.filePath(QStringLiteral("logo.jpg")), TestPictures::solidJpeg(QSize(120, 60), QColor(0, 160, 0))));

        LabelContent c;
        c.pictogramFolder = dir.path();
        c.pictograms = {QStringLiteral("SGH02"), QStringLiteral("SGH07")};
        c.logoPath = dir.filePath(QStringLiteral("logo.jpg"));
        c.supplier = QStringLiteral("Chimie SA");
        c.supplierLines = 1;
        c.product = QStringLiteral("ÉTHANOL");
        c.productLines = 1;
        c.productColor = QColor(0, 0, 128);
        c.signalWord = QStringLiteral("DANGER");
        c.statements = QStringLiteral("H225: Liquide et vapeurs très inflammables.\n");

        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(300);
        printer.setPageOrientation(QPageLayout::Portrait);

        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QPainter painter(&printer);
        QVERIFY(painter.isActive());
        // Two labels per page: the cell is the page's width, the grid's height
        // its width times 1.4142.
        const int width = printer.width();
        const int gridHeight = int(width * 1.4142);
        const int dpi = printer.logicalDpiY();
        QCOMPARE(dpi, 300);
        const double m = 1.0;
        const double a = m * gridHeight / 900.0;
        const double k = RenderVariant::pageFontFactor(printer.width(), printer.height(), false, m, dpi);
        const RenderVariant variant = RenderVariant::page(0, 0, width, a, k, printer.height(), dpi);
        const LayoutResult r = LabelRenderer::draw(painter, c, variant);
        QVERIFY(r.problems.isEmpty());
        QCOMPARE(r.pictogramArea.size(), QSize(int(470.0 * width / 1272), int(900.0 * width / 1272)));
        QVERIFY(!r.logo.isEmpty());
        // A second label in the lower cell, from a file that has gone: nothing.
        const LayoutResult missing = StoredLabel::imp_etPR_pl(
            painter, dir.filePath(QStringLiteral("absent.kvln")), false, FrameMirrors(), dir.path(),
            RenderVariant::page(0, gridHeight / 2, width, a, k, printer.height(), dpi));
        QCOMPARE(missing.problems.size(), 1);
        QVERIFY(painter.end());

        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        // The pictogram bitmap and the logo, each copied as a picture.
        QVERIFY(bytes.count("/Subtype /Image") >= 2);
    }
};

QTEST_MAIN(TestPageDrawing)
#include "gui_pagedrawing.moc"

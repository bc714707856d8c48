// Sheet printing drawn into page images and onto PDF pages: which cells get a
// label, missing files, cut statements, separator lines, absurd margins,
// copies, and a device that fails during the job.

#include "render/labelrenderer.h"
#include "render/sheetprint.h"
#include "render/storedlabel.h"

#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kData = QStringLiteral(KALVANE_DATA_DIR);
const QStringList kSamples = {QStringLiteral("Acetone.kvln"), QStringLiteral("Acide sulfurique 96%.kvln"),
                              QStringLiteral("Hypochlorite de sodium.kvln")};

// Ink inside `r` shrunk by `inset` (keeps the separator lines out).
int ink(const QImage &page, const QRect &r, int inset = 4)
{
    return TestPictures::ink(page, r, inset);
}

QRect cellRect(const SheetGeometry &g, int cell)
{
    return QRect(g.cellCorner(cell), QSize(g.cellWidth, g.cellHeight));
}

// A4 at 100 pixels per inch.
SheetPrint::Surface a4(bool landscape)
{
    SheetPrint::Surface s;
    s.width = landscape ? 1169 : 827;
    s.height = landscape ? 827 : 1169;
    s.dpiX = s.dpiY = 100;
    s.landscape = landscape;
    return s;
}

LabelContent sampleContent(const QString &path)
{
    LabelContent content;
    QStringList problems;
    StoredLabel::load(path, false, FrameMirrors(), kData, &content, &problems);
    return content;
}

class FailingWriter : public QPdfWriter
{
public:
    using QPdfWriter::QPdfWriter;
    bool newPage() override { return false; }
};

} // namespace

class TestSheetPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_labels; // copies of the three samples

    SheetPrint::Job selectionJob(const QStringList &selection, bool pictureMode, int labelsPerPage = 4) const
    {
        SheetPrint::Job job;
        job.settings.labelsPerPage = labelsPerPage;
        job.settings.activeLabel = false;
        job.settings.selection = selection;
        job.settings.pictureMode = pictureMode;
        job.settings.separatorLines = false;
        job.pictogramFolder = kData;
        return job;
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const QString &name : kSamples) {
            const QString target = m_dir.filePath(name);
            QVERIFY(QFile::copy(kData + QStringLiteral("/Kalvane/") + name, target));
            m_labels << target;
        }
    }

    void selectionFillsItsCellsOnly_data()
    {
        QTest::addColumn<bool>("pictureMode");
        QTest::newRow("direct drawing") << false;
        QTest::newRow("label pictures") << true;
    }

    void selectionFillsItsCellsOnly()
    {
        QFETCH(bool, pictureMode);
        SheetPrint::Result result;
        const QImage page = SheetPrint::pageImage(selectionJob(m_labels, pictureMode), a4(true), &result);
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(page.size(), QSize(1169, 827));
        for (int cell = 0; cell < 3; ++cell)
            QVERIFY2(ink(page, cellRect(result.geometry, cell)) > 2000, qPrintable(QString::number(cell)));
        QCOMPARE(ink(page, cellRect(result.geometry, 3)), 0);
        QVERIFY(result.missing.isEmpty());
        QVERIFY2(result.problems.isEmpty(), qPrintable(result.problems.join(u'\n')));
    }

    void missingEntryLeavesItsCellWhite_data()
    {
        QTest::addColumn<bool>("pictureMode");
        QTest::newRow("direct drawing") << false;
        QTest::newRow("label pictures") << true;
    }

    void missingEntryLeavesItsCellWhite()
    {
        // The cell after a printed label must never show that label again.
        QFETCH(bool, pictureMode);
        const QString gone = m_dir.filePath(QStringLiteral("Disparu.kvln"));
        const QStringList selection = {m_labels.at(0), gone, QString(), m_labels.at(2)};
        SheetPrint::Result result;
        const QImage page = SheetPrint::pageImage(selectionJob(selection, pictureMode), a4(true), &result);
        const SheetGeometry &g = result.geometry;
        QVERIFY(ink(page, cellRect(g, 0)) > 2000);
        QCOMPARE(ink(page, cellRect(g, 1)), 0);
        QCOMPARE(ink(page, cellRect(g, 2)), 0); // an empty entry: a blank cell, no warning
        QVERIFY(ink(page, cellRect(g, 3)) > 2000);
        QCOMPARE(result.missing, QStringList{gone});
        const QStringList messages = SheetPrint::messages(result);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first(), QStringLiteral("Le fichier ''%1'' est introuvable").arg(gone));
    }

    void entriesThatAreNoLabelFileSayWhy()
    {
        // A folder and a link to itself are not "missing": each is named
        // with what is wrong with it, entry by entry, and its cell is white.
        const QString folder = m_dir.filePath(QStringLiteral("Dossier.kvln"));
        QVERIFY(QDir().mkpath(folder));
        const QString loop = m_dir.filePath(QStringLiteral("Boucle.kvln"));
        QFile::remove(loop);
        QVERIFY(QFile::link(loop, loop));
        const QString gone = m_dir.filePath(QStringLiteral("Parti.kvln"));
        const QStringList selection = {folder, m_labels.at(0), loop, gone};
        SheetPrint::Result result;
        const QImage page = SheetPrint::pageImage(selectionJob(selection, false), a4(true), &result);
        QCOMPARE(ink(page, cellRect(result.geometry, 0)), 0);
        QVERIFY(ink(page, cellRect(result.geometry, 1)) > 2000);
        QCOMPARE(ink(page, cellRect(result.geometry, 2)), 0);
        QCOMPARE(result.missing, (QStringList{folder, loop, gone}));
        QCOMPARE(result.entryProblems, (QList<SheetPrint::EntryProblem>{
                                           {folder, QStringLiteral("n'est pas un fichier ordinaire (dossier)")},
                                           {loop, QStringLiteral("lien en boucle")},
                                           {gone, QStringLiteral("introuvable")}}));
        const QStringList messages = SheetPrint::messages(result);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().split(u'\n'),
                 (QStringList{QStringLiteral("Le fichier ''%1'' : n'est pas un fichier ordinaire (dossier)").arg(folder),
                              QStringLiteral("Le fichier ''%1'' : lien en boucle").arg(loop),
                              QStringLiteral("Le fichier ''%1'' est introuvable").arg(gone)}));
    }

    void storedLabelsKeepEveryLine_data()
    {
        QTest::addColumn<bool>("pictureMode");
        QTest::newRow("direct drawing") << false;
        QTest::newRow("label pictures") << true;
    }

    void storedLabelsKeepEveryLine()
    {
        // The blocks of a stored label are one pixel shorter than their lines;
        // their last line (the supplier's emergency number, the product name,
        // the comment) must still be drawn, clipped at the box.
        QFETCH(bool, pictureMode);
        QImage image(1800, 1300, QImage::Format_RGB32);
        image.fill(Qt::white);
        LayoutResult r;
        if (pictureMode) {
            image = StoredLabel::imp_etBM_pl(m_labels.at(0), false, FrameMirrors(), kData, &r);
        } else {
            QPainter painter(&image);
            const double a = 1800 / 636.0;
            r = StoredLabel::imp_etPR_pl(painter, m_labels.at(0), false, FrameMirrors(), kData,
                                        RenderVariant::page(0, 0, 1800, a, a * 0.75, 1300, 96));
        }
        QVERIFY(r.supplier.height() > 0 && r.product.height() > 0 && r.comment.height() > 0);
        const int supplierLine = (r.supplier.height() + 1) / 4; // four lines once the logo line is taken off
        const QRect lastSupplierLine(r.supplier.left(), r.supplier.bottom() - supplierLine + 2, r.supplier.width(),
                                     supplierLine - 2);
        QVERIFY2(ink(image, lastSupplierLine, 0) > 20, "the emergency number");
        QVERIFY2(ink(image, r.product, 0) > 100, "the product name");
        QVERIFY2(ink(image, r.comment.adjusted(0, 2, 0, 0), 0) > 20, "the comment");
    }

    void activeLabelRepeatedOrAlone()
    {
        SheetPrint::Job job;
        job.settings.labelsPerPage = 8;
        job.settings.activeLabel = true;
        job.settings.separatorLines = false;
        job.active = sampleContent(m_labels.at(1));
        job.pictogramFolder = kData;
        for (bool pictureMode : {false, true}) {
            job.settings.pictureMode = pictureMode;
            job.settings.singleLabel = false;
            SheetPrint::Result result;
            QImage page = SheetPrint::pageImage(job, a4(false), &result);
            for (int cell = 0; cell < 8; ++cell)
                QVERIFY(ink(page, cellRect(result.geometry, cell)) > 500);
            job.settings.singleLabel = true;
            page = SheetPrint::pageImage(job, a4(false), &result);
            QVERIFY(ink(page, cellRect(result.geometry, 0)) > 500);
            for (int cell = 1; cell < 8; ++cell)
                QCOMPARE(ink(page, cellRect(result.geometry, cell)), 0);
        }
    }

    void separatorsAlongPrintedCellsAndTheFrame()
    {
        SheetPrint::Job job = selectionJob(m_labels.mid(0, 1), false, 2);
        job.settings.separatorLines = true;
        SheetPrint::Result result;
        const QImage page = SheetPrint::pageImage(job, a4(false), &result);
        const SheetGeometry &g = result.geometry;
        // The frame: dots along the top, left, right and bottom edges of the grid.
        QVERIFY(ink(page, QRect(0, 0, g.gridWidth, 1), 0) > 50);
        QVERIFY(ink(page, QRect(0, g.gridHeight - 2, g.gridWidth, 2), 0) > 50);
        QVERIFY(ink(page, QRect(g.gridWidth - 2, 0, 2, g.gridHeight), 0) > 50);
        // Dotted, not solid.
        QVERIFY(ink(page, QRect(0, g.gridHeight - 2, g.gridWidth, 2), 0) < g.gridWidth * 3 / 4);
        // Below the grid the page stays white.
        QCOMPARE(ink(page, QRect(0, g.gridHeight + 1, page.width(), page.height() - g.gridHeight - 1), 0), 0);
    }

    void letterPaperKeepsTheGridOnThePage()
    {
        // US Letter at 100 pixels per inch: the grid is fitted, its frame
        // drawn inside the page.
        SheetPrint::Surface letter;
        letter.width = 850;
        letter.height = 1100;
        letter.dpiX = letter.dpiY = 100;
        SheetPrint::Job job = selectionJob(m_labels, false, 18);
        job.settings.separatorLines = true;
        SheetPrint::Result result;
        const QImage page = SheetPrint::pageImage(job, letter, &result);
        QVERIFY(result.geometry.fitted);
        QCOMPARE(result.geometry.gridHeight, 1100);
        QVERIFY(ink(page, QRect(0, 1098, result.geometry.gridWidth, 2), 0) > 50);
    }

    void cutStatementsAreNamed()
    {
        // More statements than any label holds.
        SheetPrint::Job job;
        job.settings.labelsPerPage = 4;
        job.settings.activeLabel = true;
        job.settings.pictureMode = true;
        job.activeName = QStringLiteral("Étiquette N°1");
        job.active = sampleContent(m_labels.at(0));
        for (int i = 0; i < 60; ++i)
            job.active.statements += QStringLiteral("P%1: Une consigne de prudence assez longue pour la ligne.\n").arg(i);
        job.pictogramFolder = kData;
        SheetPrint::Result result;
        SheetPrint::pageImage(job, a4(true), &result);
        QCOMPARE(result.cut.size(), 1); // one label, once, whatever the cells
        QCOMPARE(result.cut.first().label, job.activeName);
        const QStringList messages = SheetPrint::messages(result);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().startsWith(LabelRenderer::cutWarning(result.cut.first().statement)));
        QVERIFY(messages.first().contains(job.activeName));

        // Drawn directly the statements run to the page's bottom edge: the
        // lower row is cut there, the label above is not.
        job.settings.pictureMode = false;
        job.settings.labelsPerPage = 2;
        result = {};
        SheetPrint::pageImage(job, a4(false), &result);
        QCOMPARE(result.cut.size(), 1);
    }

    void statementsRunningOntoTheCellBelow()
    {
        // A stored label with more statements than its cell holds, in the top
        // row: drawn directly its statements run on over the cell below; the
        // user is told which label, and it is not called cut.
        const QString longLabel = m_dir.filePath(QStringLiteral("Longue.kvln"));
        QVERIFY(TestFiles::writeLongerLabel(m_labels.at(0), longLabel));

        SheetPrint::Result result;
        SheetPrint::pageImage(selectionJob({longLabel, m_labels.at(1), QString(), m_labels.at(2)}, false),
                              a4(true), &result);
        QVERIFY(result.cut.isEmpty());
        QCOMPARE(result.overflow.size(), 1);
        QCOMPARE(result.overflow.first().label, QStringLiteral("Longue.kvln"));
        QVERIFY(result.overflow.first().statement.startsWith(QStringLiteral("P9")));
        const QStringList messages = SheetPrint::messages(result);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().startsWith(SheetPrint::kOverflow.arg(result.overflow.first().statement)));
        QVERIFY(messages.first().endsWith(QStringLiteral("- Longue.kvln")));

        // As label pictures the statements stop at the label's bottom: cut.
        result = {};
        SheetPrint::pageImage(selectionJob({longLabel}, true), a4(true), &result);
        QCOMPARE(result.cut.size(), 1);
        QVERIFY(result.overflow.isEmpty());
        // The three samples hold their statements.
        result = {};
        SheetPrint::pageImage(selectionJob(m_labels, false, 18), a4(false), &result);
        QVERIFY(result.cut.isEmpty());
        QVERIFY(result.overflow.isEmpty());
    }

    void checkNamesBeforePrinting()
    {
        // Laid out without drawing, the job finds what the print would find,
        // so the user can be asked first.
        const QString longLabel = m_dir.filePath(QStringLiteral("Trop longue.kvln"));
        QVERIFY(TestFiles::writeLongerLabel(m_labels.at(0), longLabel));
        const QString gone = m_dir.filePath(QStringLiteral("Partie.kvln"));

        for (const bool pictureMode : {false, true}) {
            // The long label twice, a missing file, a sound label.
            const SheetPrint::Job job = selectionJob({longLabel, m_labels.at(1), longLabel, gone}, pictureMode);
            const SheetPrint::Result before = SheetPrint::check(job, a4(true));
            SheetPrint::Result printed;
            SheetPrint::pageImage(job, a4(true), &printed);
            const QList<SheetPrint::CutLabel> &found = pictureMode ? before.cut : before.overflow;
            QCOMPARE(found.size(), 1); // named once
            QCOMPARE(found.first().label, QStringLiteral("Trop longue.kvln"));
            const QList<SheetPrint::CutLabel> &after = pictureMode ? printed.cut : printed.overflow;
            QCOMPARE(after.size(), 1);
            QCOMPARE(found.first().statement, after.first().statement);
            QVERIFY((pictureMode ? before.overflow : before.cut).isEmpty());
            QCOMPARE(before.missing, QStringList{gone});

            const QString warning = SheetPrint::layoutWarning(before);
            QVERIFY(warning.startsWith(SheetPrint::kLayoutIntro + QStringLiteral("\n- Trop longue.kvln : à partir de « P9")));
            QVERIFY(warning.contains(pictureMode ? SheetPrint::kLayoutCut : SheetPrint::kLayoutOverflow));
        }
        // More labels per page make them smaller: the samples still fit at 4,
        // and nothing is said.
        const SheetPrint::Result sound = SheetPrint::check(selectionJob(m_labels, false), a4(true));
        QVERIFY(sound.overflow.isEmpty() && sound.cut.isEmpty());
        QCOMPARE(SheetPrint::layoutWarning(sound), QString());
        // Margins that leave no room: said as the job would.
        SheetPrint::Job cramped = selectionJob(m_labels, false);
        cramped.settings.marginLeft = QStringLiteral("1000000");
        QCOMPARE(SheetPrint::check(cramped, a4(true)).error, SheetPrint::kNoRoom);
    }

    void absurdMarginsNeverBreakTheJob()
    {
        SheetPrint::Job job = selectionJob(m_labels, false);
        const QImage reference = SheetPrint::pageImage(job, a4(true));
        job.settings.marginLeft = QStringLiteral("cinq");
        job.settings.marginTop = QStringLiteral("");
        QCOMPARE(SheetPrint::pageImage(job, a4(true)), reference); // not a number: 0

        // As large as the cells: no room, nothing drawn, said in French.
        job.settings.marginLeft = QStringLiteral("99999999999999999999");
        SheetPrint::Result result;
        QVERIFY(SheetPrint::pageImage(job, a4(true), &result).isNull());
        QCOMPARE(result.error, SheetPrint::kNoRoom);
        // Without the adaptation the labels are simply pushed off the page.
        job.settings.adapt = false;
        result = {};
        QVERIFY(!SheetPrint::pageImage(job, a4(true), &result).isNull());
        QVERIFY(result.error.isEmpty());
        // Negative margins pull them off the other side.
        job.settings.marginLeft = QStringLiteral("-400");
        job.settings.marginTop = QStringLiteral("-1e9");
        job.settings.adapt = true;
        job.settings.scale = 200;
        result = {};
        QVERIFY(!SheetPrint::pageImage(job, a4(true), &result).isNull());
        // An empty page.
        result = {};
        QVERIFY(SheetPrint::pageImage(job, SheetPrint::Surface{0, 0, 100, 100, false}, &result).isNull());
        QCOMPARE(result.error, SheetPrint::kNoPrintableArea);
    }

    void copiesArePagesOfTheSameSheet()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("copies.pdf"));
        {
            QPdfWriter writer(pdf);
            writer.setResolution(150);
            writer.setPageSize(QPageSize(QPageSize::A4));
            SheetPrint::Job job = selectionJob(m_labels, false);
            job.settings.separatorLines = true;
            job.copies = 3;
            const SheetPrint::Result result = SheetPrint::print(&writer, job);
            QVERIFY2(result.printed, qPrintable(result.error));
            QCOMPARE(result.pages, 3);
            QCOMPARE(writer.pageLayout().orientation(), QPageLayout::Landscape);
        }
        QCOMPARE(TestFiles::pdfPageCount(pdf), 3);

        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        QVERIFY2(!pdftoppm.isEmpty(), "pdftoppm (poppler-utils) is needed to compare the pages' pixels");
        QProcess raster;
        raster.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), pdf,
                                m_dir.filePath(QStringLiteral("copy"))});
        QVERIFY(raster.waitForFinished(60000));
        QCOMPARE(raster.exitCode(), 0);
        const QStringList pages =
            QDir(m_dir.path()).entryList({QStringLiteral("copy-*.png")}, QDir::Files, QDir::Name);
        QCOMPARE(pages.size(), 3);
        const QImage first(m_dir.filePath(pages.at(0)));
        QVERIFY(!first.isNull());
        QVERIFY(first.width() > first.height()); // 4 labels per page: landscape
        QVERIFY(ink(first, first.rect(), 0) > 1000);
        for (int i = 1; i < 3; ++i)
            QCOMPARE(QImage(m_dir.filePath(pages.at(i))), first);
    }

    void failingDeviceEndsTheDocument()
    {
        // A device that refuses a new page: the job stops there, the
        // document is ended, the failure is said in French.
        const QString pdf = m_dir.filePath(QStringLiteral("refus.pdf"));
        FailingWriter writer(pdf);
        writer.setResolution(72);
        SheetPrint::Job job = selectionJob(m_labels.mid(0, 1), false, 2);
        job.copies = 2;
        SheetPrint::Result result = SheetPrint::print(&writer, job);
        QVERIFY(!result.printed);
        QCOMPARE(result.pages, 1);
        QCOMPARE(result.error, SheetPrint::kFailure.arg(SheetPrint::kAtNewPage));
        QVERIFY(QFileInfo(pdf).size() > 0);

        // A device that reports its own error state once begun.
        QPdfWriter other(m_dir.filePath(QStringLiteral("erreur.pdf")));
        job.deviceFailed = [] { return true; };
        result = SheetPrint::print(&other, job);
        QVERIFY(!result.printed);
        QCOMPARE(result.pages, 0);
        QCOMPARE(result.error, SheetPrint::kFailure.arg(SheetPrint::kAtBegin));
    }
};

QTEST_MAIN(TestSheetPrint)
#include "test_sheetprint.moc"

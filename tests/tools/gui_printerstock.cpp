// The print options on label stock: the stock list and its refused entries,
// the start position, the printer's offsets kept per printer in
// "impression.ini" and applied to the job, the calibration page, the size of
// one label for a grid and for a stock, the stock sheet preview, and the
// grids still working without the template files. Printed pages are checked
// by where their ink is once rasterised.

#include "testhelpers.h"
#include "testsupport.h"

#include "render/calibration.h"
#include "render/labelstock.h"
#include "render/printview.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/settingsfiles.h"
#include "shell/textfile.h"
#include "tools/printer.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kSamples = {QStringLiteral("Kalvane/Acetone.kvln"), QStringLiteral("SGH02.jpg"),
                              QStringLiteral("SGH07.jpg")};
constexpr int kDpi = 50; // rasterising resolution

// The print dialog sends the job to a PDF file.
class PdfDesktop : public ScriptedDesktop
{
public:
    QString outputFile;
    bool print(QWidget *parent, QPrinter *printer) override
    {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(outputFile);
        printer->setResolution(300);
        printer->setCopyCount(1);
        return ScriptedDesktop::print(parent, printer);
    }
};

QRect pixels(const QRectF &mm)
{
    return QRect(QPoint(int(std::floor(mm.left() * kDpi / 25.4)), int(std::floor(mm.top() * kDpi / 25.4))),
                 QPoint(int(std::ceil(mm.right() * kDpi / 25.4)), int(std::ceil(mm.bottom() * kDpi / 25.4))));
}

// The pages of a PDF at kDpi.
QList<QImage> rasterised(const QString &pdf)
{
    QString why;
    QList<QImage> pages;
    for (const QImage &page : TestPrinting::pages(pdf, kDpi, &why))
        pages << page.convertToFormat(QImage::Format_RGB32);
    return pages;
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int ink(const QImage &page, const QRect &r)
{
    return TestPictures::ink(page, r.intersected(page.rect()));
}

} // namespace

class TestPrinterStock : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    std::unique_ptr<Desktop> m_scripted;
    PdfDesktop *m_desk = nullptr;

    TForm_base *frame() const { return m_program->app->frame(); }
    Tprinter *dlg() const { return m_program->app->printer(); }

    void startProgram(const std::function<void()> &beforeShow = {})
    {
        m_program = std::make_unique<TestProgram>();
        m_desk = new PdfDesktop;
        m_desk->outputFile = m_dir->file(QStringLiteral("sortie.pdf"));
        m_scripted = setDesktop(std::unique_ptr<Desktop>(m_desk));
        m_program->desktop = m_desk;
        if (beforeShow)
            beforeShow();
        frame()->show();
    }

    void stopProgram()
    {
        if (!m_program)
            return;
        setDesktop(std::move(m_scripted));
        m_program.reset();
    }

    // Runs the print command; `inDialog` acts in the print options.
    void printWith(const std::function<void(Tprinter *)> &inDialog)
    {
        QTimer::singleShot(0, dlg(), [this, inDialog] {
            inDialog(dlg());
            if (dlg()->isVisible())
                dlg()->reject();
        });
        frame()->Printer1->trigger();
    }

    const LabelStock::Template &stock(const char *name)
    {
        const LabelStock::Template *t = LabelStock::installed().find(QString::fromLatin1(name));
        if (!t)
            qFatal("stock %s not installed (glabels-data)", name);
        return *t;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QFAIL("pdftoppm (poppler-utils) is needed to look at the printed pages");
    }

    void init() { m_dir = std::make_unique<TempStartDir>(kCatalogueFiles + kSamples); }

    void cleanup()
    {
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        stopProgram();
        m_dir.reset();
    }

    void stockListAndChoice()
    {
        startProgram();
        frame()->open(m_dir->file(kSamples.at(0)));
        Tprinter *p = dlg();
        QVERIFY(!p->GB_modele->isChecked());
        QVERIFY(p->GroupFormat->isEnabled());
        p->show();
        // Every template is listed, those that cannot be printed on disabled.
        QAbstractItemModel *model = p->CB_modele->model();
        QCOMPARE(model->rowCount(), LabelStock::installed().templates.size());
        int avery = -1;
        int refused = -1;
        for (int i = 0; i < model->rowCount(); ++i) {
            const QString text = model->index(i, 0).data().toString();
            if (text.startsWith(QStringLiteral("Avery L7165 ")))
                avery = i;
            if (refused < 0 && text.endsWith(QStringLiteral("non pris en charge")))
                refused = i;
        }
        QVERIFY(avery >= 0 && refused >= 0);
        QCOMPARE(model->index(avery, 0).data().toString(), QStringLiteral("Avery L7165 — 99,1 × 67,7 mm, 8 par planche"));
        QVERIFY(model->flags(model->index(avery, 0)) & Qt::ItemIsEnabled);
        QVERIFY(!(model->flags(model->index(refused, 0)) & Qt::ItemIsEnabled));

        // Typing a refused stock's name: its reason, nothing chosen.
        p->GB_modele->setChecked(true);
        QVERIFY(!p->GroupFormat->isEnabled() && !p->Ed_g->isEnabled());
        const QString refusedName = model->index(refused, 0).data(Qt::UserRole + 1).toString();
        p->CB_modele->lineEdit()->setText(refusedName);
        Q_EMIT p->CB_modele->lineEdit()->editingFinished();
        QVERIFY(!p->chosenStock());
        QVERIFY2(p->Lab_modele->text().contains(QStringLiteral("ne peut pas servir")), qPrintable(p->Lab_modele->text()));
        QVERIFY(!p->B_calibration->isEnabled());

        // Typed in any case: chosen, the size of its label shown.
        p->CB_modele->lineEdit()->setText(QStringLiteral("avery l7165"));
        Q_EMIT p->CB_modele->lineEdit()->editingFinished();
        QVERIFY(p->chosenStock());
        QCOMPARE(p->chosenStock()->name(), QStringLiteral("Avery L7165"));
        QVERIFY(p->Lab_modele->isHidden());
        QVERIFY(p->B_calibration->isEnabled());
        QVERIFY2(p->L_taille->text().startsWith(QStringLiteral("Taille d'une étiquette : 99,1 × 67,7 mm (Avery L7165")),
                 qPrintable(p->L_taille->text()));

        // A start position off the sheet, or no number: said, not printed.
        for (const QString &start : {QStringLiteral("9"), QStringLiteral("0"), QStringLiteral("deux")}) {
            p->Ed_debut->setText(start);
            m_desk->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("choisissez de 1 à 8"));
            p->But_OKClick();
            QCOMPARE(p->But_OKTag, 1);
            QVERIFY(p->isVisible());
        }
        QVERIFY(p->Lab_modele->text().contains(QStringLiteral("choisissez de 1 à 8")));
        p->hide();
    }

    void gridSizeShown()
    {
        startProgram();
        Tprinter *p = dlg();
        p->Rad_8->click();
        p->show();
        // From the printer's printable area: an A-proportioned cell.
        const QRegularExpression size(QStringLiteral("^Taille d'une étiquette : (\\d+),(\\d) × (\\d+),(\\d) mm "
                                                     "\\(grille de 8 par page\\)$"));
        const QRegularExpressionMatch m = size.match(p->L_taille->text());
        QVERIFY2(m.hasMatch(), qPrintable(p->L_taille->text()));
        const double w = m.captured(1).toDouble() + m.captured(2).toDouble() / 10;
        const double h = m.captured(3).toDouble() + m.captured(4).toDouble() / 10;
        QVERIFY2(w > 90 && w < 106 && std::abs(w / h - 1.4142) < 0.01, qPrintable(p->L_taille->text()));
        // Larger with fewer labels, and in the sheet preview under the page.
        const QString eight = p->L_taille->text();
        p->Rad_4->click();
        QVERIFY(p->L_taille->text().contains(QStringLiteral("grille de 4 par page")));
        p->Rad_8->click();
        QCOMPARE(p->L_taille->text(), eight);
        p->But_View->click();
        QCOMPARE(m_program->app->printView()->Lab_taille->text(), eight);
        p->hide();
    }

    void stockJobFromTheStartPositionWithTheOffsets()
    {
        startProgram();
        frame()->open(m_dir->file(kSamples.at(0)));
        Tprinter *p = dlg();
        const LabelStock::Template &t = stock("Avery L7165");
        m_desk->printAnswers.enqueue(true);
        printWith([&](Tprinter *p) {
            p->GB_modele->setChecked(true);
            QVERIFY(p->chooseStock(QStringLiteral("Avery L7165")));
            p->Ed_debut->setText(QStringLiteral("3"));
            // A PDF file is a printer of its own: its offsets are those shown.
            QVERIFY(p->Lab_imprimante->text().startsWith(QStringLiteral("Décalages de « ")));
            p->setOffsetsFor(QString(), QPointF(4, 2));
            p->setOffsetsFor(QStringLiteral("Autre"), QPointF(-3, 1));
            p->But_OK->click();
        });
        QVERIFY(m_desk->messages.isEmpty());
        const QList<QImage> pages = rasterised(m_desk->outputFile);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.first().size(), QSize(414, 585)); // A4, the stock's paper
        // The active label fills the sheet from label 3, every label inside
        // its die-cut rectangle moved by the PDF printer's offsets.
        const QList<QRectF> cuts = t.dieCuts();
        QList<QRect> allowed;
        for (const QRectF &c : cuts)
            allowed << pixels(c.translated(4, 2));
        QCOMPARE(TestPictures::inkOutside(pages.first(), allowed), 0);
        for (int k = 0; k < 8; ++k) {
            const int n = ink(pages.first(), pixels(cuts.at(k).translated(4, 2)));
            QVERIFY2(k >= 2 ? n > 300 : n == 0, qPrintable(QStringLiteral("label %1: %2").arg(k + 1).arg(n)));
        }

        // The choice and each printer's offsets are kept for the next run.
        p->hide();
        stopProgram();
        const PrintIni ini = PrintIni::fromLines(TextFile::readLines(m_dir->file(QStringLiteral("impression.ini"))));
        QVERIFY(ini.onStock);
        QCOMPARE(ini.stock, QStringLiteral("Avery L7165"));
        QCOMPARE(ini.start, 3);
        QCOMPARE(ini.offsets.value(QString()), QPointF(4, 2));
        QCOMPARE(ini.offsets.value(QStringLiteral("Autre")), QPointF(-3, 1));
        QDir::setCurrent(m_dir->path()); // opening the label made its folder the working one
        startProgram();
        dlg()->show();
        QVERIFY(dlg()->GB_modele->isChecked());
        QVERIFY(dlg()->chosenStock() && dlg()->chosenStock()->name() == QStringLiteral("Avery L7165"));
        QCOMPARE(dlg()->Ed_debut->text(), QStringLiteral("3"));
        QCOMPARE(dlg()->offsetsFor(QStringLiteral("Autre")), QPointF(-3, 1));
        dlg()->hide();
    }

    void stockSheetPreview()
    {
        startProgram();
        frame()->open(m_dir->file(kSamples.at(0)));
        Tprinter *p = dlg();
        p->show();
        p->GB_modele->setChecked(true);
        QVERIFY(p->chooseStock(QStringLiteral("Avery L7169"))); // 4 per sheet
        p->Ed_debut->setText(QStringLiteral("2"));
        p->CB_one->setChecked(true);
        p->But_View->click();
        TPrintView *view = m_program->app->printView();
        const QImage page = view->Image1->pixmap().toImage();
        const LabelStock::Template &t = stock("Avery L7169");
        const double px = 450.0 / 210 < 636.0 / 297 ? 450.0 / 210 : 636.0 / 297;
        const auto inPreview = [px](const QRectF &mm) {
            return QRectF(mm.left() * px, mm.top() * px, mm.width() * px, mm.height() * px).toRect();
        };
        const QList<QRectF> cuts = t.dieCuts();
        QCOMPARE(cuts.size(), 4);
        // One label, in the second die-cut; the others show their outline only.
        for (int k = 0; k < 4; ++k) {
            const int n = TestPictures::ink(page, inPreview(cuts.at(k)).adjusted(3, 3, -3, -3), 0, 140);
            QVERIFY2(k == 1 ? n > 300 : n == 0, qPrintable(QStringLiteral("label %1: %2").arg(k + 1).arg(n)));
        }
        // The outline of the first die-cut: grey pixels along its top edge.
        const QRect first = inPreview(cuts.at(0));
        int grey = 0;
        for (int x = first.left() + 10; x < first.right() - 10; ++x)
            for (int y = first.top() - 1; y <= first.top() + 1; ++y) {
                const QRgb c = page.pixel(x, y);
                grey += qRed(c) < 235 && qRed(c) > 100 && qRed(c) == qGreen(c) ? 1 : 0;
            }
        QVERIFY2(grey > first.width() / 2, qPrintable(QString::number(grey)));
        QVERIFY(view->Lab_taille->text().contains(QStringLiteral("Avery L7169")));
        QVERIFY(m_desk->messages.isEmpty());
        p->hide();
    }

    void calibrationPage()
    {
        startProgram();
        Tprinter *p = dlg();
        p->show();
        p->GB_modele->setChecked(true);
        QVERIFY(p->chooseStock(QStringLiteral("Avery L7169")));
        p->setOffsetsFor(QString(), QPointF(6, 6)); // not applied: the page shows the printer's own error
        m_desk->printAnswers.enqueue(true);
        p->B_calibration->click();
        QVERIFY(m_desk->messages.isEmpty());
        const QList<QImage> pages = rasterised(m_desk->outputFile);
        QCOMPARE(pages.size(), 1);
        const QImage &page = pages.first();
        const LabelStock::Template &t = stock("Avery L7169");
        // A cross at each known place: ink at its centre, along its arms.
        const QList<QPointF> crosses = Calibration::crosses(t);
        QCOMPARE(crosses.size(), 5);
        QCOMPARE(crosses.first(), QPointF(20, 20));
        for (const QPointF &c : crosses) {
            const QPoint at(int(c.x() * kDpi / 25.4), int(c.y() * kDpi / 25.4));
            QVERIFY2(ink(page, QRect(at - QPoint(1, 1), QSize(3, 3))) > 0, qPrintable(QStringLiteral("%1,%2").arg(c.x()).arg(c.y())));
            QVERIFY(ink(page, QRect(at + QPoint(6, -1), QSize(4, 3))) > 0);  // right arm, 4 mm out
            QVERIFY(ink(page, QRect(at + QPoint(-1, 6), QSize(3, 4))) > 0);  // lower arm
        }
        // Nothing at the place a 6 mm offset would have put the first cross.
        const QPoint moved(int(26 * kDpi / 25.4), int(26 * kDpi / 25.4));
        QCOMPARE(ink(page, QRect(moved - QPoint(1, 1), QSize(3, 3))), 0);
        // The coordinates are written beside the crosses.
        const QString text = pdfText(m_desk->outputFile).simplified();
        for (const QString &written : {QStringLiteral("x = 20,0 mm ; y = 20,0 mm"), QStringLiteral("x = 105,0 mm ; y = 148,5 mm"),
                                       QStringLiteral("x = 190,0 mm ; y = 277,0 mm")})
            QVERIFY2(text.contains(written), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Avery L7169")));
        p->hide();
    }

    void gridsWithoutTemplates()
    {
        static const LabelStock::Catalogue missing = LabelStock::readInstalled(m_dir->file(QStringLiteral("absent")));
        startProgram([&] { dlg()->setStockCatalogue(&missing); });
        frame()->open(m_dir->file(kSamples.at(0)));
        Tprinter *p = dlg();
        p->show();
        QVERIFY(!p->CB_modele->isEnabled());
        QVERIFY(p->Lab_modele->isVisible());
        QVERIFY(p->Lab_modele->text().contains(QStringLiteral("glabels-data")));
        p->GB_modele->setChecked(true);
        m_desk->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("ne sont pas installés"));
        p->But_OKClick();
        QCOMPARE(p->But_OKTag, 1);
        // The grids print as before.
        p->GB_modele->setChecked(false);
        p->hide();
        m_desk->printAnswers.enqueue(true);
        printWith([](Tprinter *p) {
            p->Rad_4->click();
            p->But_OK->click();
        });
        QCOMPARE(TestFiles::pdfPageCount(m_desk->outputFile), 1);
        QVERIFY(TestPictures::ink(rasterised(m_desk->outputFile).value(0), QRect(0, 0, 585, 414)) > 1000);
    }
};

QTEST_MAIN(TestPrinterStock)
#include "gui_printerstock.moc"

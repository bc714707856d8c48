// The frame's print command on a PDF printer: the print options shown
// modally, the print dialog, copies as pages, the active label or the
// selection, the signs of a running job taken back, the warnings, printing
// errors, and the places the command is reached from.

#include "testhelpers.h"
#include "testsupport.h"

#include "editor/mdichild.h"
#include "render/apercu.h"
#include "render/printview.h"
#include "render/storedlabel.h"
#include "shell/application.h"
#include "shell/base.h"
#include "tools/printcommand.h"
#include "tools/printer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kSamples = {QStringLiteral("Kalvane/Acetone.kvln"),
                              QStringLiteral("Kalvane/Acide sulfurique 96%.kvln"),
                              QStringLiteral("Kalvane/Hypochlorite de sodium.kvln")};
const QStringList kPictures = {QStringLiteral("SGH02.jpg"), QStringLiteral("SGH05.jpg"), QStringLiteral("SGH07.jpg"),
                               QStringLiteral("SGH09.jpg")};

// The scripted desktop, whose print dialog also sends the job to a PDF file
// with the copies a user would choose.
class PrintingDesktop : public ScriptedDesktop
{
public:
    QString outputFile;
    int copies = 1;
    int printerCopiesSeen = -1; // the printer's copy count when the dialog opened
    QString fileSeen;           // its output file then
    QPrinter *printerSeen = nullptr;
    qsizetype messagesSeen = -1; // messages shown before the dialog opened

    bool print(QWidget *parent, QPrinter *printer) override
    {
        printerCopiesSeen = printer->copyCount();
        fileSeen = printer->outputFileName();
        printerSeen = printer;
        messagesSeen = messages.size();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(outputFile);
        printer->setResolution(300);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setCopyCount(copies);
        return ScriptedDesktop::print(parent, printer);
    }
};

} // namespace

class TestPrintJob : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    std::unique_ptr<Desktop> m_scripted; // the program's own scripted desktop, put back at the end
    PrintingDesktop *m_desk = nullptr;

    TForm_base *frame() const { return m_program->app->frame(); }
    Tprinter *dlg() const { return m_program->app->printer(); }

    // Runs the print command; `inDialog` acts in the print options while
    // they are shown modally.
    void printWith(const std::function<void(Tprinter *)> &inDialog)
    {
        QTimer::singleShot(0, dlg(), [this, inDialog] {
            QVERIFY(dlg()->isVisible());
            inDialog(dlg());
            if (dlg()->isVisible())
                dlg()->reject();
        });
        frame()->Printer1->trigger();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles + kSamples + kPictures);
        m_program = std::make_unique<TestProgram>();
        m_desk = new PrintingDesktop;
        m_desk->outputFile = m_dir->file(QStringLiteral("sortie.pdf"));
        m_scripted = setDesktop(std::unique_ptr<Desktop>(m_desk));
        m_program->desktop = m_desk;
        frame()->show();
    }

    void cleanup()
    {
        QCOMPARE(QApplication::overrideCursor(), nullptr); // the hourglass never stays
        setDesktop(std::move(m_scripted));
        m_program.reset();
        m_dir.reset();
    }

    void activeLabelWithCopies()
    {
        frame()->open(m_dir->file(kSamples.at(0)));
        TMDIChild *label = frame()->activeLabel();
        frame()->mirrors.productSize = 16;
        m_desk->copies = 3;
        m_desk->printAnswers.enqueue(true);
        printWith([&](Tprinter *p) {
            // The command named the active label and brought the first tab.
            QCOMPARE(p->Rad_actuel->text(), label->windowTitle());
            QCOMPARE(p->PageControl1->currentWidget(), p->TabSheet1);
            QCOMPARE(p->But_OKTag, 1);
            QVERIFY(p->Rad_actuel->isChecked());
            p->Rad_4->click();
            p->Ed_g->setText(QStringLiteral("5"));
            p->But_OK->click();
        });
        QCOMPARE(m_desk->printerCopiesSeen, 1);
        QCOMPARE(TestFiles::pdfPageCount(m_desk->outputFile), 3); // the program repeats the page
        QVERIFY(m_desk->messages.isEmpty());
        QCOMPARE(frame()->STnb_f->text(), QStringLiteral("1"));
        QCOMPARE(frame()->mirrors.productSize, 16.0f);
        QCOMPARE(label->Lab_margeX->text(), QStringLiteral("5"));
    }

    void selectionWithAMissingFile()
    {
        m_desk->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le fichier"));
        // Printing the sheet as label pictures: the cell of the missing file is
        // white and the user is told which file it was.
        QStringList files;
        for (const QString &s : kSamples)
            files << m_dir->file(s);
        const QString gone = m_dir->file(QStringLiteral("Kalvane/Retiré.kvln"));
        files.insert(2, gone);
        m_desk->printAnswers.enqueue(true);
        printWith([&](Tprinter *p) {
            QVERIFY(p->Rad_planche->isChecked());
            m_desk->openAnswers.enqueue(files);
            p->Button1->click();
            p->CB_IB->setChecked(true);
            p->But_OK->click();
        });
        QCOMPARE(TestFiles::pdfPageCount(m_desk->outputFile), 1);
        QCOMPARE(m_desk->messageLines(),
                 QStringList{QStringLiteral("AVERTISSEMENT: ")
                             + StoredLabel::kMissingFile.arg(QDir::toNativeSeparators(gone))});
        QCOMPARE(frame()->STnb_f->text(), QStringLiteral("0"));
    }

    void nothingPrintedWhenCancelled()
    {
        m_desk->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Aucune étiquette disponible !"));
        // The options cancelled: no print dialog (the scripted desktop would
        // fail the test on one).
        printWith([](Tprinter *p) { p->But_annul->click(); });
        QVERIFY(!QFileInfo::exists(m_desk->outputFile));
        // "Im&primer" with nothing to print keeps the dialog open.
        printWith([&](Tprinter *p) {
            p->But_OK->click();
            QVERIFY(p->isVisible());
            QCOMPARE(m_desk->messageLines(),
                     QStringList{QStringLiteral("AVERTISSEMENT: Aucune étiquette disponible !")});
            p->close(); // the close box: nothing printed either
        });
        // The print dialog cancelled.
        frame()->Nouveau1->trigger();
        m_desk->printAnswers.enqueue(false);
        printWith([](Tprinter *p) { p->But_OK->click(); });
        QVERIFY(!QFileInfo::exists(m_desk->outputFile));
        QCOMPARE(m_desk->messages.size(), 1);
    }

    void printingErrorsAreReported()
    {
        m_desk->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("L'impression a échoué au début du document : l'imprimante"));
        // A printer that cannot take the document: said in French, the
        // document abandoned, the bottom panel and the cursor back.
        frame()->Nouveau1->trigger();
        m_desk->outputFile = m_dir->file(QStringLiteral("absent/dossier/sortie.pdf"));
        m_desk->printAnswers.enqueue(true);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
        printWith([](Tprinter *p) { p->But_OK->click(); });
        QCOMPARE(m_desk->messages.size(), 1);
        QCOMPARE(m_desk->messages.first().title, QStringLiteral("AVERTISSEMENT"));
        QCOMPARE(m_desk->messages.first().text, SheetPrint::kFailure.arg(SheetPrint::kAtBegin));
        QCOMPARE(frame()->STnb_f->text(), QStringLiteral("1"));
    }

    void marginsLeavingNoRoom()
    {
        m_desk->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Les marges sont aussi grandes que les étiquettes : il ne"));
        frame()->Nouveau1->trigger();
        m_desk->printAnswers.enqueue(true);
        printWith([](Tprinter *p) {
            p->Ed_g->setText(QStringLiteral("1000000"));
            p->But_OK->click();
        });
        QCOMPARE(m_desk->messageLines(), QStringList{QStringLiteral("AVERTISSEMENT: ") + SheetPrint::kNoRoom});
        QVERIFY(!QFileInfo::exists(m_desk->outputFile));
    }

    // A label with every precautionary statement ticked: far more than a
    // quarter of a page holds.
    TMDIChild *overlongLabel()
    {
        frame()->open(m_dir->file(kSamples.at(0)));
        TMDIChild *label = frame()->activeLabel();
        LabelDocument doc = label->document();
        for (StatementEntry &e : doc.precautions)
            e.ticked = true;
        label->applyDocument(doc);
        return label;
    }

    void overflowAskedBeforeTheDialog()
    {
        TMDIChild *label = overlongLabel();
        // "Non": back in the options, nothing sent, no print dialog (the
        // scripted desktop would fail the test on one).
        m_desk->answers.enqueue(Desktop::No);
        printWith([&](Tprinter *p) {
            p->Rad_4->click();
            p->But_OK->click();
            QVERIFY(p->isVisible());
            QCOMPARE(p->But_OKTag, 1);
            QCOMPARE(m_desk->messages.size(), 1);
            const ScriptedDesktop::Message &asked = m_desk->messages.first();
            QCOMPARE(asked.title, QStringLiteral("AVERTISSEMENT"));
            QCOMPARE(asked.buttons, Desktop::Buttons(Desktop::Yes | Desktop::No));
            QVERIFY2(asked.text.startsWith(SheetPrint::kLayoutIntro + QStringLiteral("\n- ") + label->windowTitle()
                                           + QStringLiteral(" : à partir de « P")),
                     qPrintable(asked.text));
            QVERIFY(asked.text.contains(SheetPrint::kLayoutOverflow));
            QVERIFY(asked.text.endsWith(PrintCommand::kPrintAnyway));
            p->But_annul->click();
        });
        QVERIFY(!QFileInfo::exists(m_desk->outputFile));
        QCOMPARE(m_desk->messagesSeen, -1);

        // "Oui": the print dialog comes after the question, the page is
        // printed, and the warning is not given again after the job.
        m_desk->messages.clear();
        m_desk->answers.enqueue(Desktop::Yes);
        m_desk->printAnswers.enqueue(true);
        printWith([](Tprinter *p) {
            p->Rad_4->click();
            p->But_OK->click();
        });
        QCOMPARE(m_desk->messagesSeen, 1);
        QCOMPARE(TestFiles::pdfPageCount(m_desk->outputFile), 1);
        QCOMPARE(m_desk->messages.size(), 1);

        // As label pictures the statements would be cut: said so instead.
        m_desk->messages.clear();
        m_desk->answers.enqueue(Desktop::No);
        printWith([](Tprinter *p) {
            p->CB_IB->setChecked(true);
            p->But_OK->click();
            QVERIFY(p->isVisible());
        });
        QCOMPARE(m_desk->messages.size(), 1);
        QVERIFY(m_desk->messages.first().text.contains(SheetPrint::kLayoutCut));

        // A label that fits asks nothing.
        frame()->open(m_dir->file(kSamples.at(1)));
        m_desk->messages.clear();
        m_desk->printAnswers.enqueue(true);
        printWith([](Tprinter *p) {
            p->CB_IB->setChecked(false);
            p->But_OK->click();
        });
        QVERIFY2(m_desk->messages.isEmpty(), qPrintable(m_desk->messageLines().join(u'\n')));
    }

    void sheetPreviewNamesOverflowingLabels()
    {
        TMDIChild *label = overlongLabel();
        TPrintView *view = m_program->app->printView();
        printWith([&](Tprinter *p) {
            p->Rad_4->click();
            p->But_View->click();
            QVERIFY(view->isVisible());
            QVERIFY(view->Lab_deborde->isVisible());
            QCOMPARE(view->Lab_deborde->text(),
                     Tprinter::kPreviewOverflow.arg(Tprinter::kPreviewOverflowRuns, label->windowTitle()));
            // The page keeps its room; the warning is below it.
            QVERIFY(view->Lab_deborde->geometry().top() >= view->height() - view->Lab_deborde->height() - 5);
            QVERIFY(view->height() > 450 + 10 + view->Lab_deborde->height());
            // Fewer statements: the warning goes.
            LabelDocument doc = label->document();
            for (StatementEntry &e : doc.precautions)
                e.ticked = false;
            label->applyDocument(doc);
            p->But_View->click();
            QVERIFY(!view->Lab_deborde->isVisible());
            QCOMPARE(view->height(), 450 + 10 + view->Lab_taille->height() + 5); // the label size stays
            p->But_annul->click();
        });
        QVERIFY(m_desk->messages.isEmpty());
    }

    void printerAndCopiesAreKept()
    {
        frame()->Nouveau1->trigger();
        m_desk->copies = 2;
        m_desk->printAnswers.enqueue(true);
        printWith([](Tprinter *p) { p->But_OK->click(); });
        QCOMPARE(TestFiles::pdfPageCount(m_desk->outputFile), 2);
        QPrinter *first = m_desk->printerSeen;
        QCOMPARE(m_desk->printerCopiesSeen, 1);
        // The next "Imprimer" opens the dialog on the printer, file and
        // copies chosen the first time.
        m_desk->copies = 3;
        m_desk->printAnswers.enqueue(true);
        printWith([](Tprinter *p) { p->But_OK->click(); });
        QCOMPARE(m_desk->printerSeen, first);
        QCOMPARE(m_desk->printerCopiesSeen, 2);
        QCOMPARE(m_desk->fileSeen, m_desk->outputFile);
        QCOMPARE(TestFiles::pdfPageCount(m_desk->outputFile), 3);
        // Each job is named after what it prints.
        QCOMPARE(first->docName(), QStringLiteral("Kalvane - ") + frame()->activeLabel()->windowTitle());
        QVERIFY(m_desk->messages.isEmpty());
    }

    void numberingOnlyIsSaidInTheOptions()
    {
        frame()->Nouveau1->trigger();
        printWith([](Tprinter *p) {
            QVERIFY(!p->Lab_HPEUH->isVisible());
            p->CB_HPEUH->click();
            QVERIFY(p->Lab_HPEUH->isVisible());
            QCOMPARE(p->Lab_HPEUH->text(), Tprinter::kHPEUHNote);
            p->CB_HPEUH->click();
            QVERIFY(!p->Lab_HPEUH->isVisible());
            // Ticked through the active label's own box, it is said too.
            p->But_annul->click();
        });
        frame()->activeLabel()->CB_hpeuh->click();
        printWith([](Tprinter *p) {
            QVERIFY(p->CB_HPEUH->isChecked());
            QVERIFY(p->Lab_HPEUH->isVisible());
            p->But_annul->click();
        });
        QVERIFY(m_desk->messages.isEmpty());
    }

    void reachedFromMenusAndKeys()
    {
        TForm_base *f = frame();
        QCOMPARE(f->Printer1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QVERIFY(f->Printer1->isEnabled());
        f->Nouveau1->trigger();
        TMDIChild *label = f->activeLabel();
        QVERIFY(label->findChild<QMenu *>(QStringLiteral("PopupMenu1"))->actions().contains(f->Printer1));
        QVERIFY(m_program->app->apercu()->PopupMenu1->actions().contains(f->Printer1));
        // The tool button and the menu carry the same action.
        QVERIFY(f->findChild<QMenu *>(QStringLiteral("Fichier1"))->actions().contains(f->Printer1));
        // Ctrl+P opens the print options.
        QTimer::singleShot(0, dlg(), [this] {
            QVERIFY(dlg()->isVisible());
            dlg()->reject();
        });
        QApplication::setActiveWindow(f);
        QTest::keyClick(f, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!dlg()->isVisible());
    }
};

QTEST_MAIN(TestPrintJob)
#include "gui_printjob.moc"

// End to end: the print command sends a sheet of the three sample labels to
// the CUPS-PDF queue "KalvanePDF" and the PDF that arrives holds one page with
// the labels in their cells. The test command sets the queue up
// (scripts/pdf-printer.sh); without it, or when no PDF arrives, the print
// chain is broken and the test fails. Every wait is bounded.

#include "testhelpers.h"
#include "testsupport.h"

#include "shell/application.h"
#include "shell/base.h"
#include "tools/printer.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace {

using TestPrinting::kQueue;
const QStringList kSamples = {QStringLiteral("Kalvane/Acetone.kvln"),
                              QStringLiteral("Kalvane/Acide sulfurique 96%.kvln"),
                              QStringLiteral("Kalvane/Hypochlorite de sodium.kvln")};
const QStringList kPictures = {QStringLiteral("SGH02.jpg"), QStringLiteral("SGH05.jpg"), QStringLiteral("SGH07.jpg"),
                               QStringLiteral("SGH09.jpg")};

// The scripted desktop whose print dialog picks the PDF queue.
class QueueDesktop : public ScriptedDesktop
{
public:
    QString title;
    bool print(QWidget *parent, QPrinter *printer) override
    {
        printer->setPrinterName(kQueue);
        printer->setDocName(title);
        printer->setCopyCount(1);
        return ScriptedDesktop::print(parent, printer);
    }
};

int ink(const QImage &image, const QRect &r)
{
    return TestPictures::ink(image, r, 0, 180);
}

// Ink in the four cells of a landscape grid, the separator lines and the
// frame left out. Everything printed lies inside the grid's frame: the
// bounding box of the ink is the grid.
QList<int> quarters(const QImage &page)
{
    const QRect grid = TestPictures::inkBox(page, 180);
    const int w = grid.width() / 2;
    const int h = grid.height() / 2;
    const int m = std::max(4, grid.width() / 60);
    const int x = grid.left();
    const int y = grid.top();
    return {ink(page, QRect(x + m, y + m, w - 2 * m, h - 2 * m)), ink(page, QRect(x + w + m, y + m, w - 2 * m, h - 2 * m)),
            ink(page, QRect(x + m, y + h + m, w - 2 * m, h - 2 * m)),
            ink(page, QRect(x + w + m, y + h + m, w - 2 * m, h - 2 * m))};
}

bool threeLabelsAndAWhiteCell(const QList<int> &q)
{
    return q.at(0) > 200 && q.at(1) > 200 && q.at(2) > 200 && q.at(3) == 0;
}

bool runTool(const QString &program, const QStringList &args, QByteArray *output = nullptr)
{
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice()); // a re-encoded PDF can give many warnings
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(2000);
        return false;
    }
    if (output)
        *output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class TestCupsPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sheetArrivesAsAPdf()
    {
        QVERIFY2(QPrinterInfo::availablePrinterNames().contains(kQueue),
                 "no CUPS queue \"KalvanePDF\" (scripts/pdf-printer.sh sets it up; scripts/test.sh runs it)");

        TempStartDir dir(kCatalogueFiles + kSamples + kPictures);
        TestProgram program;
        auto *desk = new QueueDesktop;
        // One name per run: the folder is shared with other jobs.
        desk->title = QStringLiteral("kalvanetest_%1_%2").arg(::getpid()).arg(QDateTime::currentMSecsSinceEpoch());
        std::unique_ptr<Desktop> scripted = setDesktop(std::unique_ptr<Desktop>(desk));
        program.desktop = desk;
        struct Restore {
            std::unique_ptr<Desktop> &d;
            ~Restore() { setDesktop(std::move(d)); }
        } restore{scripted};

        TForm_base *frame = program.app->frame();
        Tprinter *options = program.app->printer();
        frame->show();
        QStringList files;
        for (const QString &s : kSamples)
            files << dir.file(s);
        desk->printAnswers.enqueue(true);
        QTimer::singleShot(0, options, [&] {
            desk->openAnswers.enqueue(files);
            options->Button1->click(); // 3 files: 4 labels per page
            options->But_OK->click();
            if (options->isVisible())
                options->reject();
        });
        frame->Printer1->trigger();
        QCOMPARE(options->Tag, 4);
        QVERIFY2(desk->messages.isEmpty(), qPrintable(desk->messageLines().join(u'\n')));

        // Wait for the PDF, at most 90 seconds.
        const QString pdf = TestPrinting::waitForPdf(desk->title + QStringLiteral("*.pdf"));
        QVERIFY2(!pdf.isEmpty(), qPrintable(QStringLiteral("no PDF named %1 reached %2 within 90 s: the queue is "
                                                           "stopped or the print chain is broken (lpstat -t)")
                                                .arg(desk->title, TestPrinting::cupsPdfFolder())));
        struct Remove {
            QString path;
            ~Remove() { QFile::remove(path); }
        } remove{pdf};

        QString why;
        const QList<QImage> pages = TestPrinting::pages(pdf, 50, &why);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QCOMPARE(pages.size(), 1);
        const QImage page = pages.first();
        QVERIFY(!page.isNull());

        // A landscape sheet; a PDF printer may hand it back as a portrait page
        // with the content turned. The labels must be in cells 0, 1 and 2 and
        // cell 3 white, whichever way it was turned.
        QList<QImage> views;
        if (page.width() > page.height())
            views << page;
        else
            views << page.transformed(QTransform().rotate(90)) << page.transformed(QTransform().rotate(-90));
        bool matched = false;
        QString seen;
        for (const QImage &view : views) {
            const QList<int> q = quarters(view);
            seen += QStringLiteral(" [%1 %2 %3 %4]").arg(q.at(0)).arg(q.at(1)).arg(q.at(2)).arg(q.at(3));
            matched = matched || threeLabelsAndAWhiteCell(q);
        }
        QVERIFY2(matched, qPrintable(QStringLiteral("ink per cell:") + seen));

        // The words themselves, when the page keeps its text.
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is needed to read the printed page");
        {
            QByteArray text;
            QVERIFY(runTool(pdftotext, {pdf, QStringLiteral("-")}, &text));
            const QString words = QString::fromUtf8(text);
            // A printing chain that re-encodes the fonts may leave no
            // readable text; the pixels above are then the proof.
            if (words.contains(QStringLiteral("DANGER"))) {
                for (const char *product : {"ACÉTONE", "ACIDE SULFURIQUE", "HYPOCHLORITE DE SODIUM"})
                    QVERIFY2(words.contains(QString::fromUtf8(product)), product);
            }
        }
    }
};

QTEST_MAIN(TestCupsPrint)
#include "gui_cupsprint.moc"

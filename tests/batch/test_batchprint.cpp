// End to end through the CUPS-PDF queue "KalvanePDF" (set up by the test
// command, scripts/pdf-printer.sh): a label printed on stock by
// kalvane-batch moves by the offsets the print options keep for that
// printer in "impression.ini", unless the line gives its own.

#include "batchrun.h"
#include "testhelpers.h"

#include "shell/settingsfiles.h"

#include <QDateTime>
#include <QFile>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kDpi = 100;

double pixelsToMm(int pixels)
{
    return pixels * 25.4 / kDpi;
}

} // namespace

class TestBatchPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_start;
    QStringList m_printed; // PDFs to remove from the shared folder

    // Prints the sample Acetone label, under a name of this run alone, on
    // one Avery L7165 with `extra` options; the ink box of the page that
    // arrives (null when none arrived, with the reason in `error`).
    QRect printed(const QStringList &extra, QString *error)
    {
        const QString name = QStringLiteral("kalvanetest_%1_%2").arg(::getpid()).arg(QDateTime::currentMSecsSinceEpoch());
        const QString label = QDir(m_start.path()).filePath(QStringLiteral("Kalvane/%1.kvln").arg(name));
        if (!QFile::copy(QDir(m_start.path()).filePath(QStringLiteral("Kalvane/Acetone.kvln")), label)) {
            *error = QStringLiteral("the label could not be copied");
            return {};
        }
        const BatchRun::Result r =
            BatchRun::run(QStringList{QStringLiteral("planche"), label, QStringLiteral("--modele"), QStringLiteral("Avery L7165"),
                                      QStringLiteral("--imprimante"), TestPrinting::kQueue, QStringLiteral("--data"),
                                      m_start.path()} + extra,
                          m_start.path());
        if (r.status != 0 || !r.err.isEmpty()) {
            *error = QStringLiteral("status %1: %2").arg(r.status).arg(r.err);
            return {};
        }
        const QString pdf = TestPrinting::waitForPdf(QStringLiteral("*%1*.pdf").arg(name));
        if (pdf.isEmpty()) {
            *error = QStringLiteral("no PDF named after %1 reached %2 within 90 s (lpstat -t)")
                         .arg(name, TestPrinting::cupsPdfFolder());
            return {};
        }
        m_printed << pdf;
        const QList<QImage> pages = TestPrinting::pages(pdf, kDpi, error);
        if (pages.size() != 1) {
            if (error->isEmpty())
                *error = QStringLiteral("%1 pages instead of 1").arg(pages.size());
            return {};
        }
        return TestPictures::inkBox(pages.first(), 180);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QPrinterInfo::availablePrinterNames().contains(TestPrinting::kQueue),
                 "no CUPS queue \"KalvanePDF\" (scripts/pdf-printer.sh sets it up; scripts/test.sh runs it)");
        BatchRun::seed(m_start.path(), BatchRun::startFiles());
    }

    void cleanupTestCase()
    {
        for (const QString &pdf : std::as_const(m_printed))
            QFile::remove(pdf);
    }

    void storedOffsetsOfThePrinterApply()
    {
        // The print options keep 6 mm right and 4 mm down for this queue, and
        // other figures for another printer.
        PrintIni ini;
        ini.offsets.insert(TestPrinting::kQueue, QPointF(6, 4));
        ini.offsets.insert(QStringLiteral("Autre"), QPointF(-9, -9));
        QVERIFY(TestFiles::write(QDir(m_start.path()).filePath(PrintIni::kFileName),
                                 ini.toLines().join(QStringLiteral("\r\n")).toLatin1() + "\r\n"));

        QString why;
        const QRect plain = printed({QStringLiteral("--decalage-x"), QStringLiteral("0"), QStringLiteral("--decalage-y"),
                                     QStringLiteral("0")},
                                    &why);
        QVERIFY2(!plain.isNull(), qPrintable(why));
        const QRect stored = printed({}, &why);
        QVERIFY2(!stored.isNull(), qPrintable(why));
        // One direction given on the line, the other kept.
        const QRect mixed = printed({QStringLiteral("--decalage-y"), QStringLiteral("0")}, &why);
        QVERIFY2(!mixed.isNull(), qPrintable(why));

        const auto near = [](double mm, double expected) { return std::abs(mm - expected) <= 0.8; };
        const QString seen = QStringLiteral("ink at %1,%2 then %3,%4 then %5,%6 (pixels at %7 dpi)")
                                 .arg(plain.left()).arg(plain.top()).arg(stored.left()).arg(stored.top())
                                 .arg(mixed.left()).arg(mixed.top()).arg(kDpi);
        QVERIFY2(near(pixelsToMm(stored.left() - plain.left()), 6) && near(pixelsToMm(stored.top() - plain.top()), 4),
                 qPrintable(seen));
        QVERIFY2(near(pixelsToMm(mixed.left() - plain.left()), 6) && near(pixelsToMm(mixed.top() - plain.top()), 0),
                 qPrintable(seen));
        // The label itself is the same (to the rounding of the raster).
        QVERIFY2(std::abs(stored.width() - plain.width()) <= 2 && std::abs(stored.height() - plain.height()) <= 2,
                 qPrintable(QStringLiteral("%1x%2 then %3x%4").arg(plain.width()).arg(plain.height())
                                .arg(stored.width()).arg(stored.height())));
    }

    void unreadableSettingsAreSaidAndThePrintGoesOn()
    {
        // "impression.ini" that cannot be read (a folder in its place): the
        // label is printed without offsets and the tool says why, status 1.
        const QString ini = QDir(m_start.path()).filePath(PrintIni::kFileName);
        QFile::remove(ini);
        QVERIFY(QDir().mkpath(ini));
        const QString name = QStringLiteral("kalvanetest_%1_%2").arg(::getpid()).arg(QDateTime::currentMSecsSinceEpoch());
        const QString label = QDir(m_start.path()).filePath(QStringLiteral("Kalvane/%1.kvln").arg(name));
        QVERIFY(QFile::copy(QDir(m_start.path()).filePath(QStringLiteral("Kalvane/Acetone.kvln")), label));
        const BatchRun::Result r = BatchRun::run({QStringLiteral("planche"), label, QStringLiteral("--modele"),
                                                  QStringLiteral("Avery L7165"), QStringLiteral("--imprimante"),
                                                  TestPrinting::kQueue, QStringLiteral("--data"), m_start.path()},
                                                 m_start.path());
        QDir(ini).removeRecursively();
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("n'ont pas pu être lus")) && r.err.contains(QStringLiteral("sans décalage")),
                 qPrintable(r.err));
        const QString pdf = TestPrinting::waitForPdf(QStringLiteral("*%1*.pdf").arg(name));
        QVERIFY2(!pdf.isEmpty(), "the label was not printed");
        m_printed << pdf;
    }
};

QTEST_MAIN(TestBatchPrint)
#include "test_batchprint.moc"

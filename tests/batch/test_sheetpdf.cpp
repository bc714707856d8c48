// A sheet PDF of many labels: each picture (pictogram block, logo) stored
// once however many labels and pages draw it, and the document written
// beside its target as it goes, replacing it whole or not at all.

#include "batchrun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using BatchRun::run;

namespace {

int count(const QByteArray &pdf, const QByteArray &what)
{
    int n = 0;
    for (qsizetype at = pdf.indexOf(what); at >= 0; at = pdf.indexOf(what, at + 1))
        ++n;
    return n;
}

} // namespace

class TestSheetPdf : public QObject
{
    Q_OBJECT

    QTemporaryDir m_start;
    QString start(const QString &name = QString()) const { return name.isEmpty() ? m_start.path() : m_start.filePath(name); }
    QStringList samples() const
    {
        return {start(QStringLiteral("Kalvane/Acetone.kvln")), start(QStringLiteral("Kalvane/Acide sulfurique 96%.kvln")),
                start(QStringLiteral("Kalvane/Hypochlorite de sodium.kvln"))};
    }

    QByteArray sheet(const QStringList &labels, int copies, const QString &work)
    {
        const BatchRun::Result r =
            run(QStringList{"--data", start(), "planche"} + labels
                    + QStringList{"--par-page", "18", "--copies", QString::number(copies), "--pdf", "planche.pdf"},
                work);
        if (r.status != 0 || !r.err.isEmpty()) {
            qWarning("%s", qPrintable(r.err));
            return {};
        }
        return TestFiles::read(QDir(work).filePath(QStringLiteral("planche.pdf")));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_start.isValid());
        BatchRun::seed(m_start.path(), BatchRun::startFiles());
    }

    void eachPictureIsStoredOnce()
    {
        QTemporaryDir work;
        // The three samples once: their pictogram blocks and logo.
        const QByteArray one = sheet(samples(), 1, work.path());
        QVERIFY(one.startsWith("%PDF"));
        const int pictures = count(one, "/Subtype /Image");
        QVERIFY2(pictures >= 3 && pictures <= 6, qPrintable(QString::number(pictures)));

        // 18 labels (the three six times) on four pages: the same pictures.
        QStringList labels;
        for (int i = 0; i < 6; ++i)
            labels += samples();
        const QByteArray many = sheet(labels, 4, work.path());
        QCOMPARE(count(many, "/Type /Page") - count(many, "/Type /Pages"), 4);
        QCOMPARE(count(many, "/Subtype /Image"), pictures);
        // Nothing left beside the document.
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"planche.pdf"});
    }

    void aFailedWriteLeavesTheOldFile()
    {
        QTemporaryDir work;
        QDir(work.path()).mkpath(QStringLiteral("planche.pdf"));
        const BatchRun::Result r = run(QStringList{"--data", start(), "planche"} + samples()
                                           + QStringList{"--par-page", "4", "--pdf", "planche.pdf"},
                                       work.path());
        QVERIFY(r.status != 0);
        QVERIFY2(r.err.contains(QStringLiteral("n'a pas pu être enregistré : un dossier porte ce nom.")), qPrintable(r.err));
        QVERIFY(QFileInfo(work.filePath(QStringLiteral("planche.pdf"))).isDir());
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestSheetPdf)
#include "test_sheetpdf.moc"

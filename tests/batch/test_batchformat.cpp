// kalvane-batch verifier with a layout and a capacity: a label too small for
// its package is an error that fails the run, the presentation warnings are
// printed without changing the exit status, and the usage errors of
// --par-page, --modele and --contenance.

#include "batchrun.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kAcetone = QStringLiteral("Kalvane/Acetone.kvln");
}

class TestBatchFormat : public QObject
{
    Q_OBJECT

    QTemporaryDir m_start;
    QString start(const QString &name = QString()) const { return name.isEmpty() ? m_start.path() : m_start.filePath(name); }

    BatchRun::Result verify(const QStringList &options)
    {
        return BatchRun::run(QStringList{"--data", start(), "verifier", start(kAcetone)} + options);
    }

private Q_SLOTS:
    void initTestCase()
    {
        BatchRun::seed(m_start.path(), BatchRun::startFiles() << QStringLiteral("format-etiquettes.txt"));
        QVERIFY(QFileInfo::exists(start(kAcetone)));
    }

    void missingTableStopsTheRun()
    {
        // Without the table nothing is judged: a data error, not a verdict.
        QTemporaryDir bare;
        BatchRun::seed(bare.path(), BatchRun::startFiles());
        const BatchRun::Result r = BatchRun::run(
            QStringList{"--data", bare.path(), "verifier", bare.filePath(kAcetone), "--par-page", "8"});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(QStringLiteral("format-etiquettes.txt")), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void labelSizeAgainstCapacity()
    {
        const BatchRun::Result plain = verify({});
        // 18 per page: 70 × 49.5 mm, below 52 × 74 for 1 L.
        const BatchRun::Result small = verify({"--par-page", "18", "--contenance", "1"});
        QCOMPARE(small.status, 1);
        QVERIFY2(small.out.contains(QStringLiteral("erreur: Impression « 18 étiquettes par page » : L'étiquette mesure")),
                 qPrintable(small.out));
        QVERIFY(small.out.contains(QStringLiteral("au moins 52 × 74 mm")));
        // 2 per page is large enough: only warnings, which leave the status
        // as the label's own checks make it.
        const BatchRun::Result large = verify({"--par-page", "2", "--contenance", "1"});
        QVERIFY2(!large.out.contains(QStringLiteral("erreur: Impression")), qPrintable(large.out));
        QVERIFY(large.out.contains(QStringLiteral("avertissement: Impression « 2 étiquettes par page » : l'interligne")));
        QCOMPARE(large.status, plain.status);
        // The same label on a 20 L can needs 74 × 105 mm: an L7165 label is too small.
        const BatchRun::Result stock = verify({"--modele", "Avery L7165", "--contenance", "20"});
        QCOMPARE(stock.status, 1);
        QVERIFY2(stock.out.contains(QStringLiteral("Impression « Avery L7165 » : L'étiquette mesure 99,1 × 67,7 mm")),
                 qPrintable(stock.out));
        QVERIFY(stock.out.contains(QStringLiteral("au moins 74 × 105 mm")));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("capacity word") << QStringList{"--par-page", "8", "--contenance", "beaucoup"}
                                       << "la contenance « beaucoup »";
        QTest::newRow("capacity alone") << QStringList{"--contenance", "1"} << "--contenance ne sert qu'avec";
        QTest::newRow("bad layout") << QStringList{"--par-page", "7"} << "« 7 » étiquettes par page";
        QTest::newRow("both") << QStringList{"--par-page", "8", "--modele", "Avery L7165"} << "pas les deux";
        QTest::newRow("unknown stock") << QStringList{"--modele", "Avery NOPE42"} << "modèle de planche inconnu";
    }

    void usageErrors()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        const BatchRun::Result r = verify(options);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestBatchFormat)
#include "test_batchformat.moc"

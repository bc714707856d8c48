// "verifier" names the statement that does not fit on a label, as "export"
// does: the same first statement, as an error, with the failing status.

#include "batchrun.h"

#include "shell/textfile.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestBatchCutCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void verifierNamesTheStatementExportCuts()
    {
        QTemporaryDir dir;
        BatchRun::seed(dir.path(), BatchRun::startFiles());
        // The acetone label with the first 40 precautionary statements of the
        // catalogue ticked as well: far more than the label holds.
        QByteArray bytes = TestFiles::read(dir.filePath(QStringLiteral("Kalvane/Acetone.kvln")));
        const QStringList catalogue = TextFile::readLines(dir.filePath(QStringLiteral("P.txt")));
        QVERIFY(catalogue.size() > 40);
        QString extra;
        for (int i = 0; i < 40; ++i)
            extra += QString::number(i) + QStringLiteral("\r\n") + catalogue.at(i) + QStringLiteral("\r\n");
        QByteArray encoded;
        QVERIFY(TextFile::encode(extra, &encoded));
        const qsizetype at = bytes.indexOf("***prudence***\r\n");
        QVERIFY(at > 0);
        bytes.insert(at + 16, encoded);
        const QString label = dir.filePath(QStringLiteral("Kalvane/Trop long.kvln"));
        TestFiles::write(label, bytes);

        const BatchRun::Result exported =
            BatchRun::run({QStringLiteral("export"), QStringLiteral("--data"), dir.path(), QStringLiteral("--out"),
                           dir.filePath(QStringLiteral("images")), label});
        QCOMPARE(exported.status, 1);
        const QRegularExpressionMatch cut =
            QRegularExpression(QStringLiteral("à partir de « ([^»]+) »")).match(exported.err);
        QVERIFY2(cut.hasMatch(), qPrintable(exported.err));
        const QString statement = cut.captured(1);
        QVERIFY(statement.startsWith(u'P'));

        const BatchRun::Result checked =
            BatchRun::run({QStringLiteral("verifier"), QStringLiteral("--data"), dir.path(), label});
        QCOMPARE(checked.status, 1);
        const QString prefix = label + QStringLiteral(": erreur: Les phrases ne tiennent pas toutes sur l'étiquette : "
                                                      "à partir de « ");
        QVERIFY2(checked.out.startsWith(prefix), qPrintable(checked.out));
        // Both shorten long statements their own way: the first 50 characters agree.
        QCOMPARE(checked.out.mid(prefix.size(), 50), statement.left(50));

        // The sample as shipped fits: nothing about it.
        const BatchRun::Result sample = BatchRun::run(
            {QStringLiteral("verifier"), QStringLiteral("--data"), dir.path(),
             dir.filePath(QStringLiteral("Kalvane/Acetone.kvln"))});
        QCOMPARE(sample.out, QString());
        QCOMPARE(sample.status, 0);
    }
};

QTEST_GUILESS_MAIN(TestBatchCutCheck)
#include "test_batchcutcheck.moc"

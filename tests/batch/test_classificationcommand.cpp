// "kalvane-batch classification" run as a process: a table imported from a
// workbook the test builds, the entry printed for each kind of number, the
// exit statuses (0 found, 1 valid but absent, 2 invalid), and refused
// workbooks leaving the data in use untouched.

#include "batchrun.h"
#include "../tools/xlsxbuilder.h"

#include <QTemporaryDir>
#include <QTest>

using BatchRun::run;

namespace {

QList<QStringList> table(const QList<QStringList> &entries, const QString &date = QStringLiteral("Updated on May 2030"))
{
    QList<QStringList> rows = {
        {QStringLiteral("DISCLAIMER:\nAn informative table.")},
        {date},
        {QStringLiteral("Index No"), QStringLiteral("International Chemical Identification"), QStringLiteral("EC No"),
         QStringLiteral("CAS No"), QStringLiteral("Classification"), QString(), QStringLiteral("Labelling"), QString(),
         QString(), QStringLiteral("Specific Conc. Limits, M-factors"), QStringLiteral("Notes")},
        {QString(), QString(), QString(), QString(), QStringLiteral("Hazard Class and Category Code(s)"),
         QStringLiteral("Hazard Statement Code(s)"), QStringLiteral("Pictogram, Signal Word Code(s)"),
         QStringLiteral("Hazard statement Code(s)"), QStringLiteral("Suppl. Hazard statement Code(s)")},
    };
    return rows + entries;
}

const QStringList kHydrogenChloride = {
    QStringLiteral("017-002-00-2"), QStringLiteral("hydrogen chloride"), QStringLiteral("231-595-7"),
    QStringLiteral("7647-01-0"), QStringLiteral("Press. Gas\nAcute Tox. 3 *\nSkin Corr. 1A"),
    QStringLiteral("\nH331\nH314"), QStringLiteral("GHS04\nGHS06\nGHS05\nDgr"), QStringLiteral("H331\nH314"),
    QString(), QString(), QStringLiteral("5 U")};
const QStringList kSulphuricAcid = {
    QStringLiteral("016-020-00-8"), QStringLiteral("sulphuric acid ... %"), QStringLiteral("231-639-5"),
    QStringLiteral("7664-93-9"), QStringLiteral("Skin Corr. 1A"), QStringLiteral("H314"), QStringLiteral("GHS05\nDgr"),
    QStringLiteral("H314"), QStringLiteral("EUH014"), QStringLiteral("Skin Corr. 1A; H314: C ≥ 15 %"),
    QStringLiteral("B")};

} // namespace

class TestClassificationCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString start() const { return m_dir.filePath(QStringLiteral("start")); }
    QString dataFile() const { return start() + QStringLiteral("/clp/annexe6.txt"); }

    QString workbook(const QString &name, const QByteArray &bytes) const
    {
        const QString path = m_dir.filePath(name);
        TestFiles::write(path, bytes);
        return path;
    }

    BatchRun::Result classification(const QStringList &arguments) const
    {
        return run(QStringList{QStringLiteral("--data"), start(), QStringLiteral("classification")} + arguments);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(start()));
        const QString xlsx = workbook(QStringLiteral("annexe.xlsx"),
                                      XlsxBuilder::xlsx(table({kHydrogenChloride, kSulphuricAcid})));
        const BatchRun::Result r = classification({QStringLiteral("--importer"), xlsx});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("2 entrées importées (Updated on May 2030) dans %1\n")
                            .arg(QDir::toNativeSeparators(dataFile())));
        QVERIFY(QFileInfo::exists(dataFile()));
    }

    void eachKindOfNumberPrintsTheEntry_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("CAS") << QStringLiteral("7647-01-0");
        QTest::newRow("EC") << QStringLiteral("231-595-7");
        QTest::newRow("INDEX") << QStringLiteral("017-002-00-2");
    }
    void eachKindOfNumberPrintsTheEntry()
    {
        QFETCH(QString, number);
        const BatchRun::Result r = classification({number});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QStringLiteral("INDEX : 017-002-00-2\n"
                                       "Nom : hydrogen chloride\n"
                                       "CE : 231-595-7\n"
                                       "CAS : 7647-01-0\n"
                                       "Classification : Press. Gas ; Acute Tox. 3 * (H331) ; Skin Corr. 1A (H314)\n"
                                       "Pictogrammes : SGH04 SGH06 SGH05\n"
                                       "Mention d'avertissement : DANGER\n"
                                       "Mentions de danger : H331 ; H314\n"
                                       "Mentions EUH : -\n"
                                       "Limites de concentration spécifiques, facteurs M : -\n"
                                       "Notes : 5 U\n"));
    }

    void limitsAndSupplementalStatements()
    {
        const BatchRun::Result r = classification({QStringLiteral("7664-93-9")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QStringLiteral("Mentions EUH : EUH014\n")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("facteurs M : Skin Corr. 1A; H314: C ≥ 15 %\n")), qPrintable(r.out));
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("valid, no entry") << QStringList{QStringLiteral("64-17-5")} << 1
                                         << QStringLiteral("le numéro CAS 64-17-5 n'a pas de classification harmonisée.");
        QTest::newRow("found and absent") << QStringList{QStringLiteral("7647-01-0"), QStringLiteral("200-578-6")} << 1
                                          << QStringLiteral("le numéro CE 200-578-6 n'a pas");
        QTest::newRow("check digit") << QStringList{QStringLiteral("7647-01-9")} << 2
                                     << QStringLiteral("son chiffre de contrôle devrait être 0.");
        QTest::newRow("not a number") << QStringList{QStringLiteral("HCl")} << 2
                                      << QStringLiteral("« HCl » n'est ni un numéro CAS");
        QTest::newRow("nothing") << QStringList{} << 2 << QStringLiteral("aucun numéro CAS, CE ou INDEX à chercher.");
        QTest::newRow("import and number")
            << QStringList{QStringLiteral("--importer"), QStringLiteral("x.xlsx"), QStringLiteral("7647-01-0")} << 2
            << QStringLiteral("--importer ne se combine pas");
    }
    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const BatchRun::Result r = classification(arguments);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        // An invalid number prints no entry, even beside a valid one.
        if (status == 2)
            QCOMPARE(r.out, QString());
    }

    void refusedWorkbooksKeepTheDataInUse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray good = XlsxBuilder::xlsx(table({kHydrogenChloride}));
        QTest::newRow("truncated") << good.left(good.size() - 30) << QStringLiteral("tronquée ou endommagée");
        QList<QStringList> wrong = table({kHydrogenChloride});
        wrong[2][2] = QStringLiteral("EINECS");
        QTest::newRow("wrong layout") << XlsxBuilder::xlsx(wrong)
                                      << QStringLiteral("la colonne C de la ligne 3 devrait s'intituler « EC No »");
    }
    void refusedWorkbooksKeepTheDataInUse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QByteArray before = TestFiles::read(dataFile());
        QVERIFY(!before.isEmpty());
        const QString xlsx = workbook(QStringLiteral("refused.xlsx"), bytes);
        const BatchRun::Result r = classification({QStringLiteral("--importer"), xlsx});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("kalvane-batch: %1: ").arg(xlsx)), qPrintable(r.err));
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(TestFiles::read(dataFile()), before);
        QCOMPARE(QDir(start() + QStringLiteral("/clp")).entryList(QDir::Files), QStringList{QStringLiteral("annexe6.txt")});
    }

    void missingDataIsAProblem()
    {
        QTemporaryDir empty;
        const BatchRun::Result r =
            run({QStringLiteral("--data"), empty.path(), QStringLiteral("classification"), QStringLiteral("7647-01-0")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("annexe6.txt")), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }

    // The shipped table: what the user gets from a start directory seeded
    // from the installation data.
    void shippedTable()
    {
        const BatchRun::Result r =
            run({QStringLiteral("--data"), QStringLiteral(KALVANE_DATA_DIR), QStringLiteral("classification"),
                 QStringLiteral("10043-35-3")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QStringLiteral("INDEX : 005-007-00-2\n")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("CAS : 10043-35-3 [1] ; 11113-50-1 [2]\n")), qPrintable(r.out));
    }
};

QTEST_GUILESS_MAIN(TestClassificationCommand)
#include "test_classificationcommand.moc"

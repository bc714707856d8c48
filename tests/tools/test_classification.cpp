// The harmonised classification: the agency's table imported from workbooks
// the test builds (multi-line cells, group entries, "*", notes, limits,
// shared and inline strings), layouts refused, the program's data file
// written and read back, damaged data files refused, numbers checked and
// looked up by each kind.

#include "xlsxbuilder.h"

#include "tools/classification.h"
#include "tools/xlsxreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using XlsxBuilder::agencyRows;

const QStringList kHydrogenChloride = {
    QStringLiteral("017-002-00-2"), QStringLiteral("hydrogen chloride"), QStringLiteral("231-595-7"),
    QStringLiteral("7647-01-0"), QStringLiteral("Press. Gas\nAcute Tox. 3 *\nSkin Corr. 1A\n"),
    QStringLiteral("\nH331\nH314\n"), QStringLiteral("GHS04\nGHS06\nGHS05\nDgr"), QStringLiteral("H331\nH314\n"),
    QString(), QString(), QStringLiteral("5 U"), QStringLiteral("CLP00")};
const QStringList kBoricAcid = {
    QStringLiteral("005-007-00-2"), QStringLiteral("boric acid [1]\nboric acid [2]\n"),
    QStringLiteral("233-139-2 [1]\n234-343-4 [2]\n"), QStringLiteral("10043-35-3 [1]\n11113-50-1 [2]\n"),
    QStringLiteral("Repr. 1B\n"), QStringLiteral("H360FD\n"), QStringLiteral("GHS08\nDgr"),
    QStringLiteral("H360FD\n"), QString(), QString(), QString(), QStringLiteral("ATP01")};
const QStringList kSulphuricAcid = {
    QStringLiteral("016-020-00-8"), QStringLiteral("sulphuric acid ... %"), QStringLiteral("231-639-5"),
    QStringLiteral("7664-93-9"), QStringLiteral("Skin Corr. 1A"), QStringLiteral("H314"), QStringLiteral("GHS05\nDgr"),
    QStringLiteral("H314"), QString(),
    QStringLiteral("Skin Corr. 1A; H314: C ≥ 15 %\nSkin Irrit. 2; H315: 5 % ≤ C < 15 %\n"), QStringLiteral("B"),
    QStringLiteral("CLP00")};
const QStringList kWarningOnly = {
    QStringLiteral("601-004-00-0"), QStringLiteral("butane [1]\nisobutane [2]"), QStringLiteral("-"),
    QStringLiteral("-"), QStringLiteral("Eye Irrit. 2"), QStringLiteral("H319"), QStringLiteral("GHS07 Wng ****"),
    QStringLiteral("H319\nEUH066"), QStringLiteral("EUH071"), QString(), QString(), QString()};

HarmonisedTable imported(const QList<QStringList> &entries, XlsxBuilder::Strings strings = XlsxBuilder::Strings::Shared)
{
    Xlsx::Sheet sheet;
    QString error;
    HarmonisedTable table;
    if (!Xlsx::readFirstSheet(XlsxBuilder::xlsx(agencyRows(entries), strings), &sheet, &error)
        || !HarmonisedTable::fromSheet(sheet, QStringLiteral("annexe.xlsx"), &table, &error))
        qWarning("%s", qPrintable(error));
    return table;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class TestClassification : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void importKeepsEveryCell_data()
    {
        QTest::addColumn<int>("strings");
        QTest::newRow("shared strings") << int(XlsxBuilder::Strings::Shared);
        QTest::newRow("inline strings") << int(XlsxBuilder::Strings::Inline);
    }
    void importKeepsEveryCell()
    {
        QFETCH(int, strings);
        const HarmonisedTable t = imported({kHydrogenChloride, kBoricAcid, kSulphuricAcid, kWarningOnly},
                                           XlsxBuilder::Strings(strings));
        QCOMPARE(t.entries.size(), 4);
        QCOMPARE(t.date, QStringLiteral("Updated on March 2031"));
        QCOMPARE(t.title, QStringLiteral("This is an unofficial excel table up until the 99th Adaptation."));
        QCOMPARE(t.source, QStringLiteral("annexe.xlsx"));

        const HarmonisedEntry &hcl = t.entries.at(0);
        QCOMPARE(hcl.index, QStringLiteral("017-002-00-2"));
        QCOMPARE(hcl.names, QStringList{QStringLiteral("hydrogen chloride")});
        // Each class keeps the statement of its own line, "*" included.
        QCOMPARE(hcl.classes.size(), 3);
        QCOMPARE(hcl.classes.at(0), qMakePair(QStringLiteral("Press. Gas"), QString()));
        QCOMPARE(hcl.classes.at(1), qMakePair(QStringLiteral("Acute Tox. 3 *"), QStringLiteral("H331")));
        QCOMPARE(hcl.classes.at(2), qMakePair(QStringLiteral("Skin Corr. 1A"), QStringLiteral("H314")));
        QVERIFY(hcl.hasMinimumClassification());
        QCOMPARE(hcl.pictograms, (QStringList{QStringLiteral("SGH04"), QStringLiteral("SGH06"), QStringLiteral("SGH05")}));
        QCOMPARE(hcl.signalWord, QStringLiteral("DANGER"));
        QCOMPARE(hcl.hazards, (QStringList{QStringLiteral("H331"), QStringLiteral("H314")}));
        QCOMPARE(hcl.notes, (QStringList{QStringLiteral("5"), QStringLiteral("U")}));
        QCOMPARE(hcl.atp, QStringLiteral("CLP00"));

        const HarmonisedEntry &boric = t.entries.at(1);
        QCOMPARE(boric.names.size(), 2);
        QCOMPARE(boric.ec, (QStringList{QStringLiteral("233-139-2 [1]"), QStringLiteral("234-343-4 [2]")}));
        QCOMPARE(boric.cas, (QStringList{QStringLiteral("10043-35-3 [1]"), QStringLiteral("11113-50-1 [2]")}));
        QVERIFY(!boric.hasMinimumClassification());
        // Only a lone "*" is a minimum classification: more stars mark a route
        // of exposure or a physical hazard to confirm by testing.
        HarmonisedEntry starred;
        starred.classes = {{QStringLiteral("Ox. Sol. 2 ****"), QStringLiteral("H272")},
                           {QStringLiteral("STOT RE 1 **"), QStringLiteral("H372")}};
        QVERIFY(!starred.hasMinimumClassification());
        starred.classes.append({QStringLiteral("Acute Tox. 4 *"), QStringLiteral("H302")});
        QVERIFY(starred.hasMinimumClassification());

        QCOMPARE(t.entries.at(2).limits, (QStringList{QStringLiteral("Skin Corr. 1A; H314: C ≥ 15 %"),
                                                      QStringLiteral("Skin Irrit. 2; H315: 5 % ≤ C < 15 %")}));
        QCOMPARE(t.entries.at(2).notes, QStringList{QStringLiteral("B")});

        // "-" is no number; an EUH line among the H lines is an EUH statement;
        // labelling text the program does not read is kept apart.
        const HarmonisedEntry &w = t.entries.at(3);
        QVERIFY(w.ec.isEmpty() && w.cas.isEmpty());
        QCOMPARE(w.signalWord, QStringLiteral("ATTENTION"));
        QCOMPARE(w.pictograms, QStringList{QStringLiteral("SGH07")});
        QCOMPARE(w.otherLabelling, QStringList{QStringLiteral("****")});
        QCOMPARE(w.hazards, QStringList{QStringLiteral("H319")});
        QCOMPARE(w.supplemental, (QStringList{QStringLiteral("EUH066"), QStringLiteral("EUH071")}));
    }

    void wrongLayoutsAreRefused_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("message");
        const QList<QStringList> good = agencyRows({kHydrogenChloride});

        QTest::newRow("no header") << QList<QStringList>{{QStringLiteral("Nom"), QStringLiteral("CAS")}}
                                   << QStringLiteral("aucune des 30 premières lignes ne commence par « Index No »");
        QList<QStringList> swapped = good;
        swapped[4][3] = QStringLiteral("EC No");
        QTest::newRow("column renamed")
            << swapped << QStringLiteral("la colonne D de la ligne 5 devrait s'intituler « CAS No » et porte « EC No »");
        QList<QStringList> noSub = good;
        noSub[5] = QStringList{QStringLiteral("x")};
        QTest::newRow("sub-header")
            << noSub << QStringLiteral("la colonne E de la ligne 6 devrait s'intituler « Hazard Class and Category Code(s) »");
        QList<QStringList> badIndex = good;
        badIndex.append(kBoricAcid);
        badIndex.last()[0] = QStringLiteral("Note: see Part 1");
        QTest::newRow("row without INDEX")
            << badIndex << QStringLiteral("ligne 8 du classeur : « Note: see Part 1 » n'est pas un numéro INDEX.");
        QList<QStringList> twoWords = good;
        twoWords[6][6] = QStringLiteral("GHS05\nDgr\nWng");
        QTest::newRow("two signal words") << twoWords << QStringLiteral("ligne 7 du classeur : deux mentions");
        QTest::newRow("no entry") << agencyRows({}) << QStringLiteral("aucune entrée");
    }
    void wrongLayoutsAreRefused()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, message);
        Xlsx::Sheet sheet;
        QString error;
        QVERIFY2(Xlsx::readFirstSheet(XlsxBuilder::xlsx(rows), &sheet, &error), qPrintable(error));
        HarmonisedTable table;
        QVERIFY(!HarmonisedTable::fromSheet(sheet, QStringLiteral("x.xlsx"), &table, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(table.entries.isEmpty());
    }

    void dataFileRoundTrip()
    {
        const HarmonisedTable t = imported({kHydrogenChloride, kBoricAcid, kSulphuricAcid, kWarningOnly});
        const QString path = m_dir.filePath(QStringLiteral("start/clp/annexe6.txt"));
        QString error;
        QVERIFY2(t.write(path, &error), qPrintable(error));
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.startsWith("KALVANE CLASSIFICATION HARMONISEE 1\r\nTITRE=This is"));
        QVERIFY(bytes.contains("\r\nDATE=Updated on March 2031\r\nSOURCE=annexe.xlsx\r\nENTREES=4\r\n"));
        QVERIFY(bytes.contains("\r\nCLASSE=Acute Tox. 3 *|H331\r\n"));
        QVERIFY(bytes.contains("LIMITE=Skin Corr. 1A; H314: C \xE2\x89\xA5 15 %\r\n"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));

        HarmonisedTable back;
        QVERIFY2(HarmonisedTable::read(path, &back, &error), qPrintable(error));
        QCOMPARE(back.title, t.title);
        QCOMPARE(back.date, t.date);
        QCOMPARE(back.entries.size(), t.entries.size());
        for (int i = 0; i < t.entries.size(); ++i) {
            const HarmonisedEntry &a = t.entries.at(i), &b = back.entries.at(i);
            QCOMPARE(b.index, a.index);
            QCOMPARE(b.names, a.names);
            QCOMPARE(b.ec, a.ec);
            QCOMPARE(b.cas, a.cas);
            QCOMPARE(b.classes, a.classes);
            QCOMPARE(b.pictograms, a.pictograms);
            QCOMPARE(b.signalWord, a.signalWord);
            QCOMPARE(b.hazards, a.hazards);
            QCOMPARE(b.supplemental, a.supplemental);
            QCOMPARE(b.otherLabelling, a.otherLabelling);
            QCOMPARE(b.limits, a.limits);
            QCOMPARE(b.notes, a.notes);
            QCOMPARE(b.atp, a.atp);
        }
        QCOMPARE(back.find(QStringLiteral("11113-50-1")).size(), 1);
    }

    void damagedDataFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray head = "KALVANE CLASSIFICATION HARMONISEE 1\r\nDATE=x\r\nENTREES=2\r\n\r\n";
        const QByteArray one = "INDEX=017-002-00-2\r\nCAS=7647-01-0\r\nMENTION=DANGER\r\n\r\n";
        QTest::newRow("other file") << QByteArray("H200: Explosif instable.\r\n")
                                    << QStringLiteral("ligne 1 : ce n'est pas un fichier de classification");
        QTest::newRow("cut") << head + one << QStringLiteral("annonce 2 entrées et en contient 1");
        QTest::newRow("unknown key") << head + one + "INDEX=1\r\nPICTO=SGH01\r\n"
                                     << QStringLiteral("ligne 10 : clé inconnue « PICTO »");
        QTest::newRow("bad word") << head + one + "INDEX=1\r\nMENTION=Dgr\r\n"
                                  << QStringLiteral("ligne 10 : mention d'avertissement inconnue « Dgr »");
        QTest::newRow("no equals") << head + one + "INDEX=1\r\nH331\r\n" << QStringLiteral("ligne 10 : ligne sans « = »");
        QTest::newRow("not UTF-8") << head + one + "INDEX=1\r\nNOM=\xE9thanol\r\n"
                                   << QStringLiteral("ligne 1 : le fichier n'est pas en UTF-8");
    }
    void damagedDataFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("damaged.txt"));
        put(path, bytes);
        HarmonisedTable table;
        QString error;
        QVERIFY(!HarmonisedTable::read(path, &table, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(table.entries.isEmpty());
        QVERIFY(table.find(QStringLiteral("7647-01-0")).isEmpty());
    }

    void numbersAreChecked_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("number");
        QTest::newRow("CAS") << QStringLiteral(" 7647-01-0 ") << int(SubstanceNumber::Cas) << QStringLiteral("7647-01-0");
        QTest::newRow("CAS leading zeros") << QStringLiteral("0007647-01-0") << int(SubstanceNumber::Cas)
                                           << QStringLiteral("7647-01-0");
        QTest::newRow("CAS 7 digits") << QStringLiteral("1344281-25-9") << int(SubstanceNumber::Cas)
                                      << QStringLiteral("1344281-25-9");
        QTest::newRow("EC") << QStringLiteral("231-595-7") << int(SubstanceNumber::Ec) << QStringLiteral("231-595-7");
        QTest::newRow("INDEX X") << QStringLiteral("001-003-00-x") << int(SubstanceNumber::Index)
                                 << QStringLiteral("001-003-00-X");
        QTest::newRow("CAS wrong digit") << QStringLiteral("7647-01-1") << int(SubstanceNumber::Invalid) << QString();
        QTest::newRow("CAS 7 digits wrong") << QStringLiteral("1344281-25-8") << int(SubstanceNumber::Invalid) << QString();
        QTest::newRow("EC wrong digit") << QStringLiteral("231-595-8") << int(SubstanceNumber::Invalid) << QString();
        QTest::newRow("INDEX wrong digit") << QStringLiteral("017-002-00-3") << int(SubstanceNumber::Invalid)
                                           << QString();
        QTest::newRow("no number") << QStringLiteral("hydrogen chloride") << int(SubstanceNumber::Invalid) << QString();
        QTest::newRow("empty") << QString() << int(SubstanceNumber::Invalid) << QString();
    }
    void numbersAreChecked()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, number);
        const SubstanceNumber n = SubstanceNumber::check(text);
        QCOMPARE(int(n.kind), kind);
        QCOMPARE(n.number, number);
        QCOMPARE(n.error.isEmpty(), kind != SubstanceNumber::Invalid);
    }

    void wrongCheckDigitIsNamed()
    {
        QCOMPARE(SubstanceNumber::check(QStringLiteral("7647-01-1")).error,
                 QStringLiteral("« 7647-01-1 » n'est pas un numéro CAS valide : son chiffre de contrôle devrait être 0."));
        QVERIFY(SubstanceNumber::check(QStringLiteral("231-595-8")).error.contains(QStringLiteral("numéro CE valide")));
    }

    void lookupsByEachNumber()
    {
        QList<QStringList> rows = {kHydrogenChloride, kBoricAcid, kSulphuricAcid, kWarningOnly};
        // Another entry sharing the EC number of hydrogen chloride.
        QStringList hydrochloric = kHydrogenChloride;
        hydrochloric[0] = QStringLiteral("017-002-01-X");
        hydrochloric[1] = QStringLiteral("hydrochloric acid ... %");
        hydrochloric[3] = QStringLiteral("-");
        rows.append(hydrochloric);
        // The table writes a few EC numbers with another check digit.
        QStringList offCheck = kBoricAcid;
        offCheck[0] = QStringLiteral("603-172-00-0");
        offCheck[2] = QStringLiteral("415-180-1");
        offCheck[3] = QStringLiteral("773058-82-5");
        rows.append(offCheck);
        const HarmonisedTable t = imported(rows);
        QCOMPARE(t.entries.size(), 6);
        QVERIFY(t.find(QStringLiteral("415-180-1")).isEmpty());
        QCOMPARE(t.findAsWritten(QStringLiteral(" 415-180-1")).value(0)->index, QStringLiteral("603-172-00-0"));
        QCOMPARE(t.find(QStringLiteral("773058-82-5")).value(0)->index, QStringLiteral("603-172-00-0"));

        const auto indexes = [&](const QString &number) {
            QStringList out;
            for (const HarmonisedEntry *e : t.find(number))
                out.append(e->index);
            return out;
        };
        QCOMPARE(indexes(QStringLiteral("7647-01-0")), QStringList{QStringLiteral("017-002-00-2")});
        QCOMPARE(indexes(QStringLiteral("231-595-7")),
                 (QStringList{QStringLiteral("017-002-00-2"), QStringLiteral("017-002-01-X")}));
        QCOMPARE(indexes(QStringLiteral("017-002-01-x")), QStringList{QStringLiteral("017-002-01-X")});
        // Each number of a group names the group's entry.
        QCOMPARE(indexes(QStringLiteral("234-343-4")), QStringList{QStringLiteral("005-007-00-2")});
        QCOMPARE(indexes(QStringLiteral("10043-35-3")), QStringList{QStringLiteral("005-007-00-2")});
        // Valid but absent, and invalid.
        QVERIFY(indexes(QStringLiteral("64-17-5")).isEmpty());
        QVERIFY(indexes(QStringLiteral("7647-01-1")).isEmpty());
        QVERIFY(indexes(QStringLiteral("-")).isEmpty());
    }

    void sharedTableIsReadOnceAndForgotten()
    {
        const QString start = m_dir.filePath(QStringLiteral("shared"));
        const QString path = start + QStringLiteral("/clp/annexe6.txt");
        QString error;
        QVERIFY(imported({kHydrogenChloride}).write(path, &error));
        const auto first = HarmonisedTable::shared(start, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(first->entries.size(), 1);
        QVERIFY(imported({kHydrogenChloride, kBoricAcid}).write(path, &error));
        QCOMPARE(HarmonisedTable::shared(start).get(), first.get());
        HarmonisedTable::forgetShared();
        QCOMPARE(HarmonisedTable::shared(start)->entries.size(), 2);

        const auto missing = HarmonisedTable::shared(m_dir.filePath(QStringLiteral("none")), &error);
        QVERIFY(missing->entries.isEmpty());
        QVERIFY(!error.isEmpty());
    }

    void importTellsItsProgressAndStopsWhenAsked()
    {
        // Enough rows for the sheet to be read in many steps.
        QList<QStringList> rows;
        for (int i = 0; i < 300; ++i)
            rows.append(i % 2 ? kHydrogenChloride : kBoricAcid);
        const QString path = m_dir.filePath(QStringLiteral("progress.xlsx"));
        put(path, XlsxBuilder::xlsx(agencyRows(rows)));

        QList<int> told;
        HarmonisedTable t;
        QString error;
        QVERIFY2(HarmonisedTable::importXlsx(path, &t, &error, [&told](int permille) {
                     told.append(permille);
                     return true;
                 }),
                 qPrintable(error));
        QCOMPARE(t.entries.size(), 300);
        QVERIFY2(told.size() > 10, qPrintable(QString::number(told.size())));
        QCOMPARE(told.last(), 1000);
        for (qsizetype i = 1; i < told.size(); ++i)
            QVERIFY2(told.at(i) >= told.at(i - 1) && told.at(i) >= 0, qPrintable(QString::number(told.at(i))));

        // Stopped half-way: refused, and nothing taken.
        int calls = 0;
        QVERIFY(!HarmonisedTable::importXlsx(path, &t, &error, [&calls](int permille) {
            ++calls;
            return permille < 500;
        }));
        QCOMPARE(error, Xlsx::kStopped);
        QVERIFY(t.entries.isEmpty());
        QVERIFY(calls < told.size());
    }

    // The shipped data: the table up to the 17th adaptation, read whole.
    void shippedDataReads()
    {
        HarmonisedTable t;
        QString error;
        QVERIFY2(HarmonisedTable::read(QStringLiteral(KALVANE_DATA_DIR "/clp/annexe6.txt"), &t, &error),
                 qPrintable(error));
        QCOMPARE(t.entries.size(), 4334);
        QCOMPARE(t.date, QStringLiteral("Updated on December 2021"));
        const auto hcl = t.find(QStringLiteral("7647-01-0"));
        QCOMPARE(hcl.size(), 1);
        QCOMPARE(hcl.at(0)->hazards, (QStringList{QStringLiteral("H331"), QStringLiteral("H314")}));
    }
};

QTEST_GUILESS_MAIN(TestClassification)
#include "test_classification.moc"

// The label digest used by sheet printing: the items it hands over, the
// composed identification line and statement groups, what it leaves alone,
// and where it stops.

#include "shell/labeldigest.h"
#include "shell/labelfile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace LabelFile;

namespace {

// A stored label as the writer lays it out, written out here by hand so the
// digest is checked against the format, not against the writer.
QStringList storedLabel()
{
    return {
        "***fab***",
        "Chimie Lyonnaise",
        "69007 Lyon",
        "\\fournisseurs\\chimie.jpg",
        "***sub***",
        "Acide sulfurique",
        "à 96 %",
        "***nref***",
        "231-639-5",
        "  7664-93-9",
        "016-020-00-8",
        "***commentaires***",
        "Réservé à un usage professionnel.",
        "Ne pas mélanger.",
        "***avertissement***",
        "DANGER",
        "***pic***",
        "GHS05",
        "SGH07",
        "***dangers***",
        "3",
        "H225: Liquide et vapeurs très inflammables.",
        "17",
        "H319: Provoque une sévère irritation des yeux.",
        "***prudence***",
        "4",
        "P305+P351+P338: EN CAS DE CONTACT AVEC LES YEUX : rincer avec précaution.",
        "***infos***",
        "***fonte***",
        "Times New Roman",
        "18",
        "7",
        "***marges_echelle***",
        "120",
        "3",
        "4",
        "$004080FF",
        "16",
        "_eof",
    };
}

qsizetype lineOf(const QStringList &lines, const QString &line)
{
    return lines.indexOf(line);
}

} // namespace

class TestLabelDigest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void itemsOfAStoredLabel();
    void statementGroups_data();
    void statementGroups();
    void identificationLine_data();
    void identificationLine();
    void composedItemsAreAppended();
    void notALabelFileLeavesEverything();
    void conversionsAreLeftToTheCaller();
    void stopsWhereTheReaderStops();
    void readsFiles();
};

void TestLabelDigest::itemsOfAStoredLabel()
{
    LabelDigest d;
    const Status status = d.read(storedLabel(), false);
    QVERIFY2(status.ok(), qPrintable(status.message));
    QCOMPARE(d.supplier, QStringLiteral("Chimie Lyonnaise\r\n69007 Lyon\r\n\\fournisseurs\\chimie.jpg\r\n"));
    QCOMPARE(d.product, QStringLiteral("Acide sulfurique\r\nà 96 %\r\n"));
    QCOMPARE(d.identification, QStringLiteral("CE: 231-639-5    CAS: 7664-93-9    INDEX: 016-020-00-8"));
    QCOMPARE(d.comments, QStringLiteral("Réservé à un usage professionnel.\r\nNe pas mélanger.\r\n"));
    QCOMPARE(d.signalWord, QStringLiteral("DANGER\r\n"));
    QCOMPARE(d.pictograms, QStringLiteral("GHS05\r\nSGH07\r\n")); // "GHS" passed on unchanged
    QCOMPARE(d.hazards, QStringLiteral("H225: Liquide et vapeurs très inflammables.\n"
                                       "H319: Provoque une sévère irritation des yeux.\n\n"));
    QCOMPARE(d.precautions,
             QStringLiteral("P305+P351+P338: EN CAS DE CONTACT AVEC LES YEUX : rincer avec précaution.\n\n"));
    QCOMPARE(d.supplementary, QStringLiteral("\n"));
    QCOMPARE(d.fontFace, QStringLiteral("Times New Roman"));
    QCOMPARE(d.colorText, QStringLiteral("$004080FF"));
    QCOMPARE(d.alignmentText, QStringLiteral("16"));
    QCOMPARE(d.productSize, std::optional<float>(18.0f));
    QCOMPARE(d.statementSize, std::optional<float>(7.0f));
}

void TestLabelDigest::statementGroups_data()
{
    QTest::addColumn<QStringList>("pairs");
    QTest::addColumn<bool>("numberingOnly");
    QTest::addColumn<QString>("group");
    const QStringList two = {"3", "H225: Liquide et vapeurs très inflammables.", "17",
                             "H319: Provoque une sévère irritation des yeux."};
    QTest::newRow("codes") << two << true << "H225, H319\n";
    QTest::newRow("codes, none") << QStringList() << true << "\n";
    QTest::newRow("codes, one") << two.mid(0, 2) << true << "H225\n";
    QTest::newRow("wording") << two << false
                             << "H225: Liquide et vapeurs très inflammables.\n"
                                "H319: Provoque une sévère irritation des yeux.\n\n";
    QTest::newRow("wording, none") << QStringList() << false << "\n";
    QTest::newRow("code with its blank") << QStringList{"7", "H290 : Peut être corrosif pour les métaux."} << true
                                         << "H290 \n";
    QTest::newRow("text without colon") << QStringList{"0", "Sans code", "1", "H225: x"} << true << ", H225\n";
    QTest::newRow("positions not used") << QStringList{"bidon", "H999: Mention retirée."} << true << "H999\n";
}

void TestLabelDigest::statementGroups()
{
    QFETCH(QStringList, pairs);
    QFETCH(bool, numberingOnly);
    QFETCH(QString, group);
    // The same pairs in each of the three sections give the same group.
    for (const QString &section : {kHazards, kPrecautions, kInfos}) {
        QStringList lines = storedLabel();
        for (const QString &marker : {kHazards, kPrecautions, kInfos}) {
            const qsizetype from = lineOf(lines, marker) + 1;
            const qsizetype to = lineOf(lines, marker == kHazards ? kPrecautions : marker == kPrecautions ? kInfos : kFont);
            lines.remove(from, to - from);
        }
        const qsizetype at = lineOf(lines, section) + 1;
        for (qsizetype k = 0; k < pairs.size(); ++k)
            lines.insert(at + k, pairs.at(k));

        LabelDigest d;
        QVERIFY(d.read(lines, numberingOnly).ok());
        const QString empty = QStringLiteral("\n");
        QCOMPARE(d.hazards, section == kHazards ? group : empty);
        QCOMPARE(d.precautions, section == kPrecautions ? group : empty);
        QCOMPARE(d.supplementary, section == kInfos ? group : empty);
    }
}

void TestLabelDigest::identificationLine_data()
{
    QTest::addColumn<QString>("ce");
    QTest::addColumn<QString>("cas");
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("line");
    const QString noCe = LabelDocument::kEmptyCE, noCas = LabelDocument::kEmptyCAS,
                  noIndex = LabelDocument::kEmptyINDEX;
    QTest::newRow("all three") << "200-578-6" << "   64-17-5" << "603-002-00-5"
                               << "CE: 200-578-6    CAS: 64-17-5    INDEX: 603-002-00-5";
    QTest::newRow("none") << noCe << noCas << noIndex << "";
    QTest::newRow("CAS alone keeps its prefix") << noCe << "   64-17-5" << noIndex << "    CAS: 64-17-5";
    QTest::newRow("INDEX alone") << noCe << noCas << "603-002-00-5" << "    INDEX: 603-002-00-5";
    QTest::newRow("CE blanks kept") << "200-57 -6" << noCas << noIndex << "CE: 200-57 -6";
    QTest::newRow("partly typed CAS") << noCe << "     7-  - " << noIndex << "    CAS: 7--";
    QTest::newRow("INDEX blanks kept") << noCe << noCas << "603-002-0 - " << "    INDEX: 603-002-0 - ";
    QTest::newRow("other lengths differ from the empty masks") << "" << "" << "" << "CE:     CAS:     INDEX: ";
}

void TestLabelDigest::identificationLine()
{
    QFETCH(QString, ce);
    QFETCH(QString, cas);
    QFETCH(QString, index);
    QFETCH(QString, line);
    QStringList lines = storedLabel();
    const qsizetype nref = lineOf(lines, kNref);
    lines[nref + 1] = ce;
    lines[nref + 2] = cas;
    lines[nref + 3] = index;
    LabelDigest d;
    QVERIFY(d.read(lines, false).ok());
    QCOMPARE(d.identification, line);

    QString direct;
    LabelDigest::appendIdentification(&direct, ce, cas, index);
    QCOMPARE(direct, line);
}

void TestLabelDigest::composedItemsAreAppended()
{
    // The composed items add to what the caller passes; the others replace it.
    LabelDigest d;
    d.identification = QStringLiteral("avant|");
    d.hazards = QStringLiteral("H:");
    d.precautions = QStringLiteral("P:");
    d.supplementary = QStringLiteral("E: ");
    d.product = QStringLiteral("ancien produit");
    d.fontFace = QStringLiteral("Arial");
    QVERIFY(d.read(storedLabel(), true).ok());
    QCOMPARE(d.identification, QStringLiteral("avant|CE: 231-639-5    CAS: 7664-93-9    INDEX: 016-020-00-8"));
    QCOMPARE(d.hazards, QStringLiteral("H:H225, H319\n"));
    QCOMPARE(d.precautions, QStringLiteral("P:P305+P351+P338\n"));
    // An empty group takes nothing away from what the caller passed.
    QCOMPARE(d.supplementary, QStringLiteral("E: \n"));
    QCOMPARE(d.product, QStringLiteral("Acide sulfurique\r\nà 96 %\r\n"));
    QCOMPARE(d.fontFace, QStringLiteral("Times New Roman"));
}

void TestLabelDigest::notALabelFileLeavesEverything()
{
    QStringList lines = storedLabel();
    lines[0] = QStringLiteral("***fab*** ");
    LabelDigest d;
    d.supplier = QStringLiteral("S");
    d.hazards = QStringLiteral("H");
    d.identification = QStringLiteral("I");
    d.fontFace = QStringLiteral("F");
    const Status status = d.read(lines, true);
    QVERIFY(status.ok());
    QCOMPARE(d.supplier, QStringLiteral("S"));
    QCOMPARE(d.hazards, QStringLiteral("H"));
    QCOMPARE(d.identification, QStringLiteral("I"));
    QCOMPARE(d.fontFace, QStringLiteral("F"));
    QCOMPARE(d.product, QString());
    QVERIFY(!d.productSize && !d.statementSize);
}

void TestLabelDigest::conversionsAreLeftToTheCaller()
{
    // Colour and alignment are handed over as text: no conversion error here.
    QStringList lines = storedLabel();
    const qsizetype fonte = lineOf(lines, kFont);
    lines[fonte + 5] = QStringLiteral("cent");
    lines[fonte + 8] = QStringLiteral("rouge");
    lines[fonte + 9] = QStringLiteral("à gauche");
    LabelDigest d;
    QVERIFY(d.read(lines, false).ok());
    QCOMPARE(d.colorText, QStringLiteral("rouge"));
    QCOMPARE(d.alignmentText, QStringLiteral("à gauche"));

    // The sizes are converted; the first bad one stops the digest.
    lines = storedLabel();
    lines[fonte + 3] = QStringLiteral("huit");
    LabelDigest bad;
    const Status status = bad.read(lines, false);
    QCOMPARE(status.kind, Status::FloatConversion);
    QCOMPARE(status.message, QStringLiteral("'huit' n'est pas une valeur en virgule flottante correcte"));
    QCOMPARE(bad.fontFace, QStringLiteral("Times New Roman"));
    QCOMPARE(bad.productSize, std::optional<float>(18.0f));
    QVERIFY(!bad.statementSize);
    QCOMPARE(bad.colorText, QString());
}

void TestLabelDigest::stopsWhereTheReaderStops()
{
    const QStringList full = storedLabel();
    {
        LabelDigest d;
        QCOMPARE(d.read({}, false).message, QStringLiteral("Indice de liste hors limites (0)"));
    }
    {   // A cut file whose last line is the text of a statement pair.
        const qsizetype cut = lineOf(full, kHazards) + 5; // "3", H225, "17", H319
        LabelDigest d;
        const Status status = d.read(full.first(cut), true);
        QCOMPARE(status.kind, Status::ListIndex);
        QCOMPARE(status.message, QStringLiteral("Indice de liste hors limites (%1)").arg(cut));
        QCOMPARE(d.pictograms, QStringLiteral("GHS05\r\nSGH07\r\n"));
        // The pair whose text is the file's last line is not taken.
        QCOMPARE(d.hazards, QStringLiteral("H225\n"));
        QCOMPARE(d.precautions, QString());
    }
    {   // A missing marker.
        QStringList noInfos = full;
        noInfos.removeAll(kInfos);
        LabelDigest d;
        const Status status = d.read(noInfos, false);
        QCOMPARE(status.message, QStringLiteral("Indice de liste hors limites (%1)").arg(noInfos.size()));
        QVERIFY(d.precautions.startsWith(QStringLiteral("P305+P351+P338")));
        QCOMPARE(d.fontFace, QString());
    }
    {   // Without the supplier's logo line, unlike the reader, the digest goes on.
        QStringList noLogo = full;
        noLogo.remove(1, 3);
        LabelDigest d;
        QVERIFY(d.read(noLogo, false).ok());
        QCOMPARE(d.supplier, QString());
    }
}

void TestLabelDigest::readsFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    LabelDocument doc;
    FrameMirrors mirrors;
    mirrors.logoPath = QStringLiteral("logo");
    QString error;
    QVERIFY2(save(QStringLiteral("nouvelle.kvln"), &doc, mirrors, &error, dir.path()), qPrintable(error));

    LabelDigest d;
    QVERIFY(d.readFile(QStringLiteral("nouvelle.kvln"), true, dir.path()).ok());
    QCOMPARE(d.supplier, QStringLiteral("\\fournisseurs\\logo\r\n"));
    QCOMPARE(d.signalWord, QStringLiteral("DANGER\r\n"));
    QCOMPARE(d.identification, QString());
    QCOMPARE(d.hazards, QStringLiteral("\n"));
    QCOMPARE(d.colorText, QStringLiteral("clBlack"));
    QCOMPARE(d.alignmentText, QStringLiteral("17"));

    LabelDigest fixture;
    QVERIFY(fixture.readFile(QStringLiteral(KALVANE_FIXTURES_DIR "/acide_sulfurique.kvln"), true).ok());
    // The digest knows no catalogue: the withdrawn H999 is printed.
    QCOMPARE(fixture.hazards, QStringLiteral("H314, H999\n"));
    QCOMPARE(fixture.product, QStringLiteral("Acide sulfurique\r\nà 96 %\r\n"));

    LabelDigest missing;
    const Status status = missing.readFile(dir.filePath("absente.kvln"), false);
    QCOMPARE(status.kind, Status::Unreadable);
    QVERIFY(status.message.contains(QStringLiteral("absente.kvln")));
}

QTEST_GUILESS_MAIN(TestLabelDigest)
#include "test_labeldigest.moc"

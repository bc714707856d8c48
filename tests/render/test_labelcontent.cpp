// What the drawing is given: the identity line, the statement block in its
// two forms, the line counts of the memos, and the content built from a label
// window's document or from a stored label's digest.

#include "render/labelcontent.h"
#include "render/labelrenderer.h"
#include "shell/labeldigest.h"

#include <QDir>
#include <QTest>

namespace {

StatementList list(const QStringList &lines, const QList<int> &ticked)
{
    StatementList l;
    for (int i = 0; i < lines.size(); ++i)
        l.append({lines.at(i), ticked.contains(i)});
    return l;
}

const QStringList kH = {QStringLiteral("H225: Liquide et vapeurs très inflammables."),
                        QStringLiteral("H290: Peut être corrosif pour les métaux."),
                        QStringLiteral("H319: Provoque une sévère irritation des yeux.")};
const QStringList kP = {QStringLiteral("P210: Tenir à l'écart de la chaleur."),
                        QStringLiteral("P280: Porter des gants de protection.")};
const QStringList kEUH = {QStringLiteral("EUH066: L'exposition répétée peut provoquer dessèchement ou gerçures de la peau.")};

} // namespace

class TestLabelContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void identityLine_data()
    {
        QTest::addColumn<QString>("ce");
        QTest::addColumn<QString>("cas");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("line");
        const QString noCE = LabelDocument::kEmptyCE, noCAS = LabelDocument::kEmptyCAS,
                      noINDEX = LabelDocument::kEmptyINDEX;
        QTest::newRow("nothing") << noCE << noCAS << noINDEX << QString();
        // Two blanks typed before 64 in the six-place part of the CAS mask: the
        // blanks go, the prefix of four blanks stays.
        QTest::newRow("CAS only") << noCE << QStringLiteral("  64  -17-5") << noINDEX
                                  << QStringLiteral("    CAS: 64-17-5");
        QTest::newRow("CE and INDEX") << QStringLiteral("200-578-6") << noCAS << QStringLiteral("603-002-00-5")
                                      << QStringLiteral("CE: 200-578-6    INDEX: 603-002-00-5");
        QTest::newRow("all three") << QStringLiteral("231-595-7") << QStringLiteral("  7647-01-0")
                                   << QStringLiteral("017-002-01-X")
                                   << QStringLiteral("CE: 231-595-7    CAS: 7647-01-0    INDEX: 017-002-01-X");
        // A partly typed CE number is not the empty mask: it is shown as typed.
        QTest::newRow("partial CE") << QStringLiteral("2  -   - ") << noCAS << noINDEX
                                    << QStringLiteral("CE: 2  -   - ");
    }

    void identityLine()
    {
        QFETCH(QString, ce);
        QFETCH(QString, cas);
        QFETCH(QString, index);
        QFETCH(QString, line);
        QCOMPARE(LabelContent::identityLine(ce, cas, index), line);
    }

    void statementBlockFullWording()
    {
        // One statement in each list: H, empty line, P, empty line, EUH.
        QCOMPARE(LabelContent::statementBlock(list(kH, {1}), list(kP, {0}), list(kEUH, {0}), false),
                 kH.at(1) + u'\n' + u'\n' + kP.at(0) + u'\n' + u'\n' + kEUH.at(0) + u'\n');
        // Ticked entries in list order, unticked ones left out; without H the
        // block starts with an empty line.
        QCOMPARE(LabelContent::statementBlock(list(kH, {}), list(kP, {1, 0}), list(kEUH, {}), false),
                 QStringLiteral("\n") + kP.at(0) + u'\n' + kP.at(1) + u'\n' + u'\n');
        QCOMPARE(LabelContent::statementBlock(list(kH, {}), list(kP, {}), list(kEUH, {}), false),
                 QStringLiteral("\n\n"));
    }

    void statementBlockNumberingOnly()
    {
        QCOMPARE(LabelContent::statementBlock(list(kH, {0, 2}), list(kP, {0}), list(kEUH, {0}), true),
                 QStringLiteral("H225, H319\nP210\nEUH066"));
        // No P statement: the middle line is empty.
        QCOMPARE(LabelContent::statementBlock(list(kH, {0, 2}), list(kP, {}), list(kEUH, {0}), true),
                 QStringLiteral("H225, H319\n\nEUH066"));
        // The code is everything before the first colon, blanks included; a
        // line without a colon has an empty code.
        const StatementList odd = list({QStringLiteral("H350i : Peut provoquer le cancer."),
                                        QStringLiteral("sans deux-points")},
                                       {0, 1});
        QCOMPARE(LabelContent::statementBlock(odd, {}, {}, true), QStringLiteral("H350i , \n\n"));
    }

    void lineCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("one") << QStringLiteral("ACIDE") << 1;
        QTest::newRow("final break not counted") << QStringLiteral("ACIDE\n") << 1;
        QTest::newRow("two") << QStringLiteral("ACIDE\nsolution") << 2;
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\nc\r\n") << 3;
        QTest::newRow("lone CR") << QStringLiteral("a\rb") << 2;
        QTest::newRow("empty line inside") << QStringLiteral("a\n\nb") << 3;
        QTest::newRow("empty last line typed") << QStringLiteral("a\n\n") << 2;
        QTest::newRow("break only") << QStringLiteral("\n") << 1;
    }

    void lineCount()
    {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QCOMPARE(LabelContent::lineCount(text), lines);
    }

    void fromDocumentTakesTheMirrors()
    {
        LabelDocument doc;
        doc.supplier = QStringLiteral("Chimie SA\r\nLyon");
        doc.product = QStringLiteral("ACIDE\nCHLORHYDRIQUE\n");
        doc.productColor = QColor(0, 0, 128);
        doc.cas = QStringLiteral("  7647-01-0");
        doc.comment = QStringLiteral("Usage professionnel.");
        doc.commentAlignment = AlignRightCode;
        doc.signalWord = QStringLiteral("ATTENTION");
        doc.pictograms = {QStringLiteral("SGH05"), QStringLiteral("SGH07")};
        doc.hazards = list(kH, {1});
        doc.precautions = list(kP, {});
        doc.supplementary = list(kEUH, {});
        // The window's own panels say otherwise: the frame mirrors win.
        doc.fontFace = QStringLiteral("Courier New");
        doc.productSize = QStringLiteral("10");
        doc.logoPath = QStringLiteral("/ailleurs/logo.jpg");

        FrameMirrors mirrors;
        mirrors.fontFace = QStringLiteral("Times New Roman");
        mirrors.productSize = 14;
        mirrors.statementSize = 11;
        mirrors.logoPath = QStringLiteral("/fournisseurs/chimie.jpg");

        const LabelContent c = LabelContent::fromDocument(doc, mirrors, false, QStringLiteral("/start"));
        QVERIFY(c.present);
        QVERIFY(!c.stored);
        QCOMPARE(c.pictogramFolder, QStringLiteral("/start"));
        QCOMPARE(c.pictograms, doc.pictograms);
        QCOMPARE(c.supplier, QStringLiteral("Chimie SA\nLyon"));
        QCOMPARE(c.supplierLines, 2);
        QCOMPARE(c.productLines, 2);
        QCOMPARE(c.productColor, QColor(0, 0, 128));
        QCOMPARE(c.identity, QStringLiteral("    CAS: 7647-01-0"));
        QCOMPARE(c.commentLines, 1);
        QCOMPARE(c.commentAlignment, int(AlignRightCode));
        QCOMPARE(c.signalWord, QStringLiteral("ATTENTION"));
        QCOMPARE(c.statements, kH.at(1) + QStringLiteral("\n\n\n"));
        QCOMPARE(c.fontFace, QStringLiteral("Times New Roman"));
        QCOMPARE(c.productSize, 14.0);
        QCOMPARE(c.statementSize, 11.0);
        QCOMPARE(c.logoPath, QStringLiteral("/fournisseurs/chimie.jpg"));
        QVERIFY(!c.numberingOnly);

        const LabelContent numbers = LabelContent::fromDocument(doc, mirrors, true, QStringLiteral("/start"));
        QVERIFY(numbers.numberingOnly);
        QCOMPARE(numbers.statements, QStringLiteral("H290\n\n"));
    }

    void fromDigestMatchesTheWindow()
    {
        // A stored label read through the digest gives the same statement block
        // as the window would, in both forms; the logo line leaves the supplier
        // block and becomes the logo path.
        const QStringList lines = {
            QStringLiteral("***fab***"), QStringLiteral("Chimie SA"), QStringLiteral("12 rue des Tanneurs"),
            QStringLiteral("\\fournisseurs\\chimie.jpg"), QStringLiteral("***sub***"), QStringLiteral("ACIDE"),
            QStringLiteral("***nref***"), QStringLiteral("231-595-7"), QStringLiteral("  7647-01-0"),
            LabelDocument::kEmptyINDEX, QStringLiteral("***commentaires***"), QStringLiteral("Ligne 1"),
            QStringLiteral("Ligne 2"), QStringLiteral("***avertissement***"), QStringLiteral("DANGER"),
            QStringLiteral("***pic***"), QStringLiteral("GHS05"), QStringLiteral("SGH07"),
            QStringLiteral("***dangers***"), QStringLiteral("0"), kH.at(0), QStringLiteral("2"), kH.at(2),
            QStringLiteral("***prudence***"), QStringLiteral("***infos***"), QStringLiteral("0"), kEUH.at(0),
            QStringLiteral("***fonte***"), QStringLiteral("Arial"), QStringLiteral("14"), QStringLiteral("9"),
            QStringLiteral("***marges_echelle***"), QStringLiteral("100"), QStringLiteral("0"),
            QStringLiteral("0"), QStringLiteral("clRed"), QStringLiteral("18"), QStringLiteral("_eof")};

        for (bool numbering : {false, true}) {
            LabelDigest digest;
            digest.read(lines, numbering);
            QStringList problems;
            const LabelContent c = LabelContent::fromDigest(digest, FrameMirrors(), numbering,
                                                            QStringLiteral("/labels"), QStringLiteral("/start"),
                                                            &problems);
            QVERIFY(problems.isEmpty());
            QVERIFY(c.stored);
            QCOMPARE(c.supplier, QStringLiteral("Chimie SA\n12 rue des Tanneurs"));
            QCOMPARE(c.supplierLines, 2);
            QCOMPARE(c.logoPath, QStringLiteral("/labels/fournisseurs/chimie.jpg"));
            QCOMPARE(c.pictograms, (QStringList{QStringLiteral("SGH05"), QStringLiteral("SGH07")}));
            QCOMPARE(c.productLines, 1);
            QCOMPARE(c.productColor, QColor(255, 0, 0));
            QCOMPARE(c.identity, QStringLiteral("CE: 231-595-7    CAS: 7647-01-0"));
            QCOMPARE(c.commentLines, 2);
            QCOMPARE(c.commentAlignment, 18);
            QCOMPARE(c.signalWord, QStringLiteral("DANGER"));
            QCOMPARE(c.fontFace, QStringLiteral("Arial"));
            QCOMPARE(c.productSize, 14.0);
            QCOMPARE(c.statementSize, 9.0);
            QCOMPARE(c.numberingOnly, numbering);

            // The digest ends the EUH group with one more line feed, which
            // draws nothing; the rest is the window's block.
            const QString window = LabelContent::statementBlock(list(kH, {0, 2}), list(kP, {}),
                                                                list(kEUH, {0}), numbering);
            QCOMPARE(c.statements, window + u'\n');
        }
    }

    void sizesFromFilesAreDrawable()
    {
        // A hand-edited size of 1e10 (or 0, or a negative one) is drawn within
        // the bounds a label can show, from a window and from a file alike.
        LabelDocument doc;
        FrameMirrors mirrors;
        mirrors.productSize = 1e10f;
        mirrors.statementSize = -3;
        const LabelContent c = LabelContent::fromDocument(doc, mirrors, false, QString());
        QCOMPARE(c.productSize, LabelContent::kMaximumSize);
        QCOMPARE(c.statementSize, LabelContent::kMinimumSize);
        LabelDigest digest;
        digest.productSize = 0.0f;
        digest.statementSize = 7.5f;
        const LabelContent d = LabelContent::fromDigest(digest, mirrors, false, QString(), QString());
        QCOMPARE(d.productSize, LabelContent::kMinimumSize);
        QCOMPARE(d.statementSize, 7.5);
        // And the drawing takes them without harm.
        LayoutResult r;
        LabelRenderer::labelPicture(c, &r);
        QVERIFY(r.productPoints > 0 && r.productPoints <= 2 * LabelContent::kMaximumSize);
    }

    void fromDigestWithUnreadableTexts()
    {
        LabelDigest digest;
        digest.supplier = QStringLiteral("\\fournisseurs\\\r\n");
        digest.colorText = QStringLiteral("bleu");
        digest.alignmentText = QStringLiteral("dix-sept");
        digest.pictograms = QStringLiteral("\r\nSGH01\r\n");
        FrameMirrors current;
        current.productSize = 18;
        current.statementSize = 7;
        QStringList problems;
        const LabelContent c = LabelContent::fromDigest(digest, current, false, QStringLiteral("/labels"),
                                                        QStringLiteral("/start"), &problems);
        QCOMPARE(c.productColor, QColor(Qt::black));
        QCOMPARE(c.commentAlignment, int(AlignCenterCode));
        QCOMPARE(problems.size(), 2);
        QVERIFY(problems.at(0).contains(QStringLiteral("bleu")));
        QVERIFY(problems.at(1).contains(QStringLiteral("dix-sept")));
        // A logo line without a file name names the folder, not a picture.
        QCOMPARE(c.logoPath, QStringLiteral("/labels/fournisseurs/"));
        QCOMPARE(c.supplierLines, 0);
        // An empty stored pictogram line is still a pictogram.
        QCOMPARE(c.pictograms, (QStringList{QString(), QStringLiteral("SGH01")}));
        // The file stopped before its size lines: the current sizes stay.
        QCOMPARE(c.productSize, 18.0);
        QCOMPARE(c.statementSize, 7.0);
    }
};

QTEST_MAIN(TestLabelContent)
#include "test_labelcontent.moc"

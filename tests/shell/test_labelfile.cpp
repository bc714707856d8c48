// The label file writer and reader, without windows: the layout written for a
// label, what a file gives back, the colour text form, the failures that stop
// a read, and the saving rules (supplier folder, logo copy, atomic write).

#include "editor/catalogue.h"
#include "shell/colortext.h"
#include "shell/labeldigest.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"

#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace LabelFile;

namespace {

QStringList catalogue(const QString &name)
{
    QStringList items;
    QString error;
    if (!Catalogue::load(QStringLiteral(KALVANE_FIXTURES_DIR "/catalogues/") + name, &items, &error))
        qFatal("%s", qPrintable(error));
    return items;
}

// A label as a new window holds it: defaults and the three catalogues.
LabelDocument newLabel()
{
    LabelDocument doc;
    doc.hazards = Catalogue::toStatements(catalogue(QStringLiteral("H.txt")));
    doc.precautions = Catalogue::toStatements(catalogue(QStringLiteral("P.txt")));
    doc.supplementary = Catalogue::toStatements(catalogue(QStringLiteral("EUH.txt")));
    return doc;
}

// The mirrors of a freshly activated new label: its logo path is "logo".
FrameMirrors newLabelMirrors()
{
    FrameMirrors m;
    m.logoPath = QStringLiteral("logo");
    return m;
}

// Lines strictly between two markers.
QStringList between(const QStringList &lines, const QString &from, const QString &to)
{
    const qsizetype a = lines.indexOf(from);
    const qsizetype b = lines.indexOf(to);
    if (a < 0 || b < a)
        return {QStringLiteral("<markers missing>")};
    return lines.mid(a + 1, b - a - 1);
}

// Inserts `more` before the line `before`.
void insertBefore(QStringList &lines, const QString &before, const QStringList &more)
{
    const qsizetype at = lines.indexOf(before);
    for (qsizetype k = 0; k < more.size(); ++k)
        lines.insert(at + k, more.at(k));
}

qsizetype indexOfCode(const StatementList &list, const QString &code)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (Catalogue::statementCode(list.at(i).text) == code)
            return i;
    return -1;
}

void compareStatements(const StatementList &actual, const StatementList &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual.at(i).text, expected.at(i).text);
        QCOMPARE(actual.at(i).ticked, expected.at(i).ticked);
    }
}

// Field by field, so a failure names the field.
void compareDocuments(const LabelDocument &actual, const LabelDocument &expected)
{
    QCOMPARE(actual.supplier, expected.supplier);
    QCOMPARE(actual.logoPath, expected.logoPath);
    QCOMPARE(actual.product, expected.product);
    QCOMPARE(actual.productColor, expected.productColor);
    QCOMPARE(actual.ce, expected.ce);
    QCOMPARE(actual.cas, expected.cas);
    QCOMPARE(actual.index, expected.index);
    QCOMPARE(actual.comment, expected.comment);
    QCOMPARE(actual.commentAlignment, expected.commentAlignment);
    QCOMPARE(actual.signalWord, expected.signalWord);
    QCOMPARE(actual.pictograms, expected.pictograms);
    compareStatements(actual.hazards, expected.hazards);
    compareStatements(actual.precautions, expected.precautions);
    compareStatements(actual.supplementary, expected.supplementary);
    QCOMPARE(actual.fontFace, expected.fontFace);
    QCOMPARE(actual.productSize, expected.productSize);
    QCOMPARE(actual.statementSize, expected.statementSize);
    QCOMPARE(actual.marginX, expected.marginX);
    QCOMPARE(actual.marginY, expected.marginY);
    QCOMPARE(actual.scale, expected.scale);
    QCOMPARE(actual.numberingOnly, expected.numberingOnly);
    QVERIFY(actual == expected);
}

// A label with every field away from its default.
struct FullLabel {
    LabelDocument doc;
    FrameMirrors mirrors;
};

FullLabel fullLabel()
{
    FullLabel l{newLabel(), {}};
    LabelDocument &d = l.doc;
    d.supplier = QStringLiteral("Chimie Lyonnaise\n12, rue des Teinturiers\n69007 Lyon");
    d.product = QStringLiteral("Acide sulfurique\nà 96 %");
    d.productColor = QColor(12, 200, 99);
    d.ce = QStringLiteral("231-639-5");
    d.cas = QStringLiteral("  7664-93-9");
    d.index = QStringLiteral("016-020-00-8");
    d.comment = QStringLiteral("Réservé à un usage professionnel.\n\nNe pas mélanger à l'eau.");
    d.commentAlignment = AlignLeftCode;
    d.signalWord = QStringLiteral("ATTENTION");
    d.pictograms = {QStringLiteral("SGH05"), QStringLiteral("SGH07"), QStringLiteral("SGH02"),
                    QStringLiteral("SGH09"), QStringLiteral("SGH08")};
    d.hazards[3].ticked = true;
    d.hazards[13].ticked = true;
    d.hazards[13].text = QStringLiteral("H314: Provoque des brûlures graves (libellé modifié).");
    d.precautions[2].ticked = true;
    d.precautions[4].ticked = true;
    d.supplementary[3].ticked = true;
    d.fontFace = QStringLiteral("DejaVu Serif");
    d.productSize = QStringLiteral("14");
    d.statementSize = QStringLiteral("6");
    d.marginX = QStringLiteral("5");
    d.marginY = QStringLiteral("7,5");
    d.scale = QStringLiteral("150");
    d.numberingOnly = true;
    l.mirrors.fontFace = d.fontFace;
    l.mirrors.productSize = 14;
    l.mirrors.statementSize = 6;
    l.mirrors.logoPath = QStringLiteral("/srv/logos/chimie_lyonnaise.jpg");
    return l;
}

const QString kWork = QStringLiteral("/home/etiquettes");

} // namespace

class TestLabelFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newLabelIsTwentyFiveLinesAndReadsBackToDefaults();
    void fullLabelRoundTrip();
    void statementPairsHoldListPositionAndText();
    void storedStatementsAreMatchedByCode();
    void pictogramLines_data();
    void pictogramLines();
    void colourTextWriting_data();
    void colourTextWriting();
    void colourTextReading_data();
    void colourTextReading();
    void colourLineOfAFile();
    void alignmentLine_data();
    void alignmentLine();
    void sizeLines_data();
    void sizeLines();
    void conversionErrorsKeepWhatWasRead_data();
    void conversionErrorsKeepWhatWasRead();
    void missingLinesGiveTheListIndexError();
    void aStoppedReadSaysWhereInUserTerms();
    void labelFilesAreReadUpToAMegabyte();
    void logoLineResolvesAgainstTheWorkingDirectory();
    void overlongFontAndLogoAreCut();
    void lineBreaksInOneLineFieldsDoNotShiftTheFile();
    void readingAFixtureFile();
    void saveWritesWindows1252WithCrLf();
    void saveUsesTheWorkingDirectoryByDefault();
    void saveCopiesTheLogoOnceAndFindsItAgain();
    void saveStopsWhenTheSupplierFolderCannotBeMade();
    void failedWriteKeepsTheOldFileAndPath();
    void markerLikeContentIsRefused();
    void openAndSaveIsAFixedPoint();
};

void TestLabelFile::newLabelIsTwentyFiveLinesAndReadsBackToDefaults()
{
    const LabelDocument fresh = newLabel();
    const QStringList lines = serialize(fresh, newLabelMirrors());
    const QStringList expected = {
        "***fab***", "\\fournisseurs\\logo", "***sub***", "***nref***", "   -   - ", "      -  - ",
        "   -   -  - ", "***commentaires***", "***avertissement***", "DANGER", "***pic***", "***dangers***",
        "***prudence***", "***infos***", "***fonte***", "Arial", "20", "8", "***marges_echelle***", "100", "0",
        "0", "clBlack", "17", "_eof"};
    QCOMPARE(lines.size(), 25);
    QCOMPARE(lines, expected);

    LabelDocument back = newLabel();
    FrameMirrors mirrors;
    mirrors.fontFace = QStringLiteral("Verdana"); // must be overwritten by the file
    const Status status = parse(lines, &back, &mirrors, kWork);
    QVERIFY2(status.ok(), qPrintable(status.message));
    LabelDocument expectedDoc = fresh;
    expectedDoc.logoPath = kWork + "/fournisseurs/logo";
    compareDocuments(back, expectedDoc);
    QCOMPARE(mirrors.fontFace, QStringLiteral("Arial"));
    QCOMPARE(mirrors.productSize, 20.0f);
    QCOMPARE(mirrors.statementSize, 8.0f);
    QCOMPARE(mirrors.logoPath, expectedDoc.logoPath);
}

void TestLabelFile::fullLabelRoundTrip()
{
    const FullLabel full = fullLabel();
    const QStringList lines = serialize(full.doc, full.mirrors);
    QCOMPARE(lines.at(4), QStringLiteral("\\fournisseurs\\chimie_lyonnaise.jpg"));
    QCOMPARE(lines.last(), kEof);

    LabelDocument back = newLabel();
    FrameMirrors mirrors;
    const Status status = parse(lines, &back, &mirrors, kWork);
    QVERIFY2(status.ok(), qPrintable(status.message));

    LabelDocument expected = full.doc;
    expected.numberingOnly = false; // not stored
    expected.logoPath = kWork + "/fournisseurs/chimie_lyonnaise.jpg";
    compareDocuments(back, expected);
    QCOMPARE(mirrors.fontFace, full.mirrors.fontFace);
    QCOMPARE(mirrors.productSize, 14.0f);
    QCOMPARE(mirrors.statementSize, 6.0f);
    QCOMPARE(mirrors.logoPath, expected.logoPath);

    // Written again from what was read, the file is the same.
    QCOMPARE(serialize(back, mirrors), lines);
}

void TestLabelFile::statementPairsHoldListPositionAndText()
{
    LabelDocument doc = newLabel();
    doc.hazards[3].ticked = true;
    doc.hazards[17].ticked = true;
    doc.supplementary[0].ticked = true;
    const QStringList lines = serialize(doc, newLabelMirrors());
    QCOMPARE(between(lines, kHazards, kPrecautions),
             QStringList({"3", doc.hazards[3].text, "17", doc.hazards[17].text}));
    QCOMPARE(between(lines, kPrecautions, kInfos), QStringList());
    QCOMPARE(between(lines, kInfos, kFont), QStringList({"0", doc.supplementary[0].text}));
}

void TestLabelFile::storedStatementsAreMatchedByCode()
{
    // The position lines are ignored: only the stored text's code counts.
    LabelDocument written = newLabel();
    QStringList lines = serialize(written, newLabelMirrors());
    const QString edited = QStringLiteral("H319: Irrite fortement les yeux (formulation de l'atelier).");
    const QString unknown = QStringLiteral("H999: Mention retirée du catalogue.");
    const QString noColon = QStringLiteral("Texte libre");
    const QString precaution = QStringLiteral("P102: Conserver hors de portée des enfants.");
    insertBefore(lines, kPrecautions, {"0", edited, "1", unknown, "2", noColon});
    insertBefore(lines, kInfos, {"77", precaution});

    LabelDocument doc = newLabel();
    const Status status = parse(lines, &doc, nullptr, kWork);
    QVERIFY2(status.ok(), qPrintable(status.message));

    const LabelDocument catalogues = newLabel();
    for (qsizetype i = 0; i < doc.hazards.size(); ++i) {
        const QString code = Catalogue::statementCode(catalogues.hazards[i].text);
        if (code == "H319") {
            // Both catalogue entries with that code take the stored wording.
            QVERIFY(doc.hazards[i].ticked);
            QCOMPARE(doc.hazards[i].text, edited);
        } else if (code.isEmpty()) {
            QVERIFY(doc.hazards[i].ticked);
            QCOMPARE(doc.hazards[i].text, noColon);
        } else {
            QVERIFY2(!doc.hazards[i].ticked, qPrintable(code));
            QCOMPARE(doc.hazards[i].text, catalogues.hazards[i].text);
        }
    }
    QCOMPARE(doc.hazards.size(), catalogues.hazards.size()); // H999 dropped, nothing added
    const qsizetype p102 = indexOfCode(doc.precautions, "P102");
    QVERIFY(doc.precautions[p102].ticked);
    QCOMPARE(doc.precautions[p102].text, precaution);
    QCOMPARE(Catalogue::selectionSummary(doc.hazards, doc.precautions, doc.supplementary),
             QStringLiteral("H319, H319, , P102"));

    // The digest, which knows no catalogue, still prints the dropped one.
    LabelDigest digest;
    QVERIFY(digest.read(lines, true).ok());
    QCOMPARE(digest.hazards, QStringLiteral("H319, H999, \n"));
}

void TestLabelFile::pictogramLines_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("GHS read as SGH") << QStringList{"GHS05"} << QStringList{"SGH05"};
    QTest::newRow("order kept") << QStringList{"SGH09", "GHS01", "SGH04"} << QStringList{"SGH09", "SGH01", "SGH04"};
    QTest::newRow("twice once") << QStringList{"SGH02", "GHS02", "SGH02", "SGH03"} << QStringList{"SGH02", "SGH03"};
    QTest::newRow("five at most") << QStringList{"SGH01", "SGH02", "SGH03", "SGH04", "SGH05", "SGH06", "SGH07"}
                                  << QStringList{"SGH01", "SGH02", "SGH03", "SGH04", "SGH05"};
    QTest::newRow("five distinct after duplicates")
        << QStringList{"SGH01", "SGH01", "SGH02", "SGH03", "SGH04", "SGH04", "SGH06", "SGH07"}
        << QStringList{"SGH01", "SGH02", "SGH03", "SGH04", "SGH06"};
    QTest::newRow("invalid codes dropped")
        << QStringList{"SGH00", "SGH10", "sgh01", "SGH1", "GHS1", "SGH05 ", "", "GHS", "SGH08"}
        << QStringList{"SGH08"};
}

void TestLabelFile::pictogramLines()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, expected);
    QStringList lines = serialize(newLabel(), newLabelMirrors());
    insertBefore(lines, kHazards, stored);
    LabelDocument doc = newLabel();
    QVERIFY(parse(lines, &doc, nullptr, kWork).ok());
    QCOMPARE(doc.pictograms, expected);
    for (int n = 1; n <= 9; ++n)
        QCOMPARE(doc.pictogramSelected(n), expected.contains(LabelDocument::pictogramCode(n)));
}

void TestLabelFile::colourTextWriting_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("text");
    QTest::newRow("red") << QColor(255, 0, 0) << "clRed";
    QTest::newRow("almost red") << QColor(255, 0, 1) << "$000100FF";
    QTest::newRow("orange") << QColor(255, 128, 64) << "$004080FF";
    QTest::newRow("low values") << QColor(1, 2, 3) << "$00030201";
    QTest::newRow("near white") << QColor(254, 255, 255) << "$00FFFFFE";
    QTest::newRow("black") << QColor(0, 0, 0) << "clBlack";
    QTest::newRow("white") << QColor(255, 255, 255) << "clWhite";
    QTest::newRow("money green") << QColor(192, 220, 192) << "clMoneyGreen";
    QTest::newRow("sky blue") << QColor(166, 202, 240) << "clSkyBlue";
    QTest::newRow("cream") << QColor(255, 251, 240) << "clCream";
    QTest::newRow("medium grey") << QColor(160, 160, 164) << "clMedGray";
    QTest::newRow("maroon") << QColor(128, 0, 0) << "clMaroon";
    QTest::newRow("navy") << QColor(0, 0, 128) << "clNavy";
    QTest::newRow("teal") << QColor(0, 128, 128) << "clTeal";
    QTest::newRow("olive") << QColor(128, 128, 0) << "clOlive";
    QTest::newRow("alpha ignored") << QColor(255, 0, 0, 10) << "clRed";
}

void TestLabelFile::colourTextWriting()
{
    QFETCH(QColor, color);
    QFETCH(QString, text);
    QCOMPARE(ColorText::toText(color), text);
    const auto back = ColorText::fromText(text);
    QVERIFY(back.has_value());
    QCOMPARE(back->rgb(), QColor(color.red(), color.green(), color.blue()).rgb());
}

void TestLabelFile::colourTextReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QColor>("color");
    QTest::newRow("identifier in lower case") << "clred" << true << QColor(255, 0, 0);
    QTest::newRow("identifier in upper case") << "CLMONEYGREEN" << true << QColor(192, 220, 192);
    QTest::newRow("hex") << "$004080FF" << true << QColor(255, 128, 64);
    QTest::newRow("hex lower case") << "$00ff0000" << true << QColor(0, 0, 255);
    QTest::newRow("0x hex") << "0x0000FF00" << true << QColor(0, 255, 0);
    QTest::newRow("decimal") << "255" << true << QColor(255, 0, 0);
    QTest::newRow("decimal green") << "65280" << true << QColor(0, 255, 0);
    QTest::newRow("leading blanks") << "  255" << true << QColor(255, 0, 0);
    QTest::newRow("minus one") << "-1" << true << QColor(255, 255, 255);
    QTest::newRow("top byte ignored") << "$7F0000FF" << true << QColor(255, 0, 0);
    QTest::newRow("system window") << "clWindow" << true << QColor(255, 255, 255);
    QTest::newRow("system text") << "CLWINDOWTEXT" << true << QColor(0, 0, 0);
    QTest::newRow("system none") << "clNone" << true << QColor(255, 255, 255);
    QTest::newRow("empty") << "" << false << QColor();
    QTest::newRow("French name") << "rouge" << false << QColor();
    QTest::newRow("dollar alone") << "$" << false << QColor();
    QTest::newRow("bad hex digit") << "$00FG00" << false << QColor();
    QTest::newRow("trailing blank") << "255 " << false << QColor();
    QTest::newRow("decimal overflow") << "2147483648" << false << QColor();
    QTest::newRow("hex overflow") << "$100000000" << false << QColor();
    QTest::newRow("identifier with blank") << "cl Red" << false << QColor();
    QTest::newRow("fraction") << "12.5" << false << QColor();
}

void TestLabelFile::colourTextReading()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QColor, color);
    const auto read = ColorText::fromText(text);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(read->rgb(), color.rgb());
}

void TestLabelFile::colourLineOfAFile()
{
    // Written, the colour is an identifier or hex; read, it sets the block
    // colour, and the text colour follows.
    for (const QColor &c : {QColor(255, 255, 255), QColor(255, 0, 1), QColor(0, 0, 0), QColor(1, 2, 3)}) {
        LabelDocument doc = newLabel();
        doc.productColor = c;
        const QStringList lines = serialize(doc, newLabelMirrors());
        LabelDocument back = newLabel();
        QVERIFY(parse(lines, &back, nullptr, kWork).ok());
        QCOMPARE(back.productColor.rgb(), c.rgb());
        QCOMPARE(back.productTextColor(), c == QColor(255, 255, 255) ? QColor(Qt::black) : QColor(Qt::white));
    }
    QStringList lines = serialize(newLabel(), newLabelMirrors());
    lines[lines.size() - 3] = QStringLiteral("clwhite");
    LabelDocument doc = newLabel();
    QVERIFY(parse(lines, &doc, nullptr, kWork).ok());
    QCOMPARE(doc.productColor.rgb(), QColor(255, 255, 255).rgb());
    QCOMPARE(doc.productTextColor(), QColor(Qt::black));
}

void TestLabelFile::alignmentLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("code");
    QTest::newRow("left") << "16" << 16;
    QTest::newRow("centre") << "17" << 17;
    QTest::newRow("right") << "18" << 18;
    QTest::newRow("other number kept as code") << "99" << 99;
    QTest::newRow("hex") << "$10" << 16;
}

void TestLabelFile::alignmentLine()
{
    QFETCH(QString, line);
    QFETCH(int, code);
    QStringList lines = serialize(newLabel(), newLabelMirrors());
    lines[lines.size() - 2] = line;
    LabelDocument doc = newLabel();
    QVERIFY(parse(lines, &doc, nullptr, kWork).ok());
    QCOMPARE(doc.commentAlignment, code);
    QCOMPARE(serialize(doc, newLabelMirrors()).at(lines.size() - 2), QString::number(code));
}

void TestLabelFile::sizeLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<float>("size");
    QTest::addColumn<QString>("panel");
    QTest::newRow("whole") << "20" << 20.0f << "20";
    QTest::newRow("whole with decimals") << "14.0" << 14.0f << "14";
    QTest::newRow("decimal comma") << "12,5" << 12.5f << "12,5";
    QTest::newRow("decimal point") << "9.25" << 9.25f << "9,25";
    QTest::newRow("blanks around") << " 8 " << 8.0f << "8";
}

void TestLabelFile::sizeLines()
{
    QFETCH(QString, line);
    QFETCH(float, size);
    QFETCH(QString, panel);
    const auto read = parseSize(line);
    QVERIFY(read.has_value());
    QCOMPARE(*read, size);
    QCOMPARE(sizeText(size), panel);

    // The writer writes the mirror's size in the panel's form, and it reads back.
    FrameMirrors mirrors = newLabelMirrors();
    mirrors.productSize = size;
    const QStringList lines = serialize(newLabel(), mirrors);
    QCOMPARE(lines.at(16), panel);
    LabelDocument doc = newLabel();
    FrameMirrors back;
    QVERIFY(parse(lines, &doc, &back, kWork).ok());
    QCOMPARE(back.productSize, size);
    QCOMPARE(doc.productSize, panel);
}

void TestLabelFile::conversionErrorsKeepWhatWasRead_data()
{
    // Offsets from the "***fonte***" line of the tail.
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("bad");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("product size") << 2 << "vingt" << int(Status::FloatConversion)
                                  << "'vingt' n'est pas une valeur en virgule flottante correcte";
    QTest::newRow("statement size") << 3 << "8pt" << int(Status::FloatConversion)
                                    << "'8pt' n'est pas une valeur en virgule flottante correcte";
    QTest::newRow("size infinite") << 3 << "inf" << int(Status::FloatConversion)
                                   << "'inf' n'est pas une valeur en virgule flottante correcte";
    QTest::newRow("size too large") << 2 << "1e39" << int(Status::FloatConversion)
                                    << "'1e39' n'est pas une valeur en virgule flottante correcte";
    QTest::newRow("scale") << 5 << "cent" << int(Status::IntegerConversion)
                           << "'cent' n'est pas une valeur entière correcte";
    QTest::newRow("scale fraction") << 5 << "100,5" << int(Status::IntegerConversion)
                                    << "'100,5' n'est pas une valeur entière correcte";
    QTest::newRow("colour") << 8 << "rouge" << int(Status::IntegerConversion)
                            << "'rouge' n'est pas une valeur entière correcte";
    QTest::newRow("alignment") << 9 << "gauche" << int(Status::IntegerConversion)
                               << "'gauche' n'est pas une valeur entière correcte";
}

void TestLabelFile::conversionErrorsKeepWhatWasRead()
{
    QFETCH(int, offset);
    QFETCH(QString, bad);
    QFETCH(int, kind);
    QFETCH(QString, message);
    const FullLabel full = fullLabel();
    QStringList lines = serialize(full.doc, full.mirrors);
    const qsizetype fonte = lines.indexOf(kFont);
    lines[fonte + offset] = bad;

    LabelDocument doc = newLabel();
    FrameMirrors mirrors;
    const Status status = parse(lines, &doc, &mirrors, kWork);
    QCOMPARE(int(status.kind), kind);
    QCOMPARE(status.message, message);

    // Everything before the tail is in; the tail is in up to the bad line.
    QCOMPARE(doc.product, full.doc.product);
    QCOMPARE(doc.pictograms, full.doc.pictograms);
    compareStatements(doc.supplementary, full.doc.supplementary);
    QCOMPARE(doc.fontFace, full.doc.fontFace);
    QCOMPARE(mirrors.fontFace, full.mirrors.fontFace);
    const LabelDocument defaults = newLabel();
    QCOMPARE(doc.productSize, offset > 2 ? full.doc.productSize : defaults.productSize);
    QCOMPARE(doc.statementSize, offset > 3 ? full.doc.statementSize : defaults.statementSize);
    QCOMPARE(doc.marginY, offset > 7 ? full.doc.marginY : defaults.marginY);
    QCOMPARE(doc.productColor, offset > 8 ? full.doc.productColor : defaults.productColor);
    QCOMPARE(doc.commentAlignment, defaults.commentAlignment);
}

void TestLabelFile::missingLinesGiveTheListIndexError()
{
    const FullLabel full = fullLabel();
    const QStringList lines = serialize(full.doc, full.mirrors);

    {   // No line at all.
        LabelDocument doc = newLabel();
        const Status s = parse({}, &doc, nullptr, kWork);
        QCOMPARE(s.kind, Status::ListIndex);
        QCOMPARE(s.message, QStringLiteral("Indice de liste hors limites (0)"));
        compareDocuments(doc, newLabel());
    }
    {   // Only the first line.
        LabelDocument doc = newLabel();
        QCOMPARE(parse({kFab}, &doc, nullptr, kWork).message, QStringLiteral("Indice de liste hors limites (1)"));
    }
    {   // Not a label file: the label keeps its defaults, no error.
        LabelDocument doc = newLabel();
        QStringList other = lines;
        other[0] = QStringLiteral("***FAB***");
        QVERIFY(parse(other, &doc, nullptr, kWork).ok());
        compareDocuments(doc, newLabel());
    }
    {   // A supplier section without a logo line: no last line to take.
        LabelDocument doc = newLabel();
        const Status s = parse({kFab, kSub, "x", kNref}, &doc, nullptr, kWork);
        QCOMPARE(s.message, QStringLiteral("Indice de liste hors limites (-1)"));
    }
    {   // The file ends on "***dangers***": the pictograms are in, the
        // statements need the line after the end.
        const qsizetype cut = lines.indexOf(kHazards) + 1;
        LabelDocument doc = newLabel();
        const Status s = parse(lines.first(cut), &doc, nullptr, kWork);
        QCOMPARE(s.message, QStringLiteral("Indice de liste hors limites (%1)").arg(cut));
        QCOMPARE(doc.pictograms, full.doc.pictograms);
        QCOMPARE(doc.comment, full.doc.comment);
        compareStatements(doc.hazards, newLabel().hazards);
        QCOMPARE(doc.fontFace, QStringLiteral("Arial"));
    }
    {   // A missing marker: the scan runs to the last line, the next section
        // starts past the end.
        QStringList noPic = lines;
        noPic.removeAll(kPic);
        LabelDocument doc = newLabel();
        const Status s = parse(noPic, &doc, nullptr, kWork);
        QCOMPARE(s.message, QStringLiteral("Indice de liste hors limites (%1)").arg(noPic.size()));
        QCOMPARE(doc.comment, full.doc.comment);
        QCOMPARE(doc.pictograms, QStringList());
    }
    {   // A CE/CAS/INDEX section of one line: CE read, CAS is item 1 of two missing.
        QStringList shortNumbers = lines;
        const qsizetype nref = shortNumbers.indexOf(kNref);
        shortNumbers.remove(nref + 2, 2);
        LabelDocument doc = newLabel();
        const Status s = parse(shortNumbers, &doc, nullptr, kWork);
        QCOMPARE(s.message, QStringLiteral("Indice de liste hors limites (1)"));
        QCOMPARE(doc.ce, full.doc.ce);
        QCOMPARE(doc.cas, LabelDocument::kEmptyCAS);
    }
    {   // "_eof" is never read; the alignment line is.
        LabelDocument doc = newLabel();
        QVERIFY(parse(lines.first(lines.size() - 1), &doc, nullptr, kWork).ok());
        const Status s = parse(lines.first(lines.size() - 2), &doc, nullptr, kWork);
        QCOMPARE(s.message, QStringLiteral("Indice de liste hors limites (%1)").arg(lines.size() - 2));
    }
}

void TestLabelFile::aStoppedReadSaysWhereInUserTerms()
{
    const FullLabel full = fullLabel();
    const QStringList lines = serialize(full.doc, full.mirrors);
    const QString read6 = QStringLiteral("Parties lues en entier : identification du fournisseur, identification du "
                                         "produit, numéros CE/CAS/INDEX, commentaires, mention d'avertissement, "
                                         "pictogrammes ; la suite n'a pas été lue.");
    {   // Cut after "***dangers***": the file's last line, the part, what came before.
        const qsizetype cut = lines.indexOf(kHazards) + 1;
        LabelDocument doc = newLabel();
        const Status s = parse(lines.first(cut), &doc, nullptr, kWork);
        QCOMPARE(s.part, Part::Hazards);
        QVERIFY(s.endOfFile);
        QCOMPARE(s.lineCount, cut);
        QCOMPARE(damageMessage(QStringLiteral("/home/etiquettes/acide.kvln"), s),
                 QStringLiteral("Le fichier d'étiquette « /home/etiquettes/acide.kvln » est endommagé ou incomplet : "
                                "le fichier s'arrête après sa ligne %1, dans la partie « mentions de danger ». ")
                         .arg(cut)
                     + read6);
    }
    {   // A CE/CAS/INDEX section of one line: stopped in the middle of the
        // file, at the marker that came too early (a line is missing).
        QStringList shortNumbers = lines;
        const qsizetype nref = shortNumbers.indexOf(kNref);
        shortNumbers.remove(nref + 2, 2);
        LabelDocument doc = newLabel();
        const Status s = parse(shortNumbers, &doc, nullptr, kWork);
        QVERIFY(!s.endOfFile);
        QCOMPARE(s.part, Part::Numbers);
        QCOMPARE(damageDetail(s),
                 QStringLiteral("la partie « numéros CE/CAS/INDEX » s'arrête trop tôt, à la ligne %1 (une ligne "
                                "attendue manque). Parties lues en entier : identification du fournisseur, "
                                "identification du produit ; la suite n'a pas été lue.")
                     .arg(nref + 3));
    }
    {   // A size that is no number: its line, its text, the font part.
        QStringList bad = lines;
        const qsizetype size = bad.indexOf(kFont) + 2;
        bad[size] = QStringLiteral("vingt");
        LabelDocument doc = newLabel();
        const Status s = parse(bad, &doc, nullptr, kWork);
        QCOMPARE(s.message, QStringLiteral("'vingt' n'est pas une valeur en virgule flottante correcte"));
        QVERIFY(damageDetail(s).startsWith(
            QStringLiteral("la ligne %1 (« vingt »), dans la partie « police et tailles des caractères », n'est pas "
                           "une taille de caractères valable. Parties lues en entier : identification du "
                           "fournisseur, ").arg(size + 1)));
        QVERIFY(damageDetail(s).endsWith(QStringLiteral("informations supplémentaires ; la suite n'a pas été lue.")));
    }
    {   // A colour that is no number: the last part.
        QStringList bad = lines;
        bad[bad.indexOf(kMargins) + 4] = QStringLiteral("rouge");
        LabelDocument doc = newLabel();
        const Status s = parse(bad, &doc, nullptr, kWork);
        QCOMPARE(s.part, Part::Settings);
        QVERIFY(damageDetail(s).contains(QStringLiteral("« rouge »), dans la partie « échelle, marges, couleur et "
                                                        "alignement », n'est pas un nombre entier valable")));
    }
    {   // Nothing at all, and a file that stops inside its first part.
        LabelDocument doc = newLabel();
        QCOMPARE(damageDetail(parse({}, &doc, nullptr, kWork)), QStringLiteral("le fichier est vide."));
        QVERIFY(damageDetail(parse({kFab, QStringLiteral("Chimie SA")}, &doc, nullptr, kWork))
                    .endsWith(QStringLiteral("dans la partie « identification du fournisseur ». Aucune partie n'a pu "
                                             "être lue en entier.")));
    }
    {   // The digest stops at the same place and says it the same way.
        const qsizetype cut = lines.indexOf(kInfos) + 1;
        LabelDocument doc = newLabel();
        LabelDigest digest;
        const Status s = digest.read(lines.first(cut), false);
        QCOMPARE(damageDetail(s), damageDetail(parse(lines.first(cut), &doc, nullptr, kWork)));
        QCOMPARE(s.part, Part::Supplementary);
    }
    // A sound file has nothing to say.
    LabelDocument doc = newLabel();
    QVERIFY(damageMessage(QStringLiteral("/x.kvln"), parse(lines, &doc, nullptr, kWork)).isEmpty());
}

void TestLabelFile::labelFilesAreReadUpToAMegabyte()
{
    QTemporaryDir dir;
    const FullLabel full = fullLabel();
    QByteArray bytes;
    QVERIFY(TextFile::encode(serialize(full.doc, full.mirrors).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
                             &bytes));
    // A label padded with comment lines to exactly the limit reads; one byte
    // more is refused before anything is read, naming the file.
    const QString path = dir.filePath(QStringLiteral("gros.kvln"));
    QByteArray padded = bytes;
    const qsizetype at = padded.indexOf("***avertissement***");
    const QByteArray filler = QByteArray(kMaxFileSize - padded.size() - 2, 'x') + "\r\n";
    padded.insert(at, filler);
    QCOMPARE(padded.size(), kMaxFileSize);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(padded) == padded.size());
    f.close();
    QStringList lines;
    QString error;
    QVERIFY2(LabelFile::readLines(path, &lines, &error), qPrintable(error));
    LabelDocument doc = newLabel();
    QVERIFY(read(path, &doc, nullptr, kWork).ok());
    QCOMPARE(doc.comment.size(), full.doc.comment.size() + filler.size() - 1);

    QVERIFY(f.open(QIODevice::Append) && f.write("x") == 1);
    f.close();
    lines = {QStringLiteral("avant")};
    QVERIFY(!LabelFile::readLines(path, &lines, &error));
    QCOMPARE(lines, QStringList{QStringLiteral("avant")});
    QCOMPARE(error, QStringLiteral("Le fichier « %1 » est trop volumineux pour un fichier d'étiquette (1025 Ko ; une "
                                   "étiquette fait quelques kilo-octets, au plus 1 Mo sont lus) : il n'est pas lu.")
                        .arg(path));
    doc = newLabel();
    const Status s = read(path, &doc, nullptr, kWork);
    QCOMPARE(s.kind, Status::Unreadable);
    QCOMPARE(s.message, error);
    QCOMPARE(damageMessage(path, s), error);
    LabelDigest digest;
    QCOMPARE(digest.readFile(path, false).message, error);

    // By its bytes on the disk (a name that is not UTF-8): the same rules.
    const QByteArray native = QFile::encodeName(dir.path()) + "/caf\xE9.kvln";
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);
    QVERIFY(!QFileInfo::exists(QFile::decodeName(native))); // the name does not survive a QString
    QVERIFY2(readNativeLines(native, &lines, &error), qPrintable(error));
    QCOMPARE(lines, serialize(full.doc, full.mirrors));
    QVERIFY(::truncate(native.constData(), kMaxFileSize + 1) == 0);
    QVERIFY(!readNativeLines(native, &lines, &error));
    QVERIFY2(error.contains(QStringLiteral("trop volumineux pour un fichier d'étiquette")), qPrintable(error));
    QVERIFY(!readNativeLines(QFile::encodeName(dir.path()), &lines, &error));
    QVERIFY2(error.endsWith(QStringLiteral("ce n'est pas un fichier ordinaire.")), qPrintable(error));
}

void TestLabelFile::logoLineResolvesAgainstTheWorkingDirectory()
{
    // The line as stored, the path it gives, and the line the next save writes.
    // Only a plain name in the "fournisseurs" folder is followed: a line that
    // climbs out of it, or names a sub-folder, opens the label without logo
    // and says so.
    struct Case {
        QString line, expected, rewritten;
        bool refused;
    } cases[] = {
        {"\\fournisseurs\\chimie.jpg", kWork + "/fournisseurs/chimie.jpg", "\\fournisseurs\\chimie.jpg", false},
        {"\\fournisseurs\\", kWork + "/fournisseurs/", "\\fournisseurs\\", false},
        {"\\fournisseurs\\logo", kWork + "/fournisseurs/logo", "\\fournisseurs\\logo", false},
        {"/fournisseurs/chimie.jpg", kWork + "/fournisseurs/chimie.jpg", "\\fournisseurs\\chimie.jpg", false},
        {"/fournisseurs/sous\\dossier/a.jpg", QString(), "\\fournisseurs\\", true},
        {"\\..\\logos\\b.jpg", QString(), "\\fournisseurs\\", true},
        {"\\fournisseurs\\..\\..\\etc\\passwd", QString(), "\\fournisseurs\\", true},
        {"\\fournisseurs\\..", QString(), "\\fournisseurs\\", true},
        {"/etc/passwd", QString(), "\\fournisseurs\\", true},
    };
    for (const Case &c : cases) {
        QStringList lines = serialize(newLabel(), newLabelMirrors());
        lines[1] = c.line;
        LabelDocument doc = newLabel();
        FrameMirrors mirrors;
        const Status status = parse(lines, &doc, &mirrors, kWork);
        QVERIFY(status.ok());
        QCOMPARE(status.warnings.size(), c.refused ? 1 : 0);
        QCOMPARE(doc.logoPath, c.expected);
        QCOMPARE(mirrors.logoPath, c.expected);
        QCOMPARE(doc.supplier, QString());
        QCOMPARE(serialize(doc, mirrors).at(1), c.rewritten);
    }
}

void TestLabelFile::overlongFontAndLogoAreCut()
{
    QStringList lines = serialize(newLabel(), newLabelMirrors());
    lines[1] = "\\fournisseurs\\" + QString(400, u'l');
    lines[lines.indexOf(kFont) + 1] = QString(300, u'f');
    LabelDocument doc = newLabel();
    FrameMirrors mirrors;
    QVERIFY(parse(lines, &doc, &mirrors, kWork).ok());
    QCOMPARE(doc.fontFace, QString(255, u'f'));
    QCOMPARE(mirrors.fontFace, doc.fontFace);
    // A logo path beyond the platform's limit is not followed, and said.
    QCOMPARE(doc.logoPath, QString());
    QCOMPARE(mirrors.logoPath, QString());
}

void TestLabelFile::lineBreaksInOneLineFieldsDoNotShiftTheFile()
{
    LabelDocument doc = newLabel();
    doc.signalWord = QStringLiteral("DAN\nGER");
    doc.hazards[0].ticked = true;
    doc.hazards[0].text = QStringLiteral("H200: Explosif\r\ninstable.");
    FrameMirrors mirrors = newLabelMirrors();
    mirrors.fontFace = QStringLiteral("Deja\rVu");
    const QStringList lines = serialize(doc, mirrors);
    QCOMPARE(lines.size(), 27);
    for (const QString &line : lines)
        QVERIFY(!line.contains(u'\n') && !line.contains(u'\r'));
    LabelDocument back = newLabel();
    QVERIFY(parse(lines, &back, nullptr, kWork).ok());
    QCOMPARE(back.signalWord, QStringLiteral("DAN GER"));
    QCOMPARE(back.hazards[0].text, QStringLiteral("H200: Explosif instable."));
    QCOMPARE(back.fontFace, QStringLiteral("Deja Vu"));
}

void TestLabelFile::readingAFixtureFile()
{
    // A file written by hand the way older files look: "GHS" codes, a
    // lower-case colour name, an edited wording and a withdrawn statement.
    const QString path = QStringLiteral(KALVANE_FIXTURES_DIR "/acide_sulfurique.kvln");
    LabelDocument doc = newLabel();
    FrameMirrors mirrors;
    const Status status = read(path, &doc, &mirrors, kWork);
    QVERIFY2(status.ok(), qPrintable(status.message));
    QCOMPARE(doc.title, QStringLiteral("acide_sulfurique.kvln"));
    QCOMPARE(doc.filePath, QFileInfo(path).absoluteFilePath());
    QCOMPARE(doc.supplier, QStringLiteral("Chimie Lyonnaise\n12, rue des Teinturiers\n69007 Lyon"));
    QCOMPARE(doc.logoPath, kWork + "/fournisseurs/chimie_lyonnaise.jpg");
    QCOMPARE(doc.product, QStringLiteral("Acide sulfurique\nà 96 %"));
    QCOMPARE(doc.cas, QStringLiteral("  7664-93-9"));
    QCOMPARE(doc.comment, QStringLiteral("Réservé à un usage professionnel."));
    QCOMPARE(doc.pictograms, QStringList({"SGH05", "SGH07"}));
    QCOMPARE(Catalogue::selectionSummary(doc.hazards, doc.precautions, doc.supplementary),
             QStringLiteral("H314, P280, P305+P351+P338"));
    QCOMPARE(doc.hazards[indexOfCode(doc.hazards, "H314")].text,
             QStringLiteral("H314: Provoque des brûlures graves (libellé modifié)."));
    QCOMPARE(doc.fontFace, QStringLiteral("Times New Roman"));
    QCOMPARE(mirrors.productSize, 18.0f);
    QCOMPARE(mirrors.statementSize, 7.0f);
    QCOMPARE(doc.scale, QStringLiteral("120"));
    QCOMPARE(doc.marginX, QStringLiteral("3"));
    QCOMPARE(doc.marginY, QStringLiteral("4"));
    QCOMPARE(doc.productColor, QColor(255, 255, 0));
    QCOMPARE(doc.commentAlignment, 18);

    LabelDocument missing = newLabel();
    const Status unreadable = read(QStringLiteral("/nonexistent/x.kvln"), &missing, nullptr, kWork);
    QCOMPARE(unreadable.kind, Status::Unreadable);
    QVERIFY(!unreadable.message.isEmpty());
    QCOMPARE(missing.title, QStringLiteral("x.kvln")); // the window is titled before reading
}

void TestLabelFile::saveWritesWindows1252WithCrLf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    FullLabel full = fullLabel();
    full.doc.product = QStringLiteral("Éthanol à 96 % – 5 €");
    QString error;
    QVERIFY2(save(QStringLiteral("ethanol.kvln"), &full.doc, full.mirrors, &error, dir.path()), qPrintable(error));
    const QString path = dir.filePath("ethanol.kvln");
    QCOMPARE(full.doc.filePath, path);
    QCOMPARE(full.doc.title, QStringLiteral("ethanol.kvln"));

    const QByteArray bytes = TestFiles::read(path);
    QVERIFY(bytes.endsWith("\r\n_eof\r\n"));
    QCOMPARE(bytes.count("\r\n"), serialize(full.doc, full.mirrors).size());
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    QVERIFY(bytes.contains("\r\n\xC9thanol \xE0 96 % \x96 5 \x80\r\n"));
    QVERIFY(bytes.startsWith("***fab***\r\nChimie Lyonnaise\r\n"));
}

void TestLabelFile::saveUsesTheWorkingDirectoryByDefault()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    LabelDocument doc = newLabel();
    QString error;
    const bool saved = save(QStringLiteral("sans_logo.kvln"), &doc, newLabelMirrors(), &error);
    QDir::setCurrent(before);
    QVERIFY2(saved, qPrintable(error));
    QVERIFY(QFileInfo(dir.filePath("fournisseurs")).isDir());
    QCOMPARE(doc.filePath, QDir(dir.path()).absoluteFilePath("sans_logo.kvln"));
    QCOMPARE(TextFile::readLines(doc.filePath).size(), 25);
}

void TestLabelFile::saveCopiesTheLogoOnceAndFindsItAgain()
{
    QTemporaryDir work, elsewhere, logos;
    QVERIFY(work.isValid() && elsewhere.isValid() && logos.isValid());
    const QString logo = logos.filePath("chimie.jpg");
    QVERIFY(TestFiles::write(logo, "\xFF\xD8" "first logo"));

    FullLabel full = fullLabel();
    full.mirrors.logoPath = logo;
    QString error;
    QVERIFY2(save("a.kvln", &full.doc, full.mirrors, &error, work.path()), qPrintable(error));
    const QString copy = work.filePath("fournisseurs/chimie.jpg");
    QCOMPARE(TestFiles::read(copy), QByteArray("\xFF\xD8" "first logo"));
    QCOMPARE(TextFile::readLines(work.filePath("a.kvln")).at(4), QStringLiteral("\\fournisseurs\\chimie.jpg"));

    // A file of that name is never overwritten.
    QVERIFY(TestFiles::write(logo, "\xFF\xD8" "second logo"));
    QVERIFY(save("b.kvln", &full.doc, full.mirrors, &error, work.path()));
    QCOMPARE(TestFiles::read(copy), QByteArray("\xFF\xD8" "first logo"));

    // A logo that names no file is not copied, and the label is still saved.
    full.mirrors.logoPath = logos.filePath("absent.jpg");
    QVERIFY(save("c.kvln", &full.doc, full.mirrors, &error, work.path()));
    QVERIFY(!QFileInfo::exists(work.filePath("fournisseurs/absent.jpg")));
    QVERIFY(QFileInfo::exists(work.filePath("c.kvln")));

    // Opened from the folder it was saved in, the label finds its logo copy;
    // from elsewhere, the path names no file.
    LabelDocument here = newLabel();
    QVERIFY(read(work.filePath("a.kvln"), &here, nullptr, work.path()).ok());
    QCOMPARE(here.logoPath, copy);
    QVERIFY(QFileInfo::exists(here.logoPath));
    LabelDocument there = newLabel();
    QVERIFY(read(work.filePath("a.kvln"), &there, nullptr, elsewhere.path()).ok());
    QVERIFY(!QFileInfo::exists(there.logoPath));
    QCOMPARE(there.logoPath, elsewhere.filePath("fournisseurs/chimie.jpg"));

    // An erased logo writes the folder alone and copies nothing.
    full.mirrors.logoPath.clear();
    QVERIFY(save("d.kvln", &full.doc, full.mirrors, &error, work.path()));
    QCOMPARE(TextFile::readLines(work.filePath("d.kvln")).at(4), QStringLiteral("\\fournisseurs\\"));
    QCOMPARE(QDir(work.filePath("fournisseurs")).entryList(QDir::Files), QStringList({"chimie.jpg"}));
}

void TestLabelFile::saveStopsWhenTheSupplierFolderCannotBeMade()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY(TestFiles::write(work.filePath("fournisseurs"), "a file in the way"));
    LabelDocument doc = newLabel();
    QString error;
    QVERIFY(!save("a.kvln", &doc, newLabelMirrors(), &error, work.path()));
    QCOMPARE(error, QStringLiteral("Impossible de créer le répertoire \"fournisseurs\"."));
    QVERIFY(!QFileInfo::exists(work.filePath("a.kvln")));
    QCOMPARE(doc.filePath, LabelDocument::kUntitled);
}

void TestLabelFile::failedWriteKeepsTheOldFileAndPath()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    FullLabel full = fullLabel();
    QString error;
    QVERIFY(save("ancien.kvln", &full.doc, full.mirrors, &error, work.path()));
    const QString oldPath = full.doc.filePath;
    const QByteArray oldBytes = TestFiles::read(oldPath);

    // A folder that cannot exist: its parent is a regular file.
    QVERIFY(TestFiles::write(work.filePath("pas_un_dossier"), "x"));
    error.clear();
    QVERIFY(!save("pas_un_dossier/b.kvln", &full.doc, full.mirrors, &error, work.path()));
    QVERIFY2(error.startsWith(QStringLiteral("Impossible d'enregistrer le fichier \"b.kvln\"")), qPrintable(error));
    QCOMPARE(full.doc.filePath, oldPath);
    QCOMPARE(full.doc.title, QStringLiteral("ancien.kvln"));

    // A character outside Windows-1252 is reported; the old file stays whole.
    full.doc.comment = QStringLiteral("Attention Ω");
    error.clear();
    QVERIFY(!save("ancien.kvln", &full.doc, full.mirrors, &error, work.path()));
    QVERIFY2(error.contains(QStringLiteral("Ω")), qPrintable(error));
    QCOMPARE(TestFiles::read(oldPath), oldBytes);
    QCOMPARE(QDir(work.path()).entryList({"ancien.kvln*"}, QDir::Files), QStringList({"ancien.kvln"}));
}

void TestLabelFile::markerLikeContentIsRefused()
{
    struct Case {
        const char *name;
        void (*edit)(LabelDocument &);
        QString marker;
    } cases[] = {
        {"supplier", [](LabelDocument &d) { d.supplier = "Fournisseur\n***sub***"; }, kSub},
        {"product", [](LabelDocument &d) { d.product = "***nref***"; }, kNref},
        {"comment", [](LabelDocument &d) { d.comment = "a\n***avertissement***\nb"; }, kWarning},
        {"signal word", [](LabelDocument &d) { d.signalWord = "***pic***"; }, kPic},
    };
    QTemporaryDir work;
    QVERIFY(work.isValid());
    for (const Case &c : cases) {
        LabelDocument doc = newLabel();
        c.edit(doc);
        QString error;
        QVERIFY2(!save("x.kvln", &doc, newLabelMirrors(), &error, work.path()), c.name);
        QCOMPARE(error, kMarkerLineError.arg(c.marker));
        QVERIFY(!QFileInfo::exists(work.filePath("x.kvln")));
    }
    // Other markers inside a memo are harmless: they do not close its section.
    LabelDocument doc = newLabel();
    doc.product = QStringLiteral("***sub***\n***pic***");
    QCOMPARE(contentError(doc), QString());
    LabelDocument back = newLabel();
    QVERIFY(parse(serialize(doc, newLabelMirrors()), &back, nullptr, kWork).ok());
    QCOMPARE(back.product, doc.product);
}

QTEST_GUILESS_MAIN(TestLabelFile)
#include "test_labelfile.moc"

void TestLabelFile::openAndSaveIsAFixedPoint()
{
    // Memos ending with empty lines, texts beyond the typing limits and a
    // fractional size: saving what was opened writes the same lines.
    FullLabel full = fullLabel();
    full.doc.supplier = QStringLiteral("Chimie Lyonnaise\nLyon\n\n");
    full.doc.product = QStringLiteral("Acide\n\n");
    full.doc.comment = QString(346, u'c') + QStringLiteral("\n");
    full.mirrors.statementSize = 7.5f;
    const QStringList first = serialize(full.doc, full.mirrors);
    QVERIFY(first.contains(QStringLiteral("7,5")));
    QStringList lines = first;
    for (int round = 0; round < 3; ++round) {
        LabelDocument doc = newLabel();
        FrameMirrors mirrors;
        QVERIFY(parse(lines, &doc, &mirrors, kWork).ok());
        QCOMPARE(doc.comment.size(), 346);
        QCOMPARE(memoLines(doc.supplier).size(), 3);
        QCOMPARE(mirrors.statementSize, 7.5f);
        lines = serialize(doc, mirrors);
        QCOMPARE(lines, first);
    }
}

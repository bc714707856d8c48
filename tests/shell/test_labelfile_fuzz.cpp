// The label file readers on damaged and hostile input: every cut of a full
// file, seeded random damage, pathological files. Each read must come back
// (a value or an error) and leave a label within its limits. Random labels
// written and read back must come back whole.

#include "editor/catalogue.h"
#include "shell/labeldigest.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

using namespace LabelFile;

namespace {

const QString kWork = QStringLiteral("/home/etiquettes");

QStringList catalogue(const QString &name)
{
    QStringList items;
    QString error;
    if (!Catalogue::load(QStringLiteral(KALVANE_FIXTURES_DIR "/catalogues/") + name, &items, &error))
        qFatal("%s", qPrintable(error));
    return items;
}

const LabelDocument &newLabel()
{
    static const LabelDocument doc = [] {
        LabelDocument d;
        d.hazards = Catalogue::toStatements(catalogue(QStringLiteral("H.txt")));
        d.precautions = Catalogue::toStatements(catalogue(QStringLiteral("P.txt")));
        d.supplementary = Catalogue::toStatements(catalogue(QStringLiteral("EUH.txt")));
        return d;
    }();
    return doc;
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        QByteArray encoded;
        if (!TextFile::encode(line, &encoded))
            qFatal("line not encodable");
        bytes += encoded + "\r\n";
    }
    return bytes;
}

QStringList linesOf(const QByteArray &bytes)
{
    return TextFile::splitLines(TextFile::decode(bytes));
}

// A full label file, every section filled.
QStringList fullFile()
{
    LabelDocument d = newLabel();
    d.supplier = QStringLiteral("Chimie Lyonnaise\n69007 Lyon");
    d.product = QStringLiteral("Acide sulfurique\nà 96 %");
    d.productColor = QColor(255, 128, 64);
    d.ce = QStringLiteral("231-639-5");
    d.cas = QStringLiteral("  7664-93-9");
    d.index = QStringLiteral("016-020-00-8");
    d.comment = QStringLiteral("Réservé à un usage professionnel.");
    d.commentAlignment = AlignRightCode;
    d.pictograms = {QStringLiteral("SGH05"), QStringLiteral("SGH07")};
    d.hazards[13].ticked = true;
    d.hazards[17].ticked = true;
    d.hazards[18].ticked = true;
    d.precautions[3].ticked = true;
    d.supplementary[1].ticked = true;
    FrameMirrors m;
    m.logoPath = QStringLiteral("/srv/logos/chimie.jpg");
    return serialize(d, m);
}

// What every read must leave, whatever the input.
void checkLimits(const LabelDocument &doc, const Status &status, const char *where)
{
    QVERIFY2(status.ok() == status.message.isEmpty(), where);
    QVERIFY2(status.kind != Status::Unreadable, where);
    QVERIFY2(doc.pictograms.size() <= 5, where);
    QVERIFY2(QSet<QString>(doc.pictograms.begin(), doc.pictograms.end()).size() == doc.pictograms.size(), where);
    for (const QString &code : doc.pictograms) {
        bool valid = false;
        for (int n = 1; n <= 9; ++n)
            valid = valid || code == LabelDocument::pictogramCode(n);
        QVERIFY2(valid, where);
    }
    QVERIFY2(doc.fontFace.size() <= FrameMirrors::kFontFaceMax, where);
    QVERIFY2(doc.logoPath.size() <= FrameMirrors::kLogoPathMax, where);
    // The lists keep the catalogue's entries: an entry is either untouched, or
    // ticked with a wording that has the entry's own code.
    const StatementList *lists[] = {&doc.hazards, &doc.precautions, &doc.supplementary};
    const StatementList *originals[] = {&newLabel().hazards, &newLabel().precautions, &newLabel().supplementary};
    for (int k = 0; k < 3; ++k) {
        QVERIFY2(lists[k]->size() == originals[k]->size(), where);
        for (qsizetype i = 0; i < lists[k]->size(); ++i) {
            const StatementEntry &e = lists[k]->at(i);
            const StatementEntry &o = originals[k]->at(i);
            if (!e.ticked)
                QVERIFY2(e.text == o.text, where);
            else
                QVERIFY2(Catalogue::statementCode(e.text) == Catalogue::statementCode(o.text), where);
        }
    }
}

struct Outcome {
    Status reader, digestCodes, digestWording;
};

// Runs the reader and the digest in both modes on the same lines.
void readAllInto(const QStringList &lines, const char *where, Outcome *out)
{
    LabelDocument doc = newLabel();
    FrameMirrors mirrors;
    out->reader = parse(lines, &doc, &mirrors, kWork);
    checkLimits(doc, out->reader, where);
    LabelDigest codes, wording;
    out->digestCodes = codes.read(lines, true);
    out->digestWording = wording.read(lines, false);
    // The digest converts nothing but the sizes, and its mode changes no stop.
    QVERIFY2(out->digestCodes.ok() == out->digestCodes.message.isEmpty(), where);
    QVERIFY2(out->digestCodes.ok() || out->digestCodes.kind == Status::ListIndex
                 || out->digestCodes.kind == Status::FloatConversion,
             where);
    QVERIFY2(out->digestCodes.kind == out->digestWording.kind, where);
    QVERIFY2(out->digestCodes.message == out->digestWording.message, where);
}

Outcome readAll(const QStringList &lines, const char *where)
{
    Outcome out;
    readAllInto(lines, where, &out);
    return out;
}

QString randomText(QRandomGenerator &rng, int maxLength, bool allowBreaks)
{
    static const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                   " :;,.-*$%'\"\\/éèàçùœ€–«»°µ\t");
    QString s;
    const int n = rng.bounded(maxLength + 1);
    for (int i = 0; i < n; ++i) {
        if (allowBreaks && rng.bounded(12) == 0)
            s += u'\n';
        else
            s += alphabet.at(rng.bounded(alphabet.size()));
    }
    return s;
}

// Memo text as a memo holds it: lines joined, no line break at the end.
// Marker lines are mixed in on purpose.
QString randomMemo(QRandomGenerator &rng)
{
    static const QStringList markers = {kFab, kSub, kNref, kComments, kWarning, kPic, kHazards, kFont, kEof};
    QStringList lines;
    const int n = rng.bounded(5);
    for (int i = 0; i < n; ++i)
        lines << (rng.bounded(8) == 0 ? markers.at(rng.bounded(markers.size())) : randomText(rng, 30, false));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.last() = QStringLiteral("fin");
    return lines.join(u'\n');
}

} // namespace

class TestLabelFileFuzz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLineCut();
    void everyByteCut();
    void randomDamage();
    void pathologicalFiles();
    void randomLabelsRoundTrip();
};

void TestLabelFileFuzz::everyLineCut()
{
    // Cut after k lines: the label reads whole only when at most "_eof" is
    // missing; otherwise both readers stop with the list-index error.
    const QStringList full = fullFile();
    for (qsizetype k = 0; k <= full.size(); ++k) {
        const QByteArray where = "cut after " + QByteArray::number(k) + " lines";
        const Outcome out = readAll(full.first(k), where.constData());
        if (QTest::currentTestFailed())
            return;
        const bool whole = k >= full.size() - 1;
        QCOMPARE(out.reader.ok(), whole);
        QCOMPARE(out.digestCodes.ok(), whole);
        if (!whole) {
            QCOMPARE(out.reader.kind, Status::ListIndex);
            QCOMPARE(out.digestCodes.kind, Status::ListIndex);
        }
    }
}

void TestLabelFileFuzz::everyByteCut()
{
    const QByteArray bytes = encodeLines(fullFile());
    for (qsizetype k = 0; k <= bytes.size(); ++k) {
        const QByteArray where = "cut after " + QByteArray::number(k) + " bytes";
        readAll(linesOf(bytes.left(k)), where.constData());
        if (QTest::currentTestFailed())
            return;
    }
}

void TestLabelFileFuzz::randomDamage()
{
    const QStringList full = fullFile();
    const QByteArray fullBytes = encodeLines(full);
    const QStringList markers = {kFab, kSub, kNref, kComments, kWarning, kPic, kHazards,
                                 kPrecautions, kInfos, kFont, kMargins, kEof};
    QRandomGenerator rng(20240611);
    int ok = 0, failed = 0;
    for (int round = 0; round < 4000; ++round) {
        QStringList lines = full;
        QByteArray bytes;
        const int damages = 1 + rng.bounded(4);
        for (int d = 0; d < damages; ++d) {
            const qsizetype at = lines.isEmpty() ? 0 : rng.bounded(int(lines.size()));
            switch (rng.bounded(9)) {
            case 0: if (!lines.isEmpty()) lines.removeAt(at); break;
            case 1: if (!lines.isEmpty()) lines.insert(at, lines.at(at)); break;
            case 2: if (!lines.isEmpty()) lines.swapItemsAt(at, rng.bounded(int(lines.size()))); break;
            case 3: lines.insert(at, markers.at(rng.bounded(markers.size()))); break;
            case 4: if (!lines.isEmpty()) lines[at] = randomText(rng, 20, false); break;
            case 5: if (!lines.isEmpty()) lines[at] = QString::number(rng.bounded(200) - 100); break;
            case 6: if (!lines.isEmpty()) lines[at].truncate(rng.bounded(int(lines.at(at).size()) + 1)); break;
            case 7: if (!lines.isEmpty()) lines[at] = QStringLiteral("GHS0") + QString::number(rng.bounded(12)); break;
            case 8: lines = lines.mid(0, at); break;
            }
        }
        // One round in four damages the bytes instead: flipped bytes, stray
        // line ends, NUL bytes.
        if (round % 4 == 3) {
            bytes = fullBytes;
            for (int d = 0; d < 1 + rng.bounded(6); ++d)
                bytes[rng.bounded(int(bytes.size()))] = char(rng.bounded(256));
            lines = linesOf(bytes);
        }
        const QByteArray where = "damage round " + QByteArray::number(round);
        const Outcome out = readAll(lines, where.constData());
        if (QTest::currentTestFailed())
            return;
        (out.reader.ok() ? ok : failed)++;
    }
    // The damage must reach both outcomes, or the test proves little.
    QVERIFY(ok > 100);
    QVERIFY(failed > 100);
}

void TestLabelFileFuzz::pathologicalFiles()
{
    QRandomGenerator rng(7);
    const QStringList full = fullFile();

    QCOMPARE(readAll({}, "empty").reader.kind, Status::ListIndex);
    QCOMPARE(readAll(linesOf(QByteArray()), "no byte").reader.kind, Status::ListIndex);
    QCOMPARE(readAll({kFab}, "only the first line").reader.kind, Status::ListIndex);
    QCOMPARE(readAll(linesOf("***fab***\r\n"), "first line with its end").reader.kind, Status::ListIndex);

    // 10 MB in one line, alone, after the first line, and as the product.
    const QString huge(10 * 1024 * 1024, u'x');
    QVERIFY(readAll({huge}, "one huge line").reader.ok());
    QCOMPARE(readAll({kFab, huge}, "first line and a huge one").reader.kind, Status::ListIndex);
    {
        QStringList lines = full;
        lines.insert(lines.indexOf(kNref), huge);
        LabelDocument doc = newLabel();
        QVERIFY(parse(lines, &doc, nullptr, kWork).ok());
        QVERIFY(doc.product.endsWith(huge));
        lines[lines.indexOf(kFont) + 1] = huge;
        lines[lines.indexOf(kSub) - 1] = huge;
        QVERIFY(parse(lines, &doc, nullptr, kWork).ok());
        QCOMPARE(doc.fontFace.size(), FrameMirrors::kFontFaceMax);
        QVERIFY(doc.logoPath.size() <= FrameMirrors::kLogoPathMax);
    }

    // Random binary content.
    for (int i = 0; i < 20; ++i) {
        QByteArray noise(64 * 1024, Qt::Uninitialized);
        for (char &c : noise)
            c = char(rng.bounded(256));
        if (i % 2)
            noise.prepend("***fab***\r\n");
        readAll(linesOf(noise), "binary");
    }

    // A NUL byte in the middle ends the text there.
    const QByteArray bytes = encodeLines(full);
    QByteArray withNul = bytes;
    withNul[bytes.size() / 2] = '\0';
    const Outcome cut = readAll(linesOf(withNul), "NUL in the middle");
    QCOMPARE(cut.reader.kind, Status::ListIndex);
    QCOMPARE(readAll(linesOf(bytes.left(bytes.size() / 2)), "same cut").reader.message, cut.reader.message);

    // Very many statement pairs, all matching one code, and a deep stack of
    // marker lines.
    QStringList many = full;
    QStringList pairs;
    for (int i = 0; i < 100000; ++i)
        pairs << QString::number(i) << QStringLiteral("H319: copie %1").arg(i);
    const qsizetype at = many.indexOf(kPrecautions);
    many = many.mid(0, at) + pairs + many.mid(at);
    LabelDocument doc = newLabel();
    QVERIFY(parse(many, &doc, nullptr, kWork).ok());
    QCOMPARE(Catalogue::prefixSearch(doc.hazards, QStringLiteral("H319: copie 99999")), 17);
    QStringList markersOnly(200000, kFab);
    QCOMPARE(readAll(markersOnly, "marker lines").reader.kind, Status::ListIndex);
}

void TestLabelFileFuzz::randomLabelsRoundTrip()
{
    QRandomGenerator rng(1357);
    int written = 0;
    for (int round = 0; round < 600; ++round) {
        LabelDocument doc = newLabel();
        FrameMirrors mirrors;
        doc.supplier = randomMemo(rng);
        doc.product = randomMemo(rng);
        doc.comment = randomMemo(rng);
        doc.productColor = QColor(rng.bounded(256), rng.bounded(256), rng.bounded(256));
        if (rng.bounded(4) == 0)
            doc.productColor = QColor(rng.bounded(2) * 255, rng.bounded(2) * 255, rng.bounded(2) * 128);
        doc.ce = randomText(rng, 9, false);
        doc.cas = randomText(rng, 11, false);
        doc.index = randomText(rng, 12, false);
        doc.commentAlignment = rng.bounded(3) ? 16 + rng.bounded(3) : rng.bounded(2001) - 1000;
        doc.signalWord = randomText(rng, 15, false);
        QList<int> picks = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        for (int k = 0, n = rng.bounded(6); k < n; ++k)
            doc.pictograms << LabelDocument::pictogramCode(picks.takeAt(rng.bounded(int(picks.size()))));
        for (StatementList *list : {&doc.hazards, &doc.precautions, &doc.supplementary}) {
            // Entries sharing a code come back with one wording: tick and word
            // them together.
            QHash<QString, QString> wordingByCode;
            QSet<QString> tickedCodes;
            for (StatementEntry &e : *list) {
                const QString code = Catalogue::statementCode(e.text);
                if (!wordingByCode.contains(code)) {
                    if (rng.bounded(3) == 0)
                        tickedCodes.insert(code);
                    const QString wording = randomText(rng, 40, false).remove(u':');
                    wordingByCode[code] = rng.bounded(2) ? e.text
                                          : code.isEmpty() ? wording
                                                           : code + u':' + wording;
                }
                e.ticked = tickedCodes.contains(code);
                if (e.ticked)
                    e.text = wordingByCode[code];
            }
        }
        mirrors.fontFace = randomText(rng, 40, false);
        doc.fontFace = mirrors.fontFace;
        mirrors.productSize = float(rng.bounded(4, 400)) / 4;
        mirrors.statementSize = float(rng.bounded(4, 100)) / 4;
        doc.productSize = sizeText(mirrors.productSize);
        doc.statementSize = sizeText(mirrors.statementSize);
        doc.scale = QString::number(rng.bounded(50, 201));
        doc.marginX = randomText(rng, 6, false);
        doc.marginY = randomText(rng, 6, false);
        const QString logoName = rng.bounded(5) ? QStringLiteral("logo%1.jpg").arg(round) : QString();
        mirrors.logoPath = QStringLiteral("/srv/logos/") + logoName;
        if (!contentError(doc).isEmpty())
            continue; // refused by the writer
        ++written;

        const QByteArray where = "random label " + QByteArray::number(round);
        const QStringList lines = linesOf(encodeLines(serialize(doc, mirrors)));
        LabelDocument back = newLabel();
        FrameMirrors backMirrors;
        const Status status = parse(lines, &back, &backMirrors, kWork);
        QVERIFY2(status.ok(), qPrintable(where + ": " + status.message.toUtf8()));
        LabelDocument expected = doc;
        expected.logoPath = logoName.isEmpty() ? kWork + "/fournisseurs/" : kWork + "/fournisseurs/" + logoName;
        QVERIFY2(back == expected, where.constData());
        QVERIFY2(backMirrors.fontFace == mirrors.fontFace, where.constData());
        QVERIFY2(backMirrors.productSize == mirrors.productSize, where.constData());
        QVERIFY2(backMirrors.statementSize == mirrors.statementSize, where.constData());
        QVERIFY2(serialize(back, backMirrors) == lines, where.constData());
    }
    QVERIFY(written > 500);
}

QTEST_GUILESS_MAIN(TestLabelFileFuzz)
#include "test_labelfile_fuzz.moc"

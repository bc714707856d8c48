// The labelling facts file shipped in data/ and its reader: Windows-1252 text
// with CR LF, its source named at its top, only codes of the hazard
// catalogue, facts that agree with each other, and a reader that meets
// damaged or hostile files with French messages.

#include "editor/catalogue.h"
#include "editor/labelfacts.h"
#include "shell/textfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kFacts = QStringLiteral(KALVANE_DATA_DIR "/verifications.txt");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFacts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shippedFileIsWindows1252WithCrLf()
    {
        const QByteArray bytes = readAll(kFacts);
        QVERIFY(!bytes.isEmpty());
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\r'));
        QVERIFY(!bytes.contains('\0'));
        // Accented letters are single Windows-1252 bytes, never UTF-8 pairs,
        // and the text round-trips through the program's own encoder.
        QVERIFY(bytes.contains("\xE9"));            // é
        QVERIFY(!bytes.contains("\xC3\xA9"));       // UTF-8 é
        QByteArray again;
        QVERIFY(TextFile::encode(TextFile::decode(bytes), &again));
        QCOMPARE(again, bytes);
        // Its first line names where the facts come from.
        const QString first = TextFile::splitLines(TextFile::decode(bytes)).constFirst();
        QVERIFY(first.startsWith(u'#'));
        QVERIFY(first.contains(QStringLiteral("1272/2008")));
        QVERIFY(first.contains(QStringLiteral("annexe I")));
        QVERIFY(first.contains(QStringLiteral("six conseils de prudence")));
    }

    void shippedFactsReadAndAgreeWithTheCatalogue()
    {
        LabelFacts facts;
        QStringList problems;
        QVERIFY(facts.load(kFacts, &problems));
        QCOMPARE(problems, QStringList());
        // Hazard statements, and the supplemental ones of the hazard classes
        // that carry a signal word.
        QSet<QString> codes;
        for (const char *name : {KALVANE_DATA_DIR "/H.txt", KALVANE_DATA_DIR "/EUH.txt"}) {
            QStringList catalogue;
            QVERIFY(Catalogue::load(QString::fromUtf8(name), &catalogue));
            for (const QString &line : catalogue)
                codes.insert(Catalogue::statementCode(line));
        }
        QVERIFY(facts.codes().size() > 60);
        for (const QString &code : facts.codes())
            QVERIFY2(codes.contains(code), qPrintable(code));
        QCOMPARE(facts.maxPrecautions(), 6);

        using SW = LabelFacts::SignalWord;
        QCOMPARE(facts.signalWord(QStringLiteral("H225")), SW::Danger);
        QCOMPARE(facts.signalWord(QStringLiteral("H226")), SW::Attention);
        QCOMPARE(facts.signalWord(QStringLiteral("H412")), SW::None);
        // Categories of both signal words share these: no fact.
        for (const char *shared : {"H207", "H221", "H228", "H229", "H242", "H261", "H272"})
            QVERIFY2(!facts.signalWord(QString::fromLatin1(shared)), shared);
        QCOMPARE(facts.pictograms(QStringLiteral("H314")),
                 (QList<LabelFacts::Pictogram>{{QStringLiteral("SGH05"), {}}}));
        QCOMPARE(facts.pictograms(QStringLiteral("H241")).size(), 2);
        // Type B: the flame is not made optional by the bomb.
        for (const LabelFacts::Pictogram &p : facts.pictograms(QStringLiteral("H241")))
            QVERIFY(p.waivers.isEmpty());
        // Gases under pressure: SGH04 optional beside the flame or the skull.
        for (const char *gas : {"H280", "H281"})
            QCOMPARE(facts.pictograms(QString::fromLatin1(gas)),
                     (QList<LabelFacts::Pictogram>{
                         {QStringLiteral("SGH04"), {{QStringLiteral("SGH02"), {}}, {QStringLiteral("SGH06"), {}}}}}));
        for (const char *danger : {"EUH380", "EUH430", "EUH440", "EUH441", "EUH450", "EUH451"})
            QCOMPARE(facts.signalWord(QString::fromLatin1(danger)), SW::Danger);
        for (const char *attention : {"EUH381", "EUH431"})
            QCOMPARE(facts.signalWord(QString::fromLatin1(attention)), SW::Attention);
        // Categories with and without a pictogram: none.
        for (const char *none : {"H205", "H221", "H229", "H362", "H412", "H413"})
            QVERIFY2(facts.pictograms(QString::fromLatin1(none)).isEmpty(), none);
        const QList<LabelFacts::Pictogram> irritation = facts.pictograms(QStringLiteral("H315"));
        QCOMPARE(irritation.size(), 1);
        QCOMPARE(irritation.first().code, QStringLiteral("SGH07"));
        QVERIFY(irritation.first().waivers.contains(LabelFacts::Waiver{QStringLiteral("SGH05"), {}}));
        QVERIFY(irritation.first().waivers.contains(
            LabelFacts::Waiver{QStringLiteral("SGH08"), QStringLiteral("H334")}));
        // Every fact the skull's precedence concerns can be waived by it.
        for (const QString &code : facts.codes())
            for (const LabelFacts::Pictogram &p : facts.pictograms(code))
                if (p.code == QLatin1String("SGH07"))
                    QVERIFY2(p.waivers.contains(LabelFacts::Waiver{QStringLiteral("SGH06"), {}}), qPrintable(code));
    }

    void damagedLinesAreLeftOutAndTold()
    {
        LabelFacts facts;
        QStringList problems;
        facts.parse({QStringLiteral("# commentaire"),
                     QStringLiteral(""),
                     QStringLiteral("H225;mention;Danger"),
                     QStringLiteral("H225 ; pictogramme ; SGH02 ; SGH01"),
                     QStringLiteral("H225;mention;Attention"),      // contradicts line 3
                     QStringLiteral("H225;pictogramme;SGH02"),      // repeated
                     QStringLiteral("H226;mention;Warning"),        // no such signal word
                     QStringLiteral("H226;pictogramme;SGH10"),
                     QStringLiteral("H226;pictogramme;SGH02;SGH01+P210"),
                     QStringLiteral("P210;mention;Danger"),         // not a hazard statement
                     QStringLiteral("conseils-maximum;zéro"),
                     QStringLiteral("n'importe quoi"),
                     QStringLiteral("H319;pictogramme;SGH07;SGH05,SGH08+H334")},
                    QStringLiteral("essai.txt"), &problems);
        QCOMPARE(problems.size(), 8);
        QCOMPARE(problems.first(), QStringLiteral("Fichier « essai.txt », ligne 5 : la mention d'avertissement de H225 "
                                                  "contredit une ligne précédente."));
        QVERIFY(problems.at(1).startsWith(QStringLiteral("Fichier « essai.txt », ligne 6 : ")));
        QCOMPARE(facts.signalWord(QStringLiteral("H225")), LabelFacts::SignalWord::Danger);
        QCOMPARE(facts.pictograms(QStringLiteral("H225")),
                 (QList<LabelFacts::Pictogram>{{QStringLiteral("SGH02"), {{QStringLiteral("SGH01"), {}}}}}));
        QVERIFY(!facts.signalWord(QStringLiteral("H226")));
        QVERIFY(facts.pictograms(QStringLiteral("H226")).isEmpty());
        QCOMPARE(facts.maxPrecautions(), 6);
        QCOMPARE(facts.codes(), (QStringList{QStringLiteral("H225"), QStringLiteral("H319")}));
        QCOMPARE(facts.pictograms(QStringLiteral("H319")).first().waivers.size(), 2);
    }

    void hostileFiles()
    {
        QTemporaryDir dir;
        const auto file = [&dir](const char *name, const QByteArray &bytes) {
            const QString path = dir.filePath(QString::fromLatin1(name));
            QFile f(path);
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
            return path;
        };
        QStringList problems;
        LabelFacts missing;
        QVERIFY(!missing.load(dir.filePath(QStringLiteral("absent.txt")), &problems));
        QCOMPARE(problems, QStringList{QStringLiteral("Le fichier des vérifications « absent.txt » est introuvable.")});
        QVERIFY(missing.isEmpty());

        problems.clear();
        LabelFacts folder;
        QVERIFY(!folder.load(dir.path(), &problems));
        QCOMPARE(problems.size(), 1);

        problems.clear();
        LabelFacts huge;
        QVERIFY(!huge.load(file("huge.txt", QByteArray(LabelFacts::kMaxFileSize + 1, 'H')), &problems));
        QCOMPARE(problems.size(), 1);

        // UTF-8 text: accents come out wrong, but the facts of plain lines
        // are read and nothing crashes.
        problems.clear();
        LabelFacts utf8;
        QVERIFY(utf8.load(file("utf8.txt", "# r\xC3\xA8gle\nH225;mention;Danger\n"), &problems));
        QCOMPARE(problems, QStringList());
        QCOMPARE(utf8.signalWord(QStringLiteral("H225")), LabelFacts::SignalWord::Danger);

        // Random bytes and one enormous line: the problems are capped.
        QByteArray noise(200000, '\0');
        QRandomGenerator random(17);
        for (char &c : noise)
            c = char(random.bounded(1, 256));
        for (int i = 0; i < 50; ++i)
            noise.append("\n;;;" + QByteArray::number(i));
        problems.clear();
        LabelFacts binary;
        QVERIFY(binary.load(file("noise.txt", noise), &problems));
        QVERIFY(problems.size() <= 21);
        QVERIFY(problems.constLast().contains(QStringLiteral("d'autres lignes ne sont pas lues")));
        for (const QString &p : problems)
            QVERIFY(p.size() < 200);
    }
};

QTEST_GUILESS_MAIN(TestFacts)
#include "test_facts.moc"

#include "editor/catalogue.h"
#include "editor/checkdigits.h"
#include "editor/labelchecks.h"
#include "shell/labeldigest.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"

#include <QDir>
#include <QFile>
#include <QTest>

// The sample labels shipped in data/Kalvane must open cleanly against the
// shipped catalogues: every stored statement is found by its code (its wording
// completed where the catalogue leaves choices to the supplier), every
// identification number passes its check, and the label checks find nothing.
class TestSamples : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void samples_data();
    void samples();
};

void TestSamples::samples_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(KALVANE_DATA_DIR "/Kalvane"));
    const QStringList files = dir.entryList({QStringLiteral("*.kvln")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 3);
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << dir.filePath(f);
}

void TestSamples::samples()
{
    QFETCH(QString, path);
    LabelDocument doc;
    doc.hazards = Catalogue::toStatements(TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/H.txt")));
    doc.precautions = Catalogue::toStatements(TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/P.txt")));
    doc.supplementary = Catalogue::toStatements(TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/EUH.txt")));
    const LabelDocument catalogues = doc;
    FrameMirrors mirrors;
    const LabelFile::Status status =
        LabelFile::read(path, &doc, &mirrors, QStringLiteral(KALVANE_DATA_DIR "/Kalvane"));
    QVERIFY2(status.ok(), qPrintable(status.message));

    // Stored statements come back ticked under their catalogue code, each with
    // its stored wording; the other entries keep the catalogue's.
    const LabelChecks::Subject stored = LabelChecks::readSubject(path);
    int ticked = 0;
    int k = 0;
    for (const auto &[got, original] : {std::pair{&doc.hazards, &catalogues.hazards},
                                        std::pair{&doc.precautions, &catalogues.precautions},
                                        std::pair{&doc.supplementary, &catalogues.supplementary}}) {
        QCOMPARE(got->size(), original->size());
        QStringList tickedTexts;
        for (int i = 0; i < got->size(); ++i) {
            QCOMPARE(Catalogue::statementCode(got->at(i).text), Catalogue::statementCode(original->at(i).text));
            if (got->at(i).ticked)
                tickedTexts << got->at(i).text;
            else
                QCOMPARE(got->at(i).text, original->at(i).text);
        }
        QCOMPARE(tickedTexts, stored.statements[k++]);
        ticked += int(tickedTexts.size());
    }
    QVERIFY(ticked >= 3);

    // Nothing for the label checks to say, not even a note: every choice the
    // catalogue leaves to the supplier is made.
    const LabelChecks checks = LabelChecks::load(QStringLiteral(KALVANE_DATA_DIR));
    QCOMPARE(checks.problems(), QStringList());
    QCOMPARE(LabelChecks::report(checks.check(stored)), LabelChecks::kNoFinding);
    QCOMPARE(LabelChecks::report(checks.check(LabelChecks::subjectOf(doc))), LabelChecks::kNoFinding);

    // The files stay Windows-1252 text with CR LF after every line.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("_eof\r\n"));
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
    QCOMPARE(bytes.count("\r\n"), bytes.count('\r'));
    QVERIFY(!bytes.contains("\xC3\xA9")); // no UTF-8 "é"
    QVERIFY(!doc.pictograms.isEmpty());
    QVERIFY(QFileInfo::exists(doc.logoPath));

    using namespace IdentificationNumbers;
    for (const auto &[kind, text] : {std::pair{Kind::CE, doc.ce}, std::pair{Kind::CAS, doc.cas},
                                     std::pair{Kind::INDEX, doc.index}}) {
        const auto v = verify(kind, text);
        QVERIFY2(v.result == Verification::Correct, qPrintable(text));
    }

    // The sheet digest reads the same file to its end.
    LabelDigest digest;
    QVERIFY(digest.readFile(path, true, QStringLiteral(KALVANE_DATA_DIR "/Kalvane")).ok());
    QVERIFY(digest.hazards.startsWith(QStringLiteral("H")));
}

QTEST_GUILESS_MAIN(TestSamples)
#include "test_samples.moc"

// The label's complements in the label file: the block after "_eof", written
// only when a complement is used, read back as written (repeated and unknown
// keys included), damaged lines kept and said, the sample labels unchanged
// byte for byte, and the digest of stored labels carrying the same values.

#include "editor/catalogue.h"
#include "shell/labeldigest.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace LabelFile;

namespace {

LabelDocument newLabel()
{
    LabelDocument doc;
    doc.hazards = Catalogue::toStatements(TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/H.txt")));
    doc.precautions = Catalogue::toStatements(TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/P.txt")));
    doc.supplementary = Catalogue::toStatements(TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/EUH.txt")));
    return doc;
}

FrameMirrors newMirrors()
{
    FrameMirrors m;
    m.logoPath = QStringLiteral("logo");
    return m;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

// The lines after "_eof", the marker included.
QStringList blockOf(const QStringList &lines)
{
    const qsizetype eof = lines.lastIndexOf(kEof);
    return eof < 0 ? QStringList{QStringLiteral("<no _eof>")} : lines.mid(eof + 1);
}

LabelDocument withEveryComplement()
{
    LabelDocument doc = newLabel();
    doc.product = QStringLiteral("Diluant D12");
    doc.quantity = QStringLiteral("1 L");
    doc.capacity = QStringLiteral("1");
    doc.ufi = QStringLiteral("GMTT-2SQN-6FDD-6TV1");
    doc.contains = {QStringLiteral("acétone; acétate d'éthyle"), QStringLiteral("xylène")};
    doc.infos = {QStringLiteral("Réservé aux utilisateurs professionnels."),
                 QStringLiteral("Contient un avertissement tactile.")};
    doc.sdsAddress = QStringLiteral("https://fds.example.org/diluant-d12.pdf");
    return doc;
}

} // namespace

class TestComplements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A label without complements ends at "_eof" exactly as before; each
    // complement alone is enough to write the block, with only its line.
    void blockWrittenOnlyWhenUsed()
    {
        const LabelDocument plain = newLabel();
        QVERIFY(!plain.hasComplements());
        const QStringList lines = serialize(plain, newMirrors());
        QCOMPARE(lines.constLast(), kEof);
        QVERIFY(!lines.contains(kComplements));

        const struct {
            void (*set)(LabelDocument *);
            QString line;
        } cases[] = {
            {[](LabelDocument *d) { d->quantity = QStringLiteral("500 mL"); }, QStringLiteral("quantite=500 mL")},
            {[](LabelDocument *d) { d->capacity = QStringLiteral("0,5"); }, QStringLiteral("contenance=0,5")},
            {[](LabelDocument *d) { d->ufi = QStringLiteral("GMTT-2SQN-6FDD-6TV1"); },
             QStringLiteral("ufi=GMTT-2SQN-6FDD-6TV1")},
            {[](LabelDocument *d) { d->contains = {QStringLiteral("acétone")}; }, QStringLiteral("contient=acétone")},
            {[](LabelDocument *d) { d->infos = {QStringLiteral("Réservé.")}; }, QStringLiteral("info=Réservé.")},
            {[](LabelDocument *d) { d->sdsAddress = QStringLiteral("https://x.example/a"); },
             QStringLiteral("fds=https://x.example/a")},
            {[](LabelDocument *d) { d->otherComplements = {QStringLiteral("futur=1")}; }, QStringLiteral("futur=1")},
        };
        for (const auto &c : cases) {
            LabelDocument doc = newLabel();
            c.set(&doc);
            QVERIFY(doc.hasComplements());
            const QStringList written = serialize(doc, newMirrors());
            QCOMPARE(written.mid(0, lines.size()), lines);
            QCOMPARE(blockOf(written), (QStringList{kComplements, c.line}));
        }
    }

    // The block in its fixed order, repeated keys one line each, unknown keys
    // after them in the order read; a line break inside a value cannot split
    // it. Saved, read back and saved again: the same values and bytes.
    void blockReadBackAsWritten()
    {
        LabelDocument doc = withEveryComplement();
        doc.otherComplements = {QStringLiteral("pictogramme_tactile=oui"), QStringLiteral("version=2")};
        doc.infos << QStringLiteral("Ligne\r\ncoupée");
        const QStringList block = blockOf(serialize(doc, newMirrors()));
        QCOMPARE(block, (QStringList{kComplements, QStringLiteral("quantite=1 L"), QStringLiteral("contenance=1"),
                                     QStringLiteral("ufi=GMTT-2SQN-6FDD-6TV1"),
                                     QStringLiteral("contient=acétone; acétate d'éthyle"),
                                     QStringLiteral("contient=xylène"),
                                     QStringLiteral("info=Réservé aux utilisateurs professionnels."),
                                     QStringLiteral("info=Contient un avertissement tactile."),
                                     QStringLiteral("info=Ligne coupée"),
                                     QStringLiteral("fds=https://fds.example.org/diluant-d12.pdf"),
                                     QStringLiteral("pictogramme_tactile=oui"), QStringLiteral("version=2")}));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("diluant.kvln"));
        QString error;
        QVERIFY2(save(path, &doc, newMirrors(), &error, dir.path()), qPrintable(error));
        const QByteArray bytes = fileBytes(path);
        // Windows-1252 with CR LF, like the rest of the file.
        QVERIFY(bytes.contains("_eof\r\n***kalvane***\r\nquantite=1 L\r\n"));
        QVERIFY(bytes.contains("contient=ac\xE9tone; ac\xE9tate d'\xE9thyle\r\n"));
        QVERIFY(bytes.endsWith("version=2\r\n"));

        LabelDocument back = newLabel();
        FrameMirrors mirrors;
        const Status status = read(path, &back, &mirrors, dir.path());
        QVERIFY2(status.ok(), qPrintable(status.message));
        QCOMPARE(status.warnings, QStringList());
        QCOMPARE(back.quantity, doc.quantity);
        QCOMPARE(back.capacity, doc.capacity);
        QCOMPARE(back.ufi, doc.ufi);
        QCOMPARE(back.contains, doc.contains);
        QCOMPARE(back.infos, (QStringList{doc.infos.at(0), doc.infos.at(1), QStringLiteral("Ligne coupée")}));
        QCOMPARE(back.sdsAddress, doc.sdsAddress);
        QCOMPARE(back.otherComplements, doc.otherComplements);
        QCOMPARE(back.product, doc.product);

        QVERIFY2(save(path, &back, mirrors, &error, dir.path()), qPrintable(error));
        QCOMPARE(fileBytes(path), bytes);
    }

    // Lines this version cannot take are kept (and written back), the user is
    // told once per line; the label itself opens.
    void damagedBlockLosesNothing()
    {
        QStringList lines = serialize(newLabel(), newMirrors());
        lines << kComplements << QStringLiteral("ufi=GMTT-2SQN-6FDD-6TV1") << QStringLiteral("une ligne sans signe égal")
              << QStringLiteral("ufi=R3NN-3KVT-2XSG-W43J") << QStringLiteral("contenance=beaucoup")
              << QStringLiteral("couleur=rouge") << QStringLiteral("quantite=") << QString();
        LabelDocument doc = newLabel();
        const Status status = parse(lines, &doc, nullptr, QStringLiteral("/tmp"));
        QVERIFY2(status.ok(), qPrintable(status.message));
        QCOMPARE(doc.ufi, QStringLiteral("GMTT-2SQN-6FDD-6TV1"));
        QCOMPARE(doc.capacity, QStringLiteral("beaucoup"));
        QCOMPARE(doc.otherComplements,
                 (QStringList{QStringLiteral("une ligne sans signe égal"), QStringLiteral("ufi=R3NN-3KVT-2XSG-W43J"),
                              QStringLiteral("couleur=rouge"), QStringLiteral("quantite="), QString()}));
        const QStringList expected{kComplementLineKept.arg(QStringLiteral("une ligne sans signe égal")),
                                   kComplementRepeated.arg(QStringLiteral("ufi=R3NN-3KVT-2XSG-W43J")),
                                   kCapacityNotNumber.arg(QStringLiteral("beaucoup")),
                                   kComplementLineKept.arg(QString())};
        QCOMPARE(status.warnings, expected);

        // Every line read is written again.
        const QStringList again = blockOf(serialize(doc, newMirrors()));
        for (qsizetype i = lines.indexOf(kComplements); i < lines.size(); ++i)
            QVERIFY2(again.contains(lines.at(i)), qPrintable(lines.at(i)));
        QCOMPARE(again.size(), lines.size() - lines.indexOf(kComplements));
    }

    // The block is only taken right after the positional tail's "_eof": a
    // marker anywhere else is content, and a file without "_eof" has no block.
    void blockOnlyAfterTheTail()
    {
        QStringList lines = serialize(newLabel(), newMirrors());
        lines.removeLast(); // no "_eof"
        lines << kComplements << QStringLiteral("ufi=GMTT-2SQN-6FDD-6TV1");
        LabelDocument doc = newLabel();
        QVERIFY(parse(lines, &doc).ok());
        QVERIFY(!doc.hasComplements());

        LabelDocument commented = newLabel();
        commented.comment = kEof + u'\n' + kComplements + QStringLiteral("\nufi=X");
        LabelDocument back = newLabel();
        QVERIFY(parse(serialize(commented, newMirrors()), &back).ok());
        QCOMPARE(back.comment, commented.comment);
        QVERIFY(!back.hasComplements());
    }

    // The sample labels have no complement: read and saved again, each file is
    // the same byte for byte.
    void sampleLabelsUnchanged()
    {
        const QDir samples(QStringLiteral(KALVANE_DATA_DIR "/Kalvane"));
        const QStringList names = samples.entryList({QStringLiteral("*.kvln")}, QDir::Files);
        QVERIFY(names.size() >= 3);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(kSupplierFolder));
        for (const QString &name : names) {
            LabelDocument doc = newLabel();
            FrameMirrors mirrors;
            const Status status = read(samples.filePath(name), &doc, &mirrors, samples.path());
            QVERIFY2(status.ok(), qPrintable(name + u' ' + status.message));
            QVERIFY(!doc.hasComplements());
            const QString copy = dir.filePath(name);
            QString error;
            QVERIFY2(save(copy, &doc, mirrors, &error, dir.path()), qPrintable(error));
            QCOMPARE(fileBytes(copy), fileBytes(samples.filePath(name)));
        }
    }

    // Stored labels are drawn from their digest: it carries the complements.
    void digestCarriesComplements()
    {
        const QStringList lines = serialize(withEveryComplement(), newMirrors());
        LabelDigest digest;
        QVERIFY(digest.read(lines, false).ok());
        QCOMPARE(digest.quantity, QStringLiteral("1 L"));
        QCOMPARE(digest.capacity, QStringLiteral("1"));
        QCOMPARE(digest.ufi, QStringLiteral("GMTT-2SQN-6FDD-6TV1"));
        QCOMPARE(digest.contains, withEveryComplement().contains);
        QCOMPARE(digest.infos, withEveryComplement().infos);
        QCOMPARE(digest.sdsAddress, QStringLiteral("https://fds.example.org/diluant-d12.pdf"));

        LabelDigest plain;
        QVERIFY(plain.read(serialize(newLabel(), newMirrors()), false).ok());
        QVERIFY(plain.ufi.isEmpty() && plain.contains.isEmpty() && plain.sdsAddress.isEmpty());
    }

    void capacityNumbers()
    {
        QCOMPARE(parseCapacity(QStringLiteral("0,5")), std::optional<double>(0.5));
        QCOMPARE(parseCapacity(QStringLiteral("1")), std::optional<double>(1.0));
        QCOMPARE(parseCapacity(QStringLiteral(" 25 ")), std::optional<double>(25.0));
        QCOMPARE(parseCapacity(QStringLiteral("2.5")), std::optional<double>(2.5));
        for (const char *bad : {"", "1 L", "-1", "1,2,3", ",", "1e3", "inf", "½", "٣"})
            QVERIFY2(!parseCapacity(QString::fromUtf8(bad)), bad);
    }
};

QTEST_GUILESS_MAIN(TestComplements)
#include "test_complements.moc"

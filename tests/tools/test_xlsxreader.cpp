// The .xlsx reader on workbooks the test builds: shared, rich and inline
// strings, line breaks inside cells, gaps, then every way a file can be
// wrong (not a zip, cut, damaged, expanding too far, parts missing, broken
// XML) refused with a French message.

#include "xlsxbuilder.h"

#include "tools/xlsxreader.h"

#include <QTest>
#include <QtEndian>

using XlsxBuilder::Entries;

namespace {

// Sets the uncompressed size that the zip's central directory (and the local
// header) declare for `name`.
QByteArray withDeclaredSize(QByteArray bytes, const QByteArray &name, quint32 size)
{
    for (const QByteArray &signature : {QByteArray("PK\x01\x02", 4), QByteArray("PK\x03\x04", 4)}) {
        const bool central = signature.at(2) == 1;
        const int nameLengthAt = central ? 28 : 26;
        const int nameAt = central ? 46 : 30;
        const int sizeAt = central ? 24 : 22;
        for (qsizetype at = bytes.indexOf(signature); at >= 0; at = bytes.indexOf(signature, at + 4)) {
            const quint16 length = qFromLittleEndian<quint16>(bytes.constData() + at + nameLengthAt);
            if (bytes.mid(at + nameAt, length) == name)
                qToLittleEndian<quint32>(size, bytes.data() + at + sizeAt);
        }
    }
    return bytes;
}

Entries replaced(Entries entries, const QString &name, const QByteArray &content)
{
    for (auto &e : entries)
        if (e.first == name)
            e.second = content;
    return entries;
}

Entries without(Entries entries, const QString &name)
{
    entries.removeIf([&](const QPair<QString, QByteArray> &e) { return e.first == name; });
    return entries;
}

const QList<QStringList> kRows = {
    {QStringLiteral("Titre & <notes>")},
    {},
    {QStringLiteral("a"), QString(), QStringLiteral("c1\nc2\n"), QStringLiteral("é ≥ α")},
    {QString(), QStringLiteral("B4")},
};

} // namespace

class TestXlsxReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sharedAndInlineStringsReadAlike_data()
    {
        QTest::addColumn<int>("strings");
        QTest::newRow("shared") << int(XlsxBuilder::Strings::Shared);
        QTest::newRow("inline") << int(XlsxBuilder::Strings::Inline);
    }
    void sharedAndInlineStringsReadAlike()
    {
        QFETCH(int, strings);
        Xlsx::Sheet sheet;
        QString error;
        QVERIFY2(Xlsx::readFirstSheet(XlsxBuilder::xlsx(kRows, XlsxBuilder::Strings(strings)), &sheet, &error),
                 qPrintable(error));
        QCOMPARE(sheet.name, QStringLiteral("CLP Export 1"));
        // The empty row 2 is left out; the others keep their numbers.
        QCOMPARE(sheet.rows.size(), 3);
        QCOMPARE(sheet.rows.at(0).number, 1);
        QCOMPARE(sheet.rows.at(0).cells, QStringList{QStringLiteral("Titre & <notes>")});
        QCOMPARE(sheet.rows.at(1).number, 3);
        QCOMPARE(sheet.rows.at(1).cells, (QStringList{QStringLiteral("a"), QString(), QStringLiteral("c1\nc2\n"),
                                                      QStringLiteral("é ≥ α")}));
        QCOMPARE(sheet.rows.at(2).number, 4);
        QCOMPARE(sheet.rows.at(2).cell(0), QString());
        QCOMPARE(sheet.rows.at(2).cell(1), QStringLiteral("B4"));
        QCOMPARE(sheet.rows.at(2).cell(7), QString());
    }

    // Rich strings in runs, phonetic runs left out, the format's escapes and
    // CR LF line ends (a surrogate pair escaped in two, a lone half kept as
    // written), numbers, cells without a reference, an absolute target.
    void handWrittenParts()
    {
        Entries entries = XlsxBuilder::workbook({{QStringLiteral("x")}}, XlsxBuilder::Strings::Shared,
                                                QStringLiteral("/xl/worksheets/autre.xml"));
        entries = replaced(entries, QStringLiteral("xl/sharedStrings.xml"),
                           "<sst><si><r><t>Acute </t></r><r><rPr><b/></rPr><t>Tox. 3 *</t></r>"
                           "<rPh><t>PHONETIC</t></rPh></si>"
                           "<si><t>H331_x000D_\nH314\r\nH335</t></si></sst>");
        entries = replaced(entries, QStringLiteral("xl/worksheets/autre.xml"),
                           "<worksheet><sheetData>"
                           "<row r=\"6\"><c t=\"s\"><v>1</v></c><c t=\"s\"><v>0</v></c><c><v>42.5</v></c>"
                           "<c r=\"AA6\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c></row>"
                           "<row><c r=\"B7\" t=\"s\"><f>x</f><v>0</v></c></row>"
                           "<row><c t=\"inlineStr\"><is><t>_xD835__xDEFC_ _xD800_ _xDEFC__xD835_</t></is></c></row>"
                           "</sheetData></worksheet>");
        Xlsx::Sheet sheet;
        QString error;
        QVERIFY2(Xlsx::readFirstSheet(XlsxBuilder::zip(entries), &sheet, &error), qPrintable(error));
        QCOMPARE(sheet.rows.size(), 3);
        QCOMPARE(sheet.rows.at(0).number, 6);
        QCOMPARE(sheet.rows.at(0).cell(0), QStringLiteral("H331\nH314\nH335"));
        QCOMPARE(sheet.rows.at(0).cell(1), QStringLiteral("Acute Tox. 3 *"));
        QCOMPARE(sheet.rows.at(0).cell(2), QStringLiteral("42.5"));
        QCOMPARE(sheet.rows.at(0).cells.size(), 27);
        QCOMPARE(sheet.rows.at(0).cell(26), QStringLiteral("inline"));
        QCOMPARE(sheet.rows.at(1).number, 7);
        QCOMPARE(sheet.rows.at(1).cell(1), QStringLiteral("Acute Tox. 3 *"));
        QCOMPARE(sheet.rows.at(2).cell(0), QString::fromUtf8("\U0001D6FC _xD800_ _xDEFC__xD835_"));
    }

    void columnNames()
    {
        QCOMPARE(Xlsx::columnOf(QStringLiteral("A1")), 0);
        QCOMPARE(Xlsx::columnOf(QStringLiteral("L4340")), 11);
        QCOMPARE(Xlsx::columnOf(QStringLiteral("AA6")), 26);
        QCOMPARE(Xlsx::columnOf(QStringLiteral("XFD1")), 16383);
        QCOMPARE(Xlsx::columnOf(QStringLiteral("7")), -1);
    }

    void brokenFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const Entries good = XlsxBuilder::workbook(kRows);
        const QByteArray zip = XlsxBuilder::zip(good);

        QTest::newRow("not a zip") << QByteArray("Index No;EC No\r\n") << QStringLiteral("archive zip est tronquée");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("archive zip est tronquée");
        QTest::newRow("cut in half") << zip.left(zip.size() / 2) << QStringLiteral("archive zip est tronquée");
        QTest::newRow("cut before the end") << zip.chopped(10) << QStringLiteral("archive zip est tronquée");

        // A sheet large enough to damage its deflated bytes in the middle.
        QList<QStringList> many;
        for (int i = 0; i < 400; ++i)
            many.append({QStringLiteral("%1-%2").arg(i * 7919).arg(i), QStringLiteral("substance %1").arg(i * 31)});
        QByteArray damaged = XlsxBuilder::xlsx(many, XlsxBuilder::Strings::Inline);
        const qsizetype sheetAt = damaged.indexOf("xl/worksheets/sheet1.xml") + 200;
        for (int i = 0; i < 64; ++i)
            damaged[sheetAt + i] = char(damaged.at(sheetAt + i) ^ 0x5A);
        QTest::newRow("damaged data") << damaged << QStringLiteral("ne se décompresse pas");

        QTest::newRow("declared 300 MB")
            << withDeclaredSize(zip, "xl/worksheets/sheet1.xml", 300u << 20)
            << QStringLiteral("se décompresserait en plus de 200 Mo (entrée « xl/worksheets/sheet1.xml »)");
        QTest::newRow("no workbook") << XlsxBuilder::zip(without(good, QStringLiteral("xl/workbook.xml")))
                                     << QStringLiteral("il lui manque « xl/workbook.xml »");
        QTest::newRow("no sheet part")
            << XlsxBuilder::zip(without(good, QStringLiteral("xl/worksheets/sheet1.xml")))
            << QStringLiteral("il lui manque « xl/worksheets/sheet1.xml »");
        QTest::newRow("no sheet listed")
            << XlsxBuilder::zip(replaced(good, QStringLiteral("xl/workbook.xml"), "<workbook><sheets/></workbook>"))
            << QStringLiteral("aucune feuille");
        QTest::newRow("broken XML")
            << XlsxBuilder::zip(replaced(good, QStringLiteral("xl/worksheets/sheet1.xml"),
                                         "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</c></row>"))
            << QStringLiteral("« xl/worksheets/sheet1.xml » n'est pas du XML valide (ligne 1)");
        QTest::newRow("entities")
            << XlsxBuilder::zip(replaced(good, QStringLiteral("xl/sharedStrings.xml"),
                                         "<?xml version=\"1.0\"?>\n<!DOCTYPE sst [<!ENTITY a \"aaaaaaaa\">"
                                         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n<sst><si><t>&b;</t></si></sst>"))
            << QStringLiteral("« xl/sharedStrings.xml » n'est pas du XML valide (ligne 2)");
        QTest::newRow("shared string out of range")
            << XlsxBuilder::zip(replaced(good, QStringLiteral("xl/worksheets/sheet1.xml"),
                                         "<worksheet><sheetData><row r=\"9\"><c r=\"C9\" t=\"s\"><v>99</v></c>"
                                         "</row></sheetData></worksheet>"))
            << QStringLiteral("la cellule C9 renvoie à la chaîne partagée n° 99, qui n'existe pas");
        QTest::newRow("cell past the last column")
            << XlsxBuilder::zip(replaced(good, QStringLiteral("xl/worksheets/sheet1.xml"),
                                         "<worksheet><sheetData><row r=\"1\"><c r=\"ZZZZ1\" t=\"inlineStr\">"
                                         "<is><t>x</t></is></c></row></sheetData></worksheet>"))
            << QStringLiteral("cellule mal placée (« ZZZZ1 »");
    }
    void brokenFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        Xlsx::Sheet sheet;
        QString error;
        QVERIFY(!Xlsx::readFirstSheet(bytes, &sheet, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(sheet.rows.isEmpty());
    }

    // A zip that declares a small part but expands to more than allowed is
    // stopped by counting the bytes as they come.
    void expansionIsCountedNotTrusted()
    {
        const QByteArray big = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>"
                               + QByteArray(3 << 20, 'a') + "</t></is></c></row></sheetData></worksheet>";
        Entries entries = replaced(XlsxBuilder::workbook(kRows), QStringLiteral("xl/worksheets/sheet1.xml"), big);
        const QByteArray lying = withDeclaredSize(XlsxBuilder::zip(entries), "xl/worksheets/sheet1.xml", 100);
        QVERIFY(lying.size() < (1 << 20));
        Xlsx::Sheet sheet;
        QString error;
        QVERIFY(!Xlsx::readFirstSheet(lying, &sheet, &error, 1 << 20));
        QVERIFY2(error.contains(QStringLiteral("plus de 1 Mo")) || error.contains(QStringLiteral("ne se décompresse pas")),
                 qPrintable(error));
        // The honest zip is refused by its declared size, and read under a larger limit.
        QVERIFY(!Xlsx::readFirstSheet(XlsxBuilder::zip(entries), &sheet, &error, 1 << 20));
        QVERIFY2(error.contains(QStringLiteral("plus de 1 Mo")), qPrintable(error));
        QVERIFY2(Xlsx::readFirstSheet(XlsxBuilder::zip(entries), &sheet, &error, 8 << 20), qPrintable(error));
        QCOMPARE(sheet.rows.value(0).cell(0).size(), 3 << 20);
    }

    void missingFileIsSaid()
    {
        Xlsx::Sheet sheet;
        QString error;
        QVERIFY(!Xlsx::readFirstSheet(QStringLiteral("absent/annexe.xlsx"), &sheet, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestXlsxReader)
#include "test_xlsxreader.moc"

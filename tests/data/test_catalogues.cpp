// Checks the shipped phrase catalogues ("H.txt", "P.txt", "EUH.txt") and the
// nine pictogram suggestion files ("HP1" ... "HP9") byte by byte.
//
// Order of a catalogue: each line's code gives a key, the consecutive keys must
// rise.
// - H and P: the key is the list of the three-digit statement numbers of the
//   code, in the order they are written (H300+H310+H330 -> 300, 310, 330;
//   P370+P380+P375[+P378] -> 370, 380, 375, 378). Keys compare
//   lexicographically, a key that is the beginning of a longer one coming
//   first, so every combined statement follows the single statement of its
//   first member: H300, H300+H310, H300+H310+H330, H300+H330, H301 ...
// - EUH: the key starts with the section of the regulation's supplementary
//   statements the number belongs to (physical properties 014 018 019 044;
//   health properties the other numbers below 100 and 380-399; environmental
//   properties 430-499; certain mixtures 200-299; plant protection products
//   401), then the number.
// - Equal keys are allowed only for the lettered variants of one statement
//   (H360, H360F, H360D ...; EUH201, EUH201A): the plain code comes first and
//   each following line with the same key carries a letter suffix.

#include "shell/textfile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

QByteArray readData(const QString &name)
{
    QFile f(QStringLiteral(KALVANE_DATA_DIR "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The lines of a file written with CR LF after every line. Bytes that break
// that rule stay inside the lines, where the character checks find them.
QList<QByteArray> crlfLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

QByteArray codeOf(const QByteArray &line)
{
    const int colon = line.indexOf(':');
    return colon < 0 ? QByteArray() : line.left(colon);
}

// Bytes that Windows-1252 leaves undefined, and control characters.
bool badByte(uchar c)
{
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

int euhSection(int n)
{
    if (n == 14 || n == 18 || n == 19 || n == 44)
        return 0;
    if (n < 100 || (n >= 380 && n < 400))
        return 1;
    if (n >= 430 && n < 500)
        return 2;
    if (n >= 200 && n < 300)
        return 3;
    if (n == 401)
        return 4;
    return -1;
}

struct OrderKey
{
    QList<int> numbers;
    bool lettered = false; // the code ends with a letter suffix (H360F, EUH201A)
};

OrderKey orderKey(const QByteArray &code)
{
    OrderKey key;
    static const QRegularExpression number(QStringLiteral("\\d{3}"));
    const QString text = QString::fromLatin1(code);
    auto it = number.globalMatch(text);
    while (it.hasNext())
        key.numbers.append(it.next().captured().toInt());
    if (text.startsWith(QLatin1String("EUH")) && !key.numbers.isEmpty())
        key.numbers.prepend(euhSection(key.numbers.first()));
    key.lettered = !text.isEmpty() && text.back().isLetter();
    return key;
}

// True when a line with code `b` may follow a line with code `a`.
bool mayFollow(const QByteArray &a, const QByteArray &b)
{
    const OrderKey ka = orderKey(a);
    const OrderKey kb = orderKey(b);
    if (ka.numbers == kb.numbers)
        return kb.lettered;
    return std::lexicographical_compare(ka.numbers.begin(), ka.numbers.end(), kb.numbers.begin(),
                                        kb.numbers.end());
}

QSet<QByteArray> catalogueCodes(const QString &name)
{
    QSet<QByteArray> codes;
    for (const QByteArray &line : crlfLines(readData(name)))
        codes.insert(codeOf(line));
    return codes;
}

const char *const kHPattern = "^H\\d{3}[A-Za-z]*(\\+H\\d{3}[A-Za-z]*)*$";
const char *const kPPattern = "^P\\d{3}(\\+P\\d{3})*(\\[\\+P\\d{3}\\])?$";
const char *const kEuhPattern = "^EUH\\d{3}A?$";

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

private:
    void catalogueRows()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("H") << QStringLiteral("H.txt") << QString::fromLatin1(kHPattern) << 91;
        QTest::newRow("P") << QStringLiteral("P.txt") << QString::fromLatin1(kPPattern) << 129;
        QTest::newRow("EUH") << QStringLiteral("EUH.txt") << QString::fromLatin1(kEuhPattern) << 33;
    }

    void suggestionRows()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lineCount");
        const int counts[9] = {25, 57, 14, 6, 18, 35, 34, 39, 6};
        for (int i = 0; i < 9; ++i) {
            const QString name = QStringLiteral("HP%1").arg(i + 1);
            QTest::newRow(qPrintable(name)) << name << counts[i];
        }
    }

    // Every line ends with CR LF, the last one included; no lone CR or LF.
    static void checkLineEndings(const QByteArray &bytes)
    {
        QVERIFY2(!bytes.isEmpty(), "missing or empty file");
        QVERIFY2(bytes.endsWith("\r\n"), "the last line does not end with CR LF");
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r')
                QVERIFY2(i + 1 < bytes.size() && bytes[i + 1] == '\n',
                         qPrintable(QStringLiteral("lone CR at byte %1").arg(i)));
            if (bytes[i] == '\n')
                QVERIFY2(i > 0 && bytes[i - 1] == '\r',
                         qPrintable(QStringLiteral("lone LF at byte %1").arg(i)));
        }
    }

private Q_SLOTS:
    // The ordering rule itself, on cases where it must accept and refuse.
    void orderRule_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("single then its combination") << QByteArray("H300") << QByteArray("H300+H310") << true;
        QTest::newRow("pair then triple") << QByteArray("H300+H310") << QByteArray("H300+H310+H330") << true;
        QTest::newRow("triple then later pair") << QByteArray("H300+H310+H330") << QByteArray("H300+H330") << true;
        QTest::newRow("combination then next single") << QByteArray("H300+H330") << QByteArray("H301") << true;
        QTest::newRow("combination before its first member") << QByteArray("H300+H310") << QByteArray("H300") << false;
        QTest::newRow("numbers going down") << QByteArray("H226") << QByteArray("H225") << false;
        QTest::newRow("plain then variant") << QByteArray("H360") << QByteArray("H360F") << true;
        QTest::newRow("variant then variant") << QByteArray("H360FD") << QByteArray("H360Fd") << true;
        QTest::newRow("variant then plain") << QByteArray("H360F") << QByteArray("H360") << false;
        QTest::newRow("same code twice") << QByteArray("P201") << QByteArray("P201") << false;
        QTest::newRow("bracketed member last") << QByteArray("P370+P380+P375") << QByteArray("P370+P380+P375[+P378]") << true;
        QTest::newRow("EUH physical then health") << QByteArray("EUH044") << QByteArray("EUH029") << true;
        QTest::newRow("EUH health then physical") << QByteArray("EUH029") << QByteArray("EUH044") << false;
        QTest::newRow("EUH endocrine after health") << QByteArray("EUH071") << QByteArray("EUH380") << true;
        QTest::newRow("EUH environment before mixtures") << QByteArray("EUH451") << QByteArray("EUH201") << true;
        QTest::newRow("EUH mixtures before environment") << QByteArray("EUH201") << QByteArray("EUH430") << false;
        QTest::newRow("EUH lettered variant") << QByteArray("EUH209") << QByteArray("EUH209A") << true;
        QTest::newRow("EUH401 last") << QByteArray("EUH212") << QByteArray("EUH401") << true;
    }

    void orderRule()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, allowed);
        QCOMPARE(mayFollow(before, after), allowed);
    }

    void catalogueLineEndings_data() { catalogueRows(); }
    void catalogueLineEndings()
    {
        QFETCH(QString, file);
        checkLineEndings(readData(file));
    }

    // Only bytes defined in Windows-1252, no control character inside a line.
    void catalogueCharacters_data() { catalogueRows(); }
    void catalogueCharacters()
    {
        QFETCH(QString, file);
        const QList<QByteArray> lines = crlfLines(readData(file));
        QVERIFY(!lines.isEmpty());
        for (int n = 0; n < lines.size(); ++n)
            for (const char c : lines[n])
                QVERIFY2(!badByte(uchar(c)),
                         qPrintable(QStringLiteral("line %1: byte 0x%2 is not allowed")
                                        .arg(n + 1)
                                        .arg(uchar(c), 2, 16, QLatin1Char('0'))));
    }

    // CODE, a colon, one blank, then the wording; the code in capitals with
    // the catalogue's pattern and no blank before the colon.
    void catalogueLineShape_data() { catalogueRows(); }
    void catalogueLineShape()
    {
        QFETCH(QString, file);
        QFETCH(QString, pattern);
        const QRegularExpression codePattern(pattern);
        QVERIFY(codePattern.isValid());
        const QList<QByteArray> lines = crlfLines(readData(file));
        QVERIFY(!lines.isEmpty());
        for (int n = 0; n < lines.size(); ++n) {
            const QByteArray &line = lines[n];
            const QString where = QStringLiteral("line %1 (%2)").arg(n + 1).arg(TextFile::decode(line.left(30)));
            const int colon = line.indexOf(':');
            QVERIFY2(colon > 0, qPrintable(where + QStringLiteral(": no code before a colon")));
            QVERIFY2(line[colon - 1] != ' ', qPrintable(where + QStringLiteral(": blank before the colon")));
            QVERIFY2(codePattern.match(QString::fromLatin1(line.left(colon))).hasMatch(),
                     qPrintable(where + QStringLiteral(": code does not match ") + pattern));
            QVERIFY2(line.mid(colon, 2) == ": ", qPrintable(where + QStringLiteral(": the colon is not followed by a blank")));
            QVERIFY2(line.size() > colon + 2 && line[colon + 2] != ' ',
                     qPrintable(where + QStringLiteral(": no wording, or more than one blank after the colon")));
            QVERIFY2(!line.endsWith(' '), qPrintable(where + QStringLiteral(": trailing blank")));
            // A wording ends as a sentence, a heading (colon), a placeholder (…)
            // or a bracketed optional part; anything else is a cut line.
            const char last = line.back();
            QVERIFY2(last == '.' || last == ':' || last == '\x85' || last == ']',
                     qPrintable(where + QStringLiteral(": the wording looks cut off")));
        }
    }

    void catalogueUniqueCodes_data() { catalogueRows(); }
    void catalogueUniqueCodes()
    {
        QFETCH(QString, file);
        QSet<QByteArray> seen;
        for (const QByteArray &line : crlfLines(readData(file))) {
            const QByteArray code = codeOf(line);
            QVERIFY2(!seen.contains(code), qPrintable(QStringLiteral("duplicate code ") + QString::fromLatin1(code)));
            seen.insert(code);
        }
        QVERIFY(!seen.isEmpty());
    }

    void catalogueOrder_data() { catalogueRows(); }
    void catalogueOrder()
    {
        QFETCH(QString, file);
        const QList<QByteArray> lines = crlfLines(readData(file));
        QVERIFY(!lines.isEmpty());
        for (int n = 1; n < lines.size(); ++n) {
            const QByteArray a = codeOf(lines[n - 1]);
            const QByteArray b = codeOf(lines[n]);
            QVERIFY2(mayFollow(a, b), qPrintable(QStringLiteral("line %1: %2 may not follow %3")
                                                     .arg(n + 1)
                                                     .arg(QString::fromLatin1(b), QString::fromLatin1(a))));
        }
        if (file == QLatin1String("EUH.txt"))
            for (const QByteArray &line : lines)
                QVERIFY2(orderKey(codeOf(line)).numbers.value(0, -1) >= 0,
                         qPrintable(QStringLiteral("no section for ") + QString::fromLatin1(codeOf(line))));
    }

    void catalogueLineCount_data() { catalogueRows(); }
    void catalogueLineCount()
    {
        QFETCH(QString, file);
        QFETCH(int, lineCount);
        QCOMPARE(crlfLines(readData(file)).size(), lineCount);
    }

    // The program's own reader must see one item per line: no byte of a
    // wording (the ellipsis 0x85 for one) may pass for a line break, and the
    // wording must come back as the French text.
    void catalogueThroughReader_data() { catalogueRows(); }
    void catalogueThroughReader()
    {
        QFETCH(QString, file);
        QFETCH(int, lineCount);
        QStringList items;
        QVERIFY(TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/") + file, &items));
        QCOMPARE(items.size(), lineCount);
        const QList<QByteArray> raw = crlfLines(readData(file));
        for (int n = 0; n < items.size(); ++n)
            QCOMPARE(items[n].section(QLatin1Char(':'), 0, 0), QString::fromLatin1(codeOf(raw[n])));
    }

    void catalogueSampleWording()
    {
        // One line per catalogue, read back as text, pins the encoding of the
        // accents, the typographic apostrophe, the ligature and the ellipsis.
        const QStringList h = TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/H.txt"));
        QVERIFY(h.contains(QString::fromUtf8("H360D: Peut nuire au fœtus.")));
        QVERIFY(h.contains(QString::fromUtf8("H225: Liquide et vapeurs très inflammables.")));
        const QStringList p = TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/P.txt"));
        QVERIFY(p.contains(QString::fromUtf8("P501: Éliminer le contenu/récipient dans …")));
        const QStringList euh = TextFile::readLines(QStringLiteral(KALVANE_DATA_DIR "/EUH.txt"));
        QVERIFY(euh.contains(QString::fromUtf8("EUH014: Réagit violemment au contact de l’eau.")));
    }

    void suggestionFile_data() { suggestionRows(); }
    void suggestionFile()
    {
        QFETCH(QString, file);
        QFETCH(int, lineCount);
        const QByteArray bytes = readData(file);
        checkLineEndings(bytes);
        if (QTest::currentTestFailed())
            return;

        static const QSet<QByteArray> hCodes = catalogueCodes(QStringLiteral("H.txt"));
        static const QSet<QByteArray> pCodes = catalogueCodes(QStringLiteral("P.txt"));
        QVERIFY(!hCodes.isEmpty() && !pCodes.isEmpty());

        const QList<QByteArray> lines = crlfLines(bytes);
        QSet<QByteArray> seen;
        bool inP = false;
        int hCount = 0;
        for (const QByteArray &line : lines) {
            const QString code = QString::fromLatin1(line);
            QVERIFY2(!seen.contains(line), qPrintable(QStringLiteral("duplicate ") + code));
            seen.insert(line);
            if (line.startsWith('H')) {
                QVERIFY2(!inP, qPrintable(code + QStringLiteral(" comes after the P codes")));
                QVERIFY2(hCodes.contains(line), qPrintable(code + QStringLiteral(" is not a code of H.txt")));
                ++hCount;
            } else {
                QVERIFY2(line.startsWith('P'), qPrintable(QStringLiteral("not an H or P code: ") + code));
                QVERIFY2(pCodes.contains(line), qPrintable(code + QStringLiteral(" is not a code of P.txt")));
                inP = true;
            }
        }
        QVERIFY2(hCount > 0 && inP, "a suggestion file needs H and P codes");
        QCOMPARE(lines.size(), lineCount);
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "test_catalogues.moc"

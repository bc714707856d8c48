#include "editor/catalogue.h"
#include "editor/suggestions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using Suggestions::FileLines;

namespace {

StatementList hazards()
{
    return Catalogue::toStatements({"H200: Explosif instable.", "H300 : Mortel en cas d'ingestion.",
                                    "H314: Provoque des brûlures.", "H314: second wording, never offered",
                                    "h319: written in lower case", "sans code"});
}

StatementList precautions()
{
    return Catalogue::toStatements({"P280: Porter des gants.", "P301+P330+P331: EN CAS D'INGESTION: rincer la bouche.",
                                    "P210: Tenir à l'écart de la chaleur."});
}

QStringList texts(const Suggestions::Lines &lines)
{
    QStringList out;
    for (const auto &l : lines)
        out << l.text;
    return out;
}

} // namespace

class TestSuggestions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsLinesByTheTextRules();
    void refusesWhatIsNoWindows1252Text_data();
    void refusesWhatIsNoWindows1252Text();
    void refusesHugeFilesWithoutReadingThem();
    void missingAndSpecialFiles();
    void codesMatchExactly();
    void buildSortsTicksAndDropsRepeats();
    void applyCarriesMarksToEqualStatementsOnly();
    void placementStaysOnScreen();
    void placementAvoidsThePreview();
};

void TestSuggestions::readsLinesByTheTextRules()
{
    QCOMPARE(Suggestions::fileName(5), QStringLiteral("HP5"));
    FileLines f = Suggestions::parse("H290\r\nP280\nP301+P330+P331\rH314", "HP5");
    QVERIFY(f.ok());
    QVERIFY(f.message.isEmpty());
    QCOMPARE(f.lines, (QStringList{"H290", "P280", "P301+P330+P331", "H314"}));

    // Windows-1252 accents and a tab are text; NUL bytes may pad the end.
    f = Suggestions::parse(QByteArray("H290\r\nRemarque : \xe9tiquette\t\x80\r\n\0\0\0", 32), "HP5");
    QVERIFY(f.ok());
    QCOMPARE(f.lines, (QStringList{"H290", QStringLiteral("Remarque : étiquette\t€")}));

    f = Suggestions::parse(QByteArray(), "HP5");
    QVERIFY(f.ok());
    QVERIFY(f.lines.isEmpty());

    // The same through a file.
    QTemporaryDir dir;
    QFile file(dir.filePath("HP7"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("H302\r\nP264\r\n");
    file.close();
    f = Suggestions::read(dir.filePath("HP7"));
    QVERIFY(f.ok());
    QCOMPARE(f.lines, (QStringList{"H302", "P264"}));
}

void TestSuggestions::refusesWhatIsNoWindows1252Text_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("detail");
    QTest::newRow("picture") << QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0\x01", 12) << int(FileLines::NotText) << "";
    QTest::newRow("NUL then text") << QByteArray("H290\r\n\0P280\r\n", 13) << int(FileLines::NotText) << "";
    QTest::newRow("control byte") << QByteArray("H290\x01\x02\r\n") << int(FileLines::NotText) << "";
    QTest::newRow("DEL byte") << QByteArray("H290\x7f\r\n") << int(FileLines::NotText) << "";
    QTest::newRow("UTF-16 without mark") << QByteArray("H\0""2\0""9\0""0\0", 8) << int(FileLines::NotText) << "";
    QTest::newRow("UTF-16 mark") << QByteArray("\xff\xfeH\0", 4) << int(FileLines::NotAnsi) << "UTF-16";
    QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbfH290\r\n") << int(FileLines::NotAnsi) << "UTF-8";
    QTest::newRow("UTF-8 accents") << QByteArray("H290\r\nRemarque : \xc3\xa9tiquette\r\n") << int(FileLines::NotAnsi)
                                   << "UTF-8";
    QTest::newRow("undefined byte") << QByteArray("H290 \xe9t\xe9 \x81\r\n") << int(FileLines::NotAnsi)
                                    << "octet 0x81 non défini";
    QTest::newRow("too many lines") << QByteArray(Suggestions::kMaxLines + 1, '\n') << int(FileLines::TooManyLines)
                                    << "";
    QTest::newRow("too many bytes") << QByteArray(Suggestions::kMaxBytes + 1, 'H') << int(FileLines::TooLarge) << "";
}

void TestSuggestions::refusesWhatIsNoWindows1252Text()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(QString, detail);
    const FileLines f = Suggestions::parse(bytes, QStringLiteral("HP3"));
    QCOMPARE(int(f.status), status);
    QVERIFY(f.lines.isEmpty());
    QVERIFY2(f.message.contains(QStringLiteral("'' HP3 ''")), qPrintable(f.message));
    QVERIFY(f.message.endsWith(QStringLiteral("\nAucune suggestion possible!")));
    QVERIFY2(f.message.contains(detail), qPrintable(f.message));

    // Just under the limits is still accepted.
    QVERIFY(Suggestions::parse(QByteArray(Suggestions::kMaxLines, '\n'), "HP3").ok());
}

void TestSuggestions::refusesHugeFilesWithoutReadingThem()
{
    QTemporaryDir dir;
    QFile huge(dir.filePath("HP1"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(qint64(4) * 1024 * 1024 * 1024)); // sparse: 4 GiB of NUL bytes
    huge.close();
    const FileLines f = Suggestions::read(dir.filePath("HP1"));
    QCOMPARE(f.status, FileLines::TooLarge);
    QVERIFY2(f.message.contains(QStringLiteral("4294967296 octets")), qPrintable(f.message));
    QVERIFY(f.lines.isEmpty());
}

void TestSuggestions::missingAndSpecialFiles()
{
    QTemporaryDir dir;
    FileLines f = Suggestions::read(dir.filePath("HP5"));
    QCOMPARE(f.status, FileLines::Missing);
    QCOMPARE(f.message, QStringLiteral("Les fichiers '' HPx '' sont introuvables.\nAucune suggestion possible!"));

    // A folder, a pipe with no writer (opening it would wait for ever) and a
    // link to an endless device are refused without being read.
    QVERIFY(QDir(dir.path()).mkdir("HP2"));
    f = Suggestions::read(dir.filePath("HP2"));
    QCOMPARE(f.status, FileLines::Unreadable);
    QCOMPARE(f.message, Suggestions::kUnreadable.arg("HP2"));

    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("HP3")).constData(), 0600), 0);
    QCOMPARE(Suggestions::read(dir.filePath("HP3")).status, FileLines::Unreadable);

    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath("HP4")));
    QCOMPARE(Suggestions::read(dir.filePath("HP4")).status, FileLines::Unreadable);

    // A link to a real suggestion file is followed.
    QFile target(dir.filePath("real"));
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.write("H400\r\n");
    target.close();
    QVERIFY(QFile::link(dir.filePath("real"), dir.filePath("HP9")));
    QCOMPARE(Suggestions::read(dir.filePath("HP9")).lines, QStringList{"H400"});
}

void TestSuggestions::codesMatchExactly()
{
    const StatementList h = hazards();
    const StatementList p = precautions();
    QCOMPARE(Suggestions::resolveLine("H200", h, p), QStringLiteral("H200: Explosif instable."));
    QCOMPARE(Suggestions::resolveLine("P301+P330+P331", h, p),
             QStringLiteral("P301+P330+P331: EN CAS D'INGESTION: rincer la bouche."));
    // The first statement with the code wins.
    QCOMPARE(Suggestions::resolveLine("H314", h, p), QStringLiteral("H314: Provoque des brûlures."));
    // The catalogue's code keeps its blank before the colon: without it, no match.
    QCOMPARE(Suggestions::resolveLine("H300", h, p), QStringLiteral("H300"));
    QCOMPARE(Suggestions::resolveLine("H300 ", h, p), QStringLiteral("H300 : Mortel en cas d'ingestion."));
    // Case, surrounding blanks and parts of a combined code all count.
    QCOMPARE(Suggestions::resolveLine("h200", h, p), QStringLiteral("h200"));
    QCOMPARE(Suggestions::resolveLine("H319", h, p), QStringLiteral("H319"));
    QCOMPARE(Suggestions::resolveLine(" H200", h, p), QStringLiteral(" H200"));
    QCOMPARE(Suggestions::resolveLine("P301", h, p), QStringLiteral("P301"));
    // A whole statement line is not a code.
    QCOMPARE(Suggestions::resolveLine("P280: Porter des gants.", h, p), QStringLiteral("P280: Porter des gants."));
    // Only the lists given are consulted (never the supplementary statements).
    QCOMPARE(Suggestions::resolveLine("EUH066", h, p), QStringLiteral("EUH066"));
}

void TestSuggestions::buildSortsTicksAndDropsRepeats()
{
    StatementList h = hazards();
    StatementList p = precautions();
    h[2].ticked = true; // H314
    p[0].ticked = true; // P280
    h[0].ticked = false;
    const QStringList codes = {"P280", "H314", "zz raw line", "H200", "P280", "H999", "H300", "P210"};
    const Suggestions::Lines lines = Suggestions::build(codes, h, p);
    QCOMPARE(texts(lines), (QStringList{"H200: Explosif instable.", "H300", "H314: Provoque des brûlures.", "H999",
                                        "P210: Tenir à l'écart de la chaleur.", "P280: Porter des gants.",
                                        "zz raw line"}));
    QList<bool> ticks;
    for (const auto &l : lines)
        ticks << l.ticked;
    QCOMPARE(ticks, (QList<bool>{false, false, true, false, false, true, false}));

    // Dictionary order without regard to case or accents; a raw line equal to
    // a ticked statement's text is ticked like it.
    p[2].ticked = true;
    const Suggestions::Lines mixed =
        Suggestions::build({"b", "P210: Tenir à l'écart de la chaleur.", "a", "A", "Écart", "eau"}, h, p);
    QCOMPARE(texts(mixed), (QStringList{"A", "a", "b", "eau", "Écart", "P210: Tenir à l'écart de la chaleur."}));
    QVERIFY(mixed.last().ticked);

    // A statement comes before the combined statements that begin with its code.
    const StatementList combined = Catalogue::toStatements(
        {"H302: Nocif en cas d'ingestion.", "H302+H312: Nocif en cas d'ingestion ou de contact cutané.",
         "H302+H312+H332: Nocif en cas d'ingestion, de contact cutané ou d'inhalation."});
    QCOMPARE(texts(Suggestions::build({"H302+H312+H332", "H302+H312", "H302"}, combined, {})),
             (QStringList{"H302: Nocif en cas d'ingestion.", "H302+H312: Nocif en cas d'ingestion ou de contact cutané.",
                          "H302+H312+H332: Nocif en cas d'ingestion, de contact cutané ou d'inhalation."}));
    QVERIFY(Suggestions::build({}, h, p).isEmpty());
}

void TestSuggestions::applyCarriesMarksToEqualStatementsOnly()
{
    StatementList h = hazards();
    h[2].ticked = true; // ticked by hand
    h[5].ticked = true;

    // Unticking a suggestion unticks the statement, even one ticked by hand.
    QList<int> changed = Suggestions::apply({{"H314: Provoque des brûlures.", false}}, &h);
    QCOMPARE(changed, QList<int>{2});
    QVERIFY(!h[2].ticked);
    QVERIFY(h[5].ticked);

    // Ticking several; raw codes and unknown texts touch nothing; a mark that
    // is already right is no change.
    changed = Suggestions::apply({{"H200: Explosif instable.", true},
                                  {"H300", true},
                                  {"H314: Provoque des brûlures.", false},
                                  {"sans code", true}},
                                 &h);
    QCOMPARE(changed, QList<int>{0});
    QVERIFY(h[0].ticked);
    QVERIFY(!h[1].ticked);
    QVERIFY(h[5].ticked);

    // With two equal suggestions the later decides; equal statements all follow.
    StatementList twice = Catalogue::toStatements({"H225: a", "H225: a"});
    changed = Suggestions::apply({{"H225: a", false}, {"H225: a", true}}, &twice);
    QCOMPARE(changed, (QList<int>{0, 1}));
    QVERIFY(twice[0].ticked && twice[1].ticked);

    QVERIFY(Suggestions::apply({}, &h).isEmpty());
}

void TestSuggestions::placementStaysOnScreen()
{
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(231, 260);
    QCOMPARE(Suggestions::place(QRect(QPoint(538, 472), size), screen), QRect(QPoint(538, 472), size));
    // Off the right and bottom edges: moved back inside, flush with them.
    QCOMPARE(Suggestions::place(QRect(QPoint(1500, 900), size), screen), QRect(QPoint(1369, 740), size));
    QCOMPARE(Suggestions::place(QRect(QPoint(-40, -10), size), screen), QRect(QPoint(0, 0), size));
    // A second screen to the right, with a panel at its top.
    const QRect second(1600, 30, 1280, 994);
    QCOMPARE(Suggestions::place(QRect(QPoint(2800, 10), size), second), QRect(QPoint(2649, 30), size));
    // Larger than the screen: its top-left corner stays on the screen's.
    QCOMPARE(Suggestions::place(QRect(QPoint(50, 50), QSize(300, 300)), QRect(0, 0, 200, 200)).topLeft(),
             QPoint(0, 0));
}

void TestSuggestions::placementAvoidsThePreview()
{
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(231, 260);
    const QRect wanted(QPoint(538, 472), size);
    // A preview elsewhere changes nothing.
    QCOMPARE(Suggestions::place(wanted, screen, QRect(1000, 0, 600, 400)), wanted);

    // Over the wanted place: the nearest clear place beside it.
    const QRect preview(400, 300, 656, 490);
    QRect placed = Suggestions::place(wanted, screen, preview);
    QVERIFY(!placed.intersects(preview));
    QVERIFY(screen.contains(placed));
    QCOMPARE(placed, QRect(QPoint(400 - 231, 472), size)); // left of it: the shortest move

    // A wide preview flush with the top: the window goes below it.
    const QRect top(100, 0, 1400, 490);
    placed = Suggestions::place(QRect(QPoint(538, 100), size), screen, top);
    QCOMPARE(placed, QRect(QPoint(538, 490), size));

    // Preview filling the height at the right: the window goes to its left.
    const QRect tall(500, 0, 1100, 1000);
    placed = Suggestions::place(QRect(QPoint(1400, 500), size), screen, tall);
    QCOMPARE(placed, QRect(QPoint(500 - 231, 500), size));

    // No clear place on a small screen: the least covered one, still on it.
    const QRect small(0, 0, 800, 600);
    placed = Suggestions::place(QRect(QPoint(300, 200), size), small, QRect(50, 50, 700, 500));
    QVERIFY(small.contains(placed));
    QVERIFY(placed.intersected(QRect(50, 50, 700, 500)).height() * placed.intersected(QRect(50, 50, 700, 500)).width()
            < size.width() * size.height());
}

QTEST_GUILESS_MAIN(TestSuggestions)
#include "test_suggestions.moc"

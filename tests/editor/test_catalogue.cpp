#include "editor/catalogue.h"
#include "editor/checkdigits.h"

#include <QTest>

class TestCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void statementCode_data();
    void statementCode();
    void summary();
    void prefixSearch();
    void checkDigits_data();
    void checkDigits();
};

void TestCatalogue::statementCode_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("code");
    QTest::newRow("plain") << "H225: Liquide et vapeurs très inflammables." << "H225";
    QTest::newRow("combined") << "P305+P351+P338: EN CAS DE CONTACT AVEC LES YEUX: rincer" << "P305+P351+P338";
    QTest::newRow("blank before colon kept") << "H300 : Mortel en cas d'ingestion." << "H300 ";
    QTest::newRow("no colon") << "Texte libre" << "";
    QTest::newRow("colon first") << ": rien" << "";
    QTest::newRow("empty") << "" << "";
}

void TestCatalogue::statementCode()
{
    QFETCH(QString, line);
    QFETCH(QString, code);
    QCOMPARE(Catalogue::statementCode(line), code);
}

void TestCatalogue::summary()
{
    StatementList h = Catalogue::toStatements({"H225: a", "H300 : b", "H319: c", "sans code"});
    StatementList p = Catalogue::toStatements({"P210: d", "P280: e"});
    StatementList euh = Catalogue::toStatements({"EUH066: f"});
    QCOMPARE(Catalogue::selectionSummary(h, p, euh), QString());

    h[0].ticked = true;
    h[2].ticked = true;
    p[1].ticked = true;
    euh[0].ticked = true;
    QCOMPARE(Catalogue::selectionSummary(h, p, euh), QStringLiteral("H225, H319, P280, EUH066"));

    // Codes keep their trailing blank, and a line without a code adds an empty entry.
    h[0].ticked = false;
    h[1].ticked = true;
    h[3].ticked = true;
    p[1].ticked = false;
    euh[0].ticked = false;
    QCOMPARE(Catalogue::selectionSummary(h, p, euh), QStringLiteral("H300 , H319, "));
}

void TestCatalogue::prefixSearch()
{
    const QStringList items = {"H200: a", "H225: b", "h230: lower", "H290: c", "P210: d"};
    QCOMPARE(Catalogue::prefixSearch(items, QStringLiteral("H2")), 0);
    QCOMPARE(Catalogue::prefixSearch(items, QStringLiteral("H22")), 1);
    QCOMPARE(Catalogue::prefixSearch(items, QStringLiteral("H23")), -1); // written in lower case
    QCOMPARE(Catalogue::prefixSearch(items, QStringLiteral("h")), 2);
    QCOMPARE(Catalogue::prefixSearch(items, QString()), 0);
    QCOMPARE(Catalogue::prefixSearch(items, QStringLiteral("H290: c and more")), -1);
    QCOMPARE(Catalogue::prefixSearch(QStringList{}, QString()), -1);
}

void TestCatalogue::checkDigits_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("EC 200-578-6") << "CE" << "200-578-6" << 6;
    QTest::newRow("EC ethanol without check") << "CE" << "200-578- " << 6;
    QTest::newRow("EC whose sum leaves 10") << "CE" << "200-200-X" << 10;
    QTest::newRow("CAS 64-17-5 right-aligned") << "CAS" << "    64-17-5" << 5;
    QTest::newRow("CAS 7732-18-5") << "CAS" << "  7732-18-5" << 5;
    QTest::newRow("INDEX 603-002-00-5") << "INDEX" << "603-002-00-5" << 5;
    QTest::newRow("INDEX 603-001-00-X") << "INDEX" << "603-001-00-X" << 10;
    QTest::newRow("INDEX 603-002-00-4 expects 5") << "INDEX" << "603-002-00-4" << 5;
    QTest::newRow("INDEX empty") << "INDEX" << "   -   -  - " << 0;
}

void TestCatalogue::checkDigits()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(int, value);
    const int got = kind == "CE" ? CheckDigits::ce(field) : kind == "CAS" ? CheckDigits::cas(field)
                                                                          : CheckDigits::index(field);
    QCOMPARE(got, value);
    QCOMPARE(CheckDigits::charValue(CheckDigits::checkChar(value), true), value);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"

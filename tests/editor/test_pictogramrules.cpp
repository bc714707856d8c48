#include "editor/checkdigits.h"
#include "editor/pictogramrules.h"

#include <QTest>

using PictogramRules::Prompt;

namespace {

// Answers questions from a script and records every prompt as "W:" or "Q:"
// followed by the pictograms it names.
struct Script {
    QList<bool> answers;
    QStringList prompts;
    PictogramRules::Ask ask()
    {
        return [this](const Prompt &p) {
            prompts << (p.kind == Prompt::Warning ? QStringLiteral("W:") : QStringLiteral("Q:")) + p.text;
            if (p.kind == Prompt::Warning)
                return true;
            return answers.isEmpty() ? false : answers.takeFirst();
        };
    }
};

QStringList codes(std::initializer_list<int> ns)
{
    QStringList out;
    for (int n : ns)
        out << QStringLiteral("SGH%1").arg(n, 2, 10, QLatin1Char('0'));
    return out;
}

} // namespace

class TestPictogramRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rules_data();
    void rules();
    void exactTexts();
    void move();
    void verification_data();
    void verification();
};

void TestPictogramRules::rules_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("prompts"); // kinds of the prompts in order
    auto row = [](const char *name, QStringList b, int n, QList<bool> a, QStringList r, const char *k) {
        QTest::newRow(name) << b << n << a << r << QString::fromLatin1(k);
    };
    row("first pictogram", {}, 4, {}, codes({4}), "");
    row("already selected changes nothing", codes({4, 9}), 4, {}, codes({4, 9}), "");
    row("five plus a sixth", codes({1, 4, 5, 8, 9}), 6, {}, codes({1, 4, 5, 8, 9}), "W");
    row("five and one of them", codes({1, 4, 5, 8, 9}), 4, {}, codes({1, 4, 5, 8, 9}), "");
    row("five with SGH07 then SGH06 only warns about five", codes({1, 4, 7, 8, 9}), 6, {}, codes({1, 4, 7, 8, 9}), "W");
    row("SGH02 with SGH03 refused", codes({3}), 2, {}, codes({3}), "W");
    row("SGH03 with SGH02 refused", codes({2}), 3, {}, codes({2}), "W");
    row("SGH01 then SGH02 answered No", codes({1}), 2, {false}, codes({1}), "Q");
    row("SGH01 then SGH02 answered Yes", codes({1}), 2, {true}, codes({1, 2}), "Q");
    row("SGH01 then SGH03 answered Yes", codes({1}), 3, {true}, codes({1, 3}), "Q");
    row("SGH02 then SGH01 then keep", codes({2}), 1, {false}, codes({2, 1}), "Q");
    row("SGH02 then SGH01 then remove", codes({2, 9}), 1, {true}, codes({9, 1}), "Q");
    row("SGH01 alone", codes({9}), 1, {}, codes({9, 1}), "");
    row("SGH05 with SGH07 No", codes({7}), 5, {false}, codes({7}), "Q");
    row("SGH05 with SGH07 Yes", codes({7}), 5, {true}, codes({7, 5}), "Q");
    row("SGH05 alone", {}, 5, {}, codes({5}), "");
    row("SGH06 replaces SGH07 in place", codes({2, 7, 9}), 6, {}, codes({2, 6, 9}), "W");
    row("SGH06 alone", codes({9}), 6, {}, codes({9, 6}), "");
    row("SGH07 with SGH06 refused", codes({6}), 7, {}, codes({6}), "W");
    row("SGH07 with SGH05 and SGH08, No then Yes", codes({5, 8}), 7, {false, true}, codes({5, 8}), "QQ");
    row("SGH07 with SGH05 and SGH08, Yes then No", codes({5, 8}), 7, {true, false}, codes({5, 8}), "QQ");
    row("SGH07 with SGH05 and SGH08, Yes twice", codes({5, 8}), 7, {true, true}, codes({5, 8, 7}), "QQ");
    row("SGH07 with SGH08 Yes", codes({8}), 7, {true}, codes({8, 7}), "Q");
    row("SGH07 alone", {}, 7, {}, codes({7}), "");
    row("SGH08 with SGH07 No", codes({7}), 8, {false}, codes({7}), "Q");
    row("SGH08 with SGH07 Yes", codes({7}), 8, {true}, codes({7, 8}), "Q");
    row("SGH04 and SGH09 always", codes({1, 2}), 9, {}, codes({1, 2, 9}), "");
    row("out of range", codes({1}), 10, {}, codes({1}), "");
}

void TestPictogramRules::rules()
{
    QFETCH(QStringList, before);
    QFETCH(int, clicked);
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, after);
    QFETCH(QString, prompts);
    Script script{answers, {}};
    QCOMPARE(PictogramRules::click(before, clicked, script.ask()), after);
    QString kinds;
    for (const QString &p : script.prompts)
        kinds += p.at(0);
    QCOMPARE(kinds, prompts);
    QVERIFY2(script.answers.isEmpty(), "every scripted answer was asked for");
}

void TestPictogramRules::exactTexts()
{
    Script script{{false, true}, {}};
    PictogramRules::click(codes({5, 8}), 7, script.ask());
    QCOMPARE(script.prompts,
             (QStringList{"Q:Avec le pictogramme SGH05, SGH07 ne doit pas\napparaître pour l'irritation cutanée ou "
                          "oculaire,\nvoulez-vous quand même l'utiliser ?",
                          "Q:Avec le pictogramme SGH08, SGH07 ne doit pas apparaître pour\nla sensibilisation "
                          "cutanée ou l'irritation cutanée et oculaire,\nvoulez-vous quand même l'utiliser ?"}));
    script = Script{{false}, {}};
    PictogramRules::click(codes({2, 3, 4, 5, 6}), 1, script.ask());
    QCOMPARE(script.prompts, QStringList{"W:Le nombre de pictogrammes ne peut dépasser cinq !"});
    script = Script{{}, {}};
    PictogramRules::click(codes({7}), 6, script.ask());
    QCOMPARE(script.prompts,
             QStringList{"W:Le pictogramme SGH06 prime sur SGH07.\nCelui-ci sera remplacé automatiquement!"});
}

void TestPictogramRules::move()
{
    QCOMPARE(PictogramRules::move(codes({1, 2, 3}), 0, 2), codes({2, 3, 1}));
    QCOMPARE(PictogramRules::move(codes({1, 2, 3}), 2, 0), codes({3, 1, 2}));
    QCOMPARE(PictogramRules::move(codes({1, 2, 3}), 1, 1), codes({1, 2, 3}));
    QCOMPARE(PictogramRules::move(codes({1, 2, 3}), 0, 3), codes({1, 2, 3}));
    QCOMPARE(PictogramRules::move(codes({1, 2, 3}), -1, 1), codes({1, 2, 3}));
}

void TestPictogramRules::verification_data()
{
    using IdentificationNumbers::Kind;
    using V = IdentificationNumbers::Verification;
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("corrected");
    QTest::newRow("CE correct") << int(Kind::CE) << "200-578-6" << int(V::Correct) << "";
    QTest::newRow("CE wrong") << int(Kind::CE) << "200-578-7" << int(V::Wrong) << "200-578-6";
    QTest::newRow("CE X expected and typed") << int(Kind::CE) << "200-200-X" << int(V::Correct) << "";
    QTest::newRow("CE X expected, digit typed") << int(Kind::CE) << "200-200-1" << int(V::Wrong) << "200-200-X";
    QTest::newRow("CE all zero cleared") << int(Kind::CE) << "000-000-0" << int(V::Cleared) << "   -   - ";
    QTest::newRow("CE empty") << int(Kind::CE) << "   -   - " << int(V::Empty) << "";
    QTest::newRow("CE incomplete is verified over its digits") << int(Kind::CE) << "2  -   -2" << int(V::Correct) << "";
    QTest::newRow("CAS 64-17-5") << int(Kind::CAS) << "    64-17-5" << int(V::Correct) << "";
    QTest::newRow("CAS X never matches") << int(Kind::CAS) << "    64-17-X" << int(V::Wrong) << "    64-17-5";
    QTest::newRow("CAS zero") << int(Kind::CAS) << "000000-00-0" << int(V::Cleared) << "      -  - ";
    QTest::newRow("INDEX 603-002-00-5") << int(Kind::INDEX) << "603-002-00-5" << int(V::Correct) << "";
    QTest::newRow("INDEX 603-001-00-X") << int(Kind::INDEX) << "603-001-00-X" << int(V::Correct) << "";
    QTest::newRow("INDEX 603-002-00-4") << int(Kind::INDEX) << "603-002-00-4" << int(V::Wrong) << "603-002-00-5";
    QTest::newRow("INDEX missing check") << int(Kind::INDEX) << "603-002-00- " << int(V::Wrong) << "603-002-00-5";
}

void TestPictogramRules::verification()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(int, result);
    QFETCH(QString, corrected);
    const auto v = IdentificationNumbers::verify(IdentificationNumbers::Kind(kind), text);
    QCOMPARE(int(v.result), result);
    if (!corrected.isEmpty())
        QCOMPARE(v.corrected, corrected);
}

QTEST_GUILESS_MAIN(TestPictogramRules)
#include "test_pictogramrules.moc"

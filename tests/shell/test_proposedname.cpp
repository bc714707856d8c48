// The file name proposed for a new label, made from its product name.

#include "shell/proposedname.h"

#include <QTest>

class TestProposedName : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void names_data();
    void names();
    void longNamesAreCutAtABlank();
};

void TestProposedName::names_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("first line") << QStringLiteral("ACIDE SULFURIQUE 96 %\nSolution aqueuse")
                                << QStringLiteral("ACIDE SULFURIQUE 96 %");
    QTest::newRow("CR LF") << QStringLiteral("Acétone\r\npure") << QStringLiteral("Acétone");
    QTest::newRow("blank first line") << QStringLiteral("   \n  Éthanol  absolu \n") << QStringLiteral("Éthanol absolu");
    QTest::newRow("separators") << QStringLiteral("Sel/eau\\mélange") << QStringLiteral("Sel_eau_mélange");
    QTest::newRow("other systems' characters") << QStringLiteral("A:B*C?D\"E<F>G|H")
                                               << QStringLiteral("A_B_C_D_E_F_G_H");
    QTest::newRow("tab and controls") << QStringLiteral("Soude\tcaustique\x01") << QStringLiteral("Soude caustique_");
    QTest::newRow("outside Windows-1252") << QStringLiteral("Oxyde de fer α") << QStringLiteral("Oxyde de fer _");
    QTest::newRow("outside the BMP") << QStringLiteral("Chlore 🧪") << QStringLiteral("Chlore __");
    QTest::newRow("hidden file") << QStringLiteral("..profil.") << QStringLiteral("profil");
    QTest::newRow("only dots") << QStringLiteral(" ... ") << ProposedName::kFallback;
    QTest::newRow("only replaced") << QStringLiteral("///") << ProposedName::kFallback;
    QTest::newRow("empty") << QString() << ProposedName::kFallback;
    QTest::newRow("Windows-1252 kept") << QStringLiteral("Œuf œ € ‰ 96%") << QStringLiteral("Œuf œ € ‰ 96%");
}

void TestProposedName::names()
{
    QFETCH(QString, product);
    QFETCH(QString, proposed);
    QCOMPARE(ProposedName::forLabel(product), proposed);
}

void TestProposedName::longNamesAreCutAtABlank()
{
    const QString words = QStringLiteral("Mélange de solvants organiques chlorés et non chlorés pour dégraissage "
                                         "industriel des pièces métalliques");
    const QString cut = ProposedName::forLabel(words);
    QVERIFY(cut.size() <= ProposedName::kMaxLength);
    QVERIFY(cut.size() >= ProposedName::kMaxLength * 3 / 4);
    QVERIFY(words.startsWith(cut));
    QCOMPARE(words.at(cut.size()), u' ');

    // One long word: cut at the limit, with no trailing dot or blank.
    const QString word = QString(60, u'x') + QStringLiteral("..........") + QString(40, u'y');
    QCOMPARE(ProposedName::forLabel(word), QString(60, u'x'));
    QCOMPARE(ProposedName::forLabel(QString(200, u'z')), QString(ProposedName::kMaxLength, u'z'));
}

QTEST_GUILESS_MAIN(TestProposedName)
#include "test_proposedname.moc"

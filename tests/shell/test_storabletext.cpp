#include "shell/storabletext.h"
#include "shell/textfile.h"

#include <QTest>

using StorableText::Problem;

class TestStorableText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void storableFollowsTheWriter();
    void nearestTexts();
    void problemsAreListedOnceInOrder();
    void replacedTextCanBeWritten();
    void describedForMessages();
};

void TestStorableText::storableFollowsTheWriter()
{
    // Whatever this says can be stored, the label file writer encodes, and
    // the other way round, over the whole basic plane.
    for (char32_t c = 1; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        QByteArray bytes;
        const bool written = TextFile::encode(QString::fromUcs4(&c, 1), &bytes);
        QCOMPARE(StorableText::storable(c), written);
    }
    QVERIFY(StorableText::storable(QString::fromUtf8("Éthanol à 96 % – « pur » ’ € œ µ ± °")));
    QVERIFY(!StorableText::storable(QString::fromUtf8("pH ≥ 12")));
    QVERIFY(!StorableText::storable(char32_t(0x1F600)));
}

void TestStorableText::nearestTexts()
{
    const auto nearest = [](char32_t c) { return StorableText::nearest(c); };
    QCOMPARE(nearest(0x2265), QStringLiteral(">="));
    QCOMPARE(nearest(0x2264), QStringLiteral("<="));
    QCOMPARE(nearest(0x03B1), QStringLiteral("alpha"));
    QCOMPARE(nearest(0x03B2), QStringLiteral("beta"));
    QCOMPARE(nearest(0x0394), QStringLiteral("Delta"));
    QCOMPARE(nearest(0x03BC), QString(QChar(0xB5)));      // the micro sign
    QCOMPARE(nearest(0x202F), QString(QChar(0xA0)));      // narrow no-break -> no-break
    QCOMPARE(nearest(0x2009), QStringLiteral(" "));       // thin space -> space
    QCOMPARE(nearest(0x200B), QString());                 // zero width: nothing
    QCOMPARE(nearest(0x2082), QStringLiteral("2"));       // H₂O
    QCOMPARE(nearest(0x2074), QStringLiteral("4"));       // superscript four
    QCOMPARE(nearest(0x2212), QStringLiteral("-"));       // minus sign
    QCOMPARE(nearest(0x2011), QStringLiteral("-"));       // non-breaking hyphen
    QCOMPARE(nearest(0xFB01), QStringLiteral("fi"));
    QCOMPARE(nearest(0x2153), QStringLiteral("1/3"));
    QCOMPARE(nearest(0x2103), QString::fromUtf8("°C"));
    QCOMPARE(nearest(0x0142), QStringLiteral("l"));       // ł
    QCOMPARE(nearest(0x0151), QStringLiteral("o"));       // ő: the accent is missing
    QCOMPARE(nearest(0x1E17), QString::fromUtf8("é"));    // ḗ keeps the accent the code page has
    QCOMPARE(nearest(0x01C4), QString::fromUtf8("DŽ"));
    QCOMPARE(nearest(0xFF21), QStringLiteral("A"));       // full width
    QCOMPARE(nearest(0x1D400), QStringLiteral("A"));      // mathematical bold, outside the plane
    QCOMPARE(nearest(0x00E9), QString::fromUtf8("é"));    // storable: itself
    QVERIFY(!nearest(0x4E2D));                            // 中
    QVERIFY(!nearest(0x1F600));                           // an emoji
    QVERIFY(!nearest(0x05D0));                            // Hebrew alef
}

void TestStorableText::problemsAreListedOnceInOrder()
{
    const QString text = QString::fromUtf8("α-pinène ≥ 95 %, α ≤ 5\u202F% 中");
    const QList<Problem> found = StorableText::problems(text);
    QCOMPARE(found.size(), 5);
    QCOMPARE(found.at(0), (Problem{QString::fromUtf8("α"), 0x03B1, QStringLiteral("alpha")}));
    QCOMPARE(found.at(1).codePoint, char32_t(0x2265));
    QCOMPARE(found.at(2).codePoint, char32_t(0x2264));
    QCOMPARE(found.at(3).codePoint, char32_t(0x202F));
    QCOMPARE(found.at(4).character, QString::fromUtf8("中"));
    QVERIFY(!found.at(4).nearest);

    // An emoji is one character, not two halves.
    const QList<Problem> emoji = StorableText::problems(QString::fromUtf8("a😀b"));
    QCOMPARE(emoji.size(), 1);
    QCOMPARE(emoji.first().codePoint, char32_t(0x1F600));
    QCOMPARE(emoji.first().character.size(), 2);

    // An accent typed as a combining mark on a letter the code page has.
    QVERIFY(StorableText::problems(QStringLiteral("e\u0301thanol")).isEmpty());
    QVERIFY(StorableText::problems(QString::fromUtf8("Éthanol – « 96 % »")).isEmpty());
}

void TestStorableText::replacedTextCanBeWritten()
{
    QCOMPARE(StorableText::replaced(QString::fromUtf8("α-pinène ≥ 95\u202F%")),
             QString::fromUtf8("alpha-pinène >= 95\u00A0%"));
    QCOMPARE(StorableText::replaced(QStringLiteral("e\u0301thanol")), QString::fromUtf8("éthanol"));
    QCOMPARE(StorableText::replaced(QString::fromUtf8("H₂SO₄")), QStringLiteral("H2SO4"));
    // Without an equivalent the character stays, so nothing is lost unseen.
    QCOMPARE(StorableText::replaced(QString::fromUtf8("中 ≤ 1")), QString::fromUtf8("中 <= 1"));
    const QString plain = QString::fromUtf8("Acide chlorhydrique 37 %");
    QCOMPARE(StorableText::replaced(plain), plain);

    QByteArray bytes;
    QVERIFY(TextFile::encode(StorableText::replaced(QString::fromUtf8("βγδ ≈ 3 → 4 ≠ 5 ‐ ‑")), &bytes));
}

void TestStorableText::describedForMessages()
{
    const QStringList lines = StorableText::describe(
        StorableText::problems(QString::fromUtf8("≥\u202F\u2009\u200B中")));
    QCOMPARE(lines, (QStringList{QString::fromUtf8("« ≥ » (U+2265) → « >= »"),
                                 QString::fromUtf8("«   » (U+202F) → espace insécable"),
                                 QString::fromUtf8("«   » (U+2009) → espace"),
                                 QString::fromUtf8("«   » (U+200B) → retiré"),
                                 QString::fromUtf8("« 中 » (U+4E2D) : aucun équivalent")}));
}

QTEST_APPLESS_MAIN(TestStorableText)
#include "test_storabletext.moc"

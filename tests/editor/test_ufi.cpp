// The UFI check: published identifiers pass in both written forms, every
// single wrong character and every swap of two neighbours is caught, and a
// wrong layout or a character outside the alphabet is said as such.

#include "editor/ufi.h"

#include <QTest>

class TestUfi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void publishedIdentifiersPass()
    {
        for (const char *text : {"GMTT-2SQN-6FDD-6TV1", "R3NN-3KVT-2XSG-W43J", "  gmtt-2sqn-6fdd-6tv1 ",
                                 "GMTT2SQN6FDD6TV1"}) {
            const Ufi::Verification v = Ufi::verify(QString::fromLatin1(text));
            QVERIFY2(v.result == Ufi::Verification::Correct, text);
            QVERIFY(v.ok());
            QVERIFY(Ufi::message(v, QString::fromLatin1(text)).isEmpty());
        }
        QCOMPARE(Ufi::verify(QStringLiteral("gmtt2sqn6fdd6tv1")).normalized, QStringLiteral("GMTT-2SQN-6FDD-6TV1"));
        QCOMPARE(Ufi::checkCharacter(u"MTT2SQN6FDD6TV1"), QChar(u'G'));
        QCOMPARE(Ufi::checkCharacter(u"3NN3KVT2XSGW43J"), QChar(u'R'));
        QVERIFY(Ufi::verify(QStringLiteral("   ")).result == Ufi::Verification::Empty);
    }

    void everySingleChangeIsCaught()
    {
        const QString good = QStringLiteral("GMTT2SQN6FDD6TV1");
        int tried = 0;
        for (qsizetype i = 0; i < good.size(); ++i) {
            for (QChar c : Ufi::kAlphabet) {
                if (c == good.at(i))
                    continue;
                QString changed = good;
                changed[i] = c;
                const Ufi::Verification v = Ufi::verify(changed);
                QVERIFY2(v.result == Ufi::Verification::CheckCharacter, qPrintable(changed));
                QVERIFY(Ufi::message(v, changed).contains(QStringLiteral("caractère de contrôle")));
                ++tried;
            }
        }
        QCOMPARE(tried, 16 * 30);
        for (qsizetype i = 0; i + 1 < good.size(); ++i) {
            if (good.at(i) == good.at(i + 1))
                continue;
            QString swapped = good;
            std::swap(swapped[i], swapped[i + 1]);
            QVERIFY2(!Ufi::verify(swapped).ok(), qPrintable(swapped));
        }
    }

    void layoutAndAlphabet()
    {
        for (const char *text : {"GMTT-2SQN-6FDD-6TV", "GMTT-2SQN-6FDD-6TV11", "GMT-T2SQN-6FDD-6TV1", "GMTT 2SQN 6FDD 6TV1",
                                 "GMTT-2SQN6FDD-6TV1-", "GMTT2SQN6FDD6TV1X"}) {
            const Ufi::Verification v = Ufi::verify(QString::fromLatin1(text));
            QVERIFY2(v.result == Ufi::Verification::Layout, text);
            QVERIFY(Ufi::message(v, QString::fromLatin1(text)).contains(QStringLiteral("XXXX-XXXX-XXXX-XXXX")));
        }
        // B, I, L, O and Z are left out of the alphabet (read as 8, 1, 1, 0, 2).
        for (QChar c : QStringLiteral("BILOZé")) {
            QString text = QStringLiteral("GMTT-2SQN-6FDD-6TV1");
            text[5] = c;
            const Ufi::Verification v = Ufi::verify(text);
            QVERIFY(v.result == Ufi::Verification::Character);
            QCOMPARE(v.wrong, c);
            QVERIFY(Ufi::message(v, text).contains(QStringLiteral("« %1 »").arg(c)));
        }
    }
};

QTEST_GUILESS_MAIN(TestUfi)
#include "test_ufi.moc"

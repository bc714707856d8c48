// The minimum label and pictogram sizes by capacity: the installed table,
// each capacity limit and each size limit on both sides, and damaged tables.

#include "installedformatrules.h"
#include "render/formatrules.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFormatRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void capacityBands()
    {
        const FormatRules::Table t = installedFormatRules();
        QCOMPARE(t.bands.size(), 5); // 0.5, 3, 50, 500 L and more
        const auto shortSide = [&](double l) {
            const FormatRules::Band *b = t.bandFor(l);
            return b ? b->labelShort : -1.0;
        };
        QCOMPARE(shortSide(0.1), 52.0);
        QCOMPARE(shortSide(3), 52.0);
        QCOMPARE(shortSide(3.001), 74.0);
        QCOMPARE(shortSide(50), 74.0);
        QCOMPARE(shortSide(50.01), 105.0);
        QCOMPARE(shortSide(500), 105.0);
        QCOMPARE(shortSide(500.5), 148.0);
        QCOMPARE(shortSide(1.0e5), 148.0);
        QCOMPARE(shortSide(0), -1.0);
        QCOMPARE(shortSide(-2), -1.0);
        QCOMPARE(shortSide(std::nan("")), -1.0);
    }

    void labelSizes_data()
    {
        QTest::addColumn<double>("litres");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<bool>("fits");
        QTest::newRow("1 L, 74 x 52") << 1.0 << 74.0 << 52.0 << true;
        QTest::newRow("1 L, upright 52 x 74") << 1.0 << 52.0 << 74.0 << true;
        QTest::newRow("1 L, 73.9 x 52") << 1.0 << 73.9 << 52.0 << false;
        QTest::newRow("1 L, 74 x 51.9") << 1.0 << 74.0 << 51.9 << false;
        QTest::newRow("3 L, 18 per page cell") << 3.0 << 67.6 << 47.8 << false;
        QTest::newRow("5 L, 105 x 74") << 5.0 << 105.0 << 74.0 << true;
        QTest::newRow("5 L, 104.9 x 74") << 5.0 << 104.9 << 74.0 << false;
        QTest::newRow("5 L, L7165 die-cut") << 5.0 << 99.06 << 67.73 << false;
        QTest::newRow("200 L, 148 x 105") << 200.0 << 148.0 << 105.0 << true;
        QTest::newRow("200 L, 148 x 104.9") << 200.0 << 148.0 << 104.9 << false;
        QTest::newRow("1000 L, 210 x 148") << 1000.0 << 210.0 << 148.0 << true;
        QTest::newRow("1000 L, 209.9 x 148") << 1000.0 << 209.9 << 148.0 << false;
    }

    void labelSizes()
    {
        QFETCH(double, litres);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(bool, fits);
        const QString error = FormatRules::checkLabel(installedFormatRules(), litres, width, height);
        QCOMPARE(error.isEmpty(), fits);
    }

    void labelMessageNamesBothSizes()
    {
        const FormatRules::Table t = installedFormatRules();
        QCOMPARE(FormatRules::checkLabel(t, 2, 67.6, 47.8),
                 QStringLiteral("L'étiquette mesure 67,6 × 47,8 mm : pour un emballage de 2 L, elle doit mesurer si "
                                "possible au moins 52 × 74 mm (règlement CLP, annexe I, tableau 1.3)."));
        QVERIFY(FormatRules::checkLabel(t, 20, 99.1, 67.7).contains(QStringLiteral("doit mesurer au moins 74 × 105 mm")));
    }

    void pictogramSizes_data()
    {
        QTest::addColumn<double>("litres");
        QTest::addColumn<double>("side");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QString>("rule");
        // Up to 3 L on a 52 x 74 label the fifteenth decides: sqrt(52 × 74 / 15) = 16.02 mm.
        QTest::newRow("1 L, 16.1") << 1.0 << 16.1 << true << QString();
        QTest::newRow("1 L, 16.0") << 1.0 << 16.0 << false << QStringLiteral("un quinzième");
        // 3 to 50 L: 23 mm beats the fifteenth (22.76 mm).
        QTest::newRow("10 L, 23") << 10.0 << 23.0 << true << QString();
        QTest::newRow("10 L, 22.9") << 10.0 << 22.9 << false << QStringLiteral("côté minimal de 23 mm");
        // 50 to 500 L: the fifteenth (32.19 mm) beats 32 mm.
        QTest::newRow("100 L, 32.2") << 100.0 << 32.2 << true << QString();
        QTest::newRow("100 L, 32.1") << 100.0 << 32.1 << false << QStringLiteral("un quinzième");
        QTest::newRow("1000 L, 46") << 1000.0 << 46.0 << true << QString();
        QTest::newRow("1000 L, 45.9") << 1000.0 << 45.9 << false << QStringLiteral("côté minimal de 46 mm");
    }

    void pictogramSizes()
    {
        QFETCH(double, litres);
        QFETCH(double, side);
        QFETCH(bool, fits);
        QFETCH(QString, rule);
        const FormatRules::Table t = installedFormatRules();
        const FormatRules::Band *b = t.bandFor(litres);
        QVERIFY(b);
        const QString error = FormatRules::checkPictogram(t, litres, b->labelLong, b->labelShort, side);
        QCOMPARE(error.isEmpty(), fits);
        QVERIFY2(error.contains(rule), qPrintable(error));
    }

    void smallLabelKeepsTheSquareCentimetre()
    {
        // A label smaller than 52 x 74 (allowed "where possible" up to 3 L):
        // the fifteenth of its own area, but never under 10 mm (1 cm²).
        const FormatRules::Table t = installedFormatRules();
        QVERIFY(FormatRules::checkPictogram(t, 0.5, 40, 30, 10).isEmpty());
        QVERIFY(FormatRules::checkPictogram(t, 0.5, 40, 30, 9.9).contains(QStringLiteral("au moins 10 mm de côté")));
        // 60 x 45: the fifteenth is 180 mm², a side of 13.42 mm.
        QVERIFY(FormatRules::checkPictogram(t, 0.5, 60, 45, 13.5).isEmpty());
        QVERIFY(!FormatRules::checkPictogram(t, 0.5, 60, 45, 13.3).isEmpty());
    }

    void damagedTables_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray("# rien\r\n") << QStringLiteral("aucune tranche");
        QTest::newRow("five fields") << QByteArray("3;52;74;10;16\r\n;1;2;3;4;\r\n") << QStringLiteral("ligne 1 : six champs");
        QTest::newRow("word") << QByteArray(";abc;74;10;16;\r\n") << QStringLiteral("n'est pas un nombre positif de millimètres");
        QTest::newRow("not growing") << QByteArray("50;1;2;3;4;\r\n3;1;2;3;4;\r\n;1;2;3;4;\r\n")
                                     << QStringLiteral("ligne 2 : les contenances doivent croître");
        QTest::newRow("no open band") << QByteArray("3;1;2;3;4;\r\n") << QStringLiteral("sans limite");
        QTest::newRow("after open band") << QByteArray(";1;2;3;4;\r\n9;1;2;3;4;\r\n") << QStringLiteral("ligne 2");
        QTest::newRow("sides swapped") << QByteArray(";74;52;3;4;\r\n") << QStringLiteral("petit côté");
        QTest::newRow("bad flag") << QByteArray(";52;74;3;4;peut-être\r\n") << QStringLiteral("si-possible");
        QTest::newRow("x-height word") << QByteArray(";52;74;3;4;;haut\r\n") << QStringLiteral("hauteur d'x minimale « haut »");
        QTest::newRow("eight fields") << QByteArray(";52;74;3;4;;1.2;9\r\n") << QStringLiteral("six champs");
        QTest::newRow("unknown key") << QByteArray(";52;74;3;4;\r\ncouleur=noir\r\n") << QStringLiteral("ligne 2 : la clé « couleur »");
        QTest::newRow("spacing below 100") << QByteArray(";52;74;3;4;\r\ninterligne-minimale=80\r\n")
                                           << QStringLiteral("pourcentage de 100 à 400");
    }

    void damagedTables()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(FormatRules::kFileName);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        FormatRules::Table t;
        t.bands << FormatRules::Band();
        QString error;
        QVERIFY(!FormatRules::read(path, &t, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(t.bands.size(), 1); // left as it was
        QVERIFY(!FormatRules::read(dir.filePath(QStringLiteral("absent.txt")), &t, &error));
        QVERIFY(error.contains(QStringLiteral("absent.txt")));
    }
};

QTEST_GUILESS_MAIN(TestFormatRules)
#include "test_formatrules.moc"

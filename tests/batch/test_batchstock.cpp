// kalvane-batch planche on label stock: --modele, --debut and the offsets on
// the command line, ten labels on an 8-per-sheet stock as two PDF pages whose
// ink stays inside the die-cut labels, and the usage errors of these options.

#include "batchrun.h"
#include "render/labelstock.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kAcetone = QStringLiteral("Kalvane/Acetone.kvln");
constexpr int kDpi = 40;

bool dark(QRgb c)
{
    return qGray(c) < 200;
}

QRect pixels(const QRectF &mm)
{
    return QRect(QPoint(int(std::floor(mm.left() * kDpi / 25.4)), int(std::floor(mm.top() * kDpi / 25.4))),
                 QPoint(int(std::ceil(mm.right() * kDpi / 25.4)), int(std::ceil(mm.bottom() * kDpi / 25.4))));
}

} // namespace

class TestBatchStock : public QObject
{
    Q_OBJECT

    QTemporaryDir m_start;
    QString start(const QString &name = QString()) const { return name.isEmpty() ? m_start.path() : m_start.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        BatchRun::seed(m_start.path(), BatchRun::startFiles());
        QVERIFY(QFileInfo::exists(start(kAcetone)));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown stock") << QStringList{"--modele", "Avery NOPE42"} << "modèle de planche inconnu « Avery NOPE42 »";
        QTest::newRow("round labels") << QStringList{"--modele", "Avery 5193"} << "ne peut pas servir : étiquettes rondes";
        QTest::newRow("stock and grid") << QStringList{"--modele", "Avery L7165", "--par-page", "8"}
                                        << "choisissez soit --par-page, soit --modele";
        QTest::newRow("start past the sheet") << QStringList{"--modele", "Avery L7165", "--debut", "9"}
                                              << "la position de départ « 9 » n'existe pas sur la planche Avery L7165 : choisissez de 1 à 8.";
        QTest::newRow("start zero") << QStringList{"--modele", "Avery L7165", "--debut", "0"} << "choisissez de 1 à 8";
        QTest::newRow("offset words") << QStringList{"--modele", "Avery L7165", "--decalage-x", "deux"}
                                      << "le décalage « deux » s'écrit en millimètres";
        QTest::newRow("offset too large") << QStringList{"--modele", "Avery L7165", "--decalage-y", "80"}
                                          << "le décalage « 80 »";
        QTest::newRow("start without stock") << QStringList{"--par-page", "8", "--debut", "2"}
                                             << "--debut, --decalage-x et --decalage-y ne servent qu'avec --modele.";
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir work;
        const BatchRun::Result r =
            BatchRun::run(QStringList{"--data", start(), "planche", start(kAcetone), "--pdf", "x.pdf"} + arguments,
                          work.path());
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("x.pdf"))));
    }

    void tenLabelsOnTwoSheets()
    {
        const LabelStock::Template *t = LabelStock::installed().find(QStringLiteral("Avery L7165"));
        QVERIFY(t);
        QTemporaryDir work;
        QStringList labels;
        for (int i = 0; i < 10; ++i)
            labels << start(kAcetone);
        // From position 3 with offsets: 6 labels on the first sheet, 4 on the second.
        const BatchRun::Result r = BatchRun::run(QStringList{"--data", start(), "planche"} + labels
                                                     + QStringList{"--modele", "avery l7165", "--debut", "3",
                                                                   "--decalage-x", "1.5", "--decalage-y", "-1",
                                                                   "--pdf", "stock.pdf"},
                                                 work.path());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QVERIFY(QProcess::execute(QStringLiteral("pdftoppm"), {"-r", QString::number(kDpi), "-png",
                                                               work.filePath("stock.pdf"), work.filePath("p")})
                == 0);
        const QImage pages[2] = {QImage(work.filePath("p-1.png")), QImage(work.filePath("p-2.png"))};
        QVERIFY(!pages[0].isNull() && !pages[1].isNull());
        QVERIFY(!QFileInfo::exists(work.filePath("p-3.png")));
        QList<QRect> cuts;
        for (const QRectF &c : t->dieCuts())
            cuts << pixels(c.translated(1.5, -1));
        for (int p = 0; p < 2; ++p) {
            int outside = 0;
            QList<int> inside(cuts.size(), 0);
            for (int y = 0; y < pages[p].height(); ++y)
                for (int x = 0; x < pages[p].width(); ++x) {
                    if (!dark(pages[p].pixel(x, y)))
                        continue;
                    bool in = false;
                    for (int k = 0; k < cuts.size(); ++k)
                        if (cuts.at(k).contains(x, y)) {
                            ++inside[k];
                            in = true;
                        }
                    outside += !in;
                }
            QCOMPARE(outside, 0);
            for (int k = 0; k < cuts.size(); ++k) {
                const bool used = p == 0 ? k >= 2 : k < 4;
                QVERIFY2(used ? inside.at(k) > 100 : inside.at(k) == 0,
                         qPrintable(QStringLiteral("page %1 label %2: %3").arg(p).arg(k).arg(inside.at(k))));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestBatchStock)
#include "test_batchstock.moc"

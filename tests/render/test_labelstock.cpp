// Label stock: the template reader (units, equiv references, several layouts,
// refused shapes and papers, damaged files) on hand-written files and on the
// installed package, and where the labels of a job go on the sheets.

#include "render/labelstock.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return {};
    return path;
}

const QByteArray kTemplates = R"(<?xml version="1.0"?>
<Glabels-templates>
  <Template brand="Acme" part="P8" size="A4" _description="Points">
    <Meta category="label"/>
    <Label-rectangle id="0" width="280.8pt" height="191.991pt" round="0pt">
      <Markup-margin size="5.66929pt"/>
      <Layout nx="2" ny="4" x0="13.2378pt" y0="36.9638pt" dx="288.113pt" dy="191.991pt"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="X8" equiv="P8" _description="Same labels"/>
  <Template brand="Acme" part="IN" size="US-Letter" _description="Inches">
    <Label-rectangle id="0" width="4in" height="2in" round="0.1in">
      <Layout nx="2" ny="5" x0="0.15625in" y0="0.5in" dx="4.1875in" dy="2in"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="MIX" size="A4" _description="Two blocks">
    <Label-rectangle id="0" width="90mm" height="40mm" round="in">
      <Markup-margin size="2mm"/>
      <Layout nx="2" ny="1" x0="10mm" y0="10mm" dx="100mm" dy="0"/>
      <Layout nx="1" ny="1" x0="10" y0="80mm" dx="0" dy="0"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="RND" size="A4" _description="Round">
    <Label-round id="0" radius="20mm"><Layout nx="4" ny="6" x0="10mm" y0="10mm" dx="45mm" dy="45mm"/></Label-round>
  </Template>
  <Template brand="Acme" part="CD" size="A4" _description="Disc">
    <Label-cd id="0" radius="58mm" hole="20mm"><Layout nx="1" ny="2" x0="47mm" y0="20mm" dx="0" dy="130mm"/></Label-cd>
  </Template>
  <Template brand="Acme" part="A5" size="A5" _description="Small paper">
    <Label-rectangle id="0" width="50mm" height="30mm"><Layout nx="2" ny="2" x0="10mm" y0="10mm" dx="60mm" dy="40mm"/></Label-rectangle>
  </Template>
  <Template brand="Acme" part="OFF" size="A4" _description="Runs off">
    <Label-rectangle id="0" width="110mm" height="30mm"><Layout nx="2" ny="1" x0="0mm" y0="10mm" dx="110mm" dy="0"/></Label-rectangle>
  </Template>
  <Template brand="Acme" part="BAD" size="A4" _description="Bad unit">
    <Label-rectangle id="0" width="50furlongs" height="30mm"><Layout nx="1" ny="1" x0="1" y0="1" dx="0" dy="0"/></Label-rectangle>
  </Template>
  <Template brand="Acme" part="MANY" size="A4" _description="Hostile">
    <Label-rectangle id="0" width="0.1mm" height="0.1mm">
      <Layout nx="1000" ny="1000" x0="0" y0="0" dx="0.2mm" dy="0.2mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="LOST" equiv="NOWHERE"/>
  <Template brand="Acme" part="X9" equiv="X8" _description="Twice removed"/>
  <Template brand="Acme" part="LOOP1" equiv="LOOP2"/>
  <Template brand="Acme" part="LOOP2" equiv="LOOP1"/>
</Glabels-templates>
)";

const QByteArray kPapers = R"(<?xml version="1.0"?>
<Glabels-paper-sizes>
  <Paper-size id="A4" _name="A4" width="210mm" height="297mm"/>
  <Paper-size id="A5" _name="A5" width="148mm" height="210mm"/>
</Glabels-paper-sizes>
)";

bool near(double a, double b, double tolerance = 0.01)
{
    return std::abs(a - b) <= tolerance;
}

} // namespace

class TestLabelStock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lengthsAndUnits()
    {
        double mm = -1;
        QVERIFY(LabelStock::readLength(QStringLiteral("72pt"), &mm) && near(mm, 25.4));
        QVERIFY(LabelStock::readLength(QStringLiteral("72"), &mm) && near(mm, 25.4));
        QVERIFY(LabelStock::readLength(QStringLiteral("1in"), &mm) && near(mm, 25.4));
        QVERIFY(LabelStock::readLength(QStringLiteral("99.1mm"), &mm) && near(mm, 99.1));
        QVERIFY(LabelStock::readLength(QStringLiteral("2.5cm"), &mm) && near(mm, 25));
        QVERIFY(LabelStock::readLength(QStringLiteral("6pc"), &mm) && near(mm, 25.4));
        for (const char *bad : {"", "mm", "12furlongs", "-3mm", "nan", "1e300", "1,5mm"})
            QVERIFY2(!LabelStock::readLength(QString::fromLatin1(bad), &mm), bad);
    }

    void handWrittenFile()
    {
        QTemporaryDir dir;
        const QString file = write(dir, QStringLiteral("acme-templates.xml"), kTemplates);
        const QString papers = write(dir, QStringLiteral("paper-sizes.xml"), kPapers);
        const LabelStock::Catalogue c = LabelStock::read({file}, papers);

        // Points: the 8-per-sheet label is 99.06 × 67.73 mm, 4.67 mm from the left.
        const LabelStock::Template *p8 = c.find(QStringLiteral("  acme   p8 "));
        QVERIFY(p8);
        QVERIFY(p8->supported());
        QCOMPARE(p8->labelsPerSheet(), 8);
        QVERIFY(near(p8->width, 99.06) && near(p8->height, 67.73));
        QVERIFY(near(p8->markupMargin, 2.0));
        QVERIFY(near(p8->paperWidth, 210) && near(p8->paperHeight, 297));
        QCOMPARE(p8->description, QStringLiteral("Points"));

        // equiv: the same labels under another part, its own description.
        const LabelStock::Template *x8 = c.find(QStringLiteral("Acme X8"));
        QVERIFY(x8);
        QCOMPARE(x8->part, QStringLiteral("X8"));
        QCOMPARE(x8->description, QStringLiteral("Same labels"));
        QCOMPARE(x8->dieCuts(), p8->dieCuts());
        const LabelStock::Template *x9 = c.find(QStringLiteral("Acme X9"));
        QVERIFY(x9 && x9->supported());
        QCOMPARE(x9->dieCuts(), p8->dieCuts());

        // Inches on US Letter, the paper known without the paper file's entry.
        const LabelStock::Template *in = c.find(QStringLiteral("Acme IN"));
        QVERIFY(in && in->supported());
        QVERIFY(near(in->width, 101.6) && near(in->round, 2.54));
        QVERIFY(near(in->paperWidth, 215.9) && near(in->paperHeight, 279.4));
        QCOMPARE(in->labelsPerSheet(), 10);

        // Two layouts: three labels in reading order, a bare number in points.
        const LabelStock::Template *mix = c.find(QStringLiteral("Acme MIX"));
        QVERIFY(mix && mix->supported());
        QCOMPARE(mix->round, 0.0); // an unreadable corner radius: square corners
        const QList<QRectF> cuts = mix->dieCuts();
        QCOMPARE(cuts.size(), 3);
        QVERIFY(near(cuts.at(0).left(), 10) && near(cuts.at(1).left(), 110) && near(cuts.at(1).top(), 10));
        QVERIFY(near(cuts.at(2).left(), 10 * 25.4 / 72) && near(cuts.at(2).top(), 80));

        // Listed, but refused with a reason.
        const auto refusal = [&](const char *name) {
            const LabelStock::Template *t = c.find(QString::fromLatin1(name));
            return t ? t->refusal : QStringLiteral("<absent>");
        };
        QVERIFY(refusal("Acme RND").contains(QStringLiteral("rondes")));
        QVERIFY(refusal("Acme CD").contains(QStringLiteral("CD")));
        QVERIFY(refusal("Acme A5").contains(QStringLiteral("« A5 »")));
        QVERIFY(refusal("Acme OFF").contains(QStringLiteral("dépassent")));
        QVERIFY(refusal("Acme BAD").contains(QStringLiteral("illisibles")));
        QVERIFY(refusal("Acme MANY").contains(QStringLiteral("1000000 étiquettes")));
        QCOMPARE(refusal("Acme LOST"), QStringLiteral("<absent>"));
        QCOMPARE(refusal("Acme LOOP1"), QStringLiteral("<absent>"));
        QCOMPARE(c.problems.size(), 3);
        QVERIFY(c.problems.first().contains(QStringLiteral("NOWHERE")));
        QVERIFY(!c.find(QStringLiteral("Acme P9")));
    }

    void damagedFileLeavesTheOthers()
    {
        QTemporaryDir dir;
        const QString good = write(dir, QStringLiteral("a-templates.xml"), kTemplates);
        QByteArray truncated = kTemplates.left(kTemplates.indexOf("<Template brand=\"Acme\" part=\"IN\"") + 20);
        const QString broken = write(dir, QStringLiteral("b-templates.xml"), truncated);
        const QString binary = write(dir, QStringLiteral("c-templates.xml"), QByteArray("\xff\xfe\x00<\x01\x02", 6));
        const QString missing = dir.filePath(QStringLiteral("gone-templates.xml"));
        const LabelStock::Catalogue c = LabelStock::read({broken, good, binary, missing}, QString());
        QVERIFY(c.find(QStringLiteral("Acme MIX")));
        QCOMPARE(c.problems.filter(QStringLiteral("illisible")).size(), 3);
        QVERIFY(c.problems.filter(QStringLiteral("b-templates.xml")).first().contains(QStringLiteral("ligne")));
        // The broken file's templates read before the break are not kept
        // twice, nor half.
        int p8 = 0;
        for (const LabelStock::Template &t : c.templates)
            p8 += t.name() == QStringLiteral("Acme P8");
        QCOMPARE(p8, 1);
    }

    void installedPackage()
    {
        if (!QFileInfo(LabelStock::kSystemFolder).isDir())
            QFAIL("the glabels-data package is not installed");
        const LabelStock::Catalogue &c = LabelStock::installed();
        QCOMPARE(&c, &LabelStock::installed()); // read once
        QVERIFY2(c.problems.isEmpty(), qPrintable(c.problems.join(u'\n')));
        QVERIFY(c.templates.size() > 1500);
        const LabelStock::Template *l7165 = c.find(QStringLiteral("Avery L7165"));
        QVERIFY(l7165 && l7165->supported());
        QCOMPARE(l7165->labelsPerSheet(), 8);
        QVERIFY(near(l7165->width, 99.06) && near(l7165->height, 67.73));
        QCOMPARE(l7165->summary(), QStringLiteral("Avery L7165 — 99,1 × 67,7 mm, 8 par planche"));
        int refused = 0;
        for (const LabelStock::Template &t : c.templates)
            refused += !t.supported();
        QVERIFY(refused > 100 && refused < int(c.templates.size()) / 2);
    }

    void placementOnSheets()
    {
        const LabelStock::Template *l7165 = LabelStock::installed().find(QStringLiteral("Avery L7165"));
        QVERIFY(l7165);
        // 10 labels from position 1: a full sheet, then two on the second.
        QString error;
        QList<LabelStock::Cell> cells = LabelStock::place(*l7165, 1, 10, 0, 0, 1.4142, &error);
        QVERIFY(error.isEmpty());
        QCOMPARE(cells.size(), 10);
        QCOMPARE(cells.at(7).sheet, 0);
        QCOMPARE(cells.at(8).sheet, 1);
        QCOMPARE(cells.at(8).position, 0);
        // First die-cut: 4.67 mm from the left, 13.04 mm from the top; the
        // second column 101.64 mm further.
        QVERIFY(near(cells.at(0).dieCut.left(), 4.67) && near(cells.at(0).dieCut.top(), 13.04));
        QVERIFY(near(cells.at(1).dieCut.left(), 4.67 + 101.64) && near(cells.at(1).dieCut.top(), 13.04));
        QVERIFY(near(cells.at(2).dieCut.top(), 13.04 + 67.73));
        for (const LabelStock::Cell &c : cells) {
            // Inside the markup margin, A proportions, centred.
            const QRectF inner = c.dieCut.adjusted(2, 2, -2, -2);
            QVERIFY(inner.adjusted(-1e-4, -1e-4, 1e-4, 1e-4).contains(c.label));
            QVERIFY(near(c.label.width() / c.label.height(), 1.4142, 1e-6));
            QVERIFY(near(c.label.center().x(), c.dieCut.center().x()) && near(c.label.center().y(), c.dieCut.center().y()));
            // Height-bound on this stock: the label fills the margin's height.
            QVERIFY(near(c.label.height(), 67.73 - 4));
        }

        // Starting at 7 on a used sheet: 7, 8, then a new sheet.
        cells = LabelStock::place(*l7165, 7, 3, 0, 0, 1.4142);
        QCOMPARE(cells.at(0).position, 6);
        QCOMPARE(cells.at(1).sheet, 0);
        QCOMPARE(cells.at(2).sheet, 1);
        QCOMPARE(cells.at(2).position, 0);

        // Offsets move everything, right and down.
        const QList<LabelStock::Cell> shifted = LabelStock::place(*l7165, 7, 3, 1.5, -2, 1.4142);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(shifted.at(i).dieCut, cells.at(i).dieCut.translated(1.5, -2));
            QCOMPARE(shifted.at(i).label, cells.at(i).label.translated(1.5, -2));
        }

        // Start positions off the sheet, and a refused stock.
        for (int start : {0, 9, -3}) {
            QVERIFY(LabelStock::place(*l7165, start, 1, 0, 0, 1.4142, &error).isEmpty());
            QVERIFY(error.contains(QStringLiteral("de 1 à 8")));
        }
        LabelStock::Template round = *l7165;
        round.refusal = QStringLiteral("étiquettes rondes");
        QVERIFY(LabelStock::place(round, 1, 1, 0, 0, 1.4142, &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("rondes")));
    }

    void fourPerSheetIsWidthBound()
    {
        // Avery 7169 and its equivalents: 99.1 × 139 mm, 2 × 2, portrait labels.
        const LabelStock::Template *t = LabelStock::installed().find(QStringLiteral("Avery L7169"));
        QVERIFY(t && t->supported());
        QCOMPARE(t->labelsPerSheet(), 4);
        const QList<LabelStock::Cell> cells = LabelStock::place(*t, 2, 4, 0, 0, 1.4142);
        QCOMPARE(cells.size(), 4);
        QCOMPARE(cells.at(3).sheet, 1);
        const double margin = t->markupMargin;
        QVERIFY(near(cells.at(0).label.width(), t->width - 2 * margin));
        QVERIFY(near(cells.at(0).label.height(), (t->width - 2 * margin) / 1.4142));
        QVERIFY(near(cells.at(0).dieCut.left(), 5.01 + 101.49, 0.05)); // position 2: right column
    }
};

QTEST_GUILESS_MAIN(TestLabelStock)
#include "test_labelstock.moc"

// Filling a label from the harmonised classification without a window: the
// entry's pictograms go through the editor's pictogram rules (precedence, at
// most five, the questions), its statements are ticked by code in the
// label's catalogues, and everything that could not be placed or that may
// change the label (a code the catalogue lacks, details beyond the code, "*",
// notes, limits) is said; what the label loses is listed for the question.

#include "editor/harmonisedfill.h"

#include <QTest>

namespace {

StatementList lines(const QStringList &texts, const QStringList &ticked = {})
{
    StatementList out;
    for (const QString &t : texts)
        out.append({t, ticked.contains(t.section(u':', 0, 0).trimmed())});
    return out;
}

const QStringList kHazards = {
    QStringLiteral("H225: Liquide et vapeurs très inflammables."),
    QStringLiteral("H300: Mortel en cas d’ingestion."),
    QStringLiteral("H300+H310: Mortel en cas d’ingestion ou de contact cutané."),
    QStringLiteral("H331 : Toxique par inhalation."), // a blank before the colon
    QStringLiteral("H360Df: Peut nuire au fœtus. Susceptible de nuire à la fertilité."),
    QStringLiteral("H372: Risque avéré d’effets graves pour les organes."),
};
const QStringList kSupplemental = {QStringLiteral("EUH066: L’exposition répétée peut provoquer dessèchement."),
                                   QStringLiteral("EUH071: Corrosif pour les voies respiratoires.")};

HarmonisedEntry entry()
{
    HarmonisedEntry e;
    e.index = QStringLiteral("999-001-00-3");
    e.names = {QStringLiteral("substance d'essai")};
    e.classes = {{QStringLiteral("Press. Gas"), QString()},
                 {QStringLiteral("Acute Tox. 3 *"), QStringLiteral("H331")},
                 {QStringLiteral("STOT RE 1"), QStringLiteral("H372 (liver) **")},
                 {QStringLiteral("Ox. Sol. 2 ****"), QStringLiteral("H272")}};
    e.hazards = {QStringLiteral("H300"), QStringLiteral("H331"), QStringLiteral("H360Df"),
                 QStringLiteral("H372 (liver) **"), QStringLiteral("H999 (eyes)")};
    e.supplemental = {QStringLiteral("EUH071"), QStringLiteral("EUH998")};
    e.otherLabelling = {QStringLiteral("****")};
    e.pictograms = {QStringLiteral("SGH04"), QStringLiteral("SGH06"), QStringLiteral("SGH08")};
    e.signalWord = QStringLiteral("DANGER");
    e.notes = {QStringLiteral("5"), QStringLiteral("U")};
    e.limits = {QStringLiteral("Skin Corr. 1A; H314: C ≥ 15 %")};
    return e;
}

// The unplaced sentence that mentions `part` (empty when none does).
QString said(const QStringList &unplaced, const QString &part)
{
    for (const QString &s : unplaced)
        if (s.contains(part))
            return s;
    return QString();
}

} // namespace

class TestHarmonisedFill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void statementsAreTickedByCodeAndTheRestIsSaid();
    void pictogramsFollowTheEditorsRules();
    void whatTheLabelLosesIsAskedFirst();
    void numbersNameEntriesIndexFirst();
};

void TestHarmonisedFill::statementsAreTickedByCodeAndTheRestIsSaid()
{
    const HarmonisedFill::Plan p = HarmonisedFill::plan(entry(), {{}, QStringLiteral("DANGER"), lines(kHazards),
                                                                   lines(kSupplemental)});
    // H300 alone, not the combined line; "H331 " with its blank; "H360Df" whole.
    QCOMPARE(p.hazardTicks, (QList<bool>{false, true, false, true, true, true}));
    QCOMPARE(p.supplementalTicks, (QList<bool>{false, true}));
    QCOMPARE(p.signalWord, QStringLiteral("DANGER"));
    QCOMPARE(p.pictograms, (QStringList{"SGH04", "SGH06", "SGH08"}));
    QVERIFY(p.hasLabelling);
    QVERIFY(p.replaced.isEmpty()); // a new label: nothing to ask

    const QStringList u = p.unplaced;
    QCOMPARE(said(u, "H999"), QStringLiteral("H999 (eyes) : absente du catalogue des mentions de danger (H.txt), "
                                             "non cochée."));
    QVERIFY(said(u, "EUH998").contains("EUH.txt"));
    QVERIFY(said(u, "H372").contains("« (liver) ** »"));
    QVERIFY(!said(u, "****").isEmpty());
    QVERIFY(said(u, "Press. Gas").contains("sans mention de danger"));
    QCOMPARE(said(u, "minimale"), QStringLiteral("Classification minimale (« * ») : Acute Tox. 3 * ; la classification "
                                                 "du produit peut être plus sévère, vérifiez-la."));
    QVERIFY(said(u, "Ox. Sol. 2 ****").contains("astérisques"));
    QVERIFY(!said(u, "Notes de l'entrée : 5, U").isEmpty());
    QVERIFY(said(u, "Limites de concentration").contains("C ≥ 15 %"));
    QVERIFY(said(u, "H331").isEmpty()); // found despite the blank
    QVERIFY(said(u, "H300").isEmpty());

    // The closing message names the entry and keeps every line.
    const QString report = HarmonisedFill::report(entry(), u);
    QVERIFY(report.contains("INDEX 999-001-00-3 (substance d'essai)"));
    for (const QString &line : u)
        QVERIFY(report.contains(line));
    QVERIFY(HarmonisedFill::report(entry(), {}).isEmpty());

    // An entry without labelling changes nothing and says so.
    HarmonisedEntry bare;
    bare.index = QStringLiteral("999-002-00-8");
    const HarmonisedFill::Plan none = HarmonisedFill::plan(bare, {{"SGH02"}, "ATTENTION", lines(kHazards, {"H225"}), {}});
    QVERIFY(!none.hasLabelling);
    QVERIFY(none.replaced.isEmpty());
    QVERIFY(none.unplaced.first().contains("n'est pas modifiée"));
}

void TestHarmonisedFill::pictogramsFollowTheEditorsRules()
{
    QStringList asked;
    QList<bool> answers;
    const PictogramRules::Ask ask = [&](const PictogramRules::Prompt &prompt) {
        asked << prompt.text;
        return prompt.kind == PictogramRules::Prompt::Warning || answers.isEmpty() ? true : answers.takeFirst();
    };

    // SGH06 takes SGH07's place, with the editor's warning, whatever the order.
    auto r = HarmonisedFill::placePictograms({}, {"SGH07", "SGH06", "SGH05"}, ask);
    QCOMPARE(r.list, (QStringList{"SGH06", "SGH05"}));
    QCOMPARE(asked, (QStringList{"Le pictogramme SGH06 prime sur SGH07.\nCelui-ci sera remplacé automatiquement!"}));
    QCOMPARE(r.unplaced.size(), 1);
    QVERIFY(r.unplaced.first().startsWith("Pictogramme SGH07 non placé : « Le pictogramme SGH06 prime sur SGH07."));
    asked.clear();
    r = HarmonisedFill::placePictograms({}, {"SGH06", "SGH07"}, ask);
    QCOMPARE(r.list, QStringList{"SGH06"});
    QCOMPARE(asked, QStringList{"Le pictogramme SGH07 n'est pas autorisé avec SGH06 !"});

    // The questions are the editor's; a No is said with the question.
    asked.clear();
    answers = {false, true};
    r = HarmonisedFill::placePictograms({"SGH05", "SGH08"}, {"SGH07"}, ask);
    QCOMPARE(r.list, (QStringList{"SGH05", "SGH08"}));
    QCOMPARE(asked.size(), 2);
    QVERIFY(r.unplaced.first().contains("(réponse Non)"));

    // At most five: the sixth is refused with the editor's warning.
    asked.clear();
    r = HarmonisedFill::placePictograms({}, {"SGH01", "SGH04", "SGH05", "SGH06", "SGH08", "SGH09"}, ask);
    QCOMPARE(r.list, (QStringList{"SGH01", "SGH04", "SGH05", "SGH06", "SGH08"}));
    QCOMPARE(asked, QStringList{PictogramRules::kTooMany});
    QCOMPARE(r.unplaced, QStringList{"Pictogramme SGH09 non placé : « " + PictogramRules::kTooMany + " »."});
}

void TestHarmonisedFill::whatTheLabelLosesIsAskedFirst()
{
    HarmonisedEntry e = entry();
    e.signalWord = QStringLiteral("ATTENTION");
    // A label with its own pictograms, statements and word.
    HarmonisedFill::Plan p = HarmonisedFill::plan(
        e, {{"SGH02", "SGH06"}, "DANGER", lines(kHazards, {"H225", "H331"}), lines(kSupplemental, {"EUH066"})});
    QCOMPARE(p.replaced, (QStringList{"pictogramme SGH02", "mentions cochées H225, EUH066",
                                      "mention d'avertissement « DANGER »"}));
    QCOMPARE(p.keptPictograms, QStringList{"SGH06"}); // picked first, in the label's order
    QCOMPARE(p.hazardTicks.at(0), false);            // H225 unticked
    const QString question = HarmonisedFill::replaceQuestion(e, p.replaced);
    QVERIFY(question.contains("pictogramme SGH02 ;\nmentions cochées H225, EUH066"));
    QVERIFY(question.endsWith("Remplacer ?"));

    // A new label's initial word alone is not asked about; a label holding
    // part of the entry's labelling is completed without a question.
    p = HarmonisedFill::plan(e, {{}, "DANGER", lines(kHazards), lines(kSupplemental)});
    QVERIFY(p.replaced.isEmpty());
    QCOMPARE(p.signalWord, QStringLiteral("ATTENTION"));
    p = HarmonisedFill::plan(e, {{"SGH08"}, "ATTENTION", lines(kHazards, {"H331"}), lines(kSupplemental)});
    QVERIFY(p.replaced.isEmpty());
}

void TestHarmonisedFill::numbersNameEntriesIndexFirst()
{
    HarmonisedTable t;
    HarmonisedEntry gas = entry();
    gas.index = QStringLiteral("017-002-00-2");
    gas.names = {QStringLiteral("hydrogen chloride")};
    gas.ec = {QStringLiteral("231-595-7")};
    gas.cas = {QStringLiteral("7647-01-0")};
    HarmonisedEntry solution = gas;
    solution.index = QStringLiteral("017-002-01-X");
    solution.names = {QStringLiteral("hydrochloric acid ... %")};
    solution.cas.clear();
    HarmonisedEntry other = gas;
    other.index = QStringLiteral("603-002-00-5");
    other.ec = {QStringLiteral("200-578-6")};
    other.cas = {QStringLiteral("64-17-5")};
    t.entries = {gas, solution, other};
    t.buildIndex();

    const QString noCE = LabelDocument::kEmptyCE, noCAS = LabelDocument::kEmptyCAS, noIndex = LabelDocument::kEmptyINDEX;
    // The EC number names the gas and its solution: the user chooses.
    HarmonisedFill::Lookup l = HarmonisedFill::lookup(t, noIndex, noCAS, "231-595-7");
    QCOMPARE(l.entries.size(), 2);
    QVERIFY(HarmonisedFill::chooseQuestion(l, 1).contains("Le n° CE 231-595-7 désigne 2 entrées"));
    QVERIFY(HarmonisedFill::chooseQuestion(l, 0).contains("INDEX 017-002-00-2 (hydrogen chloride) (1 sur 2) ?\n"
                                                          "Non propose l'entrée suivante."));
    QVERIFY(HarmonisedFill::chooseQuestion(l, 1).contains("INDEX 017-002-01-X (hydrochloric acid ... %) (2 sur 2)"));
    // The CAS number goes before the EC number, the INDEX before both.
    l = HarmonisedFill::lookup(t, noIndex, "  7647-01-0", "231-595-7");
    QCOMPARE(l.entries.size(), 1);
    QCOMPARE(l.entries.first()->index, gas.index);
    QVERIFY(l.disagreements.isEmpty());
    l = HarmonisedFill::lookup(t, "017-002-01-X", "  7647-01-0", noCE);
    QCOMPARE(l.entries.first()->index, solution.index);
    QCOMPARE(l.disagreements.size(), 1);
    QVERIFY(l.disagreements.first().contains("CAS 7647-01-0"));
    // No entry, or a wrong check digit: nothing.
    QVERIFY(HarmonisedFill::lookup(t, noIndex, "  7732-18-5", noCE).isEmpty());
    QVERIFY(HarmonisedFill::lookup(t, noIndex, "  7647-01-1", noCE).isEmpty());
}

QTEST_GUILESS_MAIN(TestHarmonisedFill)
#include "test_harmonisedfill.moc"

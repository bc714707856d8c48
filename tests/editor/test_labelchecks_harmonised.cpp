// The label checks against the harmonised classification: what the entry's
// labelling holds and the label lacks is an error naming it, a warning saying
// why when the entry has concentration limits or a minimum classification;
// the INDEX number goes before the CAS and EC numbers, an ambiguous number
// is only a note, and a damaged table is said.

#include "editor/labelchecks.h"
#include "tools/classification.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

HarmonisedEntry entry(const QString &index, const QString &ec, const QString &cas, const QStringList &hazards,
                      const QStringList &pictograms, const QString &word)
{
    HarmonisedEntry e;
    e.index = index;
    e.names = {QStringLiteral("substance ") + index};
    if (!ec.isEmpty())
        e.ec = {ec};
    if (!cas.isEmpty())
        e.cas = {cas};
    for (const QString &h : hazards)
        e.classes.append({QStringLiteral("Acute Tox. 3"), h});
    e.hazards = hazards;
    e.pictograms = pictograms;
    e.signalWord = word;
    return e;
}

std::shared_ptr<const HarmonisedTable> table()
{
    auto t = std::make_shared<HarmonisedTable>();
    HarmonisedEntry hcl = entry(QStringLiteral("017-002-00-2"), QStringLiteral("231-595-7"), QStringLiteral("7647-01-0"),
                                {QStringLiteral("H331"), QStringLiteral("H314")},
                                {QStringLiteral("SGH04"), QStringLiteral("SGH06"), QStringLiteral("SGH05")},
                                QStringLiteral("DANGER"));
    hcl.supplemental = {QStringLiteral("EUH071")};
    t->entries.append(hcl);
    // The solution shares the gas's EC number.
    t->entries.append(entry(QStringLiteral("017-002-01-X"), QStringLiteral("231-595-7"), QString(),
                            {QStringLiteral("H314")}, {QStringLiteral("SGH05")}, QStringLiteral("DANGER")));
    HarmonisedEntry acid = entry(QStringLiteral("016-020-00-8"), QStringLiteral("231-639-5"), QStringLiteral("7664-93-9"),
                                 {QStringLiteral("H314")}, {QStringLiteral("SGH05")}, QStringLiteral("DANGER"));
    acid.limits = {QStringLiteral("Skin Corr. 1A; H314: C ≥ 15 %")};
    t->entries.append(acid);
    HarmonisedEntry star = entry(QStringLiteral("603-001-00-X"), QStringLiteral("200-659-6"), QStringLiteral("67-56-1"),
                                 {QStringLiteral("H301"), QStringLiteral("H370 (eyes) **")}, {QStringLiteral("SGH06"), QStringLiteral("SGH08")},
                                 QStringLiteral("DANGER"));
    star.classes[0].first = QStringLiteral("Acute Tox. 3 *");
    t->entries.append(star);
    t->buildIndex();
    return t;
}

LabelChecks::Subject label(const QString &cas, const QStringList &hazards, const QStringList &pictograms,
                           const QString &word, const QStringList &euh = {})
{
    LabelChecks::Subject s;
    s.cas = QStringLiteral("%1").arg(cas, 11);
    s.statements[Catalogue::Hazard] = hazards;
    s.statements[Catalogue::Supplementary] = euh;
    s.pictograms = pictograms;
    s.signalWord = word;
    return s;
}

// The findings about the harmonised classification, "level: message".
QStringList harmonised(const LabelChecks &checks, const LabelChecks::Subject &s)
{
    QStringList out;
    for (const LabelFinding &f : checks.check(s))
        if (f.message.contains(QStringLiteral("classification harmonisée")))
            out << LabelFinding::levelName(f.level) + QStringLiteral(": ") + f.message;
    return out;
}

} // namespace

class TestLabelChecksHarmonised : public QObject
{
    Q_OBJECT

    LabelChecks m_checks;

private Q_SLOTS:
    void initTestCase() { m_checks.setHarmonisedTable(table()); }

    void completeLabelHasNoFinding()
    {
        const auto s = label(QStringLiteral("7647-01-0"),
                             {QStringLiteral("H331: Toxique par inhalation."), QStringLiteral("H314: Provoque...")},
                             {QStringLiteral("SGH04"), QStringLiteral("SGH05"), QStringLiteral("SGH06")},
                             QStringLiteral("DANGER"), {QStringLiteral("EUH071: Corrosif pour les voies respiratoires.")});
        QCOMPARE(harmonised(m_checks, s), QStringList());
    }

    void whatIsMissingIsAnError()
    {
        const auto s = label(QStringLiteral("7647-01-0"), {QStringLiteral("H314: Provoque...")},
                             {QStringLiteral("SGH05"), QStringLiteral("SGH04")}, QStringLiteral("ATTENTION"));
        const QString source = QStringLiteral("erreur: La classification harmonisée (INDEX 017-002-00-2) ");
        QCOMPARE(harmonised(m_checks, s),
                 (QStringList{source + QStringLiteral("demande la mention de danger H331, absente de l'étiquette."),
                              source + QStringLiteral("demande la mention EUH071, absente de l'étiquette."),
                              source + QStringLiteral("demande le pictogramme SGH06, absent de l'étiquette."),
                              source + QStringLiteral("demande la mention d'avertissement « DANGER », l'étiquette "
                                                      "porte « ATTENTION ».")}));
        QVERIFY(LabelChecks::serious(m_checks.check(s)));
        // No signal word at all is said the same way.
        QVERIFY(harmonised(m_checks, label(QStringLiteral("7647-01-0"), {}, {}, QString()))
                    .contains(source + QStringLiteral("demande la mention d'avertissement « DANGER », l'étiquette porte aucune.")));
    }

    void limitsAndMinimumClassificationsWarn()
    {
        const QStringList acid = harmonised(m_checks, label(QStringLiteral("7664-93-9"), {}, {QStringLiteral("SGH07")},
                                                            QStringLiteral("ATTENTION")));
        QCOMPARE(acid.size(), 3);
        for (const QString &line : acid) {
            QVERIFY2(line.startsWith(QStringLiteral("avertissement: La classification harmonisée (INDEX 016-020-00-8)")),
                     qPrintable(line));
            QVERIFY2(line.endsWith(QStringLiteral("(l'entrée fixe des limites de concentration spécifiques : "
                                                  "l'étiquette peut être celle d'une dilution).")),
                     qPrintable(line));
        }
        // "H370 (eyes) **" is looked for as H370.
        const QStringList methanol = harmonised(m_checks, label(QStringLiteral("67-56-1"), {QStringLiteral("H301: x")},
                                                                {QStringLiteral("SGH06"), QStringLiteral("SGH08")},
                                                                QStringLiteral("DANGER")));
        QCOMPARE(methanol, QStringList{QStringLiteral(
                               "avertissement: La classification harmonisée (INDEX 603-001-00-X) demande la mention de "
                               "danger H370, absente de l'étiquette (l'entrée donne une classification minimale (« * ») : "
                               "l'étiquette peut être celle d'une dilution).")});
    }

    void whichNumberNamesTheEntry()
    {
        // An EC number shared by two entries: a note, no comparison.
        LabelChecks::Subject s = label(QString(), {}, {}, QString());
        s.ce = QStringLiteral("231-595-7");
        QCOMPARE(harmonised(m_checks, s),
                 QStringList{QStringLiteral("note: Le n° CE 231-595-7 désigne plusieurs entrées de la classification "
                                            "harmonisée (017-002-00-2, 017-002-01-X) : l'étiquette n'y est pas comparée.")});
        // The INDEX number decides between them; it goes before the CAS number.
        s.index = QStringLiteral("017-002-01-X");
        s.cas = QStringLiteral("  7647-01-0");
        const QStringList solution = harmonised(m_checks, s);
        QCOMPARE(solution.size(), 3);
        QVERIFY(solution.first().contains(QStringLiteral("(INDEX 017-002-01-X) demande la mention de danger H314")));
        // A number with no entry, an empty or a wrong one: nothing to compare.
        QCOMPARE(harmonised(m_checks, label(QStringLiteral("64-17-5"), {}, {}, QString())), QStringList());
        QCOMPARE(harmonised(m_checks, label(QStringLiteral("7647-01-1"), {}, {}, QString())), QStringList());
        QCOMPARE(harmonised(LabelChecks(), label(QStringLiteral("7647-01-0"), {}, {}, QString())), QStringList());
    }

    void loadSaysADamagedTable()
    {
        QTemporaryDir start;
        // No table: nothing said, nothing compared.
        QVERIFY(LabelChecks::load(start.path()).problems().filter(QStringLiteral("harmonisée")).isEmpty());
        QVERIFY(QDir(start.path()).mkpath(QStringLiteral("clp")));
        QFile f(start.filePath(QStringLiteral("clp/annexe6.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("KALVANE CLASSIFICATION HARMONISEE 1\r\nENTREES=3\r\n\r\nINDEX=017-002-00-2\r\n");
        f.close();
        HarmonisedTable::forgetShared();
        const LabelChecks checks = LabelChecks::load(start.path());
        const QStringList problems = checks.problems().filter(QStringLiteral("harmonisée"));
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().contains(QStringLiteral("annonce 3 entrées et en contient 1")), qPrintable(problems.first()));
        QCOMPARE(harmonised(checks, label(QStringLiteral("7647-01-0"), {}, {}, QString())), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLabelChecksHarmonised)
#include "test_labelchecks_harmonised.moc"

// The label checks: each one fires on a label made to break it, with its
// level, and stays silent on a sound label; a label file is judged on what it
// stores, including what the reader would drop.

#include "editor/labelchecks.h"
#include "render/labelrenderer.h"
#include "shell/textfile.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kData = QStringLiteral(KALVANE_DATA_DIR);

StatementList catalogue(const QString &name)
{
    return Catalogue::toStatements(TextFile::readLines(kData + u'/' + name));
}

// Ticks exactly the entries with these codes.
void tickOnly(StatementList *list, const QStringList &codes)
{
    int found = 0;
    for (StatementEntry &e : *list) {
        e.ticked = codes.contains(Catalogue::statementCode(e.text));
        found += e.ticked;
    }
    QCOMPARE(found, int(codes.size()));
}

// "level: message" of every finding.
QStringList lines(const QList<LabelFinding> &findings)
{
    QStringList out;
    for (const LabelFinding &f : findings)
        out << LabelFinding::levelName(f.level) + QStringLiteral(": ") + f.message;
    return out;
}

} // namespace

class TestLabelChecks : public QObject
{
    Q_OBJECT

    LabelChecks m_checks;
    LabelDocument m_sound;
    QTemporaryDir m_dir;

    // A label with nothing to find: an ethanol label.
    LabelDocument sound() const { return m_sound; }

    QStringList findings(const LabelDocument &doc) const
    {
        return lines(m_checks.check(LabelChecks::subjectOf(doc)));
    }
    QStringList fileFindings(const QStringList &fileLines) const
    {
        return lines(m_checks.check(LabelChecks::subjectOfLines(fileLines, m_dir.path())));
    }
    QStringList withStatements(const QStringList &h, const QStringList &pictograms, const QString &signal,
                               const QStringList &p = {QStringLiteral("P210")}) const
    {
        LabelDocument doc = sound();
        tickOnly(&doc.hazards, h);
        tickOnly(&doc.precautions, p);
        doc.pictograms = pictograms;
        doc.signalWord = signal;
        return findings(doc);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_checks = LabelChecks::load(kData);
        QCOMPARE(m_checks.problems(), QStringList());
        // These labels change their statements freely: the harmonised
        // classification has its own test.
        m_checks.setHarmonisedTable(nullptr);
        LabelDocument &d = m_sound;
        d.product = QStringLiteral("ÉTHANOL");
        d.supplier = QStringLiteral("Chimie Lyonnaise SA\n12 rue des Verriers - 69007 Lyon\nTél. : 04 65 71 23 45");
        d.ce = QStringLiteral("200-578-6");
        d.cas = QStringLiteral("    64-17-5");
        d.index = QStringLiteral("603-002-00-5");
        d.signalWord = QStringLiteral("DANGER");
        d.pictograms = {QStringLiteral("SGH02"), QStringLiteral("SGH07")};
        d.hazards = catalogue(QStringLiteral("H.txt"));
        d.precautions = catalogue(QStringLiteral("P.txt"));
        d.supplementary = catalogue(QStringLiteral("EUH.txt"));
        tickOnly(&d.hazards, {QStringLiteral("H225"), QStringLiteral("H319")});
        tickOnly(&d.precautions, {QStringLiteral("P210"), QStringLiteral("P233"), QStringLiteral("P305+P351+P338")});
        tickOnly(&d.supplementary, {QStringLiteral("EUH066")});
    }

    void soundLabelHasNoFinding()
    {
        QCOMPARE(findings(sound()), QStringList());
        QCOMPARE(LabelChecks::report({}), QStringLiteral("Aucune anomalie détectée."));
        // Written to a file and judged from its lines: the same.
        QCOMPARE(fileFindings(LabelFile::serialize(sound(), FrameMirrors())), QStringList());
    }

    void readingProblems()
    {
        QCOMPARE(fileFindings({}), QStringList{
            QStringLiteral("erreur: Le fichier est vide : ce n'est pas un fichier d'étiquette.")});
        QCOMPARE(fileFindings({QStringLiteral("bonjour"), QStringLiteral("***sub***")}), QStringList{
            QStringLiteral("erreur: Ce fichier n'est pas un fichier d'étiquette : sa première ligne n'est pas "
                           "« ***fab*** ».")});
        // Cut after the pictograms: the reader's own error, and nothing else
        // (what was not read cannot be judged).
        QStringList file = LabelFile::serialize(sound(), FrameMirrors());
        file = file.first(file.indexOf(LabelFile::kHazards) + 1);
        const QStringList cut = fileFindings(file);
        QCOMPARE(cut.size(), 1);
        QCOMPARE(cut.first(),
                 QStringLiteral("erreur: La lecture de l'étiquette s'arrête sur une erreur : le fichier s'arrête après "
                                "sa ligne %1, dans la partie « mentions de danger ». Parties lues en entier : "
                                "identification du fournisseur, identification du produit, numéros CE/CAS/INDEX, "
                                "commentaires, mention d'avertissement, pictogrammes ; la suite n'a pas été lue.")
                     .arg(file.size()));
        // A size that is no number stops the reader too.
        file = LabelFile::serialize(sound(), FrameMirrors());
        file[file.indexOf(LabelFile::kFont) + 2] = QStringLiteral("vingt");
        QCOMPARE(fileFindings(file).size(), 1);
        // A logo line climbing out of the label's folder: the reader's warning.
        file = LabelFile::serialize(sound(), FrameMirrors());
        file[file.indexOf(LabelFile::kSub) - 1] = QStringLiteral("\\fournisseurs\\..\\..\\secret.jpg");
        const QStringList logo = fileFindings(file);
        QCOMPARE(logo.size(), 1);
        QVERIFY(logo.first().startsWith(QStringLiteral("avertissement: La ligne du logo")));
        // A file that is not there.
        const LabelChecks::Subject missing = LabelChecks::readSubject(m_dir.filePath(QStringLiteral("absent.kvln")));
        const QStringList absent = lines(m_checks.check(missing));
        QCOMPARE(absent.size(), 1);
        QVERIFY(absent.first().startsWith(QStringLiteral("erreur: ")));
    }

    void statementCodes()
    {
        // A file may store a statement whose code no catalogue knows, or a
        // precautionary statement in the hazard section: the reader drops
        // both, which the checks say.
        QStringList file = LabelFile::serialize(sound(), FrameMirrors());
        const qsizetype at = file.indexOf(LabelFile::kPrecautions);
        file.insert(at, QStringLiteral("99"));
        file.insert(at + 1, QStringLiteral("H299: Une mention inventée."));
        file.insert(at + 2, QStringLiteral("3"));
        file.insert(at + 3, QStringLiteral("P210: Tenir à l'écart de la chaleur."));
        QCOMPARE(fileFindings(file), (QStringList{
            QStringLiteral("erreur: Le code « H299 » n'existe pas dans le catalogue « H.txt » : la phrase disparaît "
                           "à l'ouverture de l'étiquette."),
            QStringLiteral("erreur: Le code « P210 » n'existe pas dans le catalogue « H.txt » : la phrase disparaît "
                           "à l'ouverture de l'étiquette.")}));

        // In a window, a wording edited without its colon loses its code.
        LabelDocument doc = sound();
        for (StatementEntry &e : doc.supplementary)
            if (e.ticked)
                e.text = QStringLiteral("EUH066 L'exposition répétée peut provoquer dessèchement de la peau.");
        const QStringList noCode = findings(doc);
        QCOMPARE(noCode.size(), 1);
        QVERIFY(noCode.first().startsWith(QStringLiteral("erreur: La phrase « EUH066 L'exposition")));
        QVERIFY(noCode.first().endsWith(QStringLiteral("n'a pas de code (aucun deux-points) : elle disparaît à "
                                                      "l'ouverture de l'étiquette.")));
    }

    void identificationNumbers_data()
    {
        QTest::addColumn<QString>("ce");
        QTest::addColumn<QString>("cas");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QStringList>("expected");
        const QString ce = QStringLiteral("200-578-6"), cas = QStringLiteral("    64-17-5"),
                      index = QStringLiteral("603-002-00-5");
        QTest::newRow("sound") << ce << cas << index << QStringList();
        QTest::newRow("all empty") << QStringLiteral("   -   - ") << QStringLiteral("      -  - ")
                                   << QStringLiteral("   -   -  - ") << QStringList();
        QTest::newRow("X as INDEX check") << ce << cas << QStringLiteral("603-001-00-X") << QStringList();
        QTest::newRow("wrong CE") << QStringLiteral("200-578-5") << cas << index << QStringList{
            QStringLiteral("erreur: Le chiffre de contrôle du n° CE « 200-578-5 » est erroné : le calcul donne 6 "
                           "(200-578-6).")};
        QTest::newRow("wrong CAS") << ce << QStringLiteral("    64-17-4") << index << QStringList{
            QStringLiteral("erreur: Le chiffre de contrôle du n° CAS «     64-17-4 » est erroné : le calcul donne 5 "
                           "(    64-17-5).")};
        QTest::newRow("wrong INDEX") << ce << cas << QStringLiteral("603-002-00-4") << QStringList{
            QStringLiteral("erreur: Le chiffre de contrôle du n° INDEX « 603-002-00-4 » est erroné : le calcul "
                           "donne 5 (603-002-00-5).")};
        QTest::newRow("CAS with X") << ce << QStringLiteral("    64-17-X") << index << QStringList{
            QStringLiteral("erreur: Le n° CAS «     64-17-X » est incomplet ou n'a pas la forme 000000-00-0.")};
        QTest::newRow("incomplete CE") << QStringLiteral("200- 78-6") << cas << index << QStringList{
            QStringLiteral("erreur: Le n° CE « 200- 78-6 » est incomplet ou n'a pas la forme 000-000-0.")};
        QTest::newRow("CAS typed short") << ce << QStringLiteral("64-17-5") << index << QStringList{
            QStringLiteral("erreur: Le n° CAS « 64-17-5 » est incomplet ou n'a pas la forme 000000-00-0.")};
        QTest::newRow("CAS gap inside") << ce << QStringLiteral("  6 4-17-5") << index << QStringList{
            QStringLiteral("erreur: Le n° CAS «   6 4-17-5 » est incomplet ou n'a pas la forme 000000-00-0.")};
        QTest::newRow("zeros") << QStringLiteral("000-000-0") << cas << index << QStringList{
            QStringLiteral("avertissement: Le n° CE « 000-000-0 » n'est fait que de zéros : ce n'est pas un numéro, "
                           "l'éditeur le vide.")};
    }

    void identificationNumbers()
    {
        QFETCH(QString, ce);
        QFETCH(QString, cas);
        QFETCH(QString, index);
        QFETCH(QStringList, expected);
        LabelDocument doc = sound();
        doc.ce = ce;
        doc.cas = cas;
        doc.index = index;
        QCOMPARE(findings(doc), expected);
    }

    void pictogramsAsStored()
    {
        // Six codes, an unknown one and a repeated one, by hand in the file.
        LabelDocument doc = sound();
        tickOnly(&doc.hazards, {QStringLiteral("H225"), QStringLiteral("H319"), QStringLiteral("H400")});
        QStringList file = LabelFile::serialize(doc, FrameMirrors());
        qsizetype at = file.indexOf(LabelFile::kHazards);
        for (const char *code : {"SGH09", "SGH10", "SGH02", "GHS04", "SGH08", "SGH01"})
            file.insert(at++, QString::fromLatin1(code));
        const QStringList found = fileFindings(file);
        QVERIFY2(found.contains(QStringLiteral(
                     "erreur: La ligne de pictogramme « SGH10 » ne désigne aucun pictogramme (SGH01 à SGH09) : elle "
                     "est ignorée à l'ouverture de l'étiquette.")),
                 qPrintable(found.join(u'\n')));
        QVERIFY(found.contains(QStringLiteral("avertissement: Le pictogramme SGH02 figure plusieurs fois.")));
        QVERIFY(found.contains(QStringLiteral(
            "erreur: Le nombre de pictogrammes ne peut dépasser cinq ! L'étiquette en porte 6 ; ceux qui suivent le "
            "cinquième ne sont pas lus à l'ouverture : SGH01.")));
        // "GHS04" is read as SGH04; the five kept are judged by the rules.
        QVERIFY(!found.join(u'\n').contains(QStringLiteral("GHS04")));
    }

    void editorRules_data()
    {
        QTest::addColumn<QStringList>("hazards");
        QTest::addColumn<QStringList>("pictograms");
        QTest::addColumn<QStringList>("expected");
        const auto codes = [](const char *text) { return QString::fromLatin1(text).split(u' '); };
        QTest::newRow("SGH02 with SGH03") << codes("H225 H272") << codes("SGH02 SGH03") << QStringList{
            QStringLiteral("erreur: L'éditeur refuse cette combinaison de pictogrammes : « Le pictogramme SGH03 n'est "
                           "pas compatible avec SGH02 ! »")};
        QTest::newRow("SGH07 after SGH06") << codes("H301 H315") << codes("SGH06 SGH07") << QStringList{
            QStringLiteral("erreur: L'éditeur refuse cette combinaison de pictogrammes : « Le pictogramme SGH07 n'est "
                           "pas autorisé avec SGH06 ! »")};
        QTest::newRow("SGH06 after SGH07") << codes("H301 H315") << codes("SGH07 SGH06") << QStringList{
            QStringLiteral("erreur: L'éditeur refuse cette combinaison de pictogrammes : « Le pictogramme SGH06 prime "
                           "sur SGH07. Celui-ci sera remplacé automatiquement! »")};
        // Accepted by the editor after a question: judged by the statements.
        QTest::newRow("SGH07 only for irritation beside SGH05") << codes("H314 H319") << codes("SGH05 SGH07")
            << QStringList{QStringLiteral(
                   "avertissement: Avec le pictogramme SGH05, SGH07 ne doit pas apparaître pour l'irritation cutanée ou "
                   "oculaire, et aucune mention de danger cochée ne demande SGH07 par ailleurs.")};
        QTest::newRow("SGH07 for harm by mouth beside SGH05") << codes("H302 H314") << codes("SGH07 SGH05")
                                                             << QStringList();
        QTest::newRow("SGH07 for skin allergy beside SGH08 of asthma") << codes("H317 H334") << codes("SGH08 SGH07")
            << QStringList{QStringLiteral(
                   "avertissement: Avec le pictogramme SGH08, SGH07 ne doit pas apparaître pour la sensibilisation "
                   "cutanée ou l'irritation cutanée et oculaire, et aucune mention de danger cochée ne demande SGH07 "
                   "par ailleurs.")};
        QTest::newRow("SGH07 for skin allergy beside SGH08 of cancer") << codes("H317 H350i") << codes("SGH08 SGH07")
                                                                      << QStringList();
        QTest::newRow("SGH02 beside SGH01") << codes("H201 H228") << codes("SGH01 SGH02") << QStringList{
            QStringLiteral("note: Le pictogramme SGH02 est facultatif avec SGH01.")};
        QTest::newRow("SGH01 after SGH02") << codes("H201 H228") << codes("SGH02 SGH01") << QStringList{
            QStringLiteral("note: Le pictogramme SGH02 est facultatif avec SGH01.")};
        // Type B: both are required, so neither is called optional.
        QTest::newRow("SGH02 beside SGH01 for type B") << codes("H241") << codes("SGH01 SGH02") << QStringList();
        QTest::newRow("SGH01 after SGH02 for type B") << codes("H241") << codes("SGH02 SGH01") << QStringList();
    }

    void editorRules()
    {
        QFETCH(QStringList, hazards);
        QFETCH(QStringList, pictograms);
        QFETCH(QStringList, expected);
        QCOMPARE(withStatements(hazards, pictograms, QStringLiteral("DANGER")), expected);
    }

    void signalWord_data()
    {
        QTest::addColumn<QStringList>("hazards");
        QTest::addColumn<QStringList>("pictograms");
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QStringList>("expected");
        const QStringList sgh02 = {QStringLiteral("SGH02")};
        QTest::newRow("danger statement under ATTENTION") << QStringList{"H225"} << sgh02 << "ATTENTION"
            << QStringList{QStringLiteral("erreur: La mention d'avertissement doit être « DANGER », que demande H225 ; "
                                          "l'étiquette porte « ATTENTION ».")};
        QTest::newRow("danger statements, no signal word") << QStringList{"H301+H311"}
                                                           << QStringList{"SGH06"} << ""
            << QStringList{QStringLiteral("erreur: La mention d'avertissement doit être « DANGER », que demandent H301, "
                                          "H311 ; l'étiquette n'en porte aucune.")};
        QTest::newRow("mixed-case Danger") << QStringList{"H225"} << sgh02 << "Danger" << QStringList{
            QStringLiteral("avertissement: La mention d'avertissement « Danger » n'est ni « DANGER » ni « ATTENTION ».")};
        QTest::newRow("warning statement, no signal word") << QStringList{"H226"} << sgh02 << "" << QStringList{
            QStringLiteral("erreur: La mention d'avertissement manque : H226 demande « ATTENTION ».")};
        QTest::newRow("warning statement under ATTENTION") << QStringList{"H226"} << sgh02 << "ATTENTION"
                                                           << QStringList();
        // Shared by categories of both signal words: nothing to say.
        QTest::newRow("flammable solid under ATTENTION") << QStringList{"H228"} << sgh02 << "ATTENTION"
                                                         << QStringList();
        // No signal word for its category: not counted.
        QTest::newRow("harmful to aquatic life, none") << QStringList{"H412"} << QStringList() << "" << QStringList();
    }

    void signalWord()
    {
        QFETCH(QStringList, hazards);
        QFETCH(QStringList, pictograms);
        QFETCH(QString, signal);
        QFETCH(QStringList, expected);
        QCOMPARE(withStatements(hazards, pictograms, signal), expected);
    }

    void pictogramFacts_data()
    {
        QTest::addColumn<QStringList>("hazards");
        QTest::addColumn<QStringList>("pictograms");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("flame missing") << QStringList{"H225"} << QStringList{"SGH07"} << QStringList{
            QStringLiteral("erreur: Le pictogramme SGH02 manque : H225 le demande toujours.")};
        // Type B self-reactive substances and organic peroxides carry both the
        // bomb and the flame: the bomb's precedence does not apply.
        QTest::newRow("flame beside the bomb for type B") << QStringList{"H241"} << QStringList{"SGH01"} << QStringList{
            QStringLiteral("erreur: Le pictogramme SGH02 manque : H241 le demande toujours.")};
        QTest::newRow("flame optional with the bomb") << QStringList{"H201", "H228"} << QStringList{"SGH01"}
                                                      << QStringList();
        QTest::newRow("both missing") << QStringList{"H241", "H225"} << QStringList{"SGH09"} << QStringList{
            QStringLiteral("erreur: Le pictogramme SGH01 manque : H241 le demande toujours."),
            QStringLiteral("erreur: Le pictogramme SGH02 manque : H225, H241 le demandent toujours.")};
        QTest::newRow("environment missing") << QStringList{"H225", "H410"} << QStringList{"SGH02"} << QStringList{
            QStringLiteral("erreur: Le pictogramme SGH09 manque : H410 le demande toujours.")};
        QTest::newRow("skull makes the exclamation mark unnecessary")
            << QStringList{"H301", "H315", "H332"} << QStringList{"SGH06"} << QStringList();
        QTest::newRow("corrosion makes it unnecessary for irritation")
            << QStringList{"H314", "H319"} << QStringList{"SGH05"} << QStringList();
        QTest::newRow("not for harm by inhalation") << QStringList{"H314", "H332"} << QStringList{"SGH05"}
            << QStringList{QStringLiteral("erreur: Le pictogramme SGH07 manque : H332 le demande toujours.")};
        QTest::newRow("asthma makes it unnecessary for skin allergy")
            << QStringList{"H317", "H334"} << QStringList{"SGH08"} << QStringList();
        QTest::newRow("cancer does not") << QStringList{"H317", "H350i"} << QStringList{"SGH08"} << QStringList{
            QStringLiteral("erreur: Le pictogramme SGH07 manque : H317 le demande toujours.")};
        // The pictogram is certain even where the signal word is not.
        QTest::newRow("shared signal word, certain flame") << QStringList{"H228"} << QStringList() << QStringList{
            QStringLiteral("erreur: Le pictogramme SGH02 manque : H228 le demande toujours.")};
        // Shared by categories with and without a pictogram: nothing.
        QTest::newRow("aerosol under pressure") << QStringList{"H229"} << QStringList() << QStringList();
        QTest::newRow("combined statements") << QStringList{"H302+H312+H332"} << QStringList() << QStringList{
            QStringLiteral("erreur: Le pictogramme SGH07 manque : H302, H312, H332 le demandent toujours.")};
    }

    void pictogramFacts()
    {
        QFETCH(QStringList, hazards);
        QFETCH(QStringList, pictograms);
        QFETCH(QStringList, expected);
        LabelDocument doc = sound();
        tickOnly(&doc.hazards, hazards);
        doc.pictograms = pictograms;
        doc.signalWord = QStringLiteral("DANGER");
        QCOMPARE(findings(doc), expected);
    }

    void precautionCountProductAndSupplier()
    {
        LabelDocument doc = sound();
        tickOnly(&doc.precautions, {"P210", "P233", "P240", "P242", "P243", "P403+P235"});
        QCOMPARE(findings(doc), QStringList());
        tickOnly(&doc.precautions, {"P210", "P233", "P240", "P242", "P243", "P305+P351+P338", "P403+P235"});
        QCOMPARE(findings(doc), QStringList{QStringLiteral(
            "note: 7 conseils de prudence sont cochés : 6 au plus sont recommandés, sauf si la nature et la gravité des "
            "dangers l'exigent.")});

        doc = sound();
        doc.product = QStringLiteral("  \n ");
        doc.supplier = QStringLiteral("\n");
        QCOMPARE(findings(doc), (QStringList{
            QStringLiteral("erreur: Le nom du produit est vide."),
            QStringLiteral("erreur: Le bloc fournisseur est vide (nom, adresse et téléphone du fournisseur).")}));
    }

    void choicesLeftToTheSupplier_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("marks");
        const QString dots = QStringLiteral("« … »"), slash = QStringLiteral("« / »"),
                      square = QStringLiteral("« […] »"), angle = QStringLiteral("« <…> »");
        QTest::newRow("P280") << QStringLiteral("P280: Porter des gants de protection/des vêtements de protection/un "
                                                "équipement de protection des yeux/du visage/une protection auditive/…")
                              << QStringList{dots, slash};
        QTest::newRow("completed P280") << QStringLiteral("P280: Porter des gants de protection et un équipement de "
                                                          "protection des yeux.")
                                        << QStringList();
        QTest::newRow("three dots") << QStringLiteral("P378: Utiliser ... pour l'extinction.") << QStringList{dots};
        QTest::newRow("P284") << QStringLiteral("P284: [Lorsque la ventilation du local est insuffisante] porter un "
                                                "équipement de protection respiratoire.")
                              << QStringList{square};
        QTest::newRow("H350") << QStringLiteral("H350: Peut provoquer le cancer <indiquer la voie d’exposition>.")
                              << QStringList{angle};
        QTest::newRow("code in brackets only") << QStringLiteral("P370+P380+P375[+P378]: En cas d’incendie: évacuer "
                                                                 "la zone.")
                                               << QStringList();
        QTest::newRow("et/ou") << QStringLiteral("H231: Peut exploser même en l’absence d’air à une pression et/ou "
                                                 "température élevée(s).")
                               << QStringList();
        QTest::newRow("units") << QStringLiteral("P412: Ne pas exposer à une température supérieure à 50 °C/122 °F.")
                               << QStringList();
        QTest::newRow("EUH018") << QStringLiteral("EUH018: Lors de l’utilisation, formation possible de mélange "
                                                  "vapeur-air inflammable/explosif.")
                                << QStringList();
        // "contenu/récipient" is the official wording itself: only the place
        // left open is a choice.
        QTest::newRow("P501") << QStringLiteral("P501: Éliminer le contenu/récipient dans …")
                              << QStringList{dots};
        QTest::newRow("completed P501") << QStringLiteral("P501: Éliminer le contenu/récipient dans une installation "
                                                          "d'élimination des déchets agréée.")
                                        << QStringList();
        QTest::newRow("P501 alternative left open") << QStringLiteral("P501: Éliminer le contenu/… dans une "
                                                                      "déchetterie.")
                                                    << QStringList{dots, slash};
        QTest::newRow("two of P260's alternatives") << QStringLiteral("P260: Ne pas respirer les poussières/fumées.")
                                                    << QStringList{slash};
    }

    void choicesLeftToTheSupplier()
    {
        QFETCH(QString, statement);
        QFETCH(QStringList, marks);
        QCOMPARE(LabelChecks::choiceMarks(statement), marks);
    }

    void fixedWordingsComeFromTheOfficialTexts()
    {
        // A wording with one "/" between two words keeps it; lists of
        // alternatives ("/…", several "/") are choices.
        const auto fixedOf = [](const QString &name) {
            return LabelChecks::fixedWordings(TextFile::readLines(kData + u'/' + name));
        };
        QCOMPARE(fixedOf(QStringLiteral("H.txt")), QSet<QString>{QStringLiteral("et/ou")});
        QCOMPARE(fixedOf(QStringLiteral("P.txt")), QSet<QString>{QStringLiteral("contenu/récipient")});
        QCOMPARE(fixedOf(QStringLiteral("EUH.txt")), QSet<QString>{QStringLiteral("inflammable/explosif")});
        // A catalogue of the user's with a wording of its own: the checks
        // loaded with it leave that "/" alone, and only it.
        LabelChecks checks = m_checks;
        const QString own = QStringLiteral("P499: Garder le couvercle/bouchon bien fermé.");
        checks.setCatalogue(Catalogue::Precaution, TextFile::readLines(kData + QStringLiteral("/P.txt")) << own);
        LabelDocument doc = sound();
        doc.precautions.append({own, true});
        QCOMPARE(lines(checks.check(LabelChecks::subjectOf(doc))), QStringList());
        QCOMPARE(LabelChecks::choiceMarks(own), QStringList{QStringLiteral("« / »")});
        // A completed P501 on a label: nothing; left open: one note.
        doc = sound();
        for (StatementEntry &e : doc.precautions)
            if (Catalogue::statementCode(e.text) == QLatin1String("P501"))
                e = {QStringLiteral("P501: Éliminer le contenu/récipient dans un centre de collecte agréé."), true};
        QCOMPARE(findings(doc), QStringList());
        tickOnly(&doc.precautions, {"P210", "P233", "P305+P351+P338", "P501"});
        for (StatementEntry &e : doc.precautions)
            if (Catalogue::statementCode(e.text) == QLatin1String("P501"))
                e.text = QStringLiteral("P501: Éliminer le contenu/récipient dans …");
        QCOMPARE(findings(doc), QStringList{QStringLiteral(
            "note: La phrase P501 contient encore des choix laissés au fournisseur (« … ») : complétez-la avec "
            "« Modifier une phrase ».")});
    }

    void supplementalHazardClassesHaveSignalWords()
    {
        // Endocrine disruptors, PBT/vPvB and PMT/vPvM carry a signal word
        // but no pictogram.
        const auto with = [this](const QStringList &euh, const QString &signal) {
            LabelDocument doc = sound();
            tickOnly(&doc.hazards, {});
            tickOnly(&doc.supplementary, euh);
            doc.pictograms.clear();
            doc.signalWord = signal;
            return findings(doc);
        };
        for (const char *danger : {"EUH380", "EUH430", "EUH440", "EUH441", "EUH450", "EUH451"}) {
            const QStringList found = with({QString::fromLatin1(danger)}, QStringLiteral("ATTENTION"));
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first(), QStringLiteral("erreur: La mention d'avertissement doit être « DANGER », que "
                                                   "demande %1 ; l'étiquette porte « ATTENTION ».")
                                        .arg(QString::fromLatin1(danger)));
            QCOMPARE(with({QString::fromLatin1(danger)}, QStringLiteral("DANGER")), QStringList());
        }
        for (const char *attention : {"EUH381", "EUH431"}) {
            QCOMPARE(with({QString::fromLatin1(attention)}, QStringLiteral("ATTENTION")), QStringList());
            QCOMPARE(with({QString::fromLatin1(attention)}, QString()),
                     QStringList{QStringLiteral("erreur: La mention d'avertissement manque : %1 demande « ATTENTION ».")
                                     .arg(QString::fromLatin1(attention))});
        }
        // Beside a hazard statement that asks for DANGER both are named.
        LabelDocument doc = sound();
        tickOnly(&doc.supplementary, {"EUH380"});
        doc.signalWord = QStringLiteral("ATTENTION");
        QCOMPARE(findings(doc).first(), QStringLiteral("erreur: La mention d'avertissement doit être « DANGER », que "
                                                       "demandent H225, EUH380 ; l'étiquette porte « ATTENTION »."));
    }

    void pictogramPrecedenceFacts()
    {
        // A gas under pressure that is flammable or toxic: SGH04 is optional.
        QCOMPARE(withStatements({"H220", "H280"}, {"SGH02"}, QStringLiteral("DANGER")), QStringList());
        QCOMPARE(withStatements({"H331", "H281"}, {"SGH06"}, QStringLiteral("DANGER")), QStringList());
        QCOMPARE(withStatements({"H280"}, {}, QStringLiteral("ATTENTION")),
                 QStringList{QStringLiteral("erreur: Le pictogramme SGH04 manque : H280 le demande toujours.")});
        // Self-reactive substances and organic peroxides of type B: the bomb
        // and the flame, SGH01 not replacing SGH02.
        QVERIFY(withStatements({"H241"}, {"SGH01"}, QStringLiteral("DANGER"))
                    .contains(QStringLiteral("erreur: Le pictogramme SGH02 manque : H241 le demande toujours.")));
        QVERIFY(!withStatements({"H241"}, {"SGH01", "SGH02"}, QStringLiteral("DANGER")).join(u'\n').contains(
            QStringLiteral("manque")));
    }

    void statementsThatDoNotFitAreErrors()
    {
        // Every H and P statement of the catalogues: far more than a label holds.
        LabelDocument doc = sound();
        QStringList hazards, precautions;
        for (const StatementEntry &e : std::as_const(doc.hazards).first(22))
            hazards << Catalogue::statementCode(e.text);
        for (const StatementEntry &e : std::as_const(doc.precautions).first(40))
            precautions << Catalogue::statementCode(e.text);
        tickOnly(&doc.hazards, hazards);
        tickOnly(&doc.precautions, precautions);
        const LabelContent content = LabelContent::fromDocument(doc, FrameMirrors(), false, kData);
        LayoutResult exported;
        LabelRenderer::exportImage(content, &exported);
        QVERIFY(!exported.cutStatement.isEmpty());
        // The statement named is a ticked one, and it is not the first one.
        QVERIFY(exported.cutStatement.contains(u':'));
        QVERIFY(!exported.cutStatement.startsWith(hazards.first() + u':'));

        const QString expected = QStringLiteral("erreur: Les phrases ne tiennent pas toutes sur l'étiquette : à partir "
                                                "de « %1 », le texte est coupé au bas de l'étiquette.");
        const auto cutFinding = [](const QStringList &found) {
            for (const QString &f : found)
                if (f.contains(QStringLiteral("ne tiennent pas toutes")))
                    return f;
            return QString();
        };
        const QString fromWindow = cutFinding(lines(m_checks.check(LabelChecks::subjectOf(doc, content))));
        const QString named = exported.cutStatement.size() > 60 ? exported.cutStatement.left(59) + QChar(0x2026)
                                                                : exported.cutStatement;
        QVERIFY2(fromWindow.startsWith(expected.arg(named)), qPrintable(fromWindow));
        // The same label as a file.
        QCOMPARE(cutFinding(fileFindings(LabelFile::serialize(doc, FrameMirrors()))), fromWindow);
        // A larger statement size cuts earlier; a sound label fits.
        FrameMirrors large;
        large.statementSize = 40;
        LabelDocument few = sound();
        QCOMPARE(cutFinding(lines(m_checks.check(
                     LabelChecks::subjectOf(few, LabelContent::fromDocument(few, FrameMirrors(), false, kData))))),
                 QString());
        QVERIFY(!cutFinding(lines(m_checks.check(
                     LabelChecks::subjectOf(few, LabelContent::fromDocument(few, large, false, kData))))).isEmpty());
    }

    void numberingOnlyIsAnError()
    {
        const QString finding = QStringLiteral(
            "erreur: L'étiquette est réglée sur « Numérotation H, P, EUH » : imprimée ainsi, elle ne porte que les "
            "codes des phrases, alors qu'une étiquette de danger doit porter le texte des mentions de danger et des "
            "conseils de prudence.");
        LabelDocument doc = sound();
        doc.numberingOnly = true;
        QCOMPARE(findings(doc), QStringList{finding});
        // Or chosen in the print options only.
        doc.numberingOnly = false;
        const LabelContent codes = LabelContent::fromDocument(doc, FrameMirrors(), true, kData);
        QCOMPARE(lines(m_checks.check(LabelChecks::subjectOf(doc, codes))), QStringList{finding});
    }

    void choicesAsFindingsAndOrder()
    {
        LabelDocument doc = sound();
        tickOnly(&doc.precautions, {"P210", "P280"});
        doc.signalWord = QStringLiteral("ATTENTION");
        doc.product.clear();
        const QList<LabelFinding> found = m_checks.check(LabelChecks::subjectOf(doc));
        QCOMPARE(lines(found), (QStringList{
            QStringLiteral("erreur: La mention d'avertissement doit être « DANGER », que demande H225 ; l'étiquette "
                           "porte « ATTENTION »."),
            QStringLiteral("erreur: Le nom du produit est vide."),
            QStringLiteral("note: La phrase P280 contient encore des choix laissés au fournisseur (« … », « / ») : "
                           "complétez-la avec « Modifier une phrase »."),
        }));
        QVERIFY(LabelChecks::serious(found));
        QVERIFY(!LabelChecks::serious({found.last()}));
        QCOMPARE(LabelChecks::report(found).split(u'\n').first(),
                 QStringLiteral("erreur : La mention d'avertissement doit être « DANGER », que demande H225 ; "
                                "l'étiquette porte « ATTENTION »."));
    }

    void withoutFactsOrCatalogues()
    {
        // An empty start directory: what cannot be compared is said once,
        // the other checks still run.
        const LabelChecks bare = LabelChecks::load(m_dir.path());
        QCOMPARE(bare.problems().size(), 5);
        QVERIFY(bare.problems().contains(QStringLiteral("Le fichier des vérifications « verifications.txt » est "
                                                         "introuvable.")));
        LabelDocument doc = sound();
        doc.signalWord = QStringLiteral("ATTENTION");
        doc.pictograms.clear();
        doc.ce = QStringLiteral("200-578-5");
        QCOMPARE(bare.check(LabelChecks::subjectOf(doc)).size(), 1); // the CE number only
    }

    void truncatedFilesNeverMislead()
    {
        // Every cut of a sound file before its last read line gives the
        // reading error alone (the closing "_eof" is never read).
        const QStringList file = LabelFile::serialize(sound(), FrameMirrors());
        QCOMPARE(file.constLast(), LabelFile::kEof);
        QCOMPARE(m_checks.check(LabelChecks::subjectOfLines(file.first(file.size() - 1), m_dir.path())).size(), 0);
        for (qsizetype n = 0; n < file.size() - 1; ++n) {
            const QList<LabelFinding> found = m_checks.check(LabelChecks::subjectOfLines(file.first(n), m_dir.path()));
            QVERIFY2(!found.isEmpty(), qPrintable(QString::number(n)));
            if (found.size() > 1 || found.first().level != LabelFinding::Error)
                QFAIL(qPrintable(QStringLiteral("%1 lines: %2").arg(n).arg(lines(found).join(u'\n'))));
        }
    }
};

QTEST_MAIN(TestLabelChecks)
#include "test_labelchecks.moc"

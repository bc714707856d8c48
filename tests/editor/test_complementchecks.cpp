// The checks of what a CLP label must carry: the UFI's check character, a
// capacity that is a number, the supplier's telephone number, the product
// identifier and the signal word that the statements call for; on a label as
// a window holds it and as a file stores it.

#include "editor/labelchecks.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"

#include <QTest>

namespace {

const QString kData = QStringLiteral(KALVANE_DATA_DIR);

QStringList lines(const QList<LabelFinding> &found)
{
    QStringList out;
    for (const LabelFinding &f : found)
        out << LabelFinding::levelName(f.level) + QStringLiteral(": ") + f.message;
    return out;
}

} // namespace

class TestComplementChecks : public QObject
{
    Q_OBJECT

    LabelChecks m_checks;
    LabelDocument m_acetone; // a sample label without any finding

    QStringList findings(const LabelDocument &doc) const
    {
        return lines(m_checks.check(LabelChecks::subjectOf(doc)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_checks = LabelChecks::load(kData);
        QCOMPARE(m_checks.problems(), QStringList());
        // The comparison with the harmonised table has tests of its own.
        m_checks.setHarmonisedTable(nullptr);
        m_acetone.hazards = Catalogue::toStatements(TextFile::readLines(kData + QStringLiteral("/H.txt")));
        m_acetone.precautions = Catalogue::toStatements(TextFile::readLines(kData + QStringLiteral("/P.txt")));
        m_acetone.supplementary = Catalogue::toStatements(TextFile::readLines(kData + QStringLiteral("/EUH.txt")));
        QVERIFY(LabelFile::read(kData + QStringLiteral("/Kalvane/Acetone.kvln"), &m_acetone, nullptr,
                                kData + QStringLiteral("/Kalvane"))
                    .ok());
        QCOMPARE(findings(m_acetone), QStringList());
    }

    void ufiAndCapacity()
    {
        LabelDocument doc = m_acetone;
        doc.ufi = QStringLiteral("GMTT-2SQN-6FDD-6TV1");
        doc.capacity = QStringLiteral("0,5");
        doc.quantity = QStringLiteral("500 mL");
        QCOMPARE(findings(doc), QStringList());

        doc.ufi = QStringLiteral("GMTT-2SQN-6FDD-6TV2");
        doc.capacity = QStringLiteral("1 litre");
        QCOMPARE(findings(doc), (QStringList{
            QStringLiteral("erreur: L'UFI « GMTT-2SQN-6FDD-6TV2 » n'est pas valide : son caractère de contrôle ne "
                           "correspond pas aux autres caractères. Recopiez-le exactement tel qu'il a été attribué "
                           "au mélange."),
            QStringLiteral("erreur: La contenance de l'emballage « 1 litre » n'est pas un nombre de litres (par "
                           "exemple 0,5 ou 25).")}));
        doc.ufi = QStringLiteral("GMTT-2SQN-6FDD");
        doc.capacity.clear();
        const QStringList layout = findings(doc);
        QCOMPARE(layout.size(), 1);
        QVERIFY(layout.first().startsWith(QStringLiteral("erreur: L'UFI « GMTT-2SQN-6FDD » n'a pas la bonne forme")));
    }

    // Read from a file, the capacity the reader could not take is one error,
    // not also the reader's warning.
    void capacityFromAFile()
    {
        LabelDocument doc = m_acetone;
        doc.capacity = QStringLiteral("beaucoup");
        FrameMirrors mirrors;
        mirrors.logoPath = doc.logoPath;
        const QStringList file = LabelFile::serialize(doc, mirrors);
        QVERIFY(file.contains(QStringLiteral("contenance=beaucoup")));
        QCOMPARE(lines(m_checks.check(LabelChecks::subjectOfLines(file, kData + QStringLiteral("/Kalvane")))),
                 QStringList{QStringLiteral("erreur: La contenance de l'emballage « beaucoup » n'est pas un nombre de "
                                            "litres (par exemple 0,5 ou 25).")});
    }

    void supplierTelephone()
    {
        for (const char *with : {"Tél. : 04 65 71 23 45", "+33 4 65 71 23 45", "Tel 112 3456", "0465712345",
                                 "(04) 65.71.23.45", "Phone: 0800 1234"})
            QVERIFY2(LabelChecks::hasTelephone(QStringLiteral("Chimie SA\n") + QString::fromUtf8(with)), with);
        for (const char *without : {"Chimie SA\n12 rue des Verriers - 69007 Lyon", "Hôtel de ville\n69007 Lyon",
                                    "Chimie SA, 12, 34, 56, 78", "Tél. : voir site"})
            QVERIFY2(!LabelChecks::hasTelephone(QString::fromUtf8(without)), without);

        LabelDocument doc = m_acetone;
        doc.supplier = QStringLiteral("Chimie Lyonnaise SA\n12 rue des Verriers - 69007 Lyon");
        QCOMPARE(findings(doc), QStringList{QStringLiteral(
                                    "erreur: Le bloc fournisseur ne donne pas de numéro de téléphone du fournisseur.")});
        doc.supplier.clear();
        QCOMPARE(findings(doc), QStringList{QStringLiteral(
                                    "erreur: Le bloc fournisseur est vide (nom, adresse et téléphone du fournisseur).")});
    }

    // Without product identifier, or without the signal word its statements
    // need, the label is in error.
    void productAndSignalWord()
    {
        LabelDocument doc = m_acetone;
        doc.product = QStringLiteral(" \n");
        QCOMPARE(findings(doc), QStringList{QStringLiteral("erreur: Le nom du produit est vide.")});
        doc = m_acetone;
        doc.signalWord.clear();
        const QStringList found = findings(doc);
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.first().startsWith(QStringLiteral("erreur: La mention d'avertissement doit être « DANGER »")),
                 qPrintable(found.first()));
    }
};

QTEST_GUILESS_MAIN(TestComplementChecks)
#include "test_complementchecks.moc"

// The substance database window and the harmonised classification: the panel
// beside the record follows the selection, the INDEX is offered only when the
// CAS number fixes it, and an agency table imported from the window replaces
// the table in use, or is refused and leaves it as it was.

#include "testsupport.h"
#include "xlsxbuilder.h"

#include "shell/application.h"
#include "shell/textfile.h"
#include "tools/classification.h"
#include "tools/rech.h"
#include "tools/rightfilledmaskedit.h"
#include "tools/substancegridmodel.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>

#include <cerrno>

namespace {

const QByteArray kDb = "NOM|CE|CAS|INDEX\r\n"
                       "1,10-PHENANTHROLINE|200-629-2|66-71-7|-|\r\n"
                       "ACIDE CHLORHYDRIQUE|231-595-7|7647-01-0|017-002-00-2|\r\n"
                       "EAU|231-791-2|7732-18-5|-|\r\n"
                       "PERBORATE DE SODIUM|239-172-9|15120-21-5|-|\r\n";
enum Row { Phenanthroline, HydrochloricAcid, Water, Perborate };

// Entries of the agency's table (17th adaptation), cut to what the tests read.
const QStringList kHydrogenChloride = {
    QStringLiteral("017-002-00-2"), QStringLiteral("hydrogen chloride"), QStringLiteral("231-595-7"),
    QStringLiteral("7647-01-0"), QStringLiteral("Press. Gas\nAcute Tox. 3 *\nSkin Corr. 1A"),
    QStringLiteral("\nH331\nH314"), QStringLiteral("GHS04\nGHS06\nGHS05\nDgr"), QStringLiteral("H331\nH314"),
    QString(), QString(), QStringLiteral("5 U"), QStringLiteral("CLP00")};
const QStringList kHydrochloricAcid = {
    QStringLiteral("017-002-01-X"), QStringLiteral("hydrochloric acid ... %"), QStringLiteral("231-595-7"),
    QStringLiteral("-"), QStringLiteral("STOT SE 3\nSkin Corr. 1B"), QStringLiteral("H335\nH314"),
    QStringLiteral("GHS05\nGHS07\nDgr"), QStringLiteral("H314\nH335"), QString(),
    QStringLiteral("Skin Corr. 1B; H314: C ≥ 25 %\nSkin Irrit. 2; H315: 10 % ≤ C < 25 %"), QStringLiteral("B"),
    QStringLiteral("CLP00")};
const QStringList kPhenanthroline = {
    QStringLiteral("613-092-00-8"), QStringLiteral("1,10-phenanthroline"), QStringLiteral("200-629-2"),
    QStringLiteral("66-71-7"), QStringLiteral("Acute Tox. 3 *\nAquatic Acute 1\nAquatic Chronic 1"),
    QStringLiteral("H301\nH400\nH410"), QStringLiteral("GHS06\nGHS09\nDgr"), QStringLiteral("H301\nH410"), QString(),
    QString(), QString(), QStringLiteral("CLP00")};
// Two entries of one group of numbers (the dust content differs).
const QStringList kPerborate = {
    QStringLiteral("005-017-00-0"), QStringLiteral("sodium perborate [1]\nsodium peroxometaborate [2]"),
    QStringLiteral("239-172-9 [1]\n231-556-4 [2]"), QStringLiteral("15120-21-5 [1]\n7632-04-4 [2]"),
    QStringLiteral("Ox. Sol. 2\nRepr. 1B"), QStringLiteral("H272\nH360Df"), QStringLiteral("GHS03\nGHS08\nDgr"),
    QStringLiteral("H272\nH360Df"), QString(), QString(), QString(), QStringLiteral("ATP01")};
QStringList perborateFineDust()
{
    QStringList e = kPerborate;
    e[0] = QStringLiteral("005-017-01-4");
    e[4] += QStringLiteral("\nAcute Tox. 3 *");
    e[5] += QStringLiteral("\nH331");
    return e;
}

} // namespace

class TestRechClassification : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
        m_dir->write(QStringLiteral("databases/db_francais.csv"), kDb);
    }
    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
        HarmonisedTable::forgetShared();
    }

    void panelFollowsTheSelection()
    {
        start();
        QCOMPARE(m_rech->Classification->objectName(), QStringLiteral("Classification"));
        QVERIFY(m_rech->Lab_tableau->text().contains(QStringLiteral("Updated on March 2031")));
        QVERIFY(m_rech->Lab_tableau->text().contains(QStringLiteral("5 entrées")));

        clickRow(Phenanthroline);
        QString shown = panel();
        for (const char *piece : {"INDEX 613-092-00-8", "1,10-phenanthroline", "désignée par les n° CAS et CE",
                                  "Acute Tox. 3 * (H301)", "Aquatic Chronic 1 (H410)", "SGH06 SGH09", "DANGER",
                                  "Mentions de danger : H301 ; H410"})
            QVERIFY2(shown.contains(QString::fromUtf8(piece)), qPrintable(piece + (u'\n' + shown)));
        QVERIFY(!shown.contains(Trech::kNoClassification));

        // No entry for water.
        clickRow(Water);
        shown = panel();
        QVERIFY2(shown.contains(Trech::kNoClassification), qPrintable(shown));
        QVERIFY(!shown.contains(QStringLiteral("INDEX")));

        // The EC number also names the solution's entry: both are shown, with
        // its limits and notes.
        clickRow(HydrochloricAcid);
        shown = panel();
        for (const char *piece : {"2 entrées", "INDEX 017-002-00-2", "désignée par les n° INDEX, CAS et CE",
                                  "INDEX 017-002-01-X", "désignée par le n° CE", "H314 ; H335",
                                  "Skin Irrit. 2; H315: 10 % ≤ C < 25 %", "Notes : B", "Notes : 5 U"})
            QVERIFY2(shown.contains(QString::fromUtf8(piece)), qPrintable(piece + (u'\n' + shown)));

        // A group whose numbers belong to two entries.
        clickRow(Perborate);
        shown = panel();
        QVERIFY2(shown.contains(QStringLiteral("INDEX 005-017-00-0")) && shown.contains(QStringLiteral("INDEX 005-017-01-4"))
                     && shown.contains(QStringLiteral("sodium perborate [1] ; sodium peroxometaborate [2]")),
                 qPrintable(shown));

        // Emptying the record empties the panel.
        m_rech->Button2Click();
        QVERIFY(panel().isEmpty());
    }

    void anUnreadableTableIsSaidInThePanel()
    {
        m_dir->write(QStringLiteral("clp/annexe6.txt"), "KALVANE CLASSIFICATION HARMONISEE 1\r\nENTREES=3\r\n");
        start(false);
        clickRow(Phenanthroline);
        const QString shown = panel();
        QVERIFY2(shown.contains(QStringLiteral("ne peut pas être lue")) && shown.contains(QStringLiteral("annexe6.txt"))
                     && shown.contains(QStringLiteral("incomplet")),
                 qPrintable(shown));
        QVERIFY(!m_rech->B_completer_index->isVisible());
    }

    void indexOfferedOnlyWhenTheCasFixesIt()
    {
        start();
        QPushButton *offer = m_rech->B_completer_index;
        // INDEX present; CAS naming two entries; no entry at all.
        for (Row row : {HydrochloricAcid, Perborate, Water}) {
            clickRow(row);
            QVERIFY2(!offer->isVisible(), qPrintable(m_rech->LabNOM->text()));
        }
        // INDEX "-", and the CAS names one entry.
        clickRow(Phenanthroline);
        QVERIFY(offer->isVisible());
        QVERIFY(offer->toolTip().contains(QStringLiteral("613-092-00-8")));
        QTest::mouseClick(offer, Qt::LeftButton);
        QCOMPARE(m_rech->LabINDEX->value(), QStringLiteral("613-092-00-8"));
        QVERIFY(!offer->isVisible());
        // The field is filled as typed: nothing is written until "Enregistrer".
        QCOMPARE(m_dir->read(QStringLiteral("databases/db_francais.csv")), kDb);
        m_program->desktop->expectMessage(QStringLiteral("INFO"), Trech::kSaved);
        QTest::mouseClick(m_rech->Button3, Qt::LeftButton);
        QVERIFY(m_dir->read(QStringLiteral("databases/db_francais.csv"))
                    .contains("1,10-PHENANTHROLINE|200-629-2|66-71-7|613-092-00-8|\r\n"));
        // A CAS typed into an emptied INDEX brings the offer back.
        m_rech->LabNOM->setText(QStringLiteral("NOUVELLE"));
        m_rech->LabINDEX->setValue(m_rech->LabINDEX->emptyText());
        m_rech->LabCAS->setValue(m_rech->LabCAS->emptyText());
        QVERIFY(!offer->isVisible());
        m_rech->LabCAS->setWritten(QStringLiteral("66-71-7"));
        QVERIFY(offer->isVisible());
    }

    void importReplacesTheTableInUse()
    {
        start();
        clickRow(HydrochloricAcid);
        QVERIFY(panel().contains(QStringLiteral("INDEX 017-002-00-2")));
        // A newer table, here one without hydrogen chloride.
        const QString xlsx = m_dir->file(QStringLiteral("newer.xlsx"));
        m_dir->write(QStringLiteral("newer.xlsx"),
                     XlsxBuilder::xlsx(XlsxBuilder::agencyRows({kPhenanthroline, kPerborate},
                                                               QStringLiteral("Updated on April 2032"))));
        ScriptedDesktop *d = m_program->desktop;
        d->openAnswers.enqueue({xlsx});
        d->expectMessage(QStringLiteral("INFO"), QStringLiteral("2 entrées, Updated on April 2032"));
        QTest::mouseClick(m_rech->B_importer_classification, Qt::LeftButton);
        QCOMPARE(d->messages.size(), 1);
        QVERIFY(d->fileDialogs.last().filter.contains(QStringLiteral("*.xlsx")));

        HarmonisedTable written;
        QString error;
        QVERIFY2(HarmonisedTable::read(m_dir->file(QStringLiteral("clp/annexe6.txt")), &written, &error),
                 qPrintable(error));
        QCOMPARE(written.date, QStringLiteral("Updated on April 2032"));
        QCOMPARE(written.entries.size(), 2);
        QVERIFY2(m_rech->Lab_tableau->text().contains(QStringLiteral("Updated on April 2032, 2 entrées")),
                 qPrintable(m_rech->Lab_tableau->text()));
        // The record shown is looked up in the new table at once.
        QVERIFY2(panel().contains(Trech::kNoClassification), qPrintable(panel()));
        clickRow(Phenanthroline);
        QVERIFY(panel().contains(QStringLiteral("INDEX 613-092-00-8")));
    }

    void refusedImportKeepsTheTableInUse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("said");
        const QByteArray good = XlsxBuilder::xlsx(XlsxBuilder::agencyRows({kPhenanthroline}));
        QList<QStringList> otherLayout = XlsxBuilder::agencyRows({kPhenanthroline});
        otherLayout[4][3] = QStringLiteral("CAS number");
        QTest::newRow("other layout") << XlsxBuilder::xlsx(otherLayout) << false
                                      << QStringLiteral("« refused.xlsx » n'est pas importé : le classeur n'a pas la "
                                                        "présentation du tableau de l'annexe VI");
        QTest::newRow("cut zip") << good.left(good.size() / 2) << false
                                 << QStringLiteral("« refused.xlsx » n'est pas importé : le fichier n'est pas un "
                                                   "classeur .xlsx lisible");
        QTest::newRow("disk full") << good << true << QStringLiteral("Impossible d'enregistrer le fichier \"annexe6.txt\"");
    }
    void refusedImportKeepsTheTableInUse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, diskFull);
        QFETCH(QString, said);
        start();
        const QByteArray before = m_dir->read(QStringLiteral("clp/annexe6.txt"));
        const QString shownTable = m_rech->Lab_tableau->text();
        m_dir->write(QStringLiteral("refused.xlsx"), bytes);
        ScriptedDesktop *d = m_program->desktop;
        d->openAnswers.enqueue({m_dir->file(QStringLiteral("refused.xlsx"))});
        d->expectMessage(QStringLiteral("AVERTISSEMENT"), said);
        if (diskFull)
            TextFile::injectFault(TextFile::WriteStep::Write, ENOSPC);
        QTest::mouseClick(m_rech->B_importer_classification, Qt::LeftButton);
        TextFile::clearFault();
        QCOMPARE(d->messages.size(), 1);
        QVERIFY2(d->messages.last().text.contains(QStringLiteral("en usage est conservée")),
                 qPrintable(d->messages.last().text));
        QCOMPARE(m_dir->read(QStringLiteral("clp/annexe6.txt")), before);
        QCOMPARE(m_rech->Lab_tableau->text(), shownTable);
        clickRow(Phenanthroline);
        QVERIFY(panel().contains(QStringLiteral("INDEX 613-092-00-8")));
    }

private:
    // The program with the table of the four entries above, the window shown.
    void start(bool withTable = true)
    {
        if (withTable) {
            HarmonisedTable table;
            QString error;
            const QString xlsx = m_dir->file(QStringLiteral("table.xlsx"));
            m_dir->write(QStringLiteral("table.xlsx"),
                         XlsxBuilder::xlsx(XlsxBuilder::agencyRows(
                             {kHydrogenChloride, kHydrochloricAcid, kPhenanthroline, kPerborate, perborateFineDust()})));
            QVERIFY2(HarmonisedTable::importXlsx(xlsx, &table, &error), qPrintable(error));
            QVERIFY2(table.write(m_dir->file(QStringLiteral("clp/annexe6.txt")), &error), qPrintable(error));
        }
        m_program = std::make_unique<TestProgram>();
        m_rech = m_program->app->rech();
        QVERIFY(m_rech);
        m_rech->showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_rech));
    }
    void clickRow(int modelRow)
    {
        QTableView *grid = m_rech->StringGrid1;
        const QModelIndex index = grid->model()->index(modelRow, 0);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
        QCOMPARE(m_rech->LabNOM->text(), m_rech->gridModel()->cells(modelRow).nom);
    }
    QString panel() const { return m_rech->Memo_classification->toPlainText(); }

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    Trech *m_rech = nullptr;
};

QTEST_MAIN(TestRechClassification)
#include "gui_rech_classification.moc"

// The substance database window and its file: a database read only in part
// is shown and said, never written; a write that could not be confirmed on
// the disk is said instead of "mise à jour".

#include "testsupport.h"

#include "shell/application.h"
#include "shell/textfile.h"
#include "tools/rech.h"
#include "tools/substancegridmodel.h"

#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <cerrno>

namespace {

const QByteArray kDb = "NOM|CE|CAS|INDEX\r\n"
                       "ACETONE|200-662-2|67-64-1|606-001-00-8|\r\n"
                       "ETHANOL|200-578-6|64-17-5|603-002-00-5|\r\n";

} // namespace

class TestRechFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
    }
    void cleanup()
    {
        TextFile::clearFault();
        m_program.reset();
        m_dir.reset();
    }

    void aDatabaseReadInPartIsShownAndNeverWritten()
    {
        // A NUL byte before the last record.
        const QByteArray db = kDb + QByteArray(1, '\0') + "FORMALDEHYDE|200-001-8|50-00-0|605-001-00-5|\r\n";
        start(db);
        ScriptedDesktop *d = m_program->desktop;
        d->expectMessage(QStringLiteral("WARNING"), QStringLiteral("n'a pas pu être lue entièrement"));
        d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("elle n'est pas modifiée"));
        d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("elle n'est pas modifiée"));
        m_rech->showWindow();
        QCOMPARE(d->messages.size(), 1);
        QCOMPARE(d->messages.last().title, QStringLiteral("WARNING")); // as the window's other reading messages
        QCOMPARE(d->messages.last().icon, Desktop::Icon::Warning);
        const QString said = d->messages.last().text;
        QVERIFY2(said.contains(QStringLiteral("db_francais.csv")) && said.contains(QStringLiteral("ligne 4"))
                     && said.contains(QStringLiteral("2 fiches")),
                 qPrintable(said));
        // What was read is shown.
        QCOMPARE(m_rech->gridModel()->shownCount(), 2);

        // A save and a delete are refused; the file stays whole.
        m_rech->LabNOM->setText(QStringLiteral("ACIDE CHLORHYDRIQUE"));
        m_rech->Button3Click();
        QCOMPARE(d->messages.size(), 2);
        QVERIFY2(d->messages.last().text.contains(QStringLiteral("n'a pas pu être lue entièrement")),
                 qPrintable(d->messages.last().text));
        m_rech->LabNOM->setText(QStringLiteral("ACETONE"));
        d->answers.enqueue(Desktop::Yes);
        m_rech->Button4Click();
        QCOMPARE(d->messages.size(), 4); // the question, then the refusal
        QVERIFY(d->messages.last().text.contains(QStringLiteral("n'a pas pu être lue entièrement")));
        QCOMPARE(m_dir->read(QStringLiteral("databases/db_francais.csv")), db);
        QVERIFY(!QFile::exists(m_dir->file(QStringLiteral("databases/db_francais.bak"))));
    }

    void aSaveNotConfirmedOnTheDiskIsSaid()
    {
        start(kDb);
        ScriptedDesktop *d = m_program->desktop;
        m_rech->showWindow();
        QVERIFY(d->messages.isEmpty());
        // The backup's folder is synced, the database's is not.
        TextFile::injectFault(TextFile::WriteStep::FolderSync, EIO, 2);
        d->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("pas de façon sûre"));
        m_rech->LabNOM->setText(QStringLiteral("EAU"));
        m_rech->Button3Click();
        QCOMPARE(d->messages.size(), 1);
        QCOMPARE(d->messages.last().title, QStringLiteral("AVERTISSEMENT"));
        QVERIFY2(d->messages.last().text.contains(QStringLiteral("pas de façon sûre")),
                 qPrintable(d->messages.last().text));
        // The record is in the file and in the grid.
        QVERIFY(m_dir->read(QStringLiteral("databases/db_francais.csv")).contains("EAU|-|-|-|\r\n"));
        QCOMPARE(m_rech->gridModel()->shownCount(), 3);
    }

private:
    void start(const QByteArray &db)
    {
        m_dir->write(QStringLiteral("databases/db_francais.csv"), db);
        m_program = std::make_unique<TestProgram>();
        m_rech = m_program->app->rech();
        QVERIFY(m_rech);
    }

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    Trech *m_rech = nullptr;
};

QTEST_MAIN(TestRechFiles)
#include "gui_rech_files.moc"

// The label sheet manager: its window and buttons, adding within 18 entries,
// sheet files saved and loaded (line ends, empty entries, empty files, files
// that cannot be read, failed saves), the exchange with the print selection,
// help.

#include "testsupport.h"

#include "shell/application.h"
#include "shell/base.h"
#include "tools/planche.h"
#include "tools/printer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

QStringList names(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << QStringLiteral("/planches/%1%2.kvln").arg(prefix).arg(i);
    return list;
}

} // namespace

class TestPlanche : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;

    TForm_base *frame() const { return m_program->app->frame(); }
    TPlanche1 *manager() const { return m_program->app->planche(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }

    void add(const QStringList &files)
    {
        desk()->openAnswers.enqueue(files);
        manager()->Button1->click();
    }
    void load(const QString &name)
    {
        desk()->openAnswers.enqueue({m_dir->file(name)});
        manager()->Button5->click();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
        m_program = std::make_unique<TestProgram>();
        frame()->show();
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void windowAndButtons()
    {
        TPlanche1 *m = manager();
        QCOMPARE(m->windowTitle(), QStringLiteral("Planche d'étiquettes"));
        QCOMPARE(m->objectName(), QStringLiteral("TPlanche1"));
        QCOMPARE(m->GB_compil->title(), QStringLiteral("Nombre de fiche(s) :       "));
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("0"));
        QCOMPARE(m->ListBox1->selectionMode(), QAbstractItemView::ExtendedSelection);
        const QList<std::tuple<QPushButton *, QString, QString>> buttons = {
            {m->Button1, QStringLiteral("+"), QStringLiteral("Ajouter")},
            {m->Button2, QStringLiteral("-"), QStringLiteral("Retirer")},
            {m->Button4, QStringLiteral("Ø"), QStringLiteral("Effacer tout")},
            {m->Button5, QStringLiteral("&Charger"), QStringLiteral("Lire une planche d'étiquettes")},
            {m->Button6, QStringLiteral("&Sauver"), QStringLiteral("Enregistrer une planche d'étiquettes")},
            {m->Button7, QStringLiteral("&Importer"), QStringLiteral("Importer depuis la planche d'impression")},
            {m->Button3, QStringLiteral("&Fermer"), QStringLiteral("Fermer la fenêtre")},
            {m->Button8, QStringLiteral("?"), QStringLiteral("Aide")}};
        for (const auto &[button, caption, hint] : buttons) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->toolTip(), hint);
            QCOMPARE(m->findChild<QPushButton *>(button->objectName()), button);
        }
        for (QPushButton *b : {m->Button2, m->Button4, m->Button6})
            QVERIFY(!b->isEnabled());

        // "Gérer une planche" shows it, not modally, centred on the frame
        // (where that is on the screen).
        QVERIFY(!m->isVisible());
        frame()->move(frame()->screen()->availableGeometry().topLeft() + QPoint(50, 60));
        frame()->Planche->trigger();
        QVERIFY(m->isVisible());
        QVERIFY(!m->isModal());
        QVERIFY(qAbs(m->frameGeometry().center().x() - frame()->frameGeometry().center().x()) <= 1);
        QVERIFY(qAbs(m->frameGeometry().center().y() - frame()->frameGeometry().center().y()) <= 1);
        m->Button3->click();
        QVERIFY(!m->isVisible());
        QCOMPARE(frame()->Planche->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    }

    void addingStaysWithinEighteen()
    {
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nombre de fiches ne peut dépasser 18, les fiches"));
        TPlanche1 *m = manager();
        add(names(QStringLiteral("a"), 15));
        const Desktop::FileDialog &d = desk()->fileDialogs.constLast();
        QCOMPARE(d.title, QStringLiteral("Sélectionner"));
        QCOMPARE(d.filter, QStringLiteral("Kalvane|*.kvln"));
        QVERIFY(d.multiple);
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("15"));
        for (QPushButton *b : {m->Button2, m->Button4, m->Button6})
            QVERIFY(b->isEnabled());
        add(names(QStringLiteral("b"), 5));
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("AVERTISSEMENT: Le nombre de fiches ne peut dépasser 18, les fiches "
                                            "excédentaires seront ignorées !!!")});
        QCOMPARE(desk()->messages.first().icon, Desktop::Icon::Warning);
        QCOMPARE(m->entries(), names(QStringLiteral("a"), 15) + names(QStringLiteral("b"), 3));
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("18"));

        // Relative names are kept in full.
        m->Button4->click();
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("0"));
        QVERIFY(!m->Button6->isEnabled());
        add({QStringLiteral("fiche.kvln")});
        QCOMPARE(m->entries(), QStringList{QDir::current().absoluteFilePath(QStringLiteral("fiche.kvln"))});

        // "-": the selected entries, the hint cleared.
        m->Button4->click();
        add(names(QStringLiteral("c"), 4));
        m->ListBox1->item(0)->setSelected(true);
        m->ListBox1->item(3)->setSelected(true);
        m->ListBox1->setToolTip(QStringLiteral("x"));
        m->Button2->click();
        QCOMPARE(m->entries(), (QStringList{QStringLiteral("/planches/c2.kvln"), QStringLiteral("/planches/c3.kvln")}));
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("2"));
        QVERIFY(m->ListBox1->toolTip().isEmpty());
        // Clicking an entry shows its path.
        m->show();
        QTest::mouseClick(m->ListBox1->viewport(), Qt::LeftButton, {},
                          m->ListBox1->visualItemRect(m->ListBox1->item(1)).center());
        QCOMPARE(m->ListBox1->toolTip(), QStringLiteral("/planches/c3.kvln"));
        m->hide();
    }

    void saveAndLoadSheets()
    {
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le nombre de fiches ne peut dépasser 18, les fiches"));
        TPlanche1 *m = manager();
        add(names(QStringLiteral("s"), 3));
        const QString sheet = m_dir->file(QStringLiteral("trois.pla"));
        desk()->saveAnswers.enqueue(sheet);
        m->Button6->click();
        const Desktop::FileDialog &save = desk()->fileDialogs.constLast();
        QCOMPARE(save.title, QStringLiteral("Enregistrer une compilation"));
        QCOMPARE(save.filter, QStringLiteral("Planche d'étiquettes |*.pla"));
        QCOMPARE(save.defaultSuffix, QStringLiteral("pla"));
        QCOMPARE(save.fileName, QStringLiteral("Sans_titre"));
        QCOMPARE(m_dir->read(QStringLiteral("trois.pla")),
                 QByteArray("/planches/s1.kvln\r\n/planches/s2.kvln\r\n/planches/s3.kvln\r\n"));

        m->Button4->click();
        load(QStringLiteral("trois.pla"));
        const Desktop::FileDialog &open = desk()->fileDialogs.constLast();
        QCOMPARE(open.title, QStringLiteral("Charger une compilation"));
        QCOMPARE(open.fileName, QStringLiteral("*.pla"));
        QCOMPARE(open.defaultSuffix, QStringLiteral("pla"));
        QCOMPARE(m->entries(), names(QStringLiteral("s"), 3));
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("3"));
        QVERIFY(m->Button6->isEnabled());

        // LF alone, no last line end, an empty middle line.
        m_dir->write(QStringLiteral("lf.pla"), "/planches/s1.kvln\n/planches/s2.kvln\n/planches/s3.kvln");
        load(QStringLiteral("lf.pla"));
        QCOMPARE(m->entries(), names(QStringLiteral("s"), 3));
        m_dir->write(QStringLiteral("trou.pla"), "/planches/s1.kvln\r\n\r\n/planches/s3.kvln\r\n");
        load(QStringLiteral("trou.pla"));
        QCOMPARE(m->entries(), (QStringList{QStringLiteral("/planches/s1.kvln"), QString(),
                                            QStringLiteral("/planches/s3.kvln")}));
        // A 0-byte sheet is an empty list; saving an empty list gives 0 bytes.
        m_dir->write(QStringLiteral("vide.pla"), QByteArray());
        load(QStringLiteral("vide.pla"));
        QVERIFY(m->entries().isEmpty());
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("0"));
        QVERIFY(!m->Button2->isEnabled() && !m->Button6->isEnabled());

        // More than 18 lines: the first 18, with the warning of "+".
        QStringList twenty;
        for (const QString &n : names(QStringLiteral("v"), 20))
            twenty << n;
        m_dir->write(QStringLiteral("vingt.pla"), twenty.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        load(QStringLiteral("vingt.pla"));
        QCOMPARE(m->entries(), names(QStringLiteral("v"), 18));
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("18"));
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(desk()->messages.first().text, TPlanche1::kTooMany);
        QVERIFY(desk()->unexpected.isEmpty());
    }

    void unreadableSheetsChangeNothing()
    {
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Impossible de lire le fichier \"disparu.pla\" : le fichier"));
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Impossible de lire le fichier \"dossier.pla\" : c'est un"));
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Impossible de lire le fichier \"image.pla\" : ce n'est pas"));
        TPlanche1 *m = manager();
        add(names(QStringLiteral("k"), 2));
        const QStringList before = m->entries();
        const auto refused = [&](const QString &name) {
            const int messages = int(desk()->messages.size());
            load(name);
            QCOMPARE(m->entries(), before);
            QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("2"));
            QCOMPARE(desk()->messages.size(), messages + 1);
            const ScriptedDesktop::Message &said = desk()->messages.constLast();
            QCOMPARE(said.title, QStringLiteral("AVERTISSEMENT"));
            QVERIFY2(said.text.contains(QFileInfo(name).fileName()), qPrintable(said.text));
            QVERIFY2(said.text.startsWith(QStringLiteral("Impossible de lire le fichier")), qPrintable(said.text));
        };
        refused(QStringLiteral("disparu.pla"));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("dossier.pla")));
        refused(QStringLiteral("dossier.pla"));
        m_dir->write(QStringLiteral("image.pla"), QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
        refused(QStringLiteral("image.pla"));
    }

    void failedSaveKeepsTheOldSheet()
    {
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("Le caractère « 中 » (U+4e2d) ne peut pas être enregistré"));
        TPlanche1 *m = manager();
        m_dir->write(QStringLiteral("garde.pla"), "/planches/ancien.kvln\r\n");
        add({QStringLiteral("/planches/\u4E2D.kvln")});
        desk()->saveAnswers.enqueue(m_dir->file(QStringLiteral("garde.pla")));
        m->Button6->click();
        QCOMPARE(desk()->messages.size(), 1);
        QVERIFY(desk()->messages.first().text.contains(QStringLiteral("garde.pla")));
        QCOMPARE(m_dir->read(QStringLiteral("garde.pla")), QByteArray("/planches/ancien.kvln\r\n"));
        // Cancelling the save dialog writes nothing.
        desk()->saveAnswers.enqueue(QString());
        m->Button6->click();
        QCOMPARE(desk()->messages.size(), 1);
    }

    void exchangeWithThePrintSelection()
    {
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("La planche d'impression est vide!!!"));
        TPlanche1 *m = manager();
        Tprinter *p = m_program->app->printer();
        add(names(QStringLiteral("m"), 10));
        // An empty print selection: warned, nothing changes.
        m->Button7->click();
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("AVERTISSEMENT: La planche d'impression est vide!!!")});
        QCOMPARE(m->entries().size(), 10);
        // Replaced, never appended.
        p->ListBox1->addItems(names(QStringLiteral("p"), 2));
        m->Button7->click();
        QCOMPARE(m->entries(), names(QStringLiteral("p"), 2));
        QCOMPARE(m->Lab_nb_et->text(), QStringLiteral("2"));
        // And the other way: the print options take the manager's list.
        add(names(QStringLiteral("q"), 3));
        p->Button7->click();
        QCOMPARE(p->selection(), names(QStringLiteral("p"), 2) + names(QStringLiteral("q"), 3));
        QCOMPARE(p->Tag, 8);
        // The lists are independent afterwards.
        m->Button4->click();
        QCOMPARE(p->selection().size(), 5);
    }

    void helpPage()
    {
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("L'aide est introuvable !"));
        manager()->Button8->click();
        QCOMPARE(desk()->messageLines(), QStringList{QStringLiteral("AVERTISSEMENT: L'aide est introuvable !")});
        QCOMPARE(desk()->messages.first().icon, Desktop::Icon::Critical);
        m_dir->copyData(QStringLiteral("aide/et_help3.html"));
        manager()->Button8->click();
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(desk()->openedUrls.constLast(),
                 QUrl::fromLocalFile(m_dir->path() + QStringLiteral("/aide/et_help3.html")));
    }
};

QTEST_MAIN(TestPlanche)
#include "gui_planche.moc"

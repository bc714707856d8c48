// The favourites search window: where it starts, the favourites file, the
// search, the favourites list, opening label files and moving them to the
// trash, and the faults of a changing disk.

#include "testsupport.h"

#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/labelfile.h"
#include "tools/favourites.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QPoint rowCentre(QListWidget *list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

// A double click as the user makes it: press, release, then the second press.
void doubleClick(QListWidget *list, int row)
{
    const QPoint at = rowCentre(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QStringList texts(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TestFormRF : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStartDir> m_dir;
    std::unique_ptr<TestProgram> m_program;
    QString m_fiches; // the last-used folder, holding the three labels
    QString m_other;

    TFormRF *rf() const { return m_program->app->formRF(); }
    TForm_base *frame() const { return m_program->app->frame(); }
    ScriptedDesktop *desk() const { return m_program->desktop; }
    QString fiche(const QString &name) const { return QDir(m_fiches).filePath(name); }

    void start(const std::function<void(ScriptedDesktop *)> &prepare = {})
    {
        QDir::setCurrent(m_dir->path());
        m_program = std::make_unique<TestProgram>(true, prepare);
        rf()->show();
        QApplication::setActiveWindow(rf());
    }
    void selectAll() { QTest::keyClick(rf()->LB_fich, Qt::Key_A, Qt::ControlModifier); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TempStartDir>(kCatalogueFiles);
        m_fiches = QDir(m_dir->path()).filePath(QStringLiteral("fiches"));
        m_other = QDir(m_dir->path()).filePath(QStringLiteral("autres"));
        QDir(m_dir->path()).mkpath(m_other);
        m_dir->copyData(QStringLiteral("Kalvane/Acetone.kvln"));
        QDir(m_dir->path()).rename(QStringLiteral("Kalvane"), QStringLiteral("fiches"));
        QFile::rename(fiche(QStringLiteral("Acetone.kvln")), fiche(QStringLiteral("ACETONE.kvln")));
        QFile::copy(fiche(QStringLiteral("ACETONE.kvln")), fiche(QStringLiteral("acide.kvln")));
        QFile::copy(fiche(QStringLiteral("ACETONE.kvln")), fiche(QStringLiteral("BASE.kvln")));
        m_dir->write(QStringLiteral("dat.ini"), QFile::encodeName(m_fiches) + "\r\n");
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void startsInTheLastUsedFolder()
    {
        start();
        QCOMPARE(rf()->windowTitle(), QStringLiteral("Rechercher dans les favoris"));
        QCOMPARE(texts(rf()->LB_fav), QStringList{m_fiches});
        QCOMPARE(rf()->Ed_actu->text(), m_fiches);
        QCOMPARE(QDir::currentPath(), m_fiches);
        QVERIFY(!rf()->B_ajout_fav->isEnabled());
        QVERIFY(!rf()->B_ouvrir->isEnabled() && !rf()->B_supp->isEnabled());
        QCOMPARE(texts(rf()->LB_fich),
                 (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln"), QStringLiteral("BASE.kvln")}));
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("3  "));
        QCOMPARE(rf()->TB_zoom->value(), 8);
        rf()->TB_zoom->setValue(14);
        QCOMPARE(rf()->LB_fich->font().pointSize(), 14);
        rf()->TB_zoom->setValue(2);
        QCOMPARE(rf()->TB_zoom->value(), 6);
    }

    void theFavouritesFileDecidesWhereToStart()
    {
        m_dir->write(QStringLiteral("fav.dat"), QFile::encodeName(m_other + QStringLiteral("\r\n") + m_fiches) + "\r\n");
        start();
        QCOMPARE(texts(rf()->LB_fav), (QStringList{m_other, m_fiches}));
        QCOMPARE(rf()->Ed_actu->text(), m_other);
        QCOMPARE(QDir::currentPath(), m_other);
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("0  "));
        m_program.reset();

        // A first favourite that vanished gives way to the last-used folder.
        m_dir->write(QStringLiteral("fav.dat"), "/nulle/part\r\n");
        start();
        QCOMPARE(texts(rf()->LB_fav), QStringList{QStringLiteral("/nulle/part")});
        QCOMPARE(rf()->Ed_actu->text(), m_fiches);
        QVERIFY(rf()->B_ajout_fav->isEnabled());
        m_program.reset();

        // No favourite and a settings file naming no folder: an empty list,
        // and the search stays in the start directory.
        QFile::remove(m_dir->file(QStringLiteral("fav.dat")));
        m_dir->write(QStringLiteral("dat.ini"), "\r\n");
        start([](ScriptedDesktop *d) {
            d->expectMessage(QStringLiteral("AVERTISSEMENT *** KALVANE"), QStringLiteral("Le répertoire '''' semble inaccessible."));
        });
        QCOMPARE(rf()->LB_fav->count(), 0);
        QCOMPARE(rf()->Ed_actu->text(), QDir(m_dir->path()).canonicalPath());
        QVERIFY(rf()->B_ajout_fav->isEnabled());
    }

    void searchByBeginningOrPart()
    {
        start();
        QTest::keyClicks(rf()->LabRech, QStringLiteral("AC"));
        QCOMPARE(texts(rf()->LB_fich), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln")}));
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("2  "));
        rf()->LabRech->setText(QStringLiteral("SE"));
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("0  "));
        QTest::mouseClick(rf()->RBc, Qt::LeftButton);
        QCOMPARE(texts(rf()->LB_fich), QStringList{QStringLiteral("BASE.kvln")});
        QCOMPARE(rf()->LabRech->cursorPosition(), 2);
        QVERIFY(!rf()->LabRech->hasSelectedText());
        rf()->LabRech->setText(QStringLiteral("../"));
        QVERIFY(texts(rf()->LB_fich).isEmpty());
        rf()->Image2->click();
        QCOMPARE(rf()->LabRech->text(), QString());
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("3  "));
    }

    void addingRemovingAndChoosingFolders()
    {
        start();
        desk()->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("Ελληνικά"));
        desk()->folderAnswers.enqueue(QString()); // cancelled
        rf()->B_new_fav->click();
        QCOMPARE(rf()->Ed_actu->text(), m_fiches);
        desk()->folderAnswers.enqueue(m_other);
        rf()->B_new_fav->click();
        QCOMPARE(rf()->Ed_actu->text(), m_other);
        QCOMPARE(QDir::currentPath(), m_other);
        QVERIFY(rf()->B_ajout_fav->isEnabled());
        rf()->B_ajout_fav->click();
        rf()->B_ajout_favClick();
        QCOMPARE(texts(rf()->LB_fav), (QStringList{m_fiches, m_other}));
        QVERIFY(!rf()->B_ajout_fav->isEnabled());

        // A folder chosen in another dialog shows up at the next activation.
        QDir::setCurrent(m_fiches);
        rf()->hide();
        rf()->show();
        QCOMPARE(rf()->Ed_actu->text(), m_fiches);
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("3  "));

        // A name the favourites file cannot hold is refused with a reason.
        const QString greek = QDir(m_dir->path()).filePath(QStringLiteral("Ελληνικά"));
        QDir().mkpath(greek);
        QVERIFY(rf()->enterFolder(greek));
        rf()->B_ajout_fav->click();
        QCOMPARE(rf()->LB_fav->count(), 2);
        QVERIFY2(desk()->messageLines().constLast().contains(QStringLiteral("Windows-1252")),
                 qPrintable(desk()->messageLines().join(u'\n')));

        rf()->LB_fav->setCurrentRow(0);
        QVERIFY(rf()->B_sup_fav->isEnabled());
        rf()->B_sup_fav->click();
        QCOMPARE(texts(rf()->LB_fav), QStringList{m_other});
        QVERIFY(!rf()->B_sup_fav->isEnabled());
        rf()->B_fermer->click();
        QVERIFY(!rf()->isVisible());
        QCOMPARE(m_dir->read(QStringLiteral("fav.dat")), QFile::encodeName(m_other) + "\r\n");
    }

    void draggingTheThirdFavouriteOntoTheFirst()
    {
        m_dir->write(QStringLiteral("fav.dat"), "/a\r\n/b\r\n/c\r\n");
        start();
        QListWidget *fav = rf()->LB_fav;
        QTest::mousePress(fav->viewport(), Qt::LeftButton, {}, rowCentre(fav, 2));
        QTest::mouseRelease(fav->viewport(), Qt::LeftButton, {}, rowCentre(fav, 2));
        QCOMPARE(rf()->favouritesTag(), 2);
        QCOMPARE(rf()->toolTip(), QStringLiteral("/c"));
        rf()->LB_favDragDrop(fav, rowCentre(fav, 0));
        QCOMPARE(texts(fav), (QStringList{QStringLiteral("/c"), QStringLiteral("/a"), QStringLiteral("/b")}));

        QTest::mousePress(fav->viewport(), Qt::LeftButton, {}, rowCentre(fav, 0));
        rf()->LB_favDragDrop(fav, rowCentre(fav, 2));
        QCOMPARE(texts(fav), (QStringList{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")}));
        // From elsewhere, or onto no entry: nothing moves.
        rf()->LB_favDragDrop(rf()->LB_fich, rowCentre(fav, 0));
        rf()->LB_favDragDrop(fav, QPoint(5, fav->viewport()->height() - 2));
        QCOMPARE(texts(fav), (QStringList{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")}));
    }

    void anInaccessibleFavouriteAsksBeforeGoing()
    {
        m_dir->write(QStringLiteral("fav.dat"), QFile::encodeName(m_fiches) + "\r\n/disque/absent\r\n");
        start();
        QListWidget *fav = rf()->LB_fav;
        fav->setCurrentRow(1);
        desk()->answers.enqueue(Desktop::No);
        doubleClick(fav, 1);
        QCOMPARE(desk()->messageLines(), QStringList{QStringLiteral("ERREUR: Ce chemin est inaccessible !\nVoulez-vous le supprimer ?")});
        QCOMPARE(desk()->messages.constLast().icon, Desktop::Icon::Question);
        QCOMPARE(fav->count(), 2);
        QCOMPARE(QDir::currentPath(), m_fiches);
        desk()->answers.enqueue(Desktop::Yes);
        rf()->LB_favDblClick();
        QCOMPARE(texts(fav), QStringList{m_fiches});
    }

    void anEmptyListIsWrittenAndTheNextStartHasTheLastUsedFolder()
    {
        m_dir->write(QStringLiteral("fav.dat"), QFile::encodeName(m_other) + "\r\n");
        start();
        rf()->LB_fav->setCurrentRow(0);
        rf()->B_sup_fav->click();
        frame()->close(); // the program's closing sequence closes the window too
        QVERIFY(QFile::exists(m_dir->file(QStringLiteral("fav.dat"))));
        QCOMPARE(m_dir->read(QStringLiteral("fav.dat")), QByteArray());
        m_program.reset();
        start();
        QCOMPARE(texts(rf()->LB_fav), QStringList{QDir::currentPath()});
    }

    void openingThreeWhereTheSecondVanished()
    {
        start();
        desk()->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("Erreur de lecture !"));
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("endommagé"));
        frame()->Apercu1Execute();
        TFormApercu *preview = m_program->app->apercu();
        QVERIFY(preview->isVisible());
        const int refreshes = preview->refreshCount();
        selectAll();
        QCOMPARE(rf()->LB_fich->selectedItems().size(), 3);
        QVERIFY(rf()->B_ouvrir->isEnabled());
        QFile::remove(fiche(QStringLiteral("acide.kvln")));
        rf()->B_ouvrir->click();
        QStringList titles;
        for (TMDIChild *label : frame()->labelWindows())
            titles << label->windowTitle();
        QCOMPARE(titles, (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("BASE.kvln")}));
        QCOMPARE(desk()->messageLines(), QStringList{QStringLiteral("Avertissement: Erreur de lecture !")});
        QCOMPARE(preview->refreshCount(), refreshes + 1);
        QCOMPARE(frame()->previewSuppressed, 0);
        QVERIFY(rf()->LB_fich->selectedItems().isEmpty());
        QVERIFY(!rf()->B_ouvrir->isEnabled() && !rf()->B_supp->isEnabled());

        // A file the reader refuses: its warning naming it, and the preview is free again.
        m_dir->write(QStringLiteral("fiches/casse.kvln"), "***fab***\r\n");
        rf()->scan();
        QCOMPARE(rf()->LB_fich->item(2)->text(), QStringLiteral("casse.kvln"));
        doubleClick(rf()->LB_fich, 2);
        QCOMPARE(desk()->messages.constLast().title, QStringLiteral("AVERTISSEMENT"));
        QVERIFY2(desk()->messages.constLast().text.startsWith(
                     QStringLiteral("Le fichier d'étiquette « %1 » est endommagé").arg(fiche(QStringLiteral("casse.kvln")))),
                 qPrintable(desk()->messages.constLast().text));
        QCOMPARE(frame()->previewSuppressed, 0);
    }

    void movingToTheTrashAsksFirst()
    {
        start();
        QListWidget *files = rf()->LB_fich;
        files->item(0)->setSelected(true);
        files->item(2)->setSelected(true);
        desk()->answers.enqueue(Desktop::No);
        rf()->B_supp->click();
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("CONFIRMATION: Voulez-vous placer ces 2 fichiers dans la corbeille ?\n\n"
                                            "ACETONE.kvln\nBASE.kvln")});
        QCOMPARE(desk()->messages.constLast().buttons, Desktop::Buttons(Desktop::Yes | Desktop::No));
        QVERIFY(desk()->trashed.isEmpty());
        QVERIFY(QFile::exists(fiche(QStringLiteral("ACETONE.kvln"))));
        QCOMPARE(files->count(), 3);

        files->item(2)->setSelected(true);
        desk()->answers.enqueue(Desktop::Yes);
        rf()->B_supp->click();
        QCOMPARE(desk()->trashed, QStringList{fiche(QStringLiteral("BASE.kvln"))});
        QCOMPARE(texts(files), (QStringList{QStringLiteral("ACETONE.kvln"), QStringLiteral("acide.kvln")}));
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("2  "));
        QCOMPARE(rf()->filesTag(), 0);
    }

    void withoutATrashNothingIsDeleted()
    {
        start();
        ScriptedDesktop *noTrash = desk();
        noTrash->trashWorks = false;
        selectAll();
        noTrash->answers.enqueue(Desktop::Yes);
        noTrash->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("La corbeille n'est pas disponible"));
        rf()->B_suppClick();
        QCOMPARE(noTrash->trashed.size(), 1);
        QCOMPARE(noTrash->messages.size(), 2);
        QCOMPARE(noTrash->messages.constLast().title, QStringLiteral("Avertissement"));
        QVERIFY(noTrash->messages.constLast().text.startsWith(QStringLiteral("La corbeille n'est pas disponible")));
        for (const char *name : {"ACETONE.kvln", "acide.kvln", "BASE.kvln"})
            QVERIFY(QFile::exists(fiche(QString::fromLatin1(name))));
    }

    void aNameThatIsNotUtf8IsOpenedAndTrashedByItsBytes()
    {
        // A label copied from an old archive: its "é" is the single byte 0xE9,
        // which the system's UTF-8 cannot read back from a QString.
        const QByteArray native = QFile::encodeName(m_fiches) + "/Caf\xE9ine.kvln";
        QFile source(fiche(QStringLiteral("ACETONE.kvln")));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        const auto make = [&] {
            const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
            ::close(fd);
        };
        make();
        const auto exists = [](const QByteArray &path) {
            struct stat st {};
            return ::stat(path.constData(), &st) == 0;
        };
        const QString shown = fiche(QStringLiteral("Caféine.kvln"));
        start();
        QListWidget *files = rf()->LB_fich;
        const int row = int(texts(files).indexOf(QStringLiteral("Caféine.kvln")));
        QVERIFY2(row >= 0, qPrintable(texts(files).join(u',')));

        // Opened by its bytes: the label of that file, named as listed.
        files->item(row)->setSelected(true);
        rf()->B_ouvrir->click();
        QVERIFY2(desk()->messages.isEmpty(), qPrintable(desk()->messageLines().join(u'\n')));
        QCOMPARE(frame()->labelWindows().size(), 1);
        LabelDocument expected;
        QVERIFY(LabelFile::read(fiche(QStringLiteral("ACETONE.kvln")), &expected).ok());
        QCOMPARE(frame()->activeLabel()->windowTitle(), QStringLiteral("Caféine.kvln"));
        QCOMPARE(frame()->activeLabel()->document().product, expected.product);
        QCOMPARE(frame()->activeLabel()->document().pictograms, expected.pictograms);

        // Moved to the trash under the name the list shows; nothing of it is
        // left in the folder.
        files->item(row)->setSelected(true);
        desk()->answers.enqueue(Desktop::Yes);
        rf()->B_supp->click();
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(desk()->trashed, QStringList{shown});
        QVERIFY(!exists(native));
        QVERIFY(!QFileInfo::exists(shown));
        QVERIFY(!texts(files).contains(QStringLiteral("Caféine.kvln")));

        // Without a trash the file keeps its own bytes.
        make();
        rf()->scan();
        auto *noTrash = new ScriptedDesktop;
        noTrash->trashWorks = false;
        noTrash->expectMessages(1);
        std::unique_ptr<Desktop> scripted = setDesktop(std::unique_ptr<Desktop>(noTrash));
        files->item(int(texts(files).indexOf(QStringLiteral("Caféine.kvln"))))->setSelected(true);
        noTrash->answers.enqueue(Desktop::Yes);
        rf()->B_suppClick();
        QCOMPARE(noTrash->trashed, QStringList{shown});
        QCOMPARE(noTrash->messages.size(), 2);
        QVERIFY(noTrash->messages.constLast().text.startsWith(QStringLiteral("La corbeille n'est pas disponible")));
        QVERIFY(exists(native));
        QVERIFY(!QFileInfo::exists(shown));
        setDesktop(std::move(scripted));
    }

    void aFolderThatVanishedIsSaidOnce()
    {
        start();
        desk()->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("fiches » n'existe plus"));
        selectAll();
        QDir(m_dir->path()).rename(QStringLiteral("fiches"), QStringLiteral("déplacées"));
        rf()->B_ouvrir->click();
        QCOMPARE(desk()->messageLines(),
                 QStringList{QStringLiteral("Avertissement: Le dossier « %1 » n'existe plus.").arg(m_fiches)});
        QVERIFY(frame()->labelWindows().isEmpty());
        QCOMPARE(rf()->Lab_nbfiches->text(), QStringLiteral("0  "));
        QCOMPARE(frame()->previewSuppressed, 0);
    }

    void aPathTooLongForTheSystem()
    {
        // A folder whose path is just under the limit holds a label whose
        // full path is over it; the file is made relative to the folder.
        start();
        desk()->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("Le chemin de la fiche «"));
        QString deep = m_fiches;
        while (QFile::encodeName(deep).size() < 3900)
            deep += u'/' + QString(200, u'd');
        deep.chop(QFile::encodeName(deep).size() - 3900);
        QVERIFY(QDir().mkpath(deep));
        QVERIFY(rf()->enterFolder(deep));
        const QString name = QString(240, u'x') + QStringLiteral(".kvln");
        QFile label(name);
        QVERIFY(label.open(QIODevice::WriteOnly));
        label.write(m_dir->read(QStringLiteral("fiches/BASE.kvln")));
        label.close();
        rf()->scan();
        QCOMPARE(rf()->LB_fich->count(), 1);
        selectAll();
        rf()->B_ouvrir->click();
        QVERIFY(frame()->labelWindows().isEmpty());
        QVERIFY2(desk()->messageLines().constLast().contains(QStringLiteral("trop long")),
                 qPrintable(desk()->messageLines().join(u'\n')));
        QVERIFY(::unlink(QFile::encodeName(name).constData()) == 0);
    }

    void tooltipsAndHelp()
    {
        start();
        desk()->expectMessage(QStringLiteral("AVERTISSEMENT"), QStringLiteral("L'aide est introuvable !"));
        QTest::mousePress(rf()->LB_fich->viewport(), Qt::LeftButton, {}, rowCentre(rf()->LB_fich, 1));
        QCOMPARE(rf()->toolTip(), QStringLiteral("acide.kvln"));
        QCOMPARE(rf()->filesTag(), 0);
        QTest::mousePress(rf()->LB_fich->viewport(), Qt::LeftButton, {}, QPoint(5, rf()->LB_fich->viewport()->height() - 2));
        QCOMPARE(rf()->toolTip(), QString());
        QCOMPARE(rf()->filesTag(), -1);
        QVERIFY(rf()->LB_fich->selectedItems().isEmpty());
        QTest::mousePress(rf()->Ed_actu, Qt::LeftButton);
        QCOMPARE(rf()->toolTip(), m_fiches);

        rf()->Button1->click();
        QCOMPARE(desk()->messageLines(), QStringList{QStringLiteral("AVERTISSEMENT: L'aide est introuvable !")});
        m_dir->copyData(QStringLiteral("aide/et_help6.html"));
        rf()->Button1->click();
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(desk()->openedUrls.constLast().fileName(), QStringLiteral("et_help6.html"));
    }

    void anUnreadableFavouritesFileIsNotReplacedUnasked()
    {
        QDir(m_dir->path()).mkdir(QStringLiteral("fav.dat"));
        start([](ScriptedDesktop *d) {
            d->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("Les chemins favoris n'ont pas pu être lus."));
        });
        QVERIFY(desk()->messageLines().constFirst().startsWith(QStringLiteral("Avertissement: Les chemins favoris n'ont pas pu être lus.")));
        QCOMPARE(texts(rf()->LB_fav), QStringList{m_fiches});
        rf()->close();
        QCOMPARE(desk()->messages.size(), 1);
        // Once the list is changed, a failed write is said.
        rf()->show();
        rf()->enterFolder(m_other);
        rf()->B_ajout_fav->click();
        desk()->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("Les chemins favoris n'ont pas pu être enregistrés."));
        rf()->close();
        QVERIFY2(desk()->messageLines().constLast().startsWith(QStringLiteral("Avertissement: Les chemins favoris n'ont pas pu être enregistrés.")),
                 qPrintable(desk()->messageLines().join(u'\n')));
        QVERIFY(QFileInfo(m_dir->file(QStringLiteral("fav.dat"))).isDir());
    }

    void aFavouritesFileReadOnlyInPartIsNeverWrittenBack()
    {
        // A NUL byte hides the second favourite from the reader.
        const QByteArray stored = QFile::encodeName(m_fiches) + "\r\n" + QByteArray(1, '\0') + QFile::encodeName(m_other) + "\r\n";
        m_dir->write(QStringLiteral("fav.dat"), stored);
        start([](ScriptedDesktop *d) {
            d->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("n'a pas pu être lu entièrement"));
            d->expectMessage(QStringLiteral("Avertissement"), QStringLiteral("n'ont pas été enregistrés"));
        });
        QCOMPARE(desk()->messages.size(), 1);
        const QString said = desk()->messageLines().constFirst();
        QVERIFY2(said.contains(QStringLiteral("fav.dat")) && said.contains(QStringLiteral("n'a pas pu être lu entièrement"))
                     && said.contains(QStringLiteral("ligne 2")),
                 qPrintable(said));
        QCOMPARE(texts(rf()->LB_fav), QStringList{m_fiches});
        // Closing unchanged writes nothing and says nothing more.
        rf()->close();
        QCOMPARE(desk()->messages.size(), 1);
        QCOMPARE(m_dir->read(QStringLiteral("fav.dat")), stored);
        // A changed list is not written over the file either: the user is told.
        rf()->show();
        rf()->enterFolder(m_other);
        rf()->B_ajout_fav->click();
        rf()->close();
        QCOMPARE(desk()->messages.size(), 2);
        QVERIFY2(desk()->messageLines().constLast().contains(QStringLiteral("n'ont pas été enregistrés")),
                 qPrintable(desk()->messageLines().join(u'\n')));
        QCOMPARE(m_dir->read(QStringLiteral("fav.dat")), stored);
    }
};

QTEST_MAIN(TestFormRF)
#include "gui_formrf.moc"

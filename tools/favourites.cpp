#include "tools/favourites.h"

#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/errorbox.h"
#include "shell/textfile.h"
#include "shell/themeicon.h"
#include "tools/favouritesfile.h"
#include "tools/labelscan.h"

#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString kCurrentFolderLabel = QStringLiteral("Chemin actuel");
const QString kFavouritesLabel = QStringLiteral("Chemins favoris");
const QString kSearchLabel = QStringLiteral("Fiche");
const QString kFilesGroup = QStringLiteral("Fiche(s) disponible(s) :    ");
const QString kStartsWith = QStringLiteral("débutant par ...   ");
const QString kContains = QStringLiteral("contenant ...");

// The deletion question names at most this many files.
constexpr int kListedInQuestion = 15;

QString folderGone(const QString &folder)
{
    return QStringLiteral("Le dossier « %1 » n'existe plus.").arg(folder);
}

QString folderUnreachable(const QString &folder)
{
    if (LabelScan::pathTooLong(folder))
        return QStringLiteral("Le chemin « %1 » est trop long pour le système.").arg(folder);
    return QStringLiteral("Le dossier « %1 » est inaccessible.").arg(folder);
}

QString openPathTooLong(const QString &name)
{
    return QStringLiteral("Le chemin de la fiche « %1 » est trop long pour le système : elle n'a pas été ouverte.")
        .arg(name);
}

QString trashPathTooLong(const QString &name)
{
    return QStringLiteral("Le chemin de la fiche « %1 » est trop long pour le système : elle n'a pas été "
                          "placée dans la corbeille.")
        .arg(name);
}

// The labels among `names` (files of `folder`) that are open in a label window.
QStringList openInWindows(const QDir &folder, const QStringList &names)
{
    QStringList open;
    TForm_base *frame = Form_base();
    if (!frame)
        return open;
    QStringList windows;
    for (TMDIChild *label : frame->labelWindows()) {
        const QFileInfo file(label->Lab_filename->text());
        if (file.isAbsolute())
            windows << (file.canonicalFilePath().isEmpty() ? QDir::cleanPath(file.absoluteFilePath())
                                                           : file.canonicalFilePath());
    }
    for (const QString &name : names) {
        const QFileInfo file(folder.filePath(name));
        const QString path = file.canonicalFilePath().isEmpty() ? QDir::cleanPath(file.absoluteFilePath())
                                                                : file.canonicalFilePath();
        if (windows.contains(path))
            open << name;
    }
    return open;
}

QString trashQuestion(const QStringList &names, const QStringList &open = {})
{
    QString text = names.size() == 1
        ? QStringLiteral("Voulez-vous placer ce fichier dans la corbeille ?\n")
        : QStringLiteral("Voulez-vous placer ces %1 fichiers dans la corbeille ?\n").arg(names.size());
    for (qsizetype i = 0; i < names.size() && i < kListedInQuestion; ++i)
        text += u'\n' + names.at(i);
    if (names.size() > kListedInQuestion)
        text += QStringLiteral("\n... et %1 autre(s)").arg(names.size() - kListedInQuestion);
    if (open.size() == 1)
        text += QStringLiteral("\n\nAttention : « %1 » est ouvert dans une fenêtre d'étiquette. La fenêtre reste "
                               "ouverte ; l'enregistrer recréerait le fichier.")
                    .arg(open.constFirst());
    else if (open.size() > 1)
        text += QStringLiteral("\n\nAttention : %1 de ces fichiers sont ouverts dans des fenêtres d'étiquette (%2). "
                               "Les fenêtres restent ouvertes ; les enregistrer recréerait les fichiers.")
                    .arg(open.size())
                    .arg(open.mid(0, kListedInQuestion).join(QStringLiteral(", "))
                         + (open.size() > kListedInQuestion ? QStringLiteral(", ...") : QString()));
    return text;
}

QString trashUnavailable(const QString &name, qsizetype untouched)
{
    QString text = QStringLiteral("La corbeille n'est pas disponible : « %1 » n'a pas été supprimé.").arg(name);
    if (untouched > 0)
        text += QStringLiteral("\nLes %1 fichier(s) suivant(s) n'ont pas été supprimés non plus.").arg(untouched);
    return text;
}

QString trashRenameFailed(const QString &name, const QString &why)
{
    return QStringLiteral("« %1 » n'a pas été placé dans la corbeille : son nom n'est pas lisible par le système et "
                          "il n'a pas pu être renommé ainsi (%2)")
        .arg(name, why);
}

// Whether the file named by these bytes is a regular file (links followed).
bool isRegularFile(const QByteArray &native)
{
    struct stat st {};
    return ::stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// Renames `from` to `to` unless `to` exists; errno on failure.
bool renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
}

QString favouritesUnreadable(const QString &error)
{
    return QStringLiteral("Les chemins favoris n'ont pas pu être lus.\n%1").arg(error);
}

QString favouritesKeptWhole(const QString &path)
{
    return QStringLiteral("Les chemins favoris n'ont pas été enregistrés : le fichier « %1 » n'a pas pu être lu "
                          "entièrement, et la partie lue ne le remplacera pas.")
        .arg(QDir::toNativeSeparators(path));
}

QString favouritesUnwritten(const QString &error)
{
    return QStringLiteral("Les chemins favoris n'ont pas pu être enregistrés.\n%1").arg(error);
}

} // namespace

TFormRF::TFormRF(QWidget *frame)
    : QWidget(frame, Qt::Window)
{
    Application::noteCreated("TFormRF");
    setObjectName(QStringLiteral("TFormRF"));
    setWindowTitle(kCaption);
    // The file list follows its folder: a label saved, renamed or removed
    // there, by this program or another, shows at once. The changes of one
    // save (a temporary file, then a rename) make one new listing.
    m_watcher = new QFileSystemWatcher(this);
    m_rescan = new QTimer(this);
    m_rescan->setSingleShot(true);
    m_rescan->setInterval(kRescanDelay);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_rescan, qOverload<>(&QTimer::start));
    connect(m_rescan, &QTimer::timeout, this, &TFormRF::folderChanged);
    buildControls();
    readFavourites();
}

void TFormRF::watchCurrentFolder()
{
    const QStringList watched = m_watcher->directories();
    const QString folder = Ed_actu->text();
    if (watched.size() == 1 && watched.constFirst() == folder)
        return;
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
}

void TFormRF::folderChanged()
{
    // The selection is kept for the names that are still there.
    const QStringList selected = selectedNames();
    scan();
    if (!selected.isEmpty()) {
        for (int i = 0; i < LB_fich->count(); ++i)
            if (selected.contains(LB_fich->item(i)->text()))
                LB_fich->item(i)->setSelected(true);
    }
    // A folder removed and made again is watched again.
    if (m_watcher->directories().isEmpty())
        watchCurrentFolder();
}

void TFormRF::buildControls()
{
    auto named = [](auto *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    Ed_actu = named(new QLineEdit(this), "Ed_actu");
    Ed_actu->setReadOnly(true);
    auto *labActu = new QLabel(kCurrentFolderLabel, this);
    labActu->setBuddy(Ed_actu);

    LB_fav = named(new QListWidget(this), "LB_fav");
    LB_fav->setSelectionMode(QAbstractItemView::SingleSelection);
    LB_fav->setDragEnabled(true);
    LB_fav->setAcceptDrops(true);
    LB_fav->viewport()->setAcceptDrops(true);
    LB_fav->setDragDropMode(QAbstractItemView::DragDrop);
    LB_fav->setDefaultDropAction(Qt::CopyAction);
    auto *labFav = new QLabel(kFavouritesLabel, this);
    labFav->setBuddy(LB_fav);

    B_ajout_fav = named(new QPushButton(QStringLiteral("&Ajouter"), this), "B_ajout_fav");
    B_ajout_fav->setToolTip(QStringLiteral("Ajouter le chemin actuel aux favoris"));
    B_sup_fav = named(new QPushButton(QStringLiteral("&Supprimer"), this), "B_sup_fav");
    B_sup_fav->setToolTip(QStringLiteral("Supprimer le chemin sélectionné des favoris"));
    B_sup_fav->setEnabled(false);
    B_new_fav = named(new QPushButton(QStringLiteral("&Nouveau"), this), "B_new_fav");
    B_new_fav->setToolTip(QStringLiteral("Rechercher un nouveau chemin"));

    LabRech = named(new QLineEdit(this), "LabRech");
    auto *labRech = new QLabel(kSearchLabel, this);
    labRech->setBuddy(LabRech);
    Image2 = named(new QToolButton(this), "Image2");
    Image2->setToolTip(QStringLiteral("Effacer le champ de recherche"));
    Image2->setAutoRaise(true);
    Image2->setIcon(themeIcon(QStringLiteral("edit-delete"), style(), QStyle::SP_DialogResetButton));
    Image2->setIconSize(QSize(16, 16));
    RBd = named(new QRadioButton(kStartsWith, this), "RBd");
    RBd->setChecked(true);
    RBc = named(new QRadioButton(kContains, this), "RBc");

    GB_fich = named(new QGroupBox(kFilesGroup, this), "GB_fich");
    LB_fich = named(new QListWidget(GB_fich), "LB_fich");
    LB_fich->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LB_fich->setUniformItemSizes(true);
    Lab_nbfiches = named(new QLabel(QStringLiteral("0  "), GB_fich), "Lab_nbfiches");
    TB_zoom = named(new QSlider(Qt::Horizontal, GB_fich), "TB_zoom");
    TB_zoom->setToolTip(QStringLiteral("Ajuster la taille des caractères"));
    TB_zoom->setRange(6, 14);
    TB_zoom->setSingleStep(1);
    TB_zoom->setPageStep(1);
    TB_zoom->setTickPosition(QSlider::TicksBelow);
    TB_zoom->setTickInterval(1);
    TB_zoom->setValue(8);
    QFont listFont = LB_fich->font();
    listFont.setPointSize(TB_zoom->value());
    LB_fich->setFont(listFont);

    B_ouvrir = named(new QPushButton(QStringLiteral("&Ouvrir"), this), "B_ouvrir");
    B_ouvrir->setToolTip(QStringLiteral("le(s) fichier(s) sélectionné(s)"));
    B_supp = named(new QPushButton(QStringLiteral("&Supprimer"), this), "B_supp");
    B_supp->setToolTip(QStringLiteral("le(s) fichier(s) sélectionné(s)"));
    Button1 = named(new QPushButton(QStringLiteral("?"), this), "Button1");
    Button1->setToolTip(QStringLiteral("Aide"));
    B_fermer = named(new QPushButton(QStringLiteral("&Fermer"), this), "B_fermer");
    B_fermer->setToolTip(QStringLiteral("Quitter"));
    B_ouvrir->setEnabled(false);
    B_supp->setEnabled(false);

    // Layout: the current folder across the top, the favourites on the left,
    // the search and its files on the right, the commands at the bottom.
    auto *top = new QHBoxLayout;
    top->addWidget(labActu);
    top->addWidget(Ed_actu, 1);

    auto *favButtons = new QHBoxLayout;
    favButtons->addWidget(B_ajout_fav);
    favButtons->addWidget(B_sup_fav);
    favButtons->addWidget(B_new_fav);
    auto *left = new QVBoxLayout;
    left->addWidget(labFav);
    left->addWidget(LB_fav, 1);
    left->addLayout(favButtons);

    auto *search = new QHBoxLayout;
    search->addWidget(labRech);
    search->addWidget(LabRech, 1);
    search->addWidget(Image2);
    auto *modes = new QHBoxLayout;
    modes->addWidget(RBd);
    modes->addWidget(RBc);
    modes->addStretch(1);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(Lab_nbfiches);
    countRow->addStretch(1);
    countRow->addWidget(TB_zoom);
    auto *files = new QVBoxLayout(GB_fich);
    files->addLayout(countRow);
    files->addWidget(LB_fich, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(search);
    right->addLayout(modes);
    right->addWidget(GB_fich, 1);

    auto *middle = new QHBoxLayout;
    middle->addLayout(left, 1);
    middle->addLayout(right, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(B_ouvrir);
    bottom->addWidget(B_supp);
    bottom->addStretch(1);
    bottom->addWidget(Button1);
    bottom->addWidget(B_fermer);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    resize(680, 460);

    connect(Ed_actu, &QLineEdit::textChanged, this, &TFormRF::Ed_actuChange);
    connect(LabRech, &QLineEdit::textChanged, this, &TFormRF::scan);
    connect(Image2, &QToolButton::clicked, LabRech, &QLineEdit::clear);
    connect(RBd, &QRadioButton::toggled, this, &TFormRF::scan);
    for (QRadioButton *mode : {RBd, RBc}) {
        connect(mode, &QRadioButton::clicked, this, [this] {
            LabRech->setFocus();
            LabRech->deselect();
            LabRech->setCursorPosition(int(LabRech->text().size()));
        });
    }
    connect(LB_fav, &QListWidget::itemSelectionChanged, this, [this] {
        B_sup_fav->setEnabled(!LB_fav->selectedItems().isEmpty());
        updateAddButton();
    });
    connect(LB_fav, &QListWidget::itemDoubleClicked, this, &TFormRF::LB_favDblClick);
    connect(LB_fich, &QListWidget::itemSelectionChanged, this, &TFormRF::updateFileButtons);
    connect(LB_fich, &QListWidget::itemDoubleClicked, this, &TFormRF::B_ouvrirClick);
    connect(TB_zoom, &QSlider::valueChanged, this, [this](int points) {
        QFont f = LB_fich->font();
        f.setPointSize(points);
        LB_fich->setFont(f);
    });
    connect(B_ajout_fav, &QPushButton::clicked, this, &TFormRF::B_ajout_favClick);
    connect(B_sup_fav, &QPushButton::clicked, this, &TFormRF::B_sup_favClick);
    connect(B_new_fav, &QPushButton::clicked, this, &TFormRF::B_new_favClick);
    connect(B_ouvrir, &QPushButton::clicked, this, &TFormRF::B_ouvrirClick);
    connect(B_supp, &QPushButton::clicked, this, &TFormRF::B_suppClick);
    connect(Button1, &QPushButton::clicked, this, &TFormRF::Button1Click);
    connect(B_fermer, &QPushButton::clicked, this, &QWidget::close);

    Ed_actu->installEventFilter(this);
    LB_fav->viewport()->installEventFilter(this);
    LB_fich->viewport()->installEventFilter(this);
}

QString TFormRF::startDirectory() const
{
    if (Form_base())
        return Form_base()->startDirectory();
    if (kalvane())
        return kalvane()->startDirectory();
    return QDir::currentPath() + u'/';
}

QString TFormRF::favouritesPath() const
{
    return QDir(startDirectory()).filePath(FavouritesFile::kFileName);
}

void TFormRF::warn(const QString &text)
{
    desktop().message(this, kWarningTitle, text, Desktop::Icon::Warning, Desktop::Ok);
}

void TFormRF::readFavourites()
{
    const QString lastUsed = Form_base() ? Form_base()->lastUsedFolder() : QDir::currentPath();
    QStringList stored;
    QString error;
    if (!FavouritesFile::read(favouritesPath(), startDirectory(), &stored, &error, &m_favouritesPartial)) {
        m_favouritesUnreadable = true;
        warn(m_favouritesPartial ? error : favouritesUnreadable(error));
    }
    const QStringList list = FavouritesFile::startList(lastUsed, stored);
    LB_fav->addItems(list);
    // The first favourite becomes the current folder; when it cannot be
    // entered the last-used folder stands in, and failing that the folder
    // the program is in.
    if ((list.isEmpty() || !QDir::setCurrent(list.constFirst())) && !lastUsed.isEmpty())
        QDir::setCurrent(lastUsed);
    Ed_actu->setText(QDir::currentPath());
    updateAddButton();
}

QString TFormRF::currentFolder() const
{
    return Ed_actu->text();
}

QStringList TFormRF::favourites() const
{
    QStringList list;
    for (int i = 0; i < LB_fav->count(); ++i)
        list << LB_fav->item(i)->text();
    return list;
}

bool TFormRF::enterFolder(const QString &folder)
{
    if (folder.isEmpty() || !QDir::setCurrent(folder))
        return false;
    const QString now = QDir::currentPath();
    if (now == Ed_actu->text())
        scan();
    else
        Ed_actu->setText(now);
    return true;
}

void TFormRF::Ed_actuChange()
{
    watchCurrentFolder();
    scan();
    updateAddButton();
}

void TFormRF::scan()
{
    const auto mode = RBc->isChecked() ? LabelScan::Mode::Contains : LabelScan::Mode::StartsWith;
    const QStringList names = m_scan.find(Ed_actu->text(), LabRech->text(), mode);
    LB_fich->setUpdatesEnabled(false);
    LB_fich->clear();
    LB_fich->addItems(names);
    LB_fich->setUpdatesEnabled(true);
    Lab_nbfiches->setText(QString::number(names.size()) + QStringLiteral("  "));
    updateFileButtons();
}

void TFormRF::updateAddButton()
{
    B_ajout_fav->setEnabled(!favourites().contains(Ed_actu->text(), Qt::CaseSensitive));
}

void TFormRF::updateFileButtons()
{
    // The file commands act on the selection: available exactly while there
    // is one, whether it came from a click, the keyboard or Ctrl+A.
    const bool any = !LB_fich->selectedItems().isEmpty();
    B_ouvrir->setEnabled(any);
    B_supp->setEnabled(any);
}

void TFormRF::takeWorkingDirectory()
{
    // A folder chosen in any file dialog since the last visit shows up here.
    const QString now = QDir::currentPath();
    if (!now.isEmpty() && now != Ed_actu->text())
        Ed_actu->setText(now);
}

void TFormRF::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        takeWorkingDirectory();
    QWidget::changeEvent(event);
}

void TFormRF::showEvent(QShowEvent *event)
{
    if (!m_placed && parentWidget()) {
        // First shown over the middle of the main frame, whole on the screen.
        m_placed = true;
        QRect area = frameGeometry();
        area.moveCenter(parentWidget()->frameGeometry().center());
        if (const QScreen *screen = parentWidget()->screen()) {
            const QRect available = screen->availableGeometry();
            area.moveRight(std::min(area.right(), available.right()));
            area.moveBottom(std::min(area.bottom(), available.bottom()));
            area.moveLeft(std::max(area.left(), available.left()));
            area.moveTop(std::max(area.top(), available.top()));
        }
        move(area.topLeft());
    }
    takeWorkingDirectory();
    QWidget::showEvent(event);
}

bool TFormRF::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (watched == LB_fav->viewport()) {
            QListWidgetItem *item = LB_fav->itemAt(pos);
            m_favouritesTag = item ? LB_fav->row(item) : -1;
            if (item)
                setToolTip(item->text());
        } else if (watched == LB_fich->viewport()) {
            QListWidgetItem *item = LB_fich->itemAt(pos);
            m_filesTag = item ? 0 : -1;
            setToolTip(item ? item->text() : QString());
            if (!item)
                LB_fich->clearSelection();
        } else if (watched == Ed_actu) {
            setToolTip(Ed_actu->text());
        }
    } else if (watched == LB_fav->viewport()) {
        // Only the favourites list can be dragged, and only onto itself.
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            if (drag->source() == LB_fav) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            LB_favDragDrop(drop->source(), drop->position().toPoint());
            // Not a move: the list must not remove the dragged entry itself.
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormRF::LB_favDragDrop(QObject *source, const QPoint &pos)
{
    if (source != LB_fav)
        return;
    const int from = m_favouritesTag;
    QListWidgetItem *target = LB_fav->itemAt(pos);
    if (from < 0 || from >= LB_fav->count() || !target)
        return;
    const int to = LB_fav->row(target);
    if (to == from)
        return;
    // Successive swaps with the neighbour: the entries in between move by one.
    QListWidgetItem *moved = LB_fav->takeItem(from);
    LB_fav->insertItem(to, moved);
    LB_fav->setCurrentItem(moved);
    m_favouritesTag = to;
    m_favouritesChanged = true;
}

void TFormRF::B_ajout_favClick()
{
    const QString folder = Ed_actu->text();
    if (folder.isEmpty() || favourites().contains(folder, Qt::CaseSensitive)) {
        B_ajout_fav->setEnabled(false);
        return;
    }
    QString problem;
    if (!FavouritesFile::storable(folder, &problem)) {
        warn(problem);
        return;
    }
    LB_fav->addItem(folder);
    m_favouritesChanged = true;
    B_ajout_fav->setEnabled(false);
}

void TFormRF::B_sup_favClick()
{
    const QList<QListWidgetItem *> selected = LB_fav->selectedItems();
    if (selected.isEmpty())
        return;
    delete LB_fav->takeItem(LB_fav->row(selected.constFirst()));
    LB_fav->clearSelection();
    m_favouritesChanged = true;
    updateAddButton();
    B_sup_fav->setEnabled(false);
}

void TFormRF::B_new_favClick()
{
    // A window title holds one line: the line break that sets the caption
    // apart in a browser with a text area has no place in a title bar.
    const QString chosen = desktop().folder(this, kFolderCaption.trimmed(), Ed_actu->text());
    if (chosen.isEmpty())
        return;
    if (!enterFolder(chosen))
        warn(folderUnreachable(chosen));
}

void TFormRF::LB_favDblClick()
{
    QListWidgetItem *item = LB_fav->currentItem();
    if (!item)
        return;
    const QString folder = item->text();
    if (!enterFolder(folder)) {
        if (desktop().message(this, kErrorTitle, kInaccessible, Desktop::Icon::Question, Desktop::Yes | Desktop::No)
            == Desktop::Yes) {
            delete LB_fav->takeItem(LB_fav->row(item));
            LB_fav->clearSelection();
            m_favouritesChanged = true;
            B_sup_fav->setEnabled(false);
            updateAddButton();
        }
    }
}

QStringList TFormRF::selectedNames() const
{
    QStringList names;
    for (int i = 0; i < LB_fich->count(); ++i)
        if (LB_fich->item(i)->isSelected())
            names << LB_fich->item(i)->text();
    return names;
}

bool TFormRF::folderVanished()
{
    // The folder may have been removed or renamed since the list was made:
    // say it once instead of once per selected file, and show what is left.
    if (QFileInfo(Ed_actu->text()).isDir())
        return false;
    warn(folderGone(Ed_actu->text()));
    scan();
    return true;
}

void TFormRF::B_ouvrirClick()
{
    if (LB_fich->count() == 0)
        return;
    const QStringList names = selectedNames();
    TForm_base *frame = Form_base();
    if (names.isEmpty() || !frame || folderVanished())
        return;
    const QDir folder(Ed_actu->text());
    // The preview is redrawn once at the end, not for every file loaded.
    frame->previewSuppressed = 1;
    ErrorBox::guard(this, [&] {
        for (const QString &name : names) {
            const QString path = folder.filePath(name);
            // A name the system's encoding cannot carry is opened by its bytes.
            const QByteArray native = m_scan.nativePath(folder.path(), name);
            if (LabelScan::pathTooLong(path))
                warn(openPathTooLong(name));
            else if (!isRegularFile(native))
                warn(kReadError);
            else if (!frame->open(path, native == QFile::encodeName(path) ? QByteArray() : native))
                break; // as the open dialog does: a file not read whole stops the rest
        }
    });
    LB_fich->clearSelection();
    updateFileButtons();
    frame->previewSuppressed = 0;
    frame->refreshPreview();
}

void TFormRF::B_suppClick()
{
    if (LB_fich->count() == 0)
        return;
    const QStringList selected = selectedNames();
    if (selected.isEmpty() || folderVanished())
        return;
    const QDir folder(Ed_actu->text());
    QStringList names;
    for (const QString &name : selected) {
        const QString path = folder.filePath(name);
        if (LabelScan::pathTooLong(path))
            warn(trashPathTooLong(name));
        else if (!isRegularFile(m_scan.nativePath(folder.path(), name)))
            warn(kReadError);
        else
            names << name;
    }
    // The trash asks nothing itself: the program asks before anything moves.
    if (!names.isEmpty()
        && desktop().message(this, kConfirmTitle, trashQuestion(names, openInWindows(folder, names)),
                             Desktop::Icon::Question,
                             Desktop::Yes | Desktop::No)
            == Desktop::Yes) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString path = folder.filePath(names.at(i));
            // A name the system's encoding cannot carry cannot be handed to
            // the trash: the file first takes the name the list shows (never
            // over another file), and gets its own back if the trash fails.
            const QByteArray native = m_scan.nativePath(folder.path(), names.at(i));
            const QByteArray readable = QFile::encodeName(path);
            const bool renamed = native != readable;
            if (renamed && !renameNoReplace(native, readable)) {
                warn(trashRenameFailed(names.at(i), TextFile::systemError(errno)));
                break;
            }
            if (!desktop().moveToTrash(path)) {
                if (renamed)
                    renameNoReplace(readable, native);
                // Without a trash nothing is deleted for good: stop here.
                warn(trashUnavailable(names.at(i), names.size() - i - 1));
                break;
            }
        }
    }
    m_filesTag = 0;
    scan();
}

void TFormRF::Button1Click()
{
    if (!desktop().showHelp(this, kHelpPage))
        desktop().message(this, kHelpTitle, kHelpMissing, Desktop::Icon::Warning, Desktop::Ok);
}

void TFormRF::writeFavourites()
{
    if (m_favouritesUnreadable && !m_favouritesChanged)
        return;
    // The list holds only what came before a cut: writing it would drop the
    // favourites after it.
    if (m_favouritesPartial) {
        warn(favouritesKeptWhole(favouritesPath()));
        return;
    }
    const QStringList list = favourites();
    QString error;
    if (FavouritesFile::write(favouritesPath(), list, &error)) {
        m_favouritesUnreadable = false;
        return;
    }
    // Nothing is lost when the file already holds this very list.
    QStringList onDisk;
    if (QFileInfo::exists(favouritesPath()) && FavouritesFile::read(favouritesPath(), startDirectory(), &onDisk)
        && onDisk == list)
        return;
    warn(favouritesUnwritten(error));
}

void TFormRF::closeEvent(QCloseEvent *event)
{
    writeFavourites();
    QWidget::closeEvent(event);
}

#include "shell/base.h"

#include "editor/harmonisedaction.h"
#include "editor/hppicto.h"
#include "editor/labelchecks.h"
#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/apropos.h"
#include "shell/desktop.h"
#include "shell/errorbox.h"
#include "shell/fontwarmup.h"
#include "shell/labelfile.h"
#include "shell/proposedname.h"
#include "shell/colortext.h"
#include "shell/settingsfiles.h"
#include "shell/textfile.h"
#include "shell/themeicon.h"
#include "tools/favourites.h"
#include "tools/four.h"
#include "tools/planche.h"
#include "tools/printcommand.h"
#include "tools/printer.h"
#include "tools/rech.h"
#include "render/labelcontent.h"
#include "render/labelrenderer.h"
#include "render/qualjpeg.h"
#include "editor/phraseeditor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

TForm_base *g_frame = nullptr;

const QString kFolderWarningTitle = QStringLiteral("AVERTISSEMENT *** KALVANE");
QString folderWarning(const QString &folder)
{
    return QStringLiteral("Le répertoire ''") + folder
           + QStringLiteral("'' semble inaccessible.\nSoit il n'existe plus, soit la connexion réseau n'est pas disponible.");
}

// The size items' handlers, in the order of the sub-menus.
using SizeHandler = void (TForm_base::*)();
const SizeHandler kProductSizeHandlers[9] = {
    &TForm_base::N10pts1Click, &TForm_base::N12pts1Click, &TForm_base::N14pts1Click,
    &TForm_base::N16pts1Click, &TForm_base::N18pts1Click, &TForm_base::N20pts1Click,
    &TForm_base::N22pts1Click, &TForm_base::N24pts1Click, &TForm_base::N26ptsCTRLMAJF1Click,
};
const SizeHandler kStatementSizeHandlers[8] = {
    &TForm_base::N51Click, &TForm_base::N61Click, &TForm_base::N71Click, &TForm_base::N81Click,
    &TForm_base::N91Click, &TForm_base::N101Click, &TForm_base::N111Click, &TForm_base::N121Click,
};

QAction *makeAction(QObject *owner, const char *name, const QString &text, const QString &hint,
                    const QKeySequence &shortcut = {}, bool enabled = true)
{
    auto *a = new QAction(text, owner);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint.isEmpty() ? text : hint);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    a->setEnabled(enabled);
    return a;
}

// Waits with the hourglass while the desktop opens something.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TForm_base *Form_base() { return g_frame; }

TForm_base::TForm_base(QWidget *parent)
    : QMainWindow(parent)
{
    g_frame = this;
    Application::noteCreated("TForm_base");
    setObjectName(QStringLiteral("TForm_base"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose, false);

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdiArea);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &TForm_base::onSubWindowActivated);

    OpenDialog1.title = QStringLiteral("Ouvrir");
    OpenDialog1.filter = kLabelFilter;
    OpenDialog1.defaultSuffix = QStringLiteral("kvln");
    OpenDialog1.fileName = QStringLiteral("*.kvln");
    OpenDialog1.multiple = true;
    SaveDialog1.title = QStringLiteral("Enregistrer sous");
    SaveDialog1.filter = kLabelFilter;
    SaveDialog1.defaultSuffix = QStringLiteral("kvln");
    SaveDialog1.fileName = QStringLiteral("Sans_titre");
    SaveDialog1.confirmOverwrite = true;

    createActions();
    createMenus();
    createToolBar();

    // The first text measured (the status bar's): the font configuration read
    // on the side since the start is complete by now, or nearly.
    FontWarmUp::wait();
    auto *countCaption = new QLabel(QStringLiteral(" Nombre d'étiquette(s) :"), this);
    countCaption->setObjectName(QStringLiteral("LabNombre"));
    STnb_f = new QLabel(QStringLiteral("0"), this);
    STnb_f->setObjectName(QStringLiteral("STnb_f"));
    statusBar()->addWidget(countCaption);
    statusBar()->addWidget(STnb_f, 1);

    fillFontMenu();
    readSettings();
    qApp->installEventFilter(this);
}

bool TForm_base::eventFilter(QObject *watched, QEvent *event)
{
    // Text fields claim some Ctrl keys for their own line editing (Ctrl+E, the
    // end of the line, on this platform). The program's commands win over them;
    // the clipboard keys (Ctrl+V, Ctrl+X, Ctrl+C) stay with the fields.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction *a : {Nouveau1, Ouvrir1, Chercher1, Enregistrer1, Enregistrersous1, Export1, Printer1, Quitter1,
                           Modif1, Planche}) {
            if (a->isEnabled() && a->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
        // The preview's own key (its second one, after Ctrl+V) wins too.
        if (Apercu1->isEnabled() && Apercu1->shortcuts().size() > 1 && Apercu1->shortcuts().at(1) == pressed) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

TForm_base::~TForm_base()
{
    qApp->removeEventFilter(this);
    // The label windows and tool windows die with the frame; none of them may
    // call back into a frame that is half destroyed.
    disconnect(mdiArea, nullptr, this, nullptr);
    if (g_frame == this)
        g_frame = nullptr;
}

void TForm_base::createActions()
{
    Nouveau1 = makeAction(this, "Nouveau1", QStringLiteral("Nouveau"), QStringLiteral("Nouveau"), QKeySequence(Qt::CTRL | Qt::Key_N));
    Ouvrir1 = makeAction(this, "Ouvrir1", QStringLiteral("Ouvrir"), QStringLiteral("Ouvrir"), QKeySequence(Qt::CTRL | Qt::Key_O));
    Chercher1 = makeAction(this, "Chercher1", QStringLiteral("Rechercher"), QStringLiteral("Chercher une fiche dans les favoris"), QKeySequence(Qt::CTRL | Qt::Key_F));
    Enregistrer1 = makeAction(this, "Enregistrer1", QStringLiteral("Enregistrer"), QStringLiteral("Enregistrer"), QKeySequence(Qt::CTRL | Qt::Key_S), false);
    Enregistrersous1 = makeAction(this, "Enregistrersous1", QStringLiteral("Enregistrer sous..."),
                                  QStringLiteral("Enregistrer sous un autre nom"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), false);
    Export1 = makeAction(this, "Export1", QStringLiteral("Exporter"), QStringLiteral("Exporter"), QKeySequence(Qt::CTRL | Qt::Key_E), false);
    Apercu1 = makeAction(this, "Apercu1", QStringLiteral("Prévisualiser"), QStringLiteral("Aperçu"), QKeySequence(Qt::CTRL | Qt::Key_V), false);
    // Ctrl+V pastes wherever a text field has the focus, which is nearly
    // always; Ctrl+Shift+V previews from anywhere (no text field takes it).
    Apercu1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
    Printer1 = makeAction(this, "Printer1", QStringLiteral("Imprimer"), QStringLiteral("Imprimer"), QKeySequence(Qt::CTRL | Qt::Key_P));
    Quitter1 = makeAction(this, "Quitter1", QStringLiteral("Quitter"), QStringLiteral("Quitter"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    Modif1 = makeAction(this, "Modif1", QStringLiteral("Modifier une phrase"), QStringLiteral("Modifier une phrase"), QKeySequence(Qt::CTRL | Qt::Key_M), false);
    majour = makeAction(this, "majour", QStringLiteral("&Valider"), QString());
    Planche = makeAction(this, "Planche", QStringLiteral("Gérer une planche"), QStringLiteral("Gérer une planche d'étiquettes"), QKeySequence(Qt::CTRL | Qt::Key_G));
    Fermer1 = makeAction(this, "Fermer1", QStringLiteral("Fermer tout"), QStringLiteral("Fermer toutes les fiches"), QKeySequence(Qt::CTRL | Qt::Key_X), false);
    WindowCascade1 = makeAction(this, "WindowCascade1", QStringLiteral("&Cascade"), QStringLiteral("Cascade"), {}, false);
    WindowTileHorizontal1 = makeAction(this, "WindowTileHorizontal1", QStringLiteral("Mosaïque &horizontale"), QStringLiteral("Mosaïque horizontale"), {}, false);
    WindowTileVertical1 = makeAction(this, "WindowTileVertical1", QStringLiteral("Mosaïque &verticale"), QStringLiteral("Mosaïque verticale"), {}, false);
    Aide1 = makeAction(this, "Aide1", QStringLiteral("&Aide"), QStringLiteral("Aide"), QKeySequence(Qt::Key_F1));
    HelpAbout1 = makeAction(this, "HelpAbout1", QStringLiteral("À &propos..."), QStringLiteral("A propos de"), QKeySequence(Qt::Key_F2));
    inrs = makeAction(this, "inrs", QStringLiteral("&INRS"), QStringLiteral("Site web de l'INRS"));
    RechercheNCE1 = makeAction(this, "RechercheNCE1", QStringLiteral("&INCHEM"), QStringLiteral("Recherche sur le site web  INCHEM"));
    gauche1 = makeAction(this, "gauche1", QStringLiteral("gauche"), QString(), {}, false);
    centr1 = makeAction(this, "centr1", QStringLiteral("centré"), QString(), {}, false);
    droite1 = makeAction(this, "droite1", QStringLiteral("droite"), QString(), {}, false);
    Verifier1 = makeAction(this, "Verifier1", QStringLiteral("Vérifier l'étiquette"),
                           QStringLiteral("Vérifier l'étiquette active"), {}, false);

    // The sizes of the active label are marked in the menus.
    auto *productSizes = new QActionGroup(this);
    productSizes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto *statementSizes = new QActionGroup(this);
    statementSizes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const int productPoints[] = {10, 12, 14, 16, 18, 20, 22, 24, 26};
    const int productKeys[] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9,
                               Qt::Key_F10, Qt::Key_F11, Qt::Key_F12, Qt::Key_F1};
    for (int i = 0; i < 9; ++i) {
        const int pts = productPoints[i];
        const QByteArray name = pts == 26 ? QByteArray("N26ptsCTRLMAJF1") : "N" + QByteArray::number(pts) + "pts1";
        QAction *a = makeAction(this, name.constData(), QStringLiteral("%1 pts").arg(pts), QString(),
                                QKeySequence(Qt::SHIFT | productKeys[i]), false);
        a->setCheckable(true);
        a->setData(pts);
        productSizes->addAction(a);
        connect(a, &QAction::triggered, this, kProductSizeHandlers[i]);
        productSizeActions << a;
    }
    for (int pts = 5; pts <= 12; ++pts) {
        const QByteArray name = "N" + QByteArray::number(pts) + "1";
        QAction *a = makeAction(this, name.constData(), QStringLiteral("%1 pts").arg(pts), QString(),
                                QKeySequence(Qt::Key_F5 + (pts - 5)), false);
        a->setCheckable(true);
        a->setData(pts);
        statementSizes->addAction(a);
        connect(a, &QAction::triggered, this, kStatementSizeHandlers[pts - 5]);
        statementSizeActions << a;
    }

    connect(Nouveau1, &QAction::triggered, this, &TForm_base::Nouveau1Execute);
    connect(Ouvrir1, &QAction::triggered, this, &TForm_base::Ouvrir1Execute);
    connect(Enregistrer1, &QAction::triggered, this, &TForm_base::Enregistrer1Execute);
    connect(Enregistrersous1, &QAction::triggered, this, &TForm_base::Enregistrersous1Execute);
    connect(Fermer1, &QAction::triggered, this, &TForm_base::Fermer1Execute);
    connect(Quitter1, &QAction::triggered, this, &TForm_base::Quitter1Execute);
    connect(Aide1, &QAction::triggered, this, &TForm_base::Aide1Click);
    connect(inrs, &QAction::triggered, this, &TForm_base::inrsClick);
    connect(RechercheNCE1, &QAction::triggered, this, &TForm_base::RechercheNCE1Click);
    connect(HelpAbout1, &QAction::triggered, this, &TForm_base::HelpAbout1Execute);
    connect(Apercu1, &QAction::triggered, this, &TForm_base::Apercu1Execute);
    connect(Export1, &QAction::triggered, this, &TForm_base::Export1Execute);
    connect(Printer1, &QAction::triggered, this, &TForm_base::Printer1Execute);
    connect(Modif1, &QAction::triggered, this, &TForm_base::Modif1Execute);
    connect(majour, &QAction::triggered, this, &TForm_base::majourExecute);
    connect(Verifier1, &QAction::triggered, this, &TForm_base::Verifier1Execute);
    connect(gauche1, &QAction::triggered, this, &TForm_base::gauche1Click);
    connect(centr1, &QAction::triggered, this, &TForm_base::centr1Click);
    connect(droite1, &QAction::triggered, this, &TForm_base::droite1Click);
    connect(WindowCascade1, &QAction::triggered, this, [this] { mdiArea->cascadeSubWindows(); });
    connect(WindowTileHorizontal1, &QAction::triggered, this, [this] { tileWindows(Qt::Horizontal); });
    connect(WindowTileVertical1, &QAction::triggered, this, [this] { tileWindows(Qt::Vertical); });
    connect(Planche, &QAction::triggered, this, &TForm_base::PlancheExecute);
    connect(Chercher1, &QAction::triggered, this, &TForm_base::Chercher1Execute);
    // The menu entries of their own follow their action.
    Apercu = makeAction(this, "Apercu", Apercu1->text(), QStringLiteral("Prévisualiser"));
    Modifphrase1 = makeAction(this, "Modifphrase1", Modif1->text(), Modif1->toolTip());
    for (auto [entry, action] : {std::pair{Apercu, Apercu1}, std::pair{Modifphrase1, Modif1}}) {
        // The key is the action's: the entry only shows it.
        entry->setShortcuts(action->shortcuts());
        entry->setShortcutContext(Qt::WidgetShortcut);
        entry->setEnabled(action->isEnabled());
        connect(action, &QAction::changed, entry, [entry, action] {
            entry->setEnabled(action->isEnabled());
            entry->setIcon(action->icon());
        });
        connect(entry, &QAction::triggered, action, &QAction::trigger);
    }
    for (QAction *a : {Nouveau1, Ouvrir1, Chercher1, Enregistrer1, Enregistrersous1, Export1, Apercu1, Printer1,
                       Quitter1, Modif1, Planche, Fermer1, Aide1, HelpAbout1})
        a->setShortcutContext(Qt::ApplicationShortcut);
}

void TForm_base::createMenus()
{
    QMenu *fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("Fichier1"));
    fichier->addActions({Nouveau1, Ouvrir1, Chercher1});
    fichier->addSeparator();
    fichier->addActions({Enregistrer1, Enregistrersous1, Export1});
    fichier->addSeparator();
    fichier->addActions({Apercu, Printer1});
    fichier->addSeparator();
    fichier->addAction(Quitter1);

    QMenu *edition = menuBar()->addMenu(QStringLiteral("&Edition"));
    edition->setObjectName(QStringLiteral("Edition1"));
    edition->setToolTip(QStringLiteral("Commandes d'édition"));
    edition->addActions({Modifphrase1, Planche});
    edition->addAction(Verifier1);
    HarmonisedAction::install(this, edition);

    QMenu *texte = menuBar()->addMenu(QStringLiteral("&Texte"));
    texte->setObjectName(QStringLiteral("Texte1"));
    Police1 = texte->addMenu(QStringLiteral("&Police de caractère"));
    Police1->setObjectName(QStringLiteral("Police1"));
    Taille1 = texte->addMenu(QStringLiteral("&Taille des caractères"));
    Taille1->setObjectName(QStringLiteral("Taille1"));
    QMenu *produit = Taille1->addMenu(QStringLiteral("Produit"));
    produit->setObjectName(QStringLiteral("Produit1"));
    produit->addActions(productSizeActions);
    QMenu *phrases = Taille1->addMenu(QStringLiteral("Phrases"));
    phrases->setObjectName(QStringLiteral("Phrases1"));
    phrases->addActions(statementSizeActions);
    texte->addSeparator();
    Alignementdescommentaires1 = texte->addMenu(QStringLiteral("&Alignement des commentaires"));
    Alignementdescommentaires1->setObjectName(QStringLiteral("Alignementdescommentaires1"));
    Alignementdescommentaires1->addActions({gauche1, centr1, droite1});
    for (QMenu *m : {Police1, Taille1, Alignementdescommentaires1})
        m->menuAction()->setEnabled(false);

    QMenu *internet = menuBar()->addMenu(QStringLiteral("Inter&net"));
    internet->setObjectName(QStringLiteral("Internet1"));
    internet->addActions({inrs, RechercheNCE1});

    Fenetre1 = menuBar()->addMenu(QStringLiteral("Fenêt&re"));
    Fenetre1->setObjectName(QStringLiteral("Fenetre1"));
    Fenetre1->setToolTip(QStringLiteral("Commandes relatives aux fenêtres"));
    Fenetre1->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1});
    Fenetre1->addSeparator();
    Fenetre1->addAction(Fermer1);
    connect(Fenetre1, &QMenu::aboutToShow, this, &TForm_base::fillWindowMenu);

    QMenu *infos = menuBar()->addMenu(QStringLiteral("&Infos"));
    infos->setObjectName(QStringLiteral("Infos1"));
    infos->setToolTip(QStringLiteral("Rubriques d'aide"));
    infos->addSeparator();
    infos->addActions({Aide1, HelpAbout1});
}

void TForm_base::createToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Outils"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));
    // Icons of the desktop's theme where it has them, the style's otherwise.
    QStyle *s = style();
    const auto icon = [s](const char *name, QStyle::StandardPixmap fallback) {
        return themeIcon(QString::fromLatin1(name), s, fallback);
    };
    Nouveau1->setIcon(icon("document-new", QStyle::SP_FileIcon));
    Ouvrir1->setIcon(icon("document-open", QStyle::SP_DialogOpenButton));
    Chercher1->setIcon(icon("edit-find", QStyle::SP_FileDialogContentsView));
    Enregistrer1->setIcon(icon("document-save", QStyle::SP_DialogSaveButton));
    Export1->setIcon(icon("insert-image", QStyle::SP_ArrowRight));
    Apercu1->setIcon(icon("document-print-preview", QStyle::SP_FileDialogDetailedView));
    Printer1->setIcon(icon("document-print", QStyle::SP_ComputerIcon));
    Quitter1->setIcon(icon("application-exit", QStyle::SP_DialogCloseButton));
    Modif1->setIcon(icon("accessories-text-editor", QStyle::SP_FileDialogInfoView));
    Planche->setIcon(icon("emblem-documents", QStyle::SP_FileDialogListView));
    WindowCascade1->setIcon(icon("view-restore", QStyle::SP_TitleBarNormalButton));
    WindowTileHorizontal1->setIcon(icon("view-sort-ascending", QStyle::SP_ToolBarHorizontalExtensionButton));
    WindowTileVertical1->setIcon(icon("view-sort-descending", QStyle::SP_ToolBarVerticalExtensionButton));
    Fermer1->setIcon(icon("window-close", QStyle::SP_DialogDiscardButton));
    HelpAbout1->setIcon(icon("help-about", QStyle::SP_MessageBoxInformation));
    Aide1->setIcon(icon("help-contents", QStyle::SP_DialogHelpButton));
    inrs->setIcon(icon("applications-internet", QStyle::SP_DriveNetIcon));

    bar->addActions({Nouveau1, Ouvrir1, Chercher1});
    bar->addSeparator();
    bar->addActions({Enregistrer1, Export1});
    bar->addSeparator();
    bar->addActions({Apercu1, Printer1});
    bar->addSeparator();
    bar->addAction(Quitter1);
    bar->addSeparator();
    bar->addActions({Modif1, Planche});
    bar->addSeparator();
    TBPolice = new QToolButton(bar);
    TBPolice->setObjectName(QStringLiteral("TBPolice"));
    TBPolice->setText(QStringLiteral("A"));
    TBPolice->setIcon(icon("preferences-desktop-font", QStyle::SP_FileIcon));
    TBPolice->setToolTip(QStringLiteral("Police de caractère"));
    TBPolice->setMenu(Police1);
    TBPolice->setPopupMode(QToolButton::InstantPopup);
    TBPolice->setEnabled(false);
    bar->addWidget(TBPolice);
    TBTaille = new QToolButton(bar);
    TBTaille->setObjectName(QStringLiteral("TBTaille"));
    TBTaille->setText(QStringLiteral("pts"));
    TBTaille->setIcon(icon("zoom-in", QStyle::SP_ArrowUp));
    TBTaille->setToolTip(QStringLiteral("Taille des caractères"));
    TBTaille->setMenu(Taille1);
    TBTaille->setPopupMode(QToolButton::InstantPopup);
    TBTaille->setEnabled(false);
    bar->addWidget(TBTaille);
    bar->addSeparator();
    auto *inrsButton = new QToolButton(bar);
    inrsButton->setObjectName(QStringLiteral("TBinrs"));
    inrsButton->setText(QStringLiteral("INRS"));
    inrsButton->setToolTip(QStringLiteral("Recherche sur le site web INRS"));
    connect(inrsButton, &QToolButton::clicked, this, &TForm_base::inrsClick);
    bar->addWidget(inrsButton);
    bar->addSeparator();
    bar->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1});
    bar->addSeparator();
    bar->addAction(Fermer1);
    bar->addSeparator();
    bar->addActions({HelpAbout1, Aide1});
}

void TForm_base::fillFontMenu()
{
    m_screenFonts = desktop().screenFonts();
    auto *faces = new QActionGroup(this);
    faces->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < m_screenFonts.size(); ++i) {
        // A family name may hold "&", which a menu would take for a mnemonic.
        QAction *a = Police1->addAction(QString(m_screenFonts.at(i)).replace(u'&', QLatin1String("&&")));
        a->setData(i); // the item's tag: its index in the font list
        a->setCheckable(true);
        faces->addAction(a);
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, [this, i] { MenuFonteClick(i); });
    }
}

void TForm_base::readSettings()
{
    m_startDirectory = kalvane() ? kalvane()->startDirectory() : QDir::currentPath() + u'/';
    m_defaultLabelFolder = m_startDirectory + QStringLiteral("Kalvane");
    const QString settings = QFileInfo(m_startDirectory + QStringLiteral("dat.ini")).absoluteFilePath();
    move(kDefaultLeft, kDefaultTop);
    resize(kDefaultWidth, kDefaultHeight);

    const bool exists = QFileInfo::exists(settings);
    if (exists) {
        const DatIni ini = DatIni::fromLines(TextFile::readLines(settings));
        m_lastUsedFolder = ini.lastFolder;
        if (ini.height)
            resize(width(), *ini.height);
        if (ini.width)
            resize(*ini.width, height());
        if (ini.top)
            move(x(), *ini.top);
        if (ini.left)
            move(*ini.left, y());
        keepOnScreen();
        if (m_lastUsedFolder.isEmpty() || !QDir::setCurrent(m_lastUsedFolder)) {
            desktop().message(this, kFolderWarningTitle, folderWarning(m_lastUsedFolder), Desktop::Icon::Warning,
                              Desktop::Ok);
            openDialogFolder = saveDialogFolder = m_defaultLabelFolder;
        } else if (QDir(QDir::currentPath()) == QDir(m_startDirectory)) {
            // The start directory holds the program's own data (catalogues,
            // pictograms, settings): labels belong in the default label folder.
            openDialogFolder = saveDialogFolder = m_defaultLabelFolder;
        } else {
            openDialogFolder = saveDialogFolder = m_lastUsedFolder;
        }
    } else {
        openDialogFolder = saveDialogFolder = m_defaultLabelFolder;
        m_lastUsedFolder = m_defaultLabelFolder;
        desktop().registerDocumentIcons(m_startDirectory);
    }
}

void TForm_base::writeSettings()
{
    // A settings file that cannot be written is said (both in one message);
    // the old file stays whole.
    QStringList problems;
    QString error;
    const int position = kalvane() && kalvane()->apercu() ? kalvane()->apercu()->TrackBar1->value() : TrakIni::kDefault;
    if (!TextFile::writeLines(m_startDirectory + QStringLiteral("trakvln.ini"), TrakIni::toLines(position), &error))
        problems << error;

    m_lastUsedFolder = QDir::currentPath();
    DatIni ini;
    ini.lastFolder = m_lastUsedFolder;
    if (isMaximized() || isMinimized()) {
        ini.height = DatIni::kMaximisedHeight;
        ini.width = DatIni::kMaximisedWidth;
        ini.top = 0;
        ini.left = 0;
    } else {
        ini.height = height();
        ini.width = width();
        ini.top = y();
        ini.left = x();
    }
    if (kalvane() && kalvane()->printer()) {
        Tprinter *p = kalvane()->printer();
        ini.marginX = p->Ed_g->text();
        ini.marginY = p->Ed_h->text();
        ini.scale = QString::number(p->TrackBar1->value());
    }
    if (!TextFile::writeLines(m_startDirectory + QStringLiteral("dat.ini"), ini.toStorableLines(m_defaultLabelFolder),
                              &error))
        problems << error;
    if (!problems.isEmpty())
        desktop().message(this, kWarningTitle, problems.join(u'\n'), Desktop::Icon::Warning, Desktop::Ok);
}

void TForm_base::keepOnScreen()
{
    // Whatever "dat.ini" says, the frame is no larger than the screens allow
    // (but never smaller than its own stored size for a maximised frame) and
    // its title bar stays where the mouse can reach it.
    const QScreen *screen = QGuiApplication::screenAt(geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableVirtualGeometry();
    const int maxWidth = std::max(available.width(), DatIni::kMaximisedWidth);
    const int maxHeight = std::max(available.height(), DatIni::kMaximisedHeight);
    resize(std::clamp(width(), 200, maxWidth), std::clamp(height(), 150, maxHeight));
    const QRect titleBar(x(), y(), width(), 30);
    const QRect reachable = titleBar.intersected(available);
    if (reachable.width() < 100 || reachable.height() < 20 || y() < available.top()) {
        const int left = std::clamp(x(), available.left(), std::max(available.left(), available.right() - width() + 1));
        const int top = std::clamp(y(), available.top(), std::max(available.top(), available.bottom() - height() + 1));
        move(left, top);
    }
}

void TForm_base::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    // Changed labels ask before they are discarded; "Annuler" keeps the
    // program running.
    const auto labels = labelWindows();
    for (auto it = labels.crbegin(); it != labels.crend(); ++it) {
        if (!(*it)->maybeDiscard()) {
            event->ignore();
            return;
        }
    }
    for (TMDIChild *label : labels)
        label->setModified(false);
    m_closing = true;
    // Without a printer the program ends without a trace of this run.
    if (!kalvane() || !kalvane()->endedWithoutPrinter())
        writeSettings();
    if (Application *app = kalvane()) {
        const QList<QWidget *> order = {app->apercu(), app->printer(), app->planche(), app->qualJpeg(),
                                        app->rech(), app->four(), app->formEdit(), app->formRF(),
                                        app->hpPicto()};
        for (QWidget *w : order)
            if (w)
                w->close();
    }
    event->accept();
    QCoreApplication::quit();
}

QList<TMDIChild *> TForm_base::labelWindows() const
{
    QList<TMDIChild *> list;
    for (QMdiSubWindow *sub : mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto *child = qobject_cast<TMDIChild *>(sub->widget()))
            list << child;
    return list;
}

TMDIChild *TForm_base::activeLabel() const
{
    QMdiSubWindow *sub = mdiArea->activeSubWindow();
    if (!sub) {
        const auto list = mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (list.isEmpty())
            return nullptr;
        sub = list.constLast();
    }
    return qobject_cast<TMDIChild *>(sub->widget());
}

TMDIChild *TForm_base::createLabelWindow(const QString &name)
{
    auto *child = new TMDIChild(this);
    QMdiSubWindow *sub = mdiArea->addSubWindow(child, Qt::SubWindow | Qt::WindowSystemMenuHint | Qt::WindowTitleHint
                                                          | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(name);
    child->loadCatalogues();
    if (kalvane() && kalvane()->printer())
        kalvane()->printer()->labelCreated();
    sub->show();
    child->show();
    mdiArea->setActiveSubWindow(sub);
    if (m_labelCount >= 50)
        desktop().message(this, kWarningTitle, kTooManyLabels, Desktop::Icon::Warning, Desktop::Ok);
    return child;
}

void TForm_base::setLabelCommandsEnabled(bool enabled)
{
    for (QAction *a : {Apercu1, Enregistrer1, Enregistrersous1, Export1, Fermer1, WindowCascade1, WindowTileHorizontal1,
                       WindowTileVertical1})
        a->setEnabled(enabled);
    Verifier1->setEnabled(enabled);
    for (QMenu *m : {Police1, Taille1, Alignementdescommentaires1}) {
        m->menuAction()->setEnabled(enabled);
        // A disabled menu must disable its items' shortcuts too.
        for (QAction *a : m->actions())
            a->setEnabled(enabled);
    }
    for (QAction *a : productSizeActions + statementSizeActions)
        a->setEnabled(enabled);
    TBPolice->setEnabled(enabled);
    TBTaille->setEnabled(enabled);
    if (!enabled)
        Modif1->setEnabled(false);
}

void TForm_base::labelCreated()
{
    ++m_labelCount;
    setLabelCommandsEnabled(true);
    Printer1->setEnabled(true);
    STnb_f->setText(QString::number(m_labelCount));
}

void TForm_base::labelClosed()
{
    --m_labelCount;
    if (m_labelCount < 1) {
        setLabelCommandsEnabled(false);
        if (Application *app = kalvane()) {
            if (app->printer())
                app->printer()->noLabelLeft();
            if (app->apercu())
                app->apercu()->close();
            if (app->hpPicto() && app->hpPicto()->isVisible())
                app->hpPicto()->close();
        }
    } else {
        setLabelCommandsEnabled(true);
    }
    STnb_f->setText(QString::number(m_labelCount));
    updateTextMarks();
}

void TForm_base::onSubWindowActivated(QMdiSubWindow *window)
{
    if (!window)
        return;
    if (auto *child = qobject_cast<TMDIChild *>(window->widget()))
        child->activate();
}

void TForm_base::updateTextMarks()
{
    const bool any = m_labelCount > 0 && activeLabel() != nullptr;
    for (QAction *a : Police1->actions()) {
        const int i = a->data().toInt();
        a->setChecked(any && i >= 0 && i < m_screenFonts.size() && m_screenFonts.at(i) == mirrors.fontFace);
    }
    for (QAction *a : productSizeActions)
        a->setChecked(any && a->data().toInt() == mirrors.productSize);
    for (QAction *a : statementSizeActions)
        a->setChecked(any && a->data().toInt() == mirrors.statementSize);
}

void TForm_base::tileWindows(Qt::Orientation orientation)
{
    // "Mosaïque horizontale": full-width windows one above the other;
    // "Mosaïque verticale": full-height windows side by side.
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized())
            windows << sub;
    if (windows.isEmpty())
        return;
    const QRect area = mdiArea->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *sub = windows.at(i);
        if (sub->isMaximized())
            sub->showNormal();
        QRect cell;
        if (orientation == Qt::Horizontal) {
            const int top = area.top() + area.height() * i / n;
            const int bottom = area.top() + area.height() * (i + 1) / n;
            cell = QRect(area.left(), top, area.width(), bottom - top);
        } else {
            const int left = area.left() + area.width() * i / n;
            const int right = area.left() + area.width() * (i + 1) / n;
            cell = QRect(left, area.top(), right - left, area.height());
        }
        sub->setGeometry(cell);
    }
}

void TForm_base::fillWindowMenu()
{
    for (QAction *a : m_windowListActions) {
        Fenetre1->removeAction(a);
        delete a;
    }
    m_windowListActions.clear();
    const auto subs = mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty())
        return;
    m_windowListActions << Fenetre1->addSeparator();
    int n = 0;
    for (QMdiSubWindow *sub : subs) {
        ++n;
        QAction *a = Fenetre1->addAction(QStringLiteral("&%1 %2").arg(n).arg(sub->widget()->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == mdiArea->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { mdiArea->setActiveSubWindow(sub); });
        m_windowListActions << a;
    }
}

int TForm_base::fontPanelWidth(const QString &face) const
{
    return QFontMetrics(font()).horizontalAdvance(face) + 24;
}

void TForm_base::refreshPreview()
{
    if (kalvane() && kalvane()->apercu() && kalvane()->apercu()->isVisible())
        Apercu1Execute();
}

LabelContent TForm_base::activeContent() const
{
    TMDIChild *label = activeLabel();
    if (!label) {
        LabelContent none;
        none.present = false;
        return none;
    }
    const bool numberingOnly = kalvane() && kalvane()->printer() && kalvane()->printer()->CB_HPEUH->isChecked();
    return LabelContent::fromDocument(label->document(), mirrors, numberingOnly, m_startDirectory);
}

void TForm_base::Apercu1Execute()
{
    if (previewSuppressed != 0)
        return;
    TFormApercu *preview = kalvane() ? kalvane()->apercu() : nullptr;
    if (!preview)
        return;
    // A picture that cannot be read leaves its slot empty; the export reports
    // it. Statements cut at the bottom edge are shown as such.
    LayoutResult layout;
    const QImage picture = LabelRenderer::previewImage(activeContent(), &layout);
    preview->showLabel(picture, layout.cutStatement);
}

void TForm_base::Export1Execute()
{
    if (!activeLabel() || !kalvane() || !kalvane()->qualJpeg())
        return;
    ErrorBox::guard(this, [this] { TQual_jpeg::exportLabel(this, kalvane()->qualJpeg(), activeContent()); });
}

void TForm_base::Printer1Execute()
{
    ErrorBox::guard(this, [this] { PrintCommand::run(this); });
}

namespace {
const QString kFormatAssumed = QStringLiteral(
    "Format vérifié pour la mise en page des options d'impression (la dernière utilisée) : « %1 ».");
} // namespace

void TForm_base::Verifier1Execute()
{
    TMDIChild *label = activeLabel();
    if (!label)
        return;
    const LabelChecks checks = LabelChecks::load(m_startDirectory);
    QList<LabelFinding> findings = checks.check(LabelChecks::subjectOf(label->document(), activeContent()));
    // What the checks could not read is said after the label's own findings.
    for (const QString &problem : checks.problems())
        findings.append({LabelFinding::Warning, problem});
    // The label printed with the layout of the print options (the last one
    // used), for its capacity or the one chosen there: without a capacity
    // the format is not checked.
    if (Tprinter *options = kalvane() ? kalvane()->printer() : nullptr) {
        double litres = LabelFormat::capacityOf(label->document().capacity);
        if (!(litres > 0))
            litres = options->capacity();
        if (litres > 0) {
            SheetPrint::Job job = PrintCommand::currentJob(this);
            job.settings.activeLabel = true;
            job.settings.statementScale = 1.0;
            job.active = activeContent();
            job.activeName = label->windowTitle();
            QString layout;
            const QList<LabelFormat::Finding> format =
                PrintCommand::formatFindings(this, options->jobPrinter(), job, litres, &layout);
            for (const LabelFormat::Finding &f : format)
                findings.append({f.error ? LabelFinding::Error : LabelFinding::Warning, f.message});
            findings.append({LabelFinding::Note, kFormatAssumed.arg(layout)});
        }
    }
    desktop().message(this, LabelChecks::kTitle, LabelChecks::report(findings),
                      LabelChecks::serious(findings) ? Desktop::Icon::Warning : Desktop::Icon::Information, Desktop::Ok);
}

void TForm_base::Nouveau1Execute()
{
    if (kalvane() && kalvane()->hpPicto() && kalvane()->hpPicto()->isVisible())
        kalvane()->hpPicto()->hide();
    createLabelWindow(QStringLiteral("Étiquette N°%1").arg(m_labelCount + 1));
    openDialogFileName = QStringLiteral("*.kvln");
    saveDialogFileName = QStringLiteral("Sans_titre");
}

bool TForm_base::open(const QString &path, const QByteArray &nativePath)
{
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList lines;
    QString error;
    // A file that cannot be read opens no window: an empty label bearing its
    // name would replace it at the first save.
    if (!(nativePath.isEmpty() ? LabelFile::readLines(full, &lines, &error)
                               : LabelFile::readNativeLines(nativePath, &lines, &error))) {
        desktop().message(this, kWarningTitle, error, Desktop::Icon::Warning, Desktop::Ok);
        return false;
    }
    TMDIChild *child = createLabelWindow(QFileInfo(full).fileName());
    LabelDocument doc = child->document();
    doc.filePath = full;
    doc.title = QFileInfo(full).fileName();
    const LabelFile::Status status = LabelFile::parse(lines, &doc, &mirrors);
    if (!status.ok()) {
        // The half that was read must never replace the damaged file unseen:
        // it becomes a new label without a file.
        doc.filePath = LabelDocument::kUntitled;
        doc.title = kRecoveredTitle.arg(QFileInfo(full).fileName());
    }
    child->applyDocument(doc);
    if (!status.ok())
        child->setRecoveredFrom(full);
    saveDialogFileName = status.ok() ? path : LabelDocument::kUntitled;
    if (kalvane() && kalvane()->printer()) {
        // The print settings take the stored margins and scale.
        Tprinter *p = kalvane()->printer();
        p->Ed_g->setText(doc.marginX);
        p->Ed_h->setText(doc.marginY);
        if (const auto scale = ColorText::parseInteger(doc.scale))
            p->TrackBar1->setValue(int(*scale));
    }
    QStringList warnings;
    if (!status.ok())
        warnings << LabelFile::damageMessage(full, status) + u'\n' + kRecoveredNote;
    warnings << status.warnings;
    if (!child->logoError().isEmpty())
        warnings << child->logoError();
    if (!warnings.isEmpty())
        desktop().message(this, kWarningTitle, warnings.join(u'\n'), Desktop::Icon::Warning, Desktop::Ok);
    return status.ok();
}

void TForm_base::Ouvrir1Execute()
{
    previewSuppressed = 1;
    if (kalvane() && kalvane()->hpPicto() && kalvane()->hpPicto()->isVisible())
        kalvane()->hpPicto()->hide();
    openDialogFileName = QStringLiteral("*.kvln");
    Desktop::FileDialog d = OpenDialog1;
    d.folder = openDialogFolder;
    d.fileName = openDialogFileName;
    const QStringList files = desktop().openFiles(this, d);
    // A file that vanished is skipped; a file that could not be read whole
    // stops the rest.
    ErrorBox::guard(this, [&] {
        for (const QString &file : files)
            if (QFileInfo(file).isFile() && !open(QFileInfo(file).absoluteFilePath()))
                break;
    });
    openDialogFolder = files.isEmpty() ? QString() : QFileInfo(files.constLast()).absolutePath();
    previewSuppressed = 0;
    refreshPreview();
}

void TForm_base::Enregistrer1Execute()
{
    if (TMDIChild *label = activeLabel())
        saveLabel(label);
}

void TForm_base::Enregistrersous1Execute()
{
    if (TMDIChild *label = activeLabel())
        saveLabel(label, true);
}

bool TForm_base::saveLabel(TMDIChild *label, bool askName)
{
    if (!label)
        return false;
    // What the file cannot store is said, all at once, before the dialog.
    if (!label->confirmStorable())
        return false;
    const QString current = label->Lab_filename->text();
    // A label opened from a file or saved before has its full path.
    const bool hasFile = QFileInfo(current).isAbsolute();
    // A label read in part from a damaged file has no file of its own.
    const QString recovered = label->recoveredFrom();
    QString chosen = current;
    if (askName || !hasFile) {
        Desktop::FileDialog d = SaveDialog1;
        if (hasFile) {
            d.folder = QFileInfo(current).absolutePath();
            d.fileName = QFileInfo(current).fileName();
        } else {
            // The damaged file's folder is offered, not its name.
            d.folder = recovered.isEmpty() ? saveDialogFolder : QFileInfo(recovered).absolutePath();
            d.fileName = recovered.isEmpty() ? ProposedName::forLabel(label->document().product) : current;
        }
        chosen = desktop().saveFile(this, d);
        if (chosen.isEmpty())
            return false;
    }
    if (!recovered.isEmpty() && QDir::cleanPath(QFileInfo(chosen).absoluteFilePath()) == recovered
        && desktop().message(this, TMDIChild::kDiscardTitle,
                             kReplaceDamagedQuestion.arg(QDir::toNativeSeparators(recovered)),
                             Desktop::Icon::Question, Desktop::Yes | Desktop::No)
            != Desktop::Yes)
        return false;
    LabelDocument doc = label->document();
    QString error;
    QString notice;
    // The logo goes beside the label file, wherever the working folder is.
    if (!LabelFile::save(chosen, &doc, mirrors, &error, QFileInfo(chosen).absolutePath(), &notice)) {
        // The label keeps its previous path and title; the old file is whole.
        ErrorBox::show(this, error);
        return false;
    }
    if (!notice.isEmpty())
        desktop().message(this, kWarningTitle, notice, Desktop::Icon::Warning, Desktop::Ok);
    label->Lab_filename->setText(doc.filePath);
    label->setWindowTitle(doc.title);
    label->setModified(false);
    label->setRecoveredFrom(QString());
    saveDialogFolder = QFileInfo(doc.filePath).absolutePath();
    saveDialogFileName = doc.filePath;
    return true;
}

void TForm_base::Fermer1Execute()
{
    if (desktop().message(this, kWarningTitle, kCloseAllQuestion, Desktop::Icon::Question,
                          Desktop::Yes | Desktop::No) != Desktop::Yes)
        return;
    // A changed label asks first; its "Annuler" stops the closing there.
    const auto subs = mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.crbegin(); it != subs.crend(); ++it)
        if (!(*it)->close())
            return;
}

void TForm_base::Quitter1Execute() { close(); }

void TForm_base::PlancheExecute()
{
    if (kalvane() && kalvane()->planche()) {
        kalvane()->planche()->show();
        kalvane()->planche()->raise();
        kalvane()->planche()->activateWindow();
    }
}

void TForm_base::Chercher1Execute()
{
    if (kalvane() && kalvane()->formRF()) {
        kalvane()->formRF()->show();
        kalvane()->formRF()->raise();
        kalvane()->formRF()->activateWindow();
    }
}

void TForm_base::Modif1Execute()
{
    if (focusedList == 0)
        return;
    TFormEdit *editor = kalvane() ? kalvane()->formEdit() : nullptr;
    if (!editor)
        return;
    TMDIChild *label = activeLabel();
    editor->showBeside(label ? static_cast<QWidget *>(label) : this);
    QListWidget *list = label ? label->list(focusedList) : nullptr;
    if (!list || list->currentRow() < 0)
        return; // the editor keeps its previous text
    editor->position = list->currentRow();
    editor->setText(list->currentItem()->text());
}

void TForm_base::majourExecute()
{
    TFormEdit *editor = kalvane() ? kalvane()->formEdit() : nullptr;
    TMDIChild *label = activeLabel();
    QListWidget *list = label ? label->list(focusedList) : nullptr;
    if (editor && list && list->currentRow() >= 0 && list->currentItem()->text() != editor->text()) {
        list->currentItem()->setText(editor->text());
        refreshPreview();
    }
    if (editor)
        editor->close();
}

void TForm_base::MenuFonteClick(int tag)
{
    if (tag < 0 || tag >= m_screenFonts.size())
        return;
    mirrors.fontFace = m_screenFonts.at(tag);
    if (TMDIChild *label = activeLabel())
        label->setFontFace(mirrors.fontFace, fontPanelWidth(mirrors.fontFace));
    updateTextMarks();
    refreshPreview();
}

void TForm_base::setProductSize(int points)
{
    mirrors.productSize = float(points);
    if (TMDIChild *label = activeLabel())
        label->setStatusPanel(TMDIChild::PanelProductSize, QString::number(points));
    updateTextMarks();
    if (kalvane() && kalvane()->apercu() && kalvane()->apercu()->isVisible()) {
        Apercu1Execute();
        setFocus();
    }
}

void TForm_base::setStatementSize(int points)
{
    mirrors.statementSize = float(points);
    if (TMDIChild *label = activeLabel())
        label->setStatusPanel(TMDIChild::PanelStatementSize, QString::number(points));
    updateTextMarks();
    if (kalvane() && kalvane()->apercu() && kalvane()->apercu()->isVisible()) {
        Apercu1Execute();
        setFocus();
    }
}

void TForm_base::setCommentAlignment(int code)
{
    if (TMDIChild *label = activeLabel())
        label->setCommentAlignment(code);
    refreshPreview();
}

void TForm_base::Aide1Click()
{
    BusyCursor busy;
    if (!desktop().showHelp(this, QStringLiteral("aide/et_help1.html")))
        desktop().message(this, kWarningTitle, kHelpMissing, Desktop::Icon::Warning, Desktop::Ok);
}

void TForm_base::openWebPage(const QString &site, const QString &address)
{
    bool opened = false;
    {
        BusyCursor busy;
        opened = desktop().openUrl(QUrl(address));
    }
    if (!opened)
        desktop().message(this, kWarningTitle, kNoBrowser.arg(site, address), Desktop::Icon::Warning, Desktop::Ok);
}

void TForm_base::inrsClick() { openWebPage(QStringLiteral("de l'INRS"), kInrsUrl); }

void TForm_base::RechercheNCE1Click() { openWebPage(QStringLiteral("d'INCHEM"), kInchemUrl); }

void TForm_base::HelpAbout1Execute()
{
    if (kalvane() && kalvane()->apropos())
        kalvane()->apropos()->exec();
}

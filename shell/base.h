#pragma once

#include <QMainWindow>
#include <QStringList>

#include "shell/desktop.h"
#include "shell/framemirrors.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;
class TMDIChild;


// The main frame: the multiple-document window holding the label windows, its
// menus, tool bar and commands, and the frame-wide values.
class TForm_base : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm_base(QWidget *parent = nullptr);
    ~TForm_base() override;

    // Folders fixed at creation.
    QString startDirectory() const { return m_startDirectory; }
    QString defaultLabelFolder() const { return m_defaultLabelFolder; }
    QString lastUsedFolder() const { return m_lastUsedFolder; }

    // The label open and save dialogs (filter, suffix, options); where they
    // start and their proposed names follow.
    Desktop::FileDialog OpenDialog1;
    Desktop::FileDialog SaveDialog1;
    // Where the label open and save dialogs start, and their proposed names.
    QString openDialogFolder;
    QString openDialogFileName = QStringLiteral("*.kvln");
    QString saveDialogFolder;
    QString saveDialogFileName = QStringLiteral("Sans_titre");

    FrameMirrors mirrors;
    int labelCount() const { return m_labelCount; }
    int focusedList = 1;           // 0 none, 2 H, 3 P, 4 EUH (1 before any focus)
    int previewSuppressed = 0;     // the tag of Apercu1
    QStringList screenFonts() const { return m_screenFonts; }

    // The label windows in the frame's order, and the active one.
    QList<TMDIChild *> labelWindows() const;
    TMDIChild *activeLabel() const;

    // Creates a label window with the given title (new and open use it).
    TMDIChild *createLabelWindow(const QString &name);
    // Bookkeeping called by the label windows.
    void labelCreated();
    void labelClosed();
    // Redraws the floating preview when it is visible.
    void refreshPreview();
    // What the renderer draws for the active label (a white label without one).
    struct LabelContent activeContent() const;
    // Marks the active label's font face and two sizes in the text menus.
    void updateTextMarks();
    // "Mosaïque horizontale" (Qt::Horizontal) and "Mosaïque verticale".
    void tileWindows(Qt::Orientation orientation);
    // Text width of a font face in the frame's font, plus 24 pixels.
    int fontPanelWidth(const QString &face) const;

    // Reads a label file into a new label window; `nativePath`, when given,
    // names the file by its bytes on the disk (a name the system's encoding
    // cannot carry in `path`). A file that cannot be read opens no window; a
    // damaged one opens what was read as a new, unnamed label whose save asks
    // before replacing the file. Both are said (naming the file); false then.
    bool open(const QString &path, const QByteArray &nativePath = QByteArray());
    static inline const QString kRecoveredTitle = QStringLiteral("%1 (lu en partie)");
    static inline const QString kRecoveredNote = QStringLiteral(
        "Ce qui a été lu est ouvert comme une nouvelle étiquette, sans nom : vérifiez-la et complétez-la avant de "
        "l'enregistrer. Le fichier d'origine n'est pas remplacé sans votre accord.");
    static inline const QString kReplaceDamagedQuestion = QStringLiteral(
        "Le fichier « %1 » n'a été lu qu'en partie : l'enregistrer ici remplace ce fichier par l'étiquette "
        "telle qu'elle est maintenant, et ce qui n'a pas été lu sera perdu.\nRemplacer le fichier d'origine ?");

    // Commands.
    void Nouveau1Execute();
    void Ouvrir1Execute();
    void Enregistrer1Execute();
    void Enregistrersous1Execute();
    // The save command on one label; true when the label was written. A label
    // that has a file is written over it in place, without a dialog; a new
    // label, or `askName` ("Enregistrer sous..."), goes through the save
    // dialog, which proposes a name made from the product name.
    bool saveLabel(TMDIChild *label, bool askName = false);
    void Fermer1Execute();
    void Quitter1Execute();
    void MenuFonteClick(int tag);
    void setProductSize(int points);
    void setStatementSize(int points);
    void setCommentAlignment(int code);
    void Aide1Click();
    // Opens a web page with the desktop's browser, or shows its address.
    void openWebPage(const QString &site, const QString &address);
    void inrsClick();
    void RechercheNCE1Click();
    void HelpAbout1Execute();
    void Apercu1Execute();
    void Export1Execute();
    void Printer1Execute();
    void Modif1Execute();
    void majourExecute();
    void PlancheExecute();
    void Chercher1Execute();
    void gauche1Click() { setCommentAlignment(16); }
    void centr1Click() { setCommentAlignment(17); }
    void droite1Click() { setCommentAlignment(18); }
    // The size items of the "Produit" and "Phrases" sub-menus.
    void N10pts1Click() { setProductSize(10); }
    void N12pts1Click() { setProductSize(12); }
    void N14pts1Click() { setProductSize(14); }
    void N16pts1Click() { setProductSize(16); }
    void N18pts1Click() { setProductSize(18); }
    void N20pts1Click() { setProductSize(20); }
    void N22pts1Click() { setProductSize(22); }
    void N24pts1Click() { setProductSize(24); }
    void N26ptsCTRLMAJF1Click() { setProductSize(26); }
    void N51Click() { setStatementSize(5); }
    void N61Click() { setStatementSize(6); }
    void N71Click() { setStatementSize(7); }
    void N81Click() { setStatementSize(8); }
    void N91Click() { setStatementSize(9); }
    void N101Click() { setStatementSize(10); }
    void N111Click() { setStatementSize(11); }
    void N121Click() { setStatementSize(12); }
    // "Vérifier l'étiquette": the label checks on the active label, in one message.
    void Verifier1Execute();

    static inline const QString kCaption = QStringLiteral("Kalvane");
    static inline const QString kLabelFilter = QStringLiteral("Kalvane|*.kvln");
    static inline const QString kTooManyLabels = QStringLiteral(
        "Le nombre de fiches est trop élevé, vous devriez fermer les documents inutilisés !!!");
    static inline const QString kCloseAllQuestion = QStringLiteral("Voulez-vous vraiment fermer toutes les fiches ?");
    static inline const QString kHelpMissing = QStringLiteral("L'aide est introuvable !");
    static inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
    static constexpr int kDefaultLeft = 388;
    static constexpr int kDefaultTop = 176;
    static constexpr int kDefaultWidth = 687;
    static constexpr int kDefaultHeight = 505;

    // Actions, named after the commands.
    QAction *Nouveau1 = nullptr;
    QAction *Ouvrir1 = nullptr;
    QAction *Chercher1 = nullptr;
    QAction *Enregistrer1 = nullptr;
    QAction *Enregistrersous1 = nullptr;
    QAction *Export1 = nullptr;
    QAction *Apercu1 = nullptr;
    QAction *Printer1 = nullptr;
    QAction *Quitter1 = nullptr;
    QAction *Modif1 = nullptr;
    QAction *majour = nullptr;
    QAction *Planche = nullptr;
    QAction *Verifier1 = nullptr;
    QAction *Fermer1 = nullptr;
    QAction *WindowCascade1 = nullptr;
    QAction *WindowTileHorizontal1 = nullptr;
    QAction *WindowTileVertical1 = nullptr;
    QAction *Aide1 = nullptr;
    // Menu entries of their own: "Prévisualiser" in "&Fichier" (hint
    // "Prévisualiser", the action's own hint is "Aperçu") and "Modifier une
    // phrase" in "&Edition"; both run their action.
    QAction *Apercu = nullptr;
    QAction *Modifphrase1 = nullptr;
    QAction *HelpAbout1 = nullptr;
    QAction *inrs = nullptr;
    QAction *RechercheNCE1 = nullptr;
    QAction *gauche1 = nullptr;
    QAction *centr1 = nullptr;
    QAction *droite1 = nullptr;
    QList<QAction *> productSizeActions;   // 10..26 pts
    QList<QAction *> statementSizeActions; // 5..12 pts

    QMenu *Police1 = nullptr;
    QMenu *Taille1 = nullptr;
    QMenu *Alignementdescommentaires1 = nullptr;
    QMenu *Fenetre1 = nullptr;
    QToolButton *TBPolice = nullptr;
    QToolButton *TBTaille = nullptr;
    QLabel *STnb_f = nullptr;
    QMdiArea *mdiArea = nullptr;

    static inline const QString kInrsUrl = QStringLiteral("https://www.inrs.fr/publications/bdd/fichetox.html");
    static inline const QString kInchemUrl = QStringLiteral("https://www.inchem.org/pages/icsc.html");
    // When no web browser opens a page, the address is shown to be copied.
    static inline const QString kNoBrowser = QStringLiteral(
        "Aucun navigateur web n'a pu ouvrir la page %1.\n"
        "Copiez son adresse et collez-la dans votre navigateur :\n\n%2");

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void fillFontMenu();
    void readSettings();
    void writeSettings();
    void keepOnScreen();
    void setLabelCommandsEnabled(bool enabled);
    void fillWindowMenu();
    void onSubWindowActivated(QMdiSubWindow *window);
    bool m_closing = false;
    QString m_startDirectory;
    QString m_defaultLabelFolder;
    QString m_lastUsedFolder;
    QStringList m_screenFonts;
    int m_labelCount = 0;
    QList<QAction *> m_windowListActions;
};

// The running program's frame.
TForm_base *Form_base();

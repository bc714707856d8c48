#pragma once

#include "editor/pictogramrules.h"
#include "shell/labeldocument.h"

#include <QImage>
#include <QWidget>

class CheckListBox;
class ComplementsTab;
class LabelStatusBar;
class MaskEdit;
class PictoList;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QTextEdit;
class QToolButton;
class SearchBox;

// One label window: its controls hold the label while it is edited. It hands
// out the label as a plain LabelDocument and can take one in.
class TMDIChild : public QWidget
{
    Q_OBJECT
public:
    explicit TMDIChild(QWidget *frame);
    ~TMDIChild() override;

    enum Panel { PanelFont = 2, PanelProductSize = 5, PanelStatementSize = 8 };

    // Loads "H.txt", "P.txt" and "EUH.txt" from the start directory. A missing
    // catalogue is reported and ends the program once control returns to the
    // event loop; the other lists are still loaded.
    void loadCatalogues();

    LabelDocument document() const;
    void applyDocument(const LabelDocument &doc);

    // Copies the label into the frame's mirrors and the print settings.
    void activate();

    void setStatusPanel(int panel, const QString &text);
    QString statusPanel(int panel) const;
    void setFontFace(const QString &face, int panelWidth);
    void setCommentAlignment(int code);
    int commentAlignment() const { return m_commentAlignment; }

    // The selection summary of the ticked statements.
    void updateSummary();
    // Prefix search in one of the three lists (2, 3, 4) with the box's text.
    void searchList(int listNumber);
    // Enter in a search box.
    void toggleSearchHit(int listNumber);

    CheckListBox *list(int listNumber) const;
    SearchBox *searchBox(int listNumber) const;

    // Controls, under their component names.
    QTabWidget *PageControl1 = nullptr;
    QPlainTextEdit *Memo_S = nullptr;
    QPlainTextEdit *Memo_F = nullptr;
    QPlainTextEdit *Memo_C = nullptr;
    MaskEdit *maskCE = nullptr;
    MaskEdit *maskCAS = nullptr;
    MaskEdit *maskINDEX = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QGroupBox *GPComment = nullptr;
    PictoList *LB_picto = nullptr;
    QLabel *Pan0 = nullptr;
    QCheckBox *CBH = nullptr;
    QLabel *pictogramImages[9] = {};  // SGH01..SGH09
    QLabel *selectionFrames[9] = {};  // Shape1..Shape9
    QLabel *Logo = nullptr;
    QToolButton *Image1 = nullptr;    // erase the logo
    CheckListBox *CheckListBox2 = nullptr;
    CheckListBox *CheckListBox3 = nullptr;
    CheckListBox *CheckListBox4 = nullptr;
    SearchBox *RH = nullptr;
    SearchBox *RP = nullptr;
    SearchBox *REUH = nullptr;
    QToolButton *Image11 = nullptr;
    QToolButton *Image12 = nullptr;
    QToolButton *Image13 = nullptr;
    LabelStatusBar *StatusBar1 = nullptr;
    QLabel *LabHPEUH = nullptr;
    QCheckBox *CB_hpeuh = nullptr;
    QLabel *Lab_filename = nullptr;
    QLabel *Lab_margeX = nullptr;
    QLabel *Lab_margeY = nullptr;
    QLabel *Lab_echelle = nullptr;
    QLabel *LabLOGO = nullptr;
    QMenu *PopupMenu1 = nullptr;
    ComplementsTab *Complements = nullptr; // the fifth tab

    // Pictogram handlers: a press on image n.
    void SGHMouseDown(int n);
    void SGH01MouseDown() { SGHMouseDown(1); }
    void SGH02MouseDown() { SGHMouseDown(2); }
    void SGH03MouseDown() { SGHMouseDown(3); }
    void SGH04MouseDown() { SGHMouseDown(4); }
    void SGH05MouseDown() { SGHMouseDown(5); }
    void SGH06MouseDown() { SGHMouseDown(6); }
    void SGH07MouseDown() { SGHMouseDown(7); }
    void SGH08MouseDown() { SGHMouseDown(8); }
    void SGH09MouseDown() { SGHMouseDown(9); }
    // A check mark changed by the user in one of the three lists: the
    // preview, then the selection summary.
    void CheckListBox2ClickCheck();
    void ShapeMouseDown(int n);
    void LB_pictoDblClick();
    void LB_pictoKeyDown(int key);
    void LB_pictoDragDrop(int from, int to);
    int lastClickedPictogram() const;
    // A prompt of the pictogram rules, shown through the desktop: true for
    // Yes (and for a warning's OK).
    bool askPictogramRule(const PictogramRules::Prompt &prompt);
    // Puts codes that went through the pictogram rules on the label.
    void setPictograms(const QStringList &codes);
    // Sets the check marks of list 2, 3 or 4 at once (one per line; a
    // shorter list leaves the other lines as they are), as one change.
    void setTicks(int listNumber, const QList<bool> &ticks);

    // Verifies an identification number's check character on leaving its field.
    void verifyNumber(MaskEdit *field);

    // Whether the label changed since it was created, opened or saved.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // A change made to the label (by typing, or by a tool window that writes
    // into it: suggestions, substance database, supplier cards, print
    // options). Ignored while a document is being applied.
    void markModified();
    // Before the label's content is discarded: an unchanged label may go; for
    // a changed one the user chooses to save it (Yes, through the usual
    // save), to discard it (No) or to keep the window (Cancel). True when the
    // window may close.
    bool maybeDiscard();
    // The damaged file this label was read from in part (empty otherwise):
    // saving over it asks first.
    QString recoveredFrom() const { return m_recoveredFrom; }
    void setRecoveredFrom(const QString &path) { m_recoveredFrom = path; }
    static inline const QString kDiscardTitle = QStringLiteral("CONFIRMATION");
    static inline const QString kDiscardQuestion = QStringLiteral(
        "L'étiquette « %1 » a été modifiée.\nVoulez-vous enregistrer les modifications avant de la fermer ?");

    // Before the label is saved (ahead of the file dialog): every character
    // of its texts that the label file cannot store is listed in one message,
    // with the nearest storable text where there is one, and replaced on Yes.
    // True when everything can be stored (after the replacement).
    bool confirmStorable();
    static inline const QString kReplaceAllQuestion = QStringLiteral(
        "L'étiquette contient des caractères que son fichier ne peut pas enregistrer "
        "(jeu de caractères Windows-1252) :\n%1\n\nRemplacer par le texte proposé et enregistrer ?");
    static inline const QString kReplaceSomeQuestion = QStringLiteral(
        "L'étiquette contient des caractères que son fichier ne peut pas enregistrer "
        "(jeu de caractères Windows-1252) :\n%1\n\nRemplacer ceux qui ont un équivalent ?\n"
        "L'étiquette n'est pas enregistrée : changez d'abord les caractères sans équivalent.");
    static inline const QString kNotSavedUnstorable = QStringLiteral(
        "L'étiquette n'est pas enregistrée : son fichier ne peut pas contenir ces caractères "
        "(jeu de caractères Windows-1252), qui n'ont pas d'équivalent :\n%1\n\n"
        "Remplacez-les ou retirez-les, puis enregistrez à nouveau.");
    // What the status line says when a typing limit stops the user (short),
    // and the whole sentence shown at the caret and as the notice's hint.
    static inline const QString kLimitNotice = QStringLiteral("Maximum atteint : %1 caractères");
    static inline const QString kRefusedNotice = QStringLiteral("Collage refusé : %1 caractères au plus");
    static inline const QString kLimitReached =
        QStringLiteral("Limite atteinte : %1 compte au plus %2 caractères.");
    static inline const QString kInsertionRefused = QStringLiteral(
        "Texte refusé : %1 caractères pour %2 de place (%3 compte au plus %4 caractères).");

    // The print options hand back the margins and scale of a confirmed print;
    // the label is changed when they differ from its own.
    void takePrintSettings(const QString &marginX, const QString &marginY, const QString &scale);

    QImage logoPicture() const { return m_logo; }
    // Why the logo of the last document applied could not be shown (a file
    // that is no JPEG picture, too large, a pipe...); empty otherwise.
    QString logoError() const { return m_logoError; }
    // A supplier card copied into the label: logo picture and path (the
    // frame's current logo path too), then the supplier text, as if typed.
    void takeSupplier(const QString &text, const QString &logoPath, const QImage &logo);
    QColor productColor() const { return m_productColor; }
    void setProductColor(const QColor &color);

    // The window opens with a client area of at least 492 x 359, more when
    // its controls need it in the fonts in use.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void pictogramPressed(int n);
    QWidget *buildPictogramTab();
    QWidget *buildStatementTab(int listNumber, const QString &groupTitle, CheckListBox **list, SearchBox **box,
                               QToolButton **clear, const char *listName, const char *boxName,
                               const char *clearName, const QString &initial, int clickStart,
                               int clickLength, const QString &hint);
    void refreshPreview();
    void markModifiedAnyway();
    // Says in the status line, and beside the field, that a typing limit
    // refused `length` characters.
    void sayLimit(QWidget *field, const QString &name, int maximum, int length, int room);
    void signalWordEdited(const QString &text);
    void chooseProductColor();
    void chooseLogo();
    void eraseLogo();
    void setLogo(const QString &path, const QImage &picture);
    void showPictogramList(const QStringList &codes);
    QStringList pictogramList() const;
    void setPictogramFlag(int n, bool on);
    // The pictogram list's notice and hint (empty list, one, several).
    void affiche_Pan0();
    void onListFocusEntered(int listNumber);
    void onListFocusLeft(int listNumber);
    void onItemClicked(CheckListBox *list, int row);
    void fillList(CheckListBox *list, const StatementList &entries);
    StatementList entries(const CheckListBox *list) const;

    QColor m_productColor = Qt::black;
    int m_commentAlignment = AlignCenterCode;
    QImage m_logo;
    QString m_logoError;
    QString m_recoveredFrom;
    bool m_closed = false;
    bool m_filling = false;
    bool m_verifying = false;
    bool m_modified = false;
    bool m_loading = false; // applyDocument: the content is the file's, not a change
    int m_pressPrompts = 0;   // message boxes opened by pictogram presses
    int m_releasePending = 0; // pictogram pressed, its release not yet seen
};

#pragma once

#include "render/sheetsettings.h"
#include "shell/desktop.h"

#include "render/labelstock.h"
#include "shell/settingsfiles.h"

#include <QDialog>
#include <QPointF>
#include <QStringList>
#include <memory>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QWidget;

// The print options dialog. Its controls are the print settings: the label
// windows copy their margins, scale and numbering flag into them on
// activation, the frame stores margins and scale in "dat.ini" at exit, and the
// print command reads them when the dialog closes. It also keeps the print
// selection (up to 18 label files, entry k printed in cell k) and draws the
// sheet preview into TPrintView.
class Tprinter : public QDialog
{
    Q_OBJECT
public:
    explicit Tprinter(QWidget *frame);
    ~Tprinter() override;

    // Labels per page (2, 4, 8, 16, 18), set only by the click handlers of
    // Rad_2 ... Rad_18.
    int Tag = 2;
    // The hand-off to the print command: the command sets 1 before showing
    // the dialog, "Im&primer" sets 0 when there is something to print.
    int But_OKTag = 1;

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr; // "Généralités"
    QWidget *TabSheet2 = nullptr; // " Sélection  "

    QGroupBox *GroupDocument = nullptr;
    QRadioButton *Rad_actuel = nullptr;
    QRadioButton *Rad_planche = nullptr;
    QGroupBox *GroupFormat = nullptr;
    QRadioButton *Rad_2 = nullptr;
    QRadioButton *Rad_4 = nullptr;
    QRadioButton *Rad_8 = nullptr;
    QRadioButton *Rad_16 = nullptr;
    QRadioButton *Rad_18 = nullptr;
    QGroupBox *GroupDivers = nullptr;
    QLineEdit *Ed_g = nullptr;
    QLineEdit *Ed_h = nullptr;
    QCheckBox *CB_one = nullptr;
    QCheckBox *CB_line = nullptr;
    QCheckBox *CB_IB = nullptr;
    QCheckBox *CB_auto = nullptr;
    QCheckBox *CB_HPEUH = nullptr;
    // Shown while CB_HPEUH is ticked: such a label lacks the statements' text.
    QLabel *Lab_HPEUH = nullptr;
    QGroupBox *GroupEchelle = nullptr;
    QSlider *TrackBar1 = nullptr;
    QLabel *Lab_pc = nullptr;

    // The Regulation's format: the package's capacity for this job (litres;
    // from the active label's "contenance" each time the options are shown).
    QGroupBox *GroupContenance = nullptr;
    QLineEdit *Ed_contenance = nullptr;
    // The capacity typed, in litres; 0 when none or not a number.
    double capacity() const;
    // The statements' size agreed to for this job (1: unchanged).
    double statementScale() const { return m_statementScale; }

    QGroupBox *GB_compil = nullptr;
    QLabel *Lab_nb_et = nullptr;
    QLabel *Lab_Max = nullptr;
    QListWidget *ListBox1 = nullptr;
    QPushButton *Button1 = nullptr; // "+"
    QPushButton *Button2 = nullptr; // "-"
    QPushButton *Button4 = nullptr; // "Ø"
    QPushButton *Button5 = nullptr; // "&Charger"
    QPushButton *Button6 = nullptr; // "&Sauver"
    QPushButton *Button7 = nullptr; // "&Importer"

    QPushButton *But_OK = nullptr;    // "Im&primer"
    QPushButton *But_annul = nullptr; // "A&nnuler"
    QPushButton *But_View = nullptr;  // "&Aperçu"
    QPushButton *Button3 = nullptr;   // "&?"

    // --- Label stock, a layout beside the grids, and the size of one label.
    // The real size of one label for the layout chosen (grid or stock).
    QLabel *L_taille = nullptr;
    // Checkable: on, the job is printed on the stock chosen in CB_modele.
    QGroupBox *GB_modele = nullptr;
    // Searchable list of the installed stock (brand and part, label size,
    // count per sheet); stock that cannot be printed on is listed disabled.
    QComboBox *CB_modele = nullptr;
    // Under the list: the missing templates, a refused stock's reason, a
    // start position off the sheet (red), or nothing.
    QLabel *Lab_modele = nullptr;
    QLineEdit *Ed_debut = nullptr;             // start position, 1 = first label
    QLabel *Lab_imprimante = nullptr;          // whose offsets are shown (its full name in the hint)
    QDoubleSpinBox *Ed_decalage_x = nullptr;   // mm, positive: to the right
    QDoubleSpinBox *Ed_decalage_y = nullptr;   // mm, positive: downwards
    QPushButton *B_calibration = nullptr;      // one-page calibration print

    // The stock list's source; the installed stock unless a test gives
    // another. Read the first time the list is shown.
    void setStockCatalogue(const LabelStock::Catalogue *catalogue);
    // Chooses a stock by "BRAND PART" as typing it does; false (and the
    // reason under the list) when it is unknown or cannot be printed on.
    bool chooseStock(const QString &name);
    // The stock chosen, null when none can be printed on.
    const LabelStock::Template *chosenStock() const;
    // Why the stock choice cannot print (no stock, refused stock, start
    // position off the sheet); empty when it can or when a grid is chosen.
    QString stockProblem() const;
    // The offsets stored for a printer (by its name; "" is a PDF file).
    QPointF offsetsFor(const QString &printer) const;
    void setOffsetsFor(const QString &printer, const QPointF &mm);
    // The printer the next job goes to by default, whose offsets are shown.
    QString currentPrinterName() const;
    void B_calibrationClick();
    // Shows the size of one label for the layout chosen in L_taille.
    void updateLabelSize();

    static inline const QString kStockGroup = QStringLiteral("Planche du commerce ");
    static inline const QString kStockHint = QStringLiteral(
        "Tapez la marque ou la référence (par exemple « Avery L7165 ») pour filtrer la liste");
    static inline const QString kStart = QStringLiteral("Commencer à l'étiquette n° ");
    static inline const QString kStartHint = QStringLiteral(
        "1 = première étiquette de la planche ; pour une planche déjà entamée, la première étiquette libre");
    static inline const QString kOffsets = QStringLiteral("Décalages de « %1 » :");
    static inline const QString kPdfPrinter = QStringLiteral("fichier PDF");
    static inline const QString kOffsetX = QStringLiteral("horiz.");
    static inline const QString kOffsetY = QStringLiteral("vert.");
    static inline const QString kOffsetHint = QStringLiteral(
        "Décalage appliqué à toute impression sur planche avec cette imprimante (positif : vers la droite, vers le bas)");
    static inline const QString kCalibration = QStringLiteral("Imprimer une page de calibration");
    static inline const QString kCalibrationHint = QStringLiteral(
        "Contours des étiquettes du modèle et croix aux positions connues : mesurez-les pour trouver les décalages");
    static inline const QString kRefusedItem = QStringLiteral("%1 — non pris en charge");
    static inline const QString kRefused = QStringLiteral("« %1 » ne peut pas servir : %2");
    static inline const QString kUnknownStock = QStringLiteral(
        "Modèle de planche inconnu : « %1 ». Tapez la marque et la référence (par exemple « Avery L7165 ») et "
        "choisissez dans la liste.");
    static inline const QString kNoStock = QStringLiteral(
        "Choisissez un modèle de planche dans la liste, ou décochez « Planche du commerce » pour imprimer sur une "
        "grille de 2 à 18 étiquettes par page.");
    static inline const QString kBadStartText = QStringLiteral(
        "La position de départ « %1 » n'est pas un nombre entier : choisissez de 1 à %2.");
    static inline const QString kMoreSheets = QStringLiteral("\nLa sélection occupe %1 planches : seule la première est montrée.");
    static inline const QString kSettingsNotSaved = QStringLiteral(
        "Les choix d'impression (planche, décalages) n'ont pas pu être enregistrés dans « %1 » : %2");

    // The file dialogs: "+", "&Charger", "&Sauver".
    Desktop::FileDialog OpenD2;
    Desktop::FileDialog OpenD;
    Desktop::FileDialog SaveD;

    // A label window was created: numbering off, "Fiche active" enabled and chosen.
    void labelCreated();
    // The last label window closed.
    void noLabelLeft();

    // The printer of the print jobs, made at the first job and kept until
    // the program ends, so that the printer, copies and paper chosen in the
    // print dialog stay chosen.
    QPrinter *jobPrinter();
    // The labels whose statements do not fit that the user chose to print
    // anyway at the last "Im&primer".
    QStringList layoutAccepted() const { return m_layoutAccepted; }

    // The settings as the sheet drawing takes them.
    SheetSettings settings() const;
    QStringList selection() const;
    // Replaces the selection by `entries` (the first 18, with the "+" warning
    // when there were more), then shows the count and picks the labels per
    // page from it; "&Charger" and "&Importer" use it, and so may others.
    void replaceSelection(const QStringList &entries);

    // Handlers, named after their controls.
    void Rad_actuelClick();
    void Rad_plancheClick();
    void Rad_Click(int labelsPerPage);
    void Button1Click();
    void Button2Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void But_OKClick();
    void But_ViewClick();
    void Button3Click();
    void CB_HPEUHClick();
    void ListBox1Click();

    static inline const QString kCaption = QStringLiteral("Options - Impression");
    static inline const QString kNoActiveLabel = QStringLiteral("Aucune fiche active");
    static inline const QString kGeneral = QStringLiteral("Généralités");
    static inline const QString kSelectionTab = QStringLiteral(" Sélection  ");
    static inline const QString kDocumentGroup = QStringLiteral("Document à imprimer ");
    static inline const QString kActive = QStringLiteral("Fiche active");
    static inline const QString kSheet = QStringLiteral("Planche d'étiquettes");
    static inline const QString kFormatGroup = QStringLiteral("Étiquettes/page ");
    static inline const QString kMiscGroup = QStringLiteral("Divers ");
    static inline const QString kLeftMargin = QStringLiteral("Marge à gauche ...........");
    static inline const QString kTopMargin = QStringLiteral("Marge en haut ..............");
    static inline const QString kMarginHint = QStringLiteral("Marge ajoutée à chaque étiquette");
    static inline const QString kMarginUnitHint = QStringLiteral("en mm");
    static inline const QString kScaleGroup = QStringLiteral("Échelle :       % ");
    static inline const QString kOne = QStringLiteral("Une seule étiquette ..........");
    static inline const QString kOneHint = QStringLiteral("au format choisi");
    static inline const QString kLine = QStringLiteral("Pointillés de séparation ....");
    static inline const QString kLineHint = QStringLiteral("Lignes entre les étiquettes");
    static inline const QString kIB = QStringLiteral("Conformité à l'aperçu ......");
    static inline const QString kIBHint = QStringLiteral("Qualité moyenne respectant mieux  la taille des caractères");
    static inline const QString kAuto = QStringLiteral("Adaptation automatique ...");
    static inline const QString kAutoHint = QStringLiteral("Adaptation en fonction des marges");
    static inline const QString kHPEUH = QStringLiteral("Numérotation H, P, EUH ...");
    static inline const QString kHPEUHHint =
        QStringLiteral("Cocher pour imprimer seulement la numérotation des phrases");
    static inline const QString kHPEUHNote = QStringLiteral(
        "Seuls les codes des phrases seront imprimés : une étiquette de danger doit porter le texte des mentions "
        "de danger et des conseils de prudence.");
    static inline const QString kPreviewOverflow =
        QStringLiteral("Phrases trop longues pour leur étiquette (%1) : %2");
    static inline const QString kPreviewOverflowRuns = QStringLiteral("elles déborderaient sur la case du dessous");
    static inline const QString kPreviewOverflowCut = QStringLiteral("elles seraient coupées");
    static inline const QString kCapacityGroup = QStringLiteral("Format réglementaire ");
    static inline const QString kCapacityLabel = QStringLiteral("Contenance de l'emballage (L) ..");
    static inline const QString kCapacityHint = QStringLiteral(
        "Contenance en litres pour vérifier la taille de l'étiquette, des pictogrammes et des caractères ; "
        "vide : pas de vérification à l'impression");
    static inline const QString kPreviewFormat = QStringLiteral("Format (%1) : %2 erreur(s), %3 avertissement(s). %4");
    static inline const QString kCountGroup = QStringLiteral("Nombre de fiche(s) :     /  ");
    static inline const QString kPrint = QStringLiteral("Im&primer");
    static inline const QString kPrintHint = QStringLiteral("Imprimer");
    static inline const QString kCancel = QStringLiteral("A&nnuler");
    static inline const QString kCancelHint = QStringLiteral("Renoncer et quitter");
    static inline const QString kPreview = QStringLiteral("&Aperçu");
    static inline const QString kPreviewHint = QStringLiteral("Aperçu avant impression");
    static inline const QString kHelp = QStringLiteral("&?");
    static inline const QString kHelpHint = QStringLiteral("Aide");
    static inline const QString kAddHint = QStringLiteral("Ajouter");
    static inline const QString kRemoveHint = QStringLiteral("Retirer");
    static inline const QString kClearHint = QStringLiteral("Effacer tout");
    static inline const QString kLoad = QStringLiteral("&Charger");
    static inline const QString kLoadHint = QStringLiteral("Lire une planche d'étiquettes");
    static inline const QString kSave = QStringLiteral("&Sauver");
    static inline const QString kSaveHint = QStringLiteral("Enregistrer une planche  d'étiquettes");
    static inline const QString kImport = QStringLiteral("&Importer");
    static inline const QString kImportHint =
        QStringLiteral("Importer depuis le gestionnaire de planches d'étiquettes");
    static inline const QString kSelectTitle = QStringLiteral("Sélectionner");
    static inline const QString kLoadTitle = QStringLiteral("Charger une compilation");
    static inline const QString kSaveTitle = QStringLiteral("Enregistrer une compilation");
    static inline const QString kLabelFilter = QStringLiteral("Kalvane|*.kvln");
    static inline const QString kHelpPage = QStringLiteral("aide/et_help7.html");

    static inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
    static inline const QString kNothingToPrint = QStringLiteral("Aucune étiquette disponible !");
    static inline const QString kTooMany =
        QStringLiteral("Le nombre d'étiquettes ne peut dépasser 18, le surplus sera ignoré !!!");
    static inline const QString kManagerEmpty = QStringLiteral("La planche d'étiquettes est vide !");
    static inline const QString kHelpMissing = QStringLiteral("Aide introuvable !");

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readSettings();
    // Points the three file dialogs at the default label folder.
    void pointDialogsAtLabelFolder();
    // The sheet file last loaded or saved: "&Sauver" proposes it.
    void rememberSheet(const QString &path);
    QString m_sheetPath;
    // "-", "Ø" and "&Sauver" follow the list.
    void updateListButtons();
    void showCount();
    // The labels-per-page choice from a count, running its click handler.
    void chooseLayoutForCount(int count);
    void warn(const QString &text);

    // Label stock.
    void buildStockBox();
    void fillStockList();
    void stockToggled(bool on);
    void stockTextChosen();
    void showStockState();
    void offsetEdited();
    void showOffsetsOfPrinter();
    void readPrintIni();
    void writePrintIni();
    PrintIni currentPrintIni() const;
    const LabelStock::Catalogue *m_catalogue = nullptr;
    bool m_stockListFilled = false;
    QString m_stockName;              // as stored or chosen, even before the list is read
    LabelStock::Template m_stock;     // the chosen stock, when it can be printed on
    bool m_hasStock = false;
    QMap<QString, QPointF> m_offsets; // by printer name
    QString m_offsetsPrinter;         // whose offsets the two fields show
    QStringList m_writtenIni;         // "impression.ini" as last read or written

    double m_statementScale = 1.0;
    std::unique_ptr<QPrinter> m_jobPrinter;
    QStringList m_layoutAccepted;
};

#pragma once

#include "tools/substancedatabase.h"

#include <QWidget>

#include <memory>

class HarmonisedTable;
struct HarmonisedEntry;
class MaskEdit;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTextBrowser;
class QToolButton;
class RightFilledMaskEdit;
class SubstanceGridModel;

// The local substance database window: searches the current database, shows
// the matches in a grid, adds, modifies and deletes records, and copies a
// record into the product identity of the active label. Created once, hidden;
// closing it only hides it, and what it shows survives until the program ends.
class Trech : public QWidget
{
    Q_OBJECT
public:
    explicit Trech(QWidget *frame);
    ~Trech() override;

    // "Choisir un produit" of a label window: shows the window, not modal. The
    // database is read when the window is first shown.
    void showWindow();

    int Tag = 0; // the last selected grid row (1 = first record)

    QGroupBox *GroupBox1 = nullptr;   // "Recherche  par "
    QLineEdit *LabSUBST = nullptr;    // search box
    QToolButton *SpeedButton1 = nullptr; // empties the search box
    QRadioButton *Radnom = nullptr;
    QRadioButton *Radce = nullptr;
    QRadioButton *Radcas = nullptr;
    QRadioButton *Radindex = nullptr;
    QRadioButton *RBd = nullptr;      // "débutant par ...   "
    QRadioButton *RBc = nullptr;      // "contenant ..."
    QTableView *StringGrid1 = nullptr; // its "tag" property: rows in use, header included
    QGroupBox *GroupBox2 = nullptr;   // "Fiche "
    QLineEdit *LabNOM = nullptr;
    MaskEdit *LabCE = nullptr;
    RightFilledMaskEdit *LabCAS = nullptr;
    MaskEdit *LabINDEX = nullptr;
    QComboBox *ComboBox1 = nullptr;   // the database choice
    QPushButton *Button1 = nullptr;   // "&Copier"
    QPushButton *Button2 = nullptr;   // "&Ø"
    QPushButton *Button3 = nullptr;   // "&Enregistrer"
    QPushButton *Button4 = nullptr;   // "&Supprimer"
    QPushButton *Button5 = nullptr;   // "&Fermer"
    // Beside the record panel: the harmonised classification its numbers name.
    QGroupBox *Classification = nullptr;             // "Classification harmonisée "
    QTextBrowser *Memo_classification = nullptr;     // the entries, or why there are none
    QLabel *Lab_tableau = nullptr;                   // the table in use: its date, its entries
    QPushButton *B_completer_index = nullptr;        // shown when the CAS names the INDEX to fill in
    QPushButton *B_importer_classification = nullptr; // "Importer la classification harmonisée..."

    const SubstanceDatabase &database() const { return m_database; }
    SubstanceGridModel *gridModel() const { return m_model; }
    // The grid's rows as the grid counts them: header, shown records, 10 spare.
    int gridRowCount() const;
    bool sortAscending() const { return m_ascending; }

    // Reads the current database and shows all its records.
    void loadDatabase();
    // Runs the search of the search box over the chosen column and mode.
    void search();
    // Selecting grid row `row` (1 = first record) fills the record panel.
    void StringGrid1SelectCell(int row);
    void StringGrid1DblClick();
    // A press on the header of `column` sorts the shown rows.
    void StringGrid1HeaderPressed(int column);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    // The text of ComboBox1 changed (typed or picked) / was confirmed.
    void ComboBox1Change(const QString &text);
    void ComboBox1Confirm(const QString &text);
    void LabNOMChange();
    // Shows the harmonised entries the panel's INDEX, CAS and CE numbers name.
    void showClassification();
    // Fills the empty INDEX field with the INDEX of the one entry the CAS names.
    void B_completer_indexClick();
    // Asks for an .xlsx table of the agency and makes it the table in use.
    void B_importer_classificationClick();

    static inline const QString kCaption = QStringLiteral("Base de données locale");
    static inline const QString kCaptionCount = QStringLiteral("Base de données locale : ");
    static inline const QString kItem = QStringLiteral(" item");
    static inline const QString kItems = QStringLiteral(" items");
    static inline const QString kPatience = QStringLiteral("PATIENCE ...");
    static inline const QString kSearchGroup = QStringLiteral("Recherche  par ");
    static inline const QString kSearchHint = QStringLiteral("Zone de recherche");
    static inline const QString kClearSearchHint = QStringLiteral("Effacer le champ de recherche");
    static inline const QString kStartsWith = QStringLiteral("débutant par ...   ");
    static inline const QString kContains = QStringLiteral("contenant ...");
    static inline const QString kRecordGroup = QStringLiteral("Fiche ");
    static inline const QString kDatabaseLabel = QStringLiteral("Database : ");
    static inline const QString kSortHint = QStringLiteral("Cliquer pour trier");
    static inline const QString kCopy = QStringLiteral("&Copier");
    static inline const QString kCopyHint = QStringLiteral("Copier la fiche dans l'étiquette en cours");
    static inline const QString kClear = QStringLiteral("&Ø");
    static inline const QString kClearHint = QStringLiteral("Vider les champs de la fiche et de recherche");
    static inline const QString kSave = QStringLiteral("&Enregistrer");
    static inline const QString kSaveHint = QStringLiteral("Ajouter/Modifier la fiche dans la base de données");
    static inline const QString kDelete = QStringLiteral("&Supprimer");
    static inline const QString kDeleteHint =
        QStringLiteral("Supprmer définitivement la fiche dans la base de données");
    static inline const QString kClose = QStringLiteral("&Fermer");
    static inline const QString kCloseHint = QStringLiteral("Quitter");
    static inline const QString kWarningTitle = QStringLiteral("WARNING");
    static inline const QString kInfoTitle = QStringLiteral("INFO");
    static inline const QString kAttentionTitle = QStringLiteral("ATTENTION");
    static inline const QString kRefusalTitle = QStringLiteral("AVERTISSEMENT");
    static inline const QString kSaved = QStringLiteral("La base de données a été mise à jour.");
    static inline const QString kDeleteQuestion =
        QStringLiteral("Veuillez confirmer la suppression définitive de la fiche !!!");
    static QString missingMessage(const QString &name);
    static inline const QString kClassificationGroup = QStringLiteral("Classification harmonisée ");
    static inline const QString kNoClassification = QStringLiteral("Pas de classification harmonisée");
    static inline const QString kCompleteIndex = QStringLiteral("Compléter l'INDEX");
    static inline const QString kImport = QStringLiteral("Importer la classification harmonisée...");
    static inline const QString kImportTitle = QStringLiteral("Importer la classification harmonisée");

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void clearPanel();
    void setPanel(const SubstanceDatabase::Record &stored);
    void showCount(int shown, bool loading);
    void copyToLabel(const QString &nom, const QString &ce, const QString &cas, const QString &index);
    void verifyNumber(MaskEdit *field, IdentificationNumbers::Kind kind);
    void modeClicked();
    void fitColumns();
    void selectFirstRow();
    void chooseDatabase(const QString &text, bool confirmed);
    SubstanceDatabase::Field chosenField() const;
    // The table in use, read at its first use; `error` says why it could not be.
    std::shared_ptr<const HarmonisedTable> harmonisedTable(QString *error) const;
    void showTable();

    QString m_startDirectory;
    SubstanceDatabase m_database;
    SubstanceGridModel *m_model = nullptr;
    class TypedTextValidator *m_nomValidator = nullptr;
    bool m_ascending = true;
    bool m_loaded = false;       // the database was read once (at the first show)
    bool m_lastLoadOk = false;   // the current name's file was read
    bool m_selecting = false;    // the search is moving the grid's current row
    bool m_verifying = false;
    bool m_fillingPanel = false; // the panel's numbers change together: one classification shown
    bool m_importing = false;
    QString m_indexOffered;      // the INDEX "Compléter l'INDEX" puts in
    QString m_confirmedText;     // the combo text last confirmed, until it changes
};

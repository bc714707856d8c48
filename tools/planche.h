#pragma once

#include "shell/desktop.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// The label sheet manager: composes a list of up to 18 label files apart from
// any print job, keeps it in sheet files (".pla") and exchanges it with the
// print selection of the print options.
class TPlanche1 : public QWidget
{
    Q_OBJECT
public:
    explicit TPlanche1(QWidget *frame);

    QGroupBox *GB_compil = nullptr;
    QLabel *Lab_nb_et = nullptr;
    QListWidget *ListBox1 = nullptr;
    QPushButton *Button1 = nullptr; // "+"
    QPushButton *Button2 = nullptr; // "-"
    QPushButton *Button4 = nullptr; // "Ø"
    QPushButton *Button5 = nullptr; // "&Charger"
    QPushButton *Button6 = nullptr; // "&Sauver"
    QPushButton *Button7 = nullptr; // "&Importer"
    QPushButton *Button3 = nullptr; // "&Fermer"
    QPushButton *Button8 = nullptr; // "?"

    // The file dialogs: "+", "&Charger", "&Sauver".
    Desktop::FileDialog OpenD2;
    Desktop::FileDialog OpenD;
    Desktop::FileDialog SaveD;

    // The sheet list, in print order.
    QStringList entries() const;
    // Reads a sheet file into the list ("&Charger", or a sheet opened from
    // outside); "&Sauver" then proposes its name. False, said to the user,
    // when it cannot be read (the list stays as it was).
    bool loadSheet(const QString &path);

    void Button1Click();
    void Button2Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button3Click();
    void Button8Click();
    void ListBox1Click();

    static inline const QString kCaption = QStringLiteral("Planche d'étiquettes");
    static inline const QString kCountGroup = QStringLiteral("Nombre de fiche(s) :       ");
    static inline const QString kAddHint = QStringLiteral("Ajouter");
    static inline const QString kRemoveHint = QStringLiteral("Retirer");
    static inline const QString kClearHint = QStringLiteral("Effacer tout");
    static inline const QString kLoad = QStringLiteral("&Charger");
    static inline const QString kLoadHint = QStringLiteral("Lire une planche d'étiquettes");
    static inline const QString kSave = QStringLiteral("&Sauver");
    static inline const QString kSaveHint = QStringLiteral("Enregistrer une planche d'étiquettes");
    static inline const QString kImport = QStringLiteral("&Importer");
    static inline const QString kImportHint = QStringLiteral("Importer depuis la planche d'impression");
    static inline const QString kClose = QStringLiteral("&Fermer");
    static inline const QString kCloseHint = QStringLiteral("Fermer la fenêtre");
    static inline const QString kHelp = QStringLiteral("?");
    static inline const QString kHelpHint = QStringLiteral("Aide");
    static inline const QString kSelectTitle = QStringLiteral("Sélectionner");
    static inline const QString kLoadTitle = QStringLiteral("Charger une compilation");
    static inline const QString kSaveTitle = QStringLiteral("Enregistrer une compilation");
    static inline const QString kLabelFilter = QStringLiteral("Kalvane|*.kvln");
    static inline const QString kHelpPage = QStringLiteral("aide/et_help3.html");

    static inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
    static inline const QString kTooMany = QStringLiteral(
        "Le nombre de fiches ne peut dépasser 18, les fiches excédentaires seront ignorées !!!");
    static inline const QString kSelectionEmpty = QStringLiteral("La planche d'impression est vide!!!");
    static inline const QString kHelpMissing = QStringLiteral("L'aide est introuvable !");

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateButtons();
    void replaceList(const QStringList &entries);
    void showCount();
    void warn(const QString &text);
};

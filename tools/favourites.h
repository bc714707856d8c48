#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "tools/labelscan.h"

class QFileSystemWatcher;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;
class QToolButton;

// The favourites search: a list of favourite folders, the label files of the
// current folder whose names begin with or contain a typed text, opened as
// label windows or moved to the trash. The current folder is kept equal to the
// process's working directory.
class TFormRF : public QWidget
{
    Q_OBJECT
public:
    explicit TFormRF(QWidget *frame);

    static inline const QString kCaption = QStringLiteral("Rechercher dans les favoris");
    static inline const QString kFolderCaption =
        QStringLiteral("\nSélection  d'un  chemin  contenant  des  fichiers  \"ÉTIQUETTE\"");
    static inline const QString kHelpPage = QStringLiteral("aide/et_help6.html");
    static inline const QString kErrorTitle = QStringLiteral("ERREUR");
    static inline const QString kWarningTitle = QStringLiteral("Avertissement");
    static inline const QString kHelpTitle = QStringLiteral("AVERTISSEMENT");
    static inline const QString kConfirmTitle = QStringLiteral("CONFIRMATION");
    static inline const QString kInaccessible = QStringLiteral("Ce chemin est inaccessible !\nVoulez-vous le supprimer ?");
    static inline const QString kReadError = QStringLiteral("Erreur de lecture !");
    static inline const QString kHelpMissing = QStringLiteral("L'aide est introuvable !");

    QLineEdit *Ed_actu = nullptr;
    QListWidget *LB_fav = nullptr;
    QPushButton *B_ajout_fav = nullptr;
    QPushButton *B_sup_fav = nullptr;
    QPushButton *B_new_fav = nullptr;
    QLineEdit *LabRech = nullptr;
    QToolButton *Image2 = nullptr;
    QRadioButton *RBd = nullptr;
    QRadioButton *RBc = nullptr;
    QGroupBox *GB_fich = nullptr;
    QListWidget *LB_fich = nullptr;
    QLabel *Lab_nbfiches = nullptr;
    QSlider *TB_zoom = nullptr;
    QPushButton *B_ouvrir = nullptr;
    QPushButton *B_supp = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *B_fermer = nullptr;

    // The folder shown in Ed_actu, and the favourites in list order.
    QString currentFolder() const;
    QStringList favourites() const;
    // The favourite under the last mouse press (-1 for none), and whether the
    // last press in the file list hit an entry (0) or not (-1).
    int favouritesTag() const { return m_favouritesTag; }
    int filesTag() const { return m_filesTag; }

    // Makes a folder the working directory and the current folder; false
    // (nothing changed) when it cannot be entered.
    bool enterFolder(const QString &folder);
    // Lists the label files of the current folder that match the search.
    void scan();

    void B_ajout_favClick();
    void B_sup_favClick();
    void B_new_favClick();
    void LB_favDblClick();
    // A drop on the favourites list at `pos` (viewport coordinates).
    void LB_favDragDrop(QObject *source, const QPoint &pos);
    void B_ouvrirClick();
    void B_suppClick();
    void Button1Click();
    // Writes the favourites to the favourites file (every close does).
    void writeFavourites();
    // How long the file list waits after a change in its folder before it
    // reads the folder again (one save makes several changes).
    static constexpr int kRescanDelay = 150;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void readFavourites();
    void takeWorkingDirectory();
    void Ed_actuChange();
    void updateAddButton();
    void updateFileButtons();
    bool folderVanished();
    QStringList selectedNames() const;
    QString favouritesPath() const;
    QString startDirectory() const;
    void warn(const QString &text);

    void watchCurrentFolder();
    void folderChanged();

    LabelScan m_scan;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_rescan = nullptr;
    int m_favouritesTag = -1;
    int m_filesTag = 0;
    // A favourites file that exists but could not be read is not replaced
    // unless the user changed the list.
    bool m_favouritesUnreadable = false;
    bool m_favouritesPartial = false; // read only up to a NUL byte: never written
    bool m_favouritesChanged = false;
    bool m_placed = false;
};

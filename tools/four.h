#pragma once

#include "shell/desktop.h"

#include <QImage>
#include <QWidget>

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The supplier cards window: edits one card, keeps the personal list of cards
// of the suppliers folder, and copies a card into the active label.
class TFour : public QWidget
{
    Q_OBJECT
public:
    explicit TFour(QWidget *frame);

    // "Choisir un fournisseur" of a label window: the label's supplier text,
    // logo picture and logo path are handed over, then the window shows, not
    // modal.
    void handOver(const QString &supplierText, const QImage &logo, const QString &logoPath);

    // The suppliers folder ("Kalvane/fournisseurs/" of the start directory).
    QString folder() const { return m_folder; }
    QImage logoPicture() const { return m_logo; }
    // The logo path of the card on screen: what a save writes into the card
    // and what "&Copier" gives the label. Kept apart from the frame's current
    // logo path, which belongs to the active label until a card is copied
    // into it.
    QString cardLogoPath() const { return m_logoPath; }

    // Handlers, named after their controls.
    void FormActivate();
    void FormDeactivate();
    void LBfabClick(int row);
    void LBfabDblClick();
    void Button1Click(); // "&Copier"
    void Button2Click(); // "Enregi&strer"
    void Button3Click(); // "&Supprimer"
    void LogoClick();
    void Image1Click();  // remove the logo
    void Image3Click();  // empty the card
    void Memo_fabChange();

    // Controls, under their component names.
    QGroupBox *GroupBox1 = nullptr; // "Fiche du fournisseur"
    QGroupBox *GroupBox2 = nullptr; // "Liste personnelle"
    QPlainTextEdit *Memo_fab = nullptr;
    QLabel *Logo = nullptr;
    QLabel *LabLOGO = nullptr;
    QToolButton *Image1 = nullptr;
    QToolButton *Image3 = nullptr;
    QListWidget *LBfab = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    Desktop::FileDialog OpenPictureDialog1;

    static inline const QString kCaption = QStringLiteral("Fournisseur");
    static inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
    static inline const QString kConfirmTitle = QStringLiteral("CONFIRMATION");
    static inline const QString kReplaceQuestion = QStringLiteral("Voulez-vous remplacer la fiche existante?");
    static inline const QString kNotSaved = QStringLiteral("La fiche n'a pas été enregistrée.");
    static inline const QString kNotLoaded = QStringLiteral("La fiche n'a pas été chargée.");
    static inline const QString kLogoNotUsed = QStringLiteral("La fiche est chargée sans logo.");
    static inline const QString kLogoNotChanged = QStringLiteral("Le logo n'a pas été changé.");
    static inline const QString kNotTrashed = QStringLiteral(
        "La fiche « %1 » n'a pas pu être mise à la corbeille : elle n'a pas été supprimée.");

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void warn(const QString &text);
    int selectedRow() const;
    void setLogo(const QImage &picture);
    void updateButtons();
    void placeBesideFrame();

    QString m_folder;
    QImage m_logo;
    QString m_logoPath;
    bool m_rebuilding = false;
    bool m_backFromDialog = false;
    bool m_placed = false;
};

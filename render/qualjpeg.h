#pragma once

#include "render/jpegexport.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
struct LabelContent;

// The JPEG export options (colour or grey levels, quality). Created once at
// start-up, so the choices last for the run. Its outcome comes back through
// `Tag`: the caller sets 1 before showing it, "&Exporter" sets 0; "A&nnuler"
// and the close box leave it at 1.
class TQual_jpeg : public QDialog
{
    Q_OBJECT
public:
    explicit TQual_jpeg(QWidget *frame);

    int Tag = 0;

    QGroupBox *GroupImage = nullptr;
    QRadioButton *Radicol = nullptr;   // "Couleurs"
    QRadioButton *Radgrey = nullptr;   // "Niveaux de gris"
    QGroupBox *GroupQualite = nullptr;
    QSlider *TrackBar1 = nullptr;      // quality, 1 .. 100
    QLabel *LabQual = nullptr;         // the quality as text
    QPushButton *But_OK = nullptr;     // "&Exporter"
    QPushButton *But_annul = nullptr;  // "A&nnuler"
    QPushButton *Button1 = nullptr;    // "&?"

    // The choices as the encoder takes them.
    JpegExport::Options options() const;

    // The help page of the export, below the start directory.
    void Button1Click();

    // The export command: the options, the export image drawn and encoded, the
    // save dialog, the file written. Pictures that could not be read and a
    // failed write are reported in one message each. Returns the written
    // file's path, empty when nothing was written.
    static QString exportLabel(QWidget *parent, TQual_jpeg *dialog, const LabelContent &content);

    static inline const QString kCaption = QStringLiteral("Options - Exportation");
    static inline const QString kImageGroup = QStringLiteral("Image ");
    static inline const QString kColours = QStringLiteral("Couleurs");
    static inline const QString kGreyLevels = QStringLiteral("Niveaux de gris");
    static inline const QString kQualityGroup = QStringLiteral("Qualité JPEG :       % ");
    static inline const QString kQualityHint = QStringLiteral("Valeur conseillée : 75%");
    static inline const QString kExport = QStringLiteral("&Exporter");
    static inline const QString kCancel = QStringLiteral("A&nnuler");
    static inline const QString kCancelHint = QStringLiteral("Renoncer et quitter");
    static inline const QString kHelp = QStringLiteral("&?");
    static inline const QString kHelpHint = QStringLiteral("Aide");
    static inline const QString kHelpPage = QStringLiteral("aide/et_help4.html");
    static inline const QString kHelpMissing = QStringLiteral("L'aide est introuvable !");
    static inline const QString kWarningTitle = QStringLiteral("AVERTISSEMENT");
    static constexpr int kDefaultQuality = 75;
};

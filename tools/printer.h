#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSlider;

// The print options dialog. Its controls are the print settings: the label
// windows copy their margins, scale and numbering flag into them on activation,
// and the frame stores margins and scale in "dat.ini" at exit.
class Tprinter : public QDialog
{
    Q_OBJECT
public:
    explicit Tprinter(QWidget *frame);

    QRadioButton *Rad_actuel = nullptr;
    QRadioButton *Rad_planche = nullptr;
    QLineEdit *Ed_g = nullptr;
    QLineEdit *Ed_h = nullptr;
    QSlider *TrackBar1 = nullptr;
    QLabel *Lab_pc = nullptr;
    QCheckBox *CB_one = nullptr;
    QCheckBox *CB_line = nullptr;
    QCheckBox *CB_IB = nullptr;
    QCheckBox *CB_auto = nullptr;
    QCheckBox *CB_HPEUH = nullptr;
    QListWidget *ListBox1 = nullptr;

    static inline const QString kNoActiveLabel = QStringLiteral("Aucune fiche active");

    // A label window was created: numbering off, "Fiche active" enabled and chosen.
    void labelCreated();
    // The last label window closed.
    void noLabelLeft();

private:
    void readSettings();
};

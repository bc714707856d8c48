#include "tools/printer.h"

#include "shell/application.h"
#include "shell/settingsfiles.h"
#include "shell/textfile.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

Tprinter::Tprinter(QWidget *frame)
    : QDialog(frame)
{
    Application::noteCreated("Tprinter");
    setObjectName(QStringLiteral("Tprinter"));
    setWindowTitle(QStringLiteral("Options - Impression"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto named = [](QWidget *w, const char *name) { w->setObjectName(QString::fromLatin1(name)); return w; };

    auto *document = new QGroupBox(QStringLiteral("Document à imprimer "), this);
    Rad_actuel = new QRadioButton(kNoActiveLabel, document);
    named(Rad_actuel, "Rad_actuel");
    Rad_actuel->setEnabled(false);
    Rad_planche = new QRadioButton(QStringLiteral("Planche d'étiquettes"), document);
    named(Rad_planche, "Rad_planche");
    Rad_planche->setChecked(true);
    auto *docLayout = new QVBoxLayout(document);
    docLayout->addWidget(Rad_actuel);
    docLayout->addWidget(Rad_planche);

    auto *misc = new QGroupBox(QStringLiteral("Divers "), this);
    Ed_g = new QLineEdit(QStringLiteral("0"), misc);
    named(Ed_g, "Ed_g");
    Ed_g->setToolTip(QStringLiteral("Marge ajoutée à chaque étiquette"));
    Ed_h = new QLineEdit(QStringLiteral("0"), misc);
    named(Ed_h, "Ed_h");
    Ed_h->setToolTip(QStringLiteral("Marge ajoutée à chaque étiquette"));
    CB_one = new QCheckBox(QStringLiteral("Une seule étiquette .........."), misc);
    named(CB_one, "CB_one");
    CB_one->setEnabled(false);
    CB_line = new QCheckBox(QStringLiteral("Pointillés de séparation ...."), misc);
    named(CB_line, "CB_line");
    CB_line->setChecked(true);
    CB_IB = new QCheckBox(QStringLiteral("Conformité à l'aperçu ......"), misc);
    named(CB_IB, "CB_IB");
    CB_auto = new QCheckBox(QStringLiteral("Adaptation automatique ..."), misc);
    named(CB_auto, "CB_auto");
    CB_auto->setChecked(true);
    CB_HPEUH = new QCheckBox(QStringLiteral("Numérotation H, P, EUH ..."), misc);
    named(CB_HPEUH, "CB_HPEUH");
    auto *miscLayout = new QFormLayout(misc);
    miscLayout->addRow(QStringLiteral("Marge à gauche ..........."), Ed_g);
    miscLayout->addRow(QStringLiteral("Marge en haut .............."), Ed_h);
    for (QCheckBox *box : {CB_one, CB_line, CB_IB, CB_auto, CB_HPEUH})
        miscLayout->addRow(box);

    auto *scale = new QGroupBox(QStringLiteral("Échelle :       % "), this);
    TrackBar1 = new QSlider(Qt::Horizontal, scale);
    named(TrackBar1, "TrackBar1");
    TrackBar1->setRange(50, 200);
    TrackBar1->setTickInterval(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setValue(100);
    Lab_pc = new QLabel(QStringLiteral("100"), scale);
    named(Lab_pc, "Lab_pc");
    connect(TrackBar1, &QSlider::valueChanged, Lab_pc, [this](int v) { Lab_pc->setText(QString::number(v)); });
    auto *scaleLayout = new QHBoxLayout(scale);
    scaleLayout->addWidget(TrackBar1, 1);
    scaleLayout->addWidget(Lab_pc);

    ListBox1 = new QListWidget(this);
    named(ListBox1, "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(document);
    layout->addWidget(misc);
    layout->addWidget(scale);
    layout->addWidget(ListBox1);

    readSettings();
}

void Tprinter::readSettings()
{
    // Lines 6 to 8 of "dat.ini": margins and scale as they were at the last exit.
    const QString path = kalvane() ? kalvane()->startFile(QStringLiteral("dat.ini")) : QString();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    const DatIni ini = DatIni::fromLines(TextFile::readLines(path));
    if (ini.marginX)
        Ed_g->setText(*ini.marginX);
    if (ini.marginY)
        Ed_h->setText(*ini.marginY);
    if (ini.scale)
        if (const auto v = parseInteger(*ini.scale))
            TrackBar1->setValue(*v);
}

void Tprinter::labelCreated()
{
    CB_HPEUH->setChecked(false);
    Rad_actuel->setEnabled(true);
    Rad_actuel->setChecked(true);
    CB_one->setEnabled(true);
}

void Tprinter::noLabelLeft()
{
    Rad_actuel->setText(kNoActiveLabel);
    Rad_actuel->setEnabled(false);
    Rad_actuel->setChecked(false);
    Rad_planche->setChecked(true);
    CB_one->setChecked(false);
    CB_one->setEnabled(false);
}

#include "tools/printer.h"

#include "editor/mdichild.h"
#include "render/calibration.h"
#include "render/labelsize.h"
#include "render/printview.h"
#include "render/sheetgeometry.h"
#include "render/sheetpreview.h"
#include "render/storedlabel.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/settingsfiles.h"
#include "shell/textfile.h"
#include "tools/planche.h"
#include "tools/printcommand.h"
#include "tools/sheetfile.h"
#include "tools/sheetlist.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QLocale>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace {

template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Waits with the hourglass while a page or a help viewer is prepared.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

Tprinter::Tprinter(QWidget *frame)
    : QDialog(frame, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    Application::noteCreated("Tprinter");
    setObjectName(QStringLiteral("Tprinter"));
    setWindowTitle(kCaption);
    setModal(true);

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    TabSheet1 = named(new QWidget, "TabSheet1");
    TabSheet2 = named(new QWidget, "TabSheet2");
    PageControl1->addTab(TabSheet1, kGeneral);
    PageControl1->addTab(TabSheet2, kSelectionTab);

    // --- "Généralités": the document, the labels per page, margins and flags, scale.
    GroupDocument = named(new QGroupBox(kDocumentGroup, TabSheet1), "GroupDocument");
    Rad_actuel = named(new QRadioButton(kNoActiveLabel, GroupDocument), "Rad_actuel");
    Rad_actuel->setEnabled(false);
    Rad_planche = named(new QRadioButton(kSheet, GroupDocument), "Rad_planche");
    Rad_planche->setChecked(true);
    auto *documentLayout = new QVBoxLayout(GroupDocument);
    documentLayout->addWidget(Rad_actuel);
    documentLayout->addWidget(Rad_planche);
    documentLayout->addStretch(1);
    Rad_actuel->installEventFilter(this);

    GroupFormat = named(new QGroupBox(kFormatGroup, TabSheet1), "GroupFormat");
    Rad_2 = named(new QRadioButton(QStringLiteral(" 2"), GroupFormat), "Rad_2");
    Rad_4 = named(new QRadioButton(QStringLiteral(" 4"), GroupFormat), "Rad_4");
    Rad_8 = named(new QRadioButton(QStringLiteral(" 8"), GroupFormat), "Rad_8");
    Rad_16 = named(new QRadioButton(QStringLiteral("16"), GroupFormat), "Rad_16");
    Rad_18 = named(new QRadioButton(QStringLiteral("18"), GroupFormat), "Rad_18");
    Rad_2->setChecked(true);
    auto *formatLayout = new QHBoxLayout(GroupFormat);
    const QList<QPair<QRadioButton *, int>> formats = {{Rad_2, 2}, {Rad_4, 4}, {Rad_8, 8}, {Rad_16, 16}, {Rad_18, 18}};
    for (const auto &[button, n] : formats) {
        formatLayout->addWidget(button);
        connect(button, &QRadioButton::clicked, this, [this, n = n] { Rad_Click(n); });
    }

    GroupDivers = named(new QGroupBox(kMiscGroup, TabSheet1), "GroupDivers");
    auto *leftCaption = named(new QLabel(kLeftMargin, GroupDivers), "Label1");
    auto *topCaption = named(new QLabel(kTopMargin, GroupDivers), "Label2");
    Ed_g = named(new QLineEdit(QStringLiteral("0"), GroupDivers), "Ed_g");
    Ed_h = named(new QLineEdit(QStringLiteral("0"), GroupDivers), "Ed_h");
    for (QWidget *w : {static_cast<QWidget *>(leftCaption), static_cast<QWidget *>(topCaption),
                       static_cast<QWidget *>(Ed_g), static_cast<QWidget *>(Ed_h)}) {
        w->setToolTip(kMarginHint);
        w->setStatusTip(kMarginUnitHint);
    }
    for (QLineEdit *e : {Ed_g, Ed_h})
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    CB_one = named(new QCheckBox(kOne, GroupDivers), "CB_one");
    CB_one->setToolTip(kOneHint);
    CB_one->setEnabled(false);
    CB_line = named(new QCheckBox(kLine, GroupDivers), "CB_line");
    CB_line->setToolTip(kLineHint);
    CB_line->setChecked(true);
    CB_IB = named(new QCheckBox(kIB, GroupDivers), "CB_IB");
    CB_IB->setToolTip(kIBHint);
    CB_auto = named(new QCheckBox(kAuto, GroupDivers), "CB_auto");
    CB_auto->setToolTip(kAutoHint);
    CB_auto->setChecked(true);
    CB_HPEUH = named(new QCheckBox(kHPEUH, GroupDivers), "CB_HPEUH");
    CB_HPEUH->setToolTip(kHPEUHHint);
    connect(CB_HPEUH, &QCheckBox::clicked, this, &Tprinter::CB_HPEUHClick);
    Lab_HPEUH = named(new QLabel(kHPEUHNote, GroupDivers), "Lab_HPEUH");
    Lab_HPEUH->setWordWrap(true);
    Lab_HPEUH->setStyleSheet(QStringLiteral("color: #c00000;"));
    Lab_HPEUH->setVisible(false);
    // Whoever ticks it (the user, the active label's own box), it is said.
    connect(CB_HPEUH, &QCheckBox::toggled, Lab_HPEUH, &QLabel::setVisible);
    auto *miscLayout = new QGridLayout(GroupDivers);
    miscLayout->addWidget(leftCaption, 0, 0);
    miscLayout->addWidget(Ed_g, 0, 1);
    miscLayout->addWidget(new QLabel(QStringLiteral("mm"), GroupDivers), 0, 2);
    miscLayout->addWidget(topCaption, 1, 0);
    miscLayout->addWidget(Ed_h, 1, 1);
    miscLayout->addWidget(new QLabel(QStringLiteral("mm"), GroupDivers), 1, 2);
    int row = 2;
    for (QCheckBox *box : {CB_one, CB_line, CB_IB, CB_auto, CB_HPEUH})
        miscLayout->addWidget(box, row++, 0, 1, 3);
    miscLayout->addWidget(Lab_HPEUH, row++, 0, 1, 4);
    miscLayout->setColumnStretch(3, 1);

    GroupEchelle = named(new QGroupBox(kScaleGroup, TabSheet1), "GroupEchelle");
    TrackBar1 = named(new QSlider(Qt::Horizontal, GroupEchelle), "TrackBar1");
    TrackBar1->setRange(SheetGeometry::kMinimumScale, SheetGeometry::kMaximumScale);
    TrackBar1->setTickInterval(5);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setValue(100);
    // The highlighted part of the track runs from the start to the position.
    TrackBar1->setStyleSheet(QStringLiteral("QSlider::sub-page:horizontal { background: palette(highlight); }"));
    Lab_pc = named(new QLabel(QStringLiteral("100"), GroupEchelle), "Lab_pc");
    Lab_pc->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lab_pc->setMinimumWidth(Lab_pc->fontMetrics().horizontalAdvance(QStringLiteral("2000")));
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int v) { Lab_pc->setText(QString::number(v)); });
    auto *scaleLayout = new QGridLayout(GroupEchelle);
    scaleLayout->addWidget(TrackBar1, 0, 0, 1, 4);
    scaleLayout->addWidget(Lab_pc, 0, 4);
    scaleLayout->addWidget(new QLabel(QStringLiteral("%"), GroupEchelle), 0, 5);
    const QStringList ticks = {QStringLiteral("50%"), QStringLiteral("100%"), QStringLiteral("150%"),
                               QStringLiteral("200%")};
    for (int i = 0; i < ticks.size(); ++i) {
        auto *tick = new QLabel(ticks.at(i), GroupEchelle);
        tick->setAlignment(i == 0 ? Qt::AlignLeft : (i == 3 ? Qt::AlignRight : Qt::AlignHCenter));
        scaleLayout->addWidget(tick, 1, i);
    }

    auto *general = new QGridLayout(TabSheet1);
    general->addWidget(GroupDocument, 0, 0);
    general->addWidget(GroupFormat, 0, 1);
    general->addWidget(GroupDivers, 1, 0);
    general->addWidget(GroupEchelle, 2, 0, 1, 2);

    // --- The Regulation's format: the capacity of the package for this job.
    GroupContenance = named(new QGroupBox(kCapacityGroup, TabSheet1), "GroupContenance");
    Ed_contenance = named(new QLineEdit(GroupContenance), "Ed_contenance");
    Ed_contenance->setToolTip(kCapacityHint);
    Ed_contenance->setMaximumWidth(80);
    {
        auto *capacityLayout = new QHBoxLayout(GroupContenance);
        capacityLayout->addWidget(new QLabel(kCapacityLabel, GroupContenance));
        capacityLayout->addWidget(Ed_contenance);
        capacityLayout->addStretch(1);
    }
    // Beside the other choices, so that the options stay within a small screen.
    general->addWidget(GroupContenance, 1, 1, Qt::AlignTop);

    // --- " Sélection  ": the list of label files and its buttons.
    GB_compil = named(new QGroupBox(kCountGroup, TabSheet2), "GB_compil");
    Lab_nb_et = named(new QLabel(QStringLiteral("0"), GB_compil), "Lab_nb_et");
    Lab_Max = named(new QLabel(QStringLiteral("2"), GB_compil), "Lab_Max");
    auto *countLayout = new QHBoxLayout(GB_compil);
    countLayout->addWidget(Lab_nb_et);
    countLayout->addWidget(new QLabel(QStringLiteral("/"), GB_compil));
    countLayout->addWidget(Lab_Max);
    countLayout->addStretch(1);
    ListBox1 = SheetList::create(TabSheet2);
    connect(ListBox1, &QListWidget::itemClicked, this, &Tprinter::ListBox1Click);
    const auto button = [this](const QString &caption, const char *name, const QString &hint) {
        auto *b = named(new QPushButton(caption, TabSheet2), name);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    Button1 = button(QStringLiteral("+"), "Button1", kAddHint);
    Button2 = button(QStringLiteral("-"), "Button2", kRemoveHint);
    Button4 = button(QStringLiteral("Ø"), "Button4", kClearHint);
    Button5 = button(kLoad, "Button5", kLoadHint);
    Button6 = button(kSave, "Button6", kSaveHint);
    Button7 = button(kImport, "Button7", kImportHint);
    connect(Button1, &QPushButton::clicked, this, &Tprinter::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tprinter::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &Tprinter::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &Tprinter::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &Tprinter::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &Tprinter::Button7Click);
    auto *selectionButtons = new QVBoxLayout;
    for (QPushButton *b : {Button1, Button2, Button4})
        selectionButtons->addWidget(b);
    selectionButtons->addSpacing(12);
    for (QPushButton *b : {Button5, Button6, Button7})
        selectionButtons->addWidget(b);
    selectionButtons->addStretch(1);
    auto *selectionLayout = new QGridLayout(TabSheet2);
    selectionLayout->addWidget(GB_compil, 0, 0);
    selectionLayout->addWidget(ListBox1, 1, 0);
    selectionLayout->addLayout(selectionButtons, 0, 1, 2, 1);
    selectionLayout->setRowStretch(1, 1);

    // --- The dialog's buttons.
    const auto dialogButton = [this](const QString &caption, const char *name, const QString &hint) {
        auto *b = named(new QPushButton(caption, this), name);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    But_OK = dialogButton(kPrint, "But_OK", kPrintHint);
    But_OK->setDefault(true);
    But_annul = dialogButton(kCancel, "But_annul", kCancelHint);
    But_View = dialogButton(kPreview, "But_View", kPreviewHint);
    Button3 = dialogButton(kHelp, "Button3", kHelpHint);
    connect(But_OK, &QPushButton::clicked, this, &Tprinter::But_OKClick);
    connect(But_annul, &QPushButton::clicked, this, &QDialog::reject);
    connect(But_View, &QPushButton::clicked, this, &Tprinter::But_ViewClick);
    connect(Button3, &QPushButton::clicked, this, &Tprinter::Button3Click);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(But_OK);
    buttons->addWidget(But_annul);
    buttons->addWidget(But_View);
    buttons->addStretch(1);
    buttons->addWidget(Button3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);

    // Choosing the document by code runs the same handlers as a click.
    connect(Rad_actuel, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Rad_actuelClick();
    });
    connect(Rad_planche, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Rad_plancheClick();
    });

    // The file dialogs start in the frame's label-file folder.
    const QString start = Form_base() ? Form_base()->openDialogFolder : QString();
    OpenD2.title = kSelectTitle;
    OpenD2.filter = kLabelFilter;
    OpenD2.multiple = true;
    OpenD2.folder = start;
    OpenD.title = kLoadTitle;
    OpenD.filter = SheetFile::kFilter;
    OpenD.defaultSuffix = SheetFile::kSuffix;
    OpenD.fileName = QStringLiteral("*.pla");
    OpenD.folder = start;
    SaveD.title = kSaveTitle;
    SaveD.filter = SheetFile::kFilter;
    SaveD.defaultSuffix = SheetFile::kSuffix;
    SaveD.fileName = QStringLiteral("Sans_titre");
    SaveD.confirmOverwrite = true;
    SaveD.folder = start;

    Rad_plancheClick();
    PageControl1->setCurrentWidget(TabSheet1);
    readSettings();
    buildStockBox();
}

Tprinter::~Tprinter() = default;

void Tprinter::readSettings()
{
    // Lines 6 to 8 of "dat.ini": margins and scale as they were at the last exit.
    const QString path = kalvane() ? kalvane()->startFile(QStringLiteral("dat.ini")) : QString();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    const DatIni ini = DatIni::fromLines(TextFile::readLines(path));
    if (!ini.marginX || !ini.marginY || !ini.scale)
        return;
    Ed_g->setText(*ini.marginX);
    Ed_h->setText(*ini.marginY);
    if (const auto v = parseInteger(*ini.scale))
        TrackBar1->setValue(*v); // the track bar keeps it within 50 to 200
}

void Tprinter::pointDialogsAtLabelFolder()
{
    const QString folder = Form_base() ? Form_base()->defaultLabelFolder() : QString();
    if (folder.isEmpty())
        return;
    OpenD.folder = OpenD2.folder = SaveD.folder = folder;
    if (!m_sheetPath.isEmpty())
        SaveD.folder = QFileInfo(m_sheetPath).absolutePath();
}

void Tprinter::rememberSheet(const QString &path)
{
    m_sheetPath = QFileInfo(path).absoluteFilePath();
    SaveD.folder = QFileInfo(m_sheetPath).absolutePath();
    SaveD.fileName = QFileInfo(m_sheetPath).fileName();
}

void Tprinter::showEvent(QShowEvent *event)
{
    pointDialogsAtLabelFolder();
    fillStockList();
    showOffsetsOfPrinter();
    updateLabelSize();
    // Each job starts with the statements at their own size and the active
    // label's capacity.
    m_statementScale = 1.0;
    if (TForm_base *f = Form_base())
        if (TMDIChild *label = f->activeLabel())
            Ed_contenance->setText(label->document().capacity);
    QDialog::showEvent(event);
}

void Tprinter::hideEvent(QHideEvent *event)
{
    // The sheet preview belongs to the dialog: it goes when the dialog goes.
    if (kalvane() && kalvane()->printView())
        kalvane()->printView()->hide();
    writePrintIni();
    QDialog::hideEvent(event);
}

bool Tprinter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Rad_actuel) {
        // While "Fiche active" has the focus the dialog's hint names the label.
        if (event->type() == QEvent::FocusIn)
            setToolTip(Rad_actuel->text());
        else if (event->type() == QEvent::FocusOut)
            setToolTip(QString());
    }
    if (event->type() == QEvent::WindowActivate && watched == this)
        pointDialogsAtLabelFolder();
    return QDialog::eventFilter(watched, event);
}

void Tprinter::labelCreated()
{
    CB_HPEUH->setChecked(false);
    Rad_actuel->setEnabled(true);
    if (Rad_actuel->isChecked())
        Rad_actuelClick();
    else
        Rad_actuel->setChecked(true); // runs Rad_actuelClick
}

void Tprinter::noLabelLeft()
{
    Rad_actuel->setText(kNoActiveLabel);
    Rad_actuel->setEnabled(false);
    Rad_actuel->setAutoExclusive(false);
    Rad_actuel->setChecked(false);
    Rad_actuel->setAutoExclusive(true);
    if (Rad_planche->isChecked())
        Rad_plancheClick();
    else
        Rad_planche->setChecked(true); // runs Rad_plancheClick
}

QPrinter *Tprinter::jobPrinter()
{
    if (!m_jobPrinter)
        m_jobPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_jobPrinter.get();
}

SheetSettings Tprinter::settings() const
{
    SheetSettings s;
    s.labelsPerPage = Tag;
    s.activeLabel = Rad_actuel->isChecked();
    s.singleLabel = CB_one->isChecked();
    s.marginLeft = Ed_g->text();
    s.marginTop = Ed_h->text();
    s.scale = TrackBar1->value();
    s.separatorLines = CB_line->isChecked();
    s.pictureMode = CB_IB->isChecked();
    s.adapt = CB_auto->isChecked();
    s.numberingOnly = CB_HPEUH->isChecked();
    s.selection = selection();
    if (GB_modele->isChecked() && m_hasStock) {
        s.stock = m_stock;
        s.stockStart = parseInteger(Ed_debut->text()).value_or(0);
        const QPointF offsets = offsetsFor(currentPrinterName());
        s.offsetX = offsets.x();
        s.offsetY = offsets.y();
    }
    s.statementScale = m_statementScale;
    return s;
}

double Tprinter::capacity() const
{
    return LabelFormat::capacityOf(Ed_contenance->text());
}

QStringList Tprinter::selection() const
{
    return SheetList::entries(ListBox1);
}

void Tprinter::warn(const QString &text)
{
    desktop().message(this, kWarningTitle, text, Desktop::Icon::Warning, Desktop::Ok);
}

void Tprinter::showCount()
{
    Lab_nb_et->setText(QString::number(ListBox1->count()));
}

void Tprinter::updateListButtons()
{
    const bool any = ListBox1->count() > 0 && Rad_planche->isChecked();
    Button2->setEnabled(any);
    Button4->setEnabled(any);
    Button6->setEnabled(any);
}

void Tprinter::chooseLayoutForCount(int count)
{
    const int n = SheetGeometry::layoutForCount(count);
    QRadioButton *button = n == 2 ? Rad_2 : n == 4 ? Rad_4 : n == 8 ? Rad_8 : n == 16 ? Rad_16 : Rad_18;
    button->setChecked(true);
    Rad_Click(n);
}

void Tprinter::Rad_Click(int labelsPerPage)
{
    Tag = labelsPerPage;
    if (labelsPerPage != 18 && ListBox1->count() > labelsPerPage) {
        // The page has fewer cells than the list has entries: the last go.
        while (ListBox1->count() > labelsPerPage)
            delete ListBox1->takeItem(ListBox1->count() - 1);
        Lab_nb_et->setText(QString::number(labelsPerPage));
    }
    Lab_Max->setText(QString::number(labelsPerPage));
    updateLabelSize();
}

void Tprinter::Rad_actuelClick()
{
    CB_one->setEnabled(true);
    for (QWidget *w : {static_cast<QWidget *>(ListBox1), static_cast<QWidget *>(Button1),
                       static_cast<QWidget *>(Button2), static_cast<QWidget *>(Button4),
                       static_cast<QWidget *>(Button5), static_cast<QWidget *>(Button6),
                       static_cast<QWidget *>(Button7)})
        w->setEnabled(false);
    PageControl1->setTabEnabled(PageControl1->indexOf(TabSheet2), false);
    PageControl1->setCurrentWidget(TabSheet1);
    if (TForm_base *f = Form_base())
        if (f->labelCount() > 0)
            if (TMDIChild *label = f->activeLabel())
                CB_HPEUH->setChecked(label->CB_hpeuh->isChecked());
}

void Tprinter::Rad_plancheClick()
{
    CB_one->setChecked(false);
    CB_one->setEnabled(false);
    for (QWidget *w : {static_cast<QWidget *>(Button1), static_cast<QWidget *>(Button5),
                       static_cast<QWidget *>(Button7), static_cast<QWidget *>(ListBox1)})
        w->setEnabled(true);
    updateListButtons();
    PageControl1->setTabEnabled(PageControl1->indexOf(TabSheet2), true);
    PageControl1->setCurrentWidget(TabSheet2);
}

void Tprinter::CB_HPEUHClick()
{
    TForm_base *f = Form_base();
    if (!f || f->labelCount() < 1 || !Rad_actuel->isChecked())
        return;
    if (TMDIChild *label = f->activeLabel()) {
        label->CB_hpeuh->setChecked(CB_HPEUH->isChecked());
        f->refreshPreview();
    }
}

void Tprinter::ListBox1Click()
{
    SheetList::showCurrentAsTip(ListBox1);
}

void Tprinter::Button1Click()
{
    const QStringList files = desktop().openFiles(this, OpenD2);
    if (files.isEmpty())
        return;
    if (SheetList::wouldOverflow(ListBox1, files.size()))
        warn(kTooMany);
    chooseLayoutForCount(ListBox1->count() + int(files.size()));
    SheetList::append(ListBox1, files);
    showCount();
    updateListButtons();
}

void Tprinter::Button2Click()
{
    SheetList::removeSelected(ListBox1);
    showCount();
    updateListButtons();
}

void Tprinter::Button4Click()
{
    ListBox1->clear();
    Lab_nb_et->setText(QStringLiteral("0"));
    updateListButtons();
}

void Tprinter::replaceSelection(const QStringList &entries)
{
    const bool dropped = SheetList::replace(ListBox1, entries);
    showCount();
    updateListButtons();
    chooseLayoutForCount(ListBox1->count());
    if (dropped)
        warn(kTooMany);
}

void Tprinter::Button5Click()
{
    const QStringList files = desktop().openFiles(this, OpenD);
    if (!files.isEmpty()) {
        const QString path = SheetFile::expanded(files.first());
        // A sheet that has gone since it was chosen is passed over.
        if (QFileInfo::exists(path)) {
            QStringList entries;
            QString error;
            if (SheetFile::read(path, &entries, &error)) {
                replaceSelection(entries);
                rememberSheet(path);
                return;
            }
            warn(error);
        }
    }
    showCount();
    updateListButtons();
    chooseLayoutForCount(ListBox1->count());
}

void Tprinter::Button6Click()
{
    const QString path = desktop().saveFile(this, SaveD);
    if (path.isEmpty())
        return;
    QString error;
    if (!SheetFile::write(SheetFile::expanded(path), selection(), &error))
        warn(error);
    else
        rememberSheet(SheetFile::expanded(path));
}

void Tprinter::Button7Click()
{
    TPlanche1 *manager = kalvane() ? kalvane()->planche() : nullptr;
    const QStringList entries = manager ? manager->entries() : QStringList();
    if (entries.isEmpty()) {
        warn(kManagerEmpty);
        return;
    }
    replaceSelection(entries);
}

void Tprinter::But_OKClick()
{
    TForm_base *f = Form_base();
    const int labels = f ? f->labelCount() : 0;
    if (labels > 0) {
        // The active label keeps the margins and scale it was last printed with.
        if (TMDIChild *label = f->activeLabel()) {
            label->takePrintSettings(Ed_g->text(), Ed_h->text(), Lab_pc->text());
        }
    }
    if ((labels < 1 && Rad_actuel->isChecked()) || (Rad_planche->isChecked() && ListBox1->count() == 0)
        || (!Rad_actuel->isChecked() && !Rad_planche->isChecked())) {
        warn(kNothingToPrint);
        But_OKTag = 1;
        return;
    }
    // On stock: a stock that can be printed on and a start position on it.
    if (const QString why = stockProblem(); !why.isEmpty()) {
        warn(why);
        But_OKTag = 1;
        return;
    }
    // Labels whose statements do not fit are named before anything is sent:
    // "Non" stays in the options.
    m_layoutAccepted.clear();
    // With a capacity for the job: statements reduced to fit when the user
    // agrees, then the format checked, before the layout question.
    m_statementScale = 1.0;
    if (f && capacity() > 0 && !PrintCommand::confirmFormat(this, f, jobPrinter(), capacity(), &m_statementScale)) {
        But_OKTag = 1;
        return;
    }
    if (f && !PrintCommand::confirmLayout(this, f, jobPrinter(), &m_layoutAccepted)) {
        But_OKTag = 1;
        return;
    }
    But_OKTag = 0;
    accept();
}

void Tprinter::But_ViewClick()
{
    TPrintView *view = kalvane() ? kalvane()->printView() : nullptr;
    TForm_base *f = Form_base();
    if (!view || !f)
        return;
    if (const QString why = stockProblem(); !why.isEmpty()) {
        warn(why);
        return;
    }
    const SheetSettings s = settings();
    const QSize pageSize = SheetPreview::pageSize(s);
    view->setPageSize(pageSize.width(), pageSize.height());
    updateLabelSize();
    view->showSize(L_taille->text());
    if (!view->isVisible()) {
        // Beside the dialog rather than under it, where the screen has room.
        const QRect dialog = frameGeometry();
        const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
        const int right = dialog.right() + 8;
        const int left = dialog.left() - 8 - view->frameGeometry().width();
        if (screen.isValid() && right + view->frameGeometry().width() <= screen.right())
            view->move(right, dialog.top());
        else if (screen.isValid() && left >= screen.left())
            view->move(left, dialog.top());
    }
    // Kept above the dialog that drew it, and usable while the dialog is open.
    view->winId();
    if (view->windowHandle() && windowHandle())
        view->windowHandle()->setTransientParent(windowHandle());
    view->show();
    view->raise();
    BusyCursor busy;
    // Drawing a stored label must leave the frame's text sizes as they were.
    const FrameMirrors saved = f->mirrors;
    const LabelContent active = s.activeLabel ? f->activeContent() : LabelContent();
    QImage image;
    const SheetPreview::Result result =
        SheetPreview::draw(&image, s, active, f->mirrors, f->startDirectory(), [&](int) { view->showPage(image); });
    view->showPage(image);
    if (s.onStock() && result.sheets > 1)
        view->showSize(L_taille->text() + kMoreSheets.arg(result.sheets));
    f->mirrors.productSize = saved.productSize;
    f->mirrors.statementSize = saved.statementSize;

    // The labels that would not hold their statements once printed, laid out
    // for the job's printer, are named under the page.
    const SheetPrint::Result check = SheetPrint::check(PrintCommand::currentJob(f), SheetPrint::surface(jobPrinter(), s));
    QStringList names;
    // (A check fills one list: labels cut at their bottom edge, in the
    // picture mode or on stock, or statements running on below, on a grid.)
    const bool cut = !check.cut.isEmpty();
    for (const SheetPrint::CutLabel &c : cut ? check.cut : check.overflow)
        names << c.label;
    QString warning = names.isEmpty() ? QString()
                                       : kPreviewOverflow.arg(cut ? kPreviewOverflowCut : kPreviewOverflowRuns,
                                                              names.join(QStringLiteral(", ")));
    // The format of the labels as printed, for the capacity of the job.
    if (capacity() > 0) {
        QString layout;
        const QList<LabelFormat::Finding> format =
            PrintCommand::formatFindings(f, jobPrinter(), PrintCommand::currentJob(f), capacity(), &layout);
        const auto errors = std::count_if(format.begin(), format.end(), [](const LabelFormat::Finding &x) { return x.error; });
        if (!format.isEmpty()) {
            if (!warning.isEmpty())
                warning += u'\n';
            warning += kPreviewFormat.arg(layout).arg(errors).arg(format.size() - errors).arg(format.constFirst().message);
        }
    }
    view->showWarning(warning);

    QStringList lines;
    if (!result.error.isEmpty())
        lines << result.error;
    for (const QString &path : result.missing)
        lines << StoredLabel::kMissingFile.arg(QDir::toNativeSeparators(path));
    lines << result.problems;
    if (!lines.isEmpty())
        warn(lines.join(u'\n'));
}

void Tprinter::Button3Click()
{
    bool shown = false;
    {
        BusyCursor busy;
        shown = desktop().showHelp(this, kHelpPage);
    }
    if (!shown)
        desktop().message(this, kWarningTitle, kHelpMissing, Desktop::Icon::Critical, Desktop::Ok);
}

// --- Label stock -----------------------------------------------------------

namespace {

constexpr int kNameRole = Qt::UserRole + 1;

} // namespace

void Tprinter::buildStockBox()
{
    L_taille = named(new QLabel(TabSheet1), "L_taille");
    L_taille->setWordWrap(true);

    GB_modele = named(new QGroupBox(kStockGroup, TabSheet1), "GB_modele");
    GB_modele->setCheckable(true);
    GB_modele->setChecked(false);
    CB_modele = named(new QComboBox(GB_modele), "CB_modele");
    CB_modele->setEditable(true);
    CB_modele->setInsertPolicy(QComboBox::NoInsert);
    CB_modele->setMaxVisibleItems(16);
    CB_modele->setToolTip(kStockHint);
    CB_modele->lineEdit()->setPlaceholderText(QStringLiteral("Avery L7165"));
    CB_modele->setMinimumContentsLength(34);
    CB_modele->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Typing filters by any part of the text: brand, part or size.
    auto *completer = new QCompleter(CB_modele->model(), CB_modele);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setMaxVisibleItems(16);
    CB_modele->setCompleter(completer);
    Lab_modele = named(new QLabel(GB_modele), "Lab_modele");
    Lab_modele->setWordWrap(true);
    Lab_modele->setStyleSheet(QStringLiteral("color: #c00000;"));
    Lab_modele->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Lab_modele->hide();

    auto *startCaption = new QLabel(kStart, GB_modele);
    Ed_debut = named(new QLineEdit(QStringLiteral("1"), GB_modele), "Ed_debut");
    Ed_debut->setToolTip(kStartHint);
    startCaption->setToolTip(kStartHint);
    Ed_debut->setMaximumWidth(Ed_debut->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);

    Lab_imprimante = named(new QLabel(GB_modele), "Lab_imprimante");
    const auto offsetBox = [this](const char *name) {
        auto *box = named(new QDoubleSpinBox(GB_modele), name);
        box->setLocale(QLocale(QLocale::French, QLocale::France));
        box->setRange(-PrintIni::kOffsetLimit, PrintIni::kOffsetLimit);
        box->setDecimals(1);
        box->setSingleStep(0.5);
        box->setSuffix(QStringLiteral(" mm"));
        box->setToolTip(kOffsetHint);
        box->setKeyboardTracking(false);
        return box;
    };
    Ed_decalage_x = offsetBox("Ed_decalage_x");
    Ed_decalage_y = offsetBox("Ed_decalage_y");
    B_calibration = named(new QPushButton(kCalibration, GB_modele), "B_calibration");
    B_calibration->setToolTip(kCalibrationHint);
    B_calibration->setAutoDefault(false);

    Ed_decalage_x->setPrefix(kOffsetX + QStringLiteral(" "));
    Ed_decalage_y->setPrefix(kOffsetY + QStringLiteral(" "));
    auto *grid = new QGridLayout(GB_modele);
    grid->addWidget(CB_modele, 0, 0, 1, 4);
    grid->addWidget(Lab_modele, 1, 0, 1, 4);
    grid->addWidget(startCaption, 2, 0);
    grid->addWidget(Ed_debut, 2, 1);
    grid->addWidget(B_calibration, 2, 2, 1, 2, Qt::AlignRight);
    grid->addWidget(Lab_imprimante, 3, 0);
    grid->addWidget(Ed_decalage_x, 3, 1, 1, 2);
    grid->addWidget(Ed_decalage_y, 3, 3);
    grid->setColumnStretch(0, 1);

    // Below the existing groups of "Généralités", whatever they are.
    if (auto *general = qobject_cast<QGridLayout *>(TabSheet1->layout())) {
        const int row = general->rowCount();
        general->addWidget(GB_modele, row, 0, 1, 2);
        general->addWidget(L_taille, row + 1, 0, 1, 2);
    }

    connect(GB_modele, &QGroupBox::toggled, this, &Tprinter::stockToggled);
    connect(CB_modele, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        chooseStock(CB_modele->itemData(index, kNameRole).toString());
    });
    connect(completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &index) { chooseStock(index.data(kNameRole).toString()); });
    connect(CB_modele->lineEdit(), &QLineEdit::editingFinished, this, &Tprinter::stockTextChosen);
    connect(Ed_debut, &QLineEdit::textChanged, this, &Tprinter::showStockState);
    connect(Ed_decalage_x, &QDoubleSpinBox::valueChanged, this, &Tprinter::offsetEdited);
    connect(Ed_decalage_y, &QDoubleSpinBox::valueChanged, this, &Tprinter::offsetEdited);
    connect(B_calibration, &QPushButton::clicked, this, &Tprinter::B_calibrationClick);
    // The size shown follows the layout (Rad_Click), the margins and the scale.
    connect(Ed_g, &QLineEdit::textChanged, this, &Tprinter::updateLabelSize);
    connect(Ed_h, &QLineEdit::textChanged, this, &Tprinter::updateLabelSize);
    connect(TrackBar1, &QSlider::valueChanged, this, &Tprinter::updateLabelSize);
    connect(CB_auto, &QCheckBox::toggled, this, &Tprinter::updateLabelSize);

    readPrintIni();
    stockToggled(GB_modele->isChecked());
}

void Tprinter::setStockCatalogue(const LabelStock::Catalogue *catalogue)
{
    m_catalogue = catalogue;
    m_stockListFilled = false;
    CB_modele->clear();
}

void Tprinter::fillStockList()
{
    if (m_stockListFilled)
        return;
    m_stockListFilled = true;
    if (!m_catalogue) {
        // The template files are read here, once for the whole run.
        BusyCursor busy;
        m_catalogue = &LabelStock::installed();
    }
    auto *model = new QStandardItemModel(CB_modele);
    for (const LabelStock::Template &t : m_catalogue->templates) {
        auto *item = new QStandardItem(t.supported() ? t.summary() : kRefusedItem.arg(t.summary()));
        item->setData(t.name(), kNameRole);
        if (!t.supported()) {
            // Listed, so that the user learns why, but not to be chosen.
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
            item->setToolTip(kRefused.arg(t.name(), t.refusal));
        } else {
            item->setToolTip(t.description);
        }
        model->appendRow(item);
    }
    const QString name = m_stockName;
    CB_modele->setModel(model);
    CB_modele->completer()->setModel(model);
    CB_modele->setCurrentIndex(-1);
    const bool any = !m_catalogue->templates.isEmpty();
    CB_modele->setToolTip(m_catalogue->problems.isEmpty() ? kStockHint
                                                          : kStockHint + QStringLiteral("\n\n") + m_catalogue->problems.join(u'\n'));
    CB_modele->setEnabled(any);
    if (!name.isEmpty() && any)
        chooseStock(name);
    else
        showStockState();
}

bool Tprinter::chooseStock(const QString &name)
{
    fillStockList();
    m_hasStock = false;
    m_stock = LabelStock::Template();
    const LabelStock::Template *t = m_catalogue ? m_catalogue->find(name) : nullptr;
    m_stockName = t ? t->name() : name.simplified();
    if (t) {
        for (int i = 0; i < CB_modele->count(); ++i)
            if (CB_modele->itemData(i, kNameRole).toString() == t->name()) {
                CB_modele->setCurrentIndex(i);
                break;
            }
        CB_modele->setEditText(t->supported() ? t->summary() : t->name());
        if (t->supported()) {
            m_stock = *t;
            m_hasStock = true;
        }
    }
    showStockState();
    updateLabelSize();
    return m_hasStock;
}

void Tprinter::stockTextChosen()
{
    QString text = CB_modele->currentText();
    // An item's text is "BRAND PART — size, count": the name is before the dash.
    const qsizetype dash = text.indexOf(QStringLiteral(" — "));
    if (dash >= 0)
        text = text.left(dash);
    if (text.simplified().isEmpty() || (m_hasStock && text.simplified().compare(m_stock.name(), Qt::CaseInsensitive) == 0))
        return;
    chooseStock(text);
}

const LabelStock::Template *Tprinter::chosenStock() const
{
    return m_hasStock ? &m_stock : nullptr;
}

QString Tprinter::stockProblem() const
{
    if (!GB_modele->isChecked())
        return {};
    if (m_catalogue && m_catalogue->templates.isEmpty())
        return m_catalogue->problems.isEmpty() ? kNoStock : m_catalogue->problems.first();
    if (!m_hasStock) {
        const LabelStock::Template *t = m_catalogue ? m_catalogue->find(m_stockName) : nullptr;
        if (t && !t->supported())
            return kRefused.arg(t->name(), t->refusal);
        if (!m_stockName.isEmpty() && m_catalogue)
            return kUnknownStock.arg(m_stockName);
        return kNoStock;
    }
    const int count = m_stock.labelsPerSheet();
    const auto start = parseInteger(Ed_debut->text());
    if (!start)
        return kBadStartText.arg(Ed_debut->text().trimmed()).arg(count);
    if (*start < 1 || *start > count)
        return LabelStock::kBadStart.arg(*start).arg(m_stock.name()).arg(count);
    return {};
}

void Tprinter::showStockState()
{
    // The missing package is said; damaged template files are named in the
    // list's hint (their stock is simply not listed).
    QString text;
    if (m_catalogue && !m_catalogue->problems.isEmpty()
        && (m_catalogue->templates.isEmpty() || m_catalogue->problems.first().startsWith(LabelStock::kNotInstalled.left(40))))
        text = m_catalogue->problems.first();
    const QString why = m_catalogue && GB_modele->isChecked() && (m_hasStock || !m_stockName.isEmpty())
                            ? stockProblem()
                            : QString();
    if (!why.isEmpty() && !text.contains(why))
        text = text.isEmpty() ? why : text + u'\n' + why;
    Lab_modele->setText(text);
    Lab_modele->setVisible(!text.isEmpty());
    B_calibration->setEnabled(m_hasStock);
}

void Tprinter::stockToggled(bool on)
{
    // On stock the grid, its margins, scale and separator lines do not apply:
    // the die-cut labels and the printer's offsets take their place.
    for (QWidget *w : {static_cast<QWidget *>(GroupFormat), static_cast<QWidget *>(GroupEchelle),
                       static_cast<QWidget *>(Ed_g), static_cast<QWidget *>(Ed_h), static_cast<QWidget *>(CB_line),
                       static_cast<QWidget *>(CB_auto)})
        w->setEnabled(!on);
    if (on && isVisible())
        fillStockList();
    showStockState();
    updateLabelSize();
}

QString Tprinter::currentPrinterName() const
{
    if (m_jobPrinter)
        return m_jobPrinter->outputFormat() == QPrinter::PdfFormat ? QString() : m_jobPrinter->printerName();
    return QPrinterInfo::defaultPrinterName();
}

QPointF Tprinter::offsetsFor(const QString &printer) const
{
    return m_offsets.value(printer);
}

void Tprinter::setOffsetsFor(const QString &printer, const QPointF &mm)
{
    const QPointF bounded(qBound(-PrintIni::kOffsetLimit, mm.x(), PrintIni::kOffsetLimit),
                          qBound(-PrintIni::kOffsetLimit, mm.y(), PrintIni::kOffsetLimit));
    if (bounded.isNull())
        m_offsets.remove(printer);
    else
        m_offsets.insert(printer, bounded);
    if (printer == m_offsetsPrinter)
        showOffsetsOfPrinter();
}

void Tprinter::showOffsetsOfPrinter()
{
    m_offsetsPrinter = currentPrinterName();
    const QString name = m_offsetsPrinter.isEmpty() ? kPdfPrinter : m_offsetsPrinter;
    // A long queue name is shortened on screen, whole in the hint.
    Lab_imprimante->setText(kOffsets.arg(name.size() > 24 ? name.left(22) + QStringLiteral("…") : name));
    Lab_imprimante->setToolTip(name + QStringLiteral(" : ") + kOffsetHint);
    const QPointF mm = offsetsFor(m_offsetsPrinter);
    const QSignalBlocker bx(Ed_decalage_x);
    const QSignalBlocker by(Ed_decalage_y);
    Ed_decalage_x->setValue(mm.x());
    Ed_decalage_y->setValue(mm.y());
}

void Tprinter::offsetEdited()
{
    setOffsetsFor(m_offsetsPrinter, QPointF(Ed_decalage_x->value(), Ed_decalage_y->value()));
}

void Tprinter::updateLabelSize()
{
    if (!L_taille)
        return;
    const SheetSettings s = settings();
    if (GB_modele->isChecked() && !s.onStock()) {
        L_taille->setText(LabelSize::kCaption.arg(QStringLiteral("choisissez un modèle de planche")));
        return;
    }
    // The grid's label depends on the printer's printable area: only worth
    // asking the printer while the dialog is there to show it.
    if (!s.onStock() && !isVisible())
        return;
    SheetPrint::Surface surface;
    if (!s.onStock())
        surface = SheetPrint::surface(jobPrinter(), s);
    L_taille->setText(LabelSize::caption(s, surface));
}

PrintIni Tprinter::currentPrintIni() const
{
    PrintIni ini;
    ini.onStock = GB_modele->isChecked();
    ini.stock = m_stockName;
    ini.start = parseInteger(Ed_debut->text()).value_or(1);
    if (ini.start < 1)
        ini.start = 1;
    ini.offsets = m_offsets;
    return ini;
}

void Tprinter::readPrintIni()
{
    const QString path = kalvane() ? kalvane()->startFile(PrintIni::kFileName) : QString();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    const QStringList lines = TextFile::readLines(path);
    const PrintIni ini = PrintIni::fromLines(lines);
    m_stockName = ini.stock;
    m_offsets = ini.offsets;
    Ed_debut->setText(QString::number(ini.start));
    GB_modele->setChecked(ini.onStock);
    m_writtenIni = ini.toLines();
}

void Tprinter::writePrintIni()
{
    const QString path = kalvane() ? kalvane()->startFile(PrintIni::kFileName) : QString();
    const QStringList lines = currentPrintIni().toLines();
    if (path.isEmpty() || lines == m_writtenIni)
        return;
    // Nothing chosen yet and no file: nothing to remember.
    if (m_writtenIni.isEmpty() && lines == PrintIni().toLines())
        return;
    QString error;
    if (!TextFile::writeLines(path, lines, &error)) {
        warn(kSettingsNotSaved.arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_writtenIni = lines;
}

void Tprinter::B_calibrationClick()
{
    if (!m_hasStock)
        return;
    QPrinter *printer = jobPrinter();
    printer->setDocName(Calibration::kTitle.arg(m_stock.name()));
    if (!desktop().print(this, printer))
        return;
    Calibration::Result result;
    {
        BusyCursor busy;
        const int copies = printer->copyCount();
        printer->setCopyCount(1);
        result = Calibration::print(printer, m_stock, [printer] { return printer->printerState() == QPrinter::Error; });
        printer->setCopyCount(copies);
    }
    // The offsets shown are those of the printer just chosen.
    showOffsetsOfPrinter();
    if (!result.printed)
        warn(result.error);
}

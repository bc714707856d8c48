#include "tools/rech.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "tools/classification.h"
#include "tools/rightfilledmaskedit.h"
#include "tools/substancegridmodel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QTextBrowser>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>

// What the search box and the name field keep of a typed text: accents of the
// folded letters removed, then upper case, for the characters typed, pasted
// or dropped only; the rest of the field stays as it was. Off while the window
// itself puts a record's name into the field, so a stored name is shown as it
// is.
class TypedTextValidator : public QValidator
{
public:
    using QValidator::QValidator;
    bool active = true;
    State validate(QString &input, int &pos) const override
    {
        if (active)
            input = SubstanceDatabase::foldInserted(m_last, input, &pos);
        m_last = input;
        return Acceptable;
    }

private:
    mutable QString m_last; // the field's text after the last change
};

namespace {

using Kind = IdentificationNumbers::Kind;

// Widths of the grid: the first column takes what the three number columns
// leave of the grid's width.
constexpr int kNumberColumnWidth = 80;
constexpr int kOtherColumnsWidth = 260;

template<typename T>
T *named(T *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

QString Trech::missingMessage(const QString &name)
{
    return QStringLiteral("La base de données ''") + name + QStringLiteral(" ''.csv'' est introuvable !");
}

Trech::Trech(QWidget *frame)
    : QWidget(frame, Qt::Window)
    , m_startDirectory(kalvane() ? kalvane()->startDirectory() : QString())
    , m_database(m_startDirectory)
{
    Application::noteCreated("Trech");
    setObjectName(QStringLiteral("Trech"));
    setWindowTitle(kCaption);
    resize(780, 640);

    // Search.
    GroupBox1 = named(new QGroupBox(kSearchGroup, this), "GroupBox1");
    LabSUBST = named(new QLineEdit(GroupBox1), "LabSUBST");
    LabSUBST->setToolTip(kSearchHint);
    LabSUBST->setValidator(new TypedTextValidator(LabSUBST));
    SpeedButton1 = named(new QToolButton(GroupBox1), "SpeedButton1");
    SpeedButton1->setToolTip(kClearSearchHint);
    SpeedButton1->setIcon(QIcon::fromTheme(QStringLiteral("edit-clear"), style()->standardIcon(QStyle::SP_LineEditClearButton)));
    SpeedButton1->setAutoRaise(true);
    Radnom = named(new QRadioButton(QStringLiteral("NOM"), GroupBox1), "Radnom");
    Radce = named(new QRadioButton(QStringLiteral("CE"), GroupBox1), "Radce");
    Radcas = named(new QRadioButton(QStringLiteral("CAS"), GroupBox1), "Radcas");
    Radindex = named(new QRadioButton(QStringLiteral("INDEX"), GroupBox1), "Radindex");
    RBd = named(new QRadioButton(kStartsWith, GroupBox1), "RBd");
    RBc = named(new QRadioButton(kContains, GroupBox1), "RBc");
    auto *columns = new QButtonGroup(this);
    for (QRadioButton *b : {Radnom, Radce, Radcas, Radindex})
        columns->addButton(b);
    auto *modes = new QButtonGroup(this);
    modes->addButton(RBd);
    modes->addButton(RBc);
    Radnom->setChecked(true);
    RBd->setChecked(true);
    auto *searchLayout = new QGridLayout(GroupBox1);
    searchLayout->setContentsMargins(6, 4, 6, 4);
    auto *boxRow = new QHBoxLayout;
    boxRow->setSpacing(2);
    boxRow->addWidget(LabSUBST, 1);
    boxRow->addWidget(SpeedButton1);
    searchLayout->addLayout(boxRow, 0, 0, 1, 2);
    auto *columnRow = new QHBoxLayout;
    for (QRadioButton *b : {Radnom, Radce, Radcas, Radindex})
        columnRow->addWidget(b);
    columnRow->addStretch(1);
    auto *modeRow = new QHBoxLayout;
    modeRow->addStretch(1);
    modeRow->addWidget(RBd);
    modeRow->addWidget(RBc);
    searchLayout->addLayout(columnRow, 1, 0);
    searchLayout->addLayout(modeRow, 1, 1);

    // Grid.
    m_model = new SubstanceGridModel(&m_database, this);
    StringGrid1 = named(new QTableView(this), "StringGrid1");
    StringGrid1->setModel(m_model);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    StringGrid1->setCornerButtonEnabled(false);
    StringGrid1->setSortingEnabled(false);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 4);
    StringGrid1->horizontalHeader()->setSectionsClickable(true);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StringGrid1->horizontalHeader()->setStretchLastSection(false);
    StringGrid1->horizontalHeader()->setToolTip(kSortHint);
    StringGrid1->setProperty("tag", 1);
    StringGrid1->installEventFilter(this);
    StringGrid1->viewport()->installEventFilter(this);
    StringGrid1->horizontalHeader()->viewport()->installEventFilter(this);

    // Record panel.
    GroupBox2 = named(new QGroupBox(kRecordGroup, this), "GroupBox2");
    LabNOM = named(new QLineEdit(GroupBox2), "LabNOM");
    m_nomValidator = new TypedTextValidator(LabNOM);
    LabNOM->setValidator(m_nomValidator);
    LabNOM->installEventFilter(this);
    LabCE = named(new MaskEdit(IdentificationNumbers::emptyText(Kind::CE), true, GroupBox2), "LabCE");
    LabCAS = named(new RightFilledMaskEdit(IdentificationNumbers::emptyText(Kind::CAS), false, GroupBox2), "LabCAS");
    LabINDEX = named(new MaskEdit(IdentificationNumbers::emptyText(Kind::INDEX), false, GroupBox2), "LabINDEX");
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (MaskEdit *e : {LabCE, static_cast<MaskEdit *>(LabCAS), LabINDEX}) {
        e->setFont(mono);
        e->setFixedWidth(QFontMetrics(mono).horizontalAdvance(QStringLiteral("0000000000000")) + 10);
    }
    B_completer_index = named(new QPushButton(kCompleteIndex, GroupBox2), "B_completer_index");
    B_completer_index->setAutoDefault(false);
    // Offered or not, it keeps its place: the fields do not move under the mouse.
    QSizePolicy keepPlace = B_completer_index->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    B_completer_index->setSizePolicy(keepPlace);
    B_completer_index->hide();
    // The numbers one under the other, so that the harmonised classification
    // has the room beside them.
    auto *panelLayout = new QGridLayout(GroupBox2);
    panelLayout->setContentsMargins(6, 4, 6, 4);
    panelLayout->addWidget(new QLabel(QStringLiteral("NOM :"), GroupBox2), 0, 0, Qt::AlignRight);
    panelLayout->addWidget(LabNOM, 0, 1, 1, 2);
    panelLayout->addWidget(new QLabel(QStringLiteral("CE :"), GroupBox2), 1, 0, Qt::AlignRight);
    panelLayout->addWidget(LabCE, 1, 1);
    panelLayout->addWidget(new QLabel(QStringLiteral("CAS :"), GroupBox2), 2, 0, Qt::AlignRight);
    panelLayout->addWidget(LabCAS, 2, 1);
    panelLayout->addWidget(new QLabel(QStringLiteral("INDEX :"), GroupBox2), 3, 0, Qt::AlignRight);
    panelLayout->addWidget(LabINDEX, 3, 1);
    panelLayout->addWidget(B_completer_index, 3, 2, Qt::AlignLeft);
    panelLayout->setColumnStretch(2, 1);
    panelLayout->setRowStretch(4, 1);

    // The harmonised classification of the record.
    Classification = named(new QGroupBox(kClassificationGroup, this), "Classification");
    Memo_classification = named(new QTextBrowser(Classification), "Memo_classification");
    Memo_classification->setOpenLinks(false);
    Memo_classification->setLineWrapMode(QTextEdit::WidgetWidth);
    Memo_classification->setMinimumHeight(Memo_classification->fontMetrics().lineSpacing() * 8 + 12);
    Lab_tableau = named(new QLabel(Classification), "Lab_tableau");
    Lab_tableau->setWordWrap(true);
    B_importer_classification = named(new QPushButton(kImport, Classification), "B_importer_classification");
    B_importer_classification->setAutoDefault(false);
    B_importer_classification->setToolTip(
        QStringLiteral("Remplacer le tableau en usage par un tableau de l'annexe VI publié par l'Agence (.xlsx)"));
    auto *classificationLayout = new QVBoxLayout(Classification);
    classificationLayout->setContentsMargins(6, 4, 6, 4);
    classificationLayout->addWidget(Memo_classification, 1);
    auto *tableRow = new QHBoxLayout;
    tableRow->addWidget(Lab_tableau, 1);
    tableRow->addWidget(B_importer_classification, 0, Qt::AlignBottom);
    classificationLayout->addLayout(tableRow);

    // Database choice and buttons.
    ComboBox1 = named(new QComboBox(this), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setCompleter(nullptr); // a completed name would open a database while typing
    ComboBox1->setMinimumContentsLength(16);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Button1 = named(new QPushButton(kCopy, this), "Button1");
    Button1->setToolTip(kCopyHint);
    Button2 = named(new QPushButton(kClear, this), "Button2");
    Button2->setToolTip(kClearHint);
    Button3 = named(new QPushButton(kSave, this), "Button3");
    Button3->setToolTip(kSaveHint);
    Button4 = named(new QPushButton(kDelete, this), "Button4");
    Button4->setToolTip(kDeleteHint);
    Button5 = named(new QPushButton(kClose, this), "Button5");
    Button5->setToolTip(kCloseHint);
    for (QPushButton *b : {Button1, Button2, Button3, Button4, Button5})
        b->setAutoDefault(false);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(kDatabaseLabel, this));
    bottom->addWidget(ComboBox1);
    bottom->addStretch(1);
    for (QPushButton *b : {Button1, Button2, Button3, Button4, Button5})
        bottom->addWidget(b);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(GroupBox1);
    layout->addWidget(StringGrid1, 1);
    auto *record = new QHBoxLayout;
    record->addWidget(GroupBox2, 2);
    record->addWidget(Classification, 3);
    layout->addLayout(record);
    layout->addLayout(bottom);

    // Behaviour.
    connect(LabSUBST, &QLineEdit::textChanged, this, [this] { search(); });
    connect(SpeedButton1, &QToolButton::clicked, LabSUBST, &QLineEdit::clear);
    for (QRadioButton *b : {Radnom, Radce, Radcas, Radindex})
        connect(b, &QRadioButton::clicked, this, [this] { search(); });
    for (QRadioButton *b : {RBd, RBc})
        connect(b, &QRadioButton::clicked, this, [this] { modeClicked(); });
    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_selecting && current.isValid())
                    StringGrid1SelectCell(current.row() + 1);
            });
    // A click on the row that is already current picks it too.
    connect(StringGrid1, &QTableView::pressed, this, [this](const QModelIndex &index) {
        if (index.isValid())
            StringGrid1SelectCell(index.row() + 1);
    });
    connect(StringGrid1, &QTableView::doubleClicked, this, [this] { StringGrid1DblClick(); });
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this](int column) { StringGrid1HeaderPressed(column); });
    connect(LabNOM, &QLineEdit::textChanged, this, [this] { LabNOMChange(); });
    connect(LabCE, &MaskEdit::left, this, [this] { verifyNumber(LabCE, Kind::CE); });
    connect(LabCAS, &MaskEdit::left, this, [this] { verifyNumber(LabCAS, Kind::CAS); });
    connect(LabINDEX, &MaskEdit::left, this, [this] { verifyNumber(LabINDEX, Kind::INDEX); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    for (MaskEdit *e : {LabCE, static_cast<MaskEdit *>(LabCAS), LabINDEX})
        connect(e, &MaskEdit::valueChanged, this, [this] {
            if (!m_fillingPanel)
                showClassification();
        });
    connect(B_completer_index, &QPushButton::clicked, this, [this] { B_completer_indexClick(); });
    connect(B_importer_classification, &QPushButton::clicked, this, [this] { B_importer_classificationClick(); });

    // The database list, found once; the default database is shown.
    ComboBox1->addItems(m_database.fileNames());
    ComboBox1->setEditText(m_database.name() + SubstanceDatabase::kExtension);
    ComboBox1->setToolTip(ComboBox1->currentText());
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString &text) { ComboBox1Change(text); });
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int index) { ComboBox1Confirm(ComboBox1->itemText(index)); });
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { ComboBox1Confirm(ComboBox1->currentText()); });

    LabNOMChange();
    fitColumns();
}

Trech::~Trech() = default;

void Trech::showWindow()
{
    show();
    raise();
    activateWindow();
    // The database is read on the first showing rather than at start-up, so
    // a large or missing database neither slows nor interrupts the start.
    if (!m_loaded) {
        m_loaded = true;
        loadDatabase();
    }
    showTable();
    showClassification();
}

int Trech::gridRowCount() const
{
    return m_model->rowCount() + 1;
}

void Trech::showCount(int shown, bool loading)
{
    setWindowTitle(kCaptionCount + QString::number(shown) + (shown < 2 && !loading ? kItem : kItems));
}

void Trech::loadDatabase()
{
    m_model->setRecords({});
    QString error;
    const SubstanceDatabase::LoadResult result = m_database.load(&error);
    m_lastLoadOk = result == SubstanceDatabase::LoadResult::Loaded;
    if (result == SubstanceDatabase::LoadResult::Missing) {
        StringGrid1->setProperty("tag", 1);
        desktop().message(this, kWarningTitle, missingMessage(m_database.name()), Desktop::Icon::Critical,
                          Desktop::Ok);
        return;
    }
    if (result == SubstanceDatabase::LoadResult::Failed) {
        StringGrid1->setProperty("tag", 1);
        desktop().message(this, kWarningTitle, error, Desktop::Icon::Critical, Desktop::Ok);
        return;
    }
    // Cut short by a NUL byte: what was read is shown, and the database
    // refuses to be written.
    if (result == SubstanceDatabase::LoadResult::Partial)
        desktop().message(this, kWarningTitle, error, Desktop::Icon::Warning, Desktop::Ok);
    // An empty file has no header line either: it holds no record.
    StringGrid1->setProperty("tag", qMax(1, m_database.lineCount()));
    showCount(m_database.count(), true);
    m_model->showAll();
    selectFirstRow();
}

SubstanceDatabase::Field Trech::chosenField() const
{
    if (Radce->isChecked())
        return SubstanceDatabase::Ce;
    if (Radcas->isChecked())
        return SubstanceDatabase::Cas;
    if (Radindex->isChecked())
        return SubstanceDatabase::Index;
    return SubstanceDatabase::Nom;
}

void Trech::search()
{
    clearPanel();
    setWindowTitle(kPatience);
    const QList<int> found = m_database.search(LabSUBST->text(), chosenField(),
                                               RBc->isChecked() ? SubstanceDatabase::Match::Contains
                                                                : SubstanceDatabase::Match::StartsWith);
    m_model->setRecords(found);
    selectFirstRow();
    StringGrid1->setProperty("tag", int(found.size()) + 1);
    showCount(int(found.size()), false);
}

void Trech::selectFirstRow()
{
    // Moving to the first row shows where the list starts; it does not pick
    // that record.
    m_selecting = true;
    StringGrid1->scrollToTop();
    StringGrid1->setCurrentIndex(m_model->index(0, 0));
    StringGrid1->selectRow(0);
    m_selecting = false;
}

void Trech::modeClicked()
{
    search();
    LabSUBST->setFocus(Qt::OtherFocusReason);
    LabSUBST->deselect();
    LabSUBST->setCursorPosition(int(LabSUBST->text().size()));
}

void Trech::clearPanel()
{
    m_fillingPanel = true;
    LabNOM->clear();
    LabCE->setValue(LabCE->emptyText());
    LabCAS->setValue(LabCAS->emptyText());
    LabINDEX->setValue(LabINDEX->emptyText());
    m_fillingPanel = false;
    showClassification();
}

void Trech::setPanel(const SubstanceDatabase::Record &stored)
{
    m_fillingPanel = true;
    m_nomValidator->active = false;
    LabNOM->setText(stored.nom);
    LabNOM->setCursorPosition(0);
    m_nomValidator->active = true;
    LabCE->setValue(SubstanceDatabase::fieldText(Kind::CE, stored.ce));
    LabCAS->setValue(SubstanceDatabase::fieldText(Kind::CAS, stored.cas));
    LabINDEX->setValue(SubstanceDatabase::fieldText(Kind::INDEX, stored.index));
    m_fillingPanel = false;
    showClassification();
}

void Trech::StringGrid1SelectCell(int row)
{
    Tag = row;
    setPanel(m_model->cells(row - 1));
}

void Trech::StringGrid1DblClick()
{
    // A spare row holds no record: copying it would blank the label's name.
    if (m_model->recordAt(Tag - 1) < 0)
        return;
    const SubstanceDatabase::Record r = m_model->cells(Tag - 1);
    copyToLabel(r.nom, SubstanceDatabase::fieldText(Kind::CE, r.ce), SubstanceDatabase::fieldText(Kind::CAS, r.cas),
                SubstanceDatabase::fieldText(Kind::INDEX, r.index));
}

void Trech::StringGrid1HeaderPressed(int column)
{
    m_model->sortByColumn(column, m_ascending);
    m_ascending = !m_ascending;
}

void Trech::copyToLabel(const QString &nom, const QString &ce, const QString &cas, const QString &index)
{
    TMDIChild *label = Form_base() ? Form_base()->activeLabel() : nullptr;
    if (!label)
        return;
    // As typed: each field's own change signal refreshes the preview and
    // marks the label changed. The name goes whole, however long: the label's
    // limit applies to typing only.
    label->Memo_S->setPlainText(nom);
    label->maskCE->setValue(ce);
    label->maskCAS->setValue(cas);
    label->maskINDEX->setValue(index);
}

void Trech::Button1Click()
{
    if (LabNOM->text().isEmpty())
        return;
    copyToLabel(LabNOM->text(), LabCE->value(), LabCAS->value(), LabINDEX->value());
}

void Trech::Button2Click()
{
    if (LabSUBST->text().isEmpty())
        search();
    else
        LabSUBST->clear();
    clearPanel();
    LabSUBST->setFocus(Qt::OtherFocusReason);
}

void Trech::Button3Click()
{
    if (LabNOM->text().isEmpty())
        return;
    const SubstanceDatabase::Record r{LabNOM->text(), SubstanceDatabase::storedNumber(Kind::CE, LabCE->value()),
                                      SubstanceDatabase::storedNumber(Kind::CAS, LabCAS->value()),
                                      SubstanceDatabase::storedNumber(Kind::INDEX, LabINDEX->value())};
    QString error;
    if (!m_database.save(r, &error)) {
        desktop().message(this, kRefusalTitle, error, Desktop::Icon::Warning, Desktop::Ok);
        return;
    }
    // The lists now hold the file's content in the file's order, as reading
    // it again would give.
    m_lastLoadOk = true;
    StringGrid1->setProperty("tag", m_database.lineCount());
    m_model->showAll();
    search();
    if (!error.isEmpty()) // written, but not confirmed on the disk
        desktop().message(this, kRefusalTitle, error, Desktop::Icon::Warning, Desktop::Ok);
    else
        desktop().message(this, kInfoTitle, kSaved, Desktop::Icon::Information, Desktop::Ok);
}

void Trech::Button4Click()
{
    if (LabNOM->text().isEmpty())
        return;
    if (desktop().message(this, kAttentionTitle, kDeleteQuestion, Desktop::Icon::Warning, Desktop::Yes | Desktop::No)
        != Desktop::Yes)
        return;
    QString error;
    if (!m_database.remove(LabNOM->text(), &error)) {
        desktop().message(this, kRefusalTitle, error, Desktop::Icon::Warning, Desktop::Ok);
        return;
    }
    m_lastLoadOk = true;
    clearPanel();
    m_model->showAll();
    search();
    if (!error.isEmpty()) // written, but not confirmed on the disk
        desktop().message(this, kRefusalTitle, error, Desktop::Icon::Warning, Desktop::Ok);
}

void Trech::Button5Click()
{
    hide();
}

void Trech::LabNOMChange()
{
    const bool any = !LabNOM->text().isEmpty();
    Button1->setEnabled(any && Form_base() && Form_base()->activeLabel());
    Button2->setEnabled(any);
    Button3->setEnabled(any);
    Button4->setEnabled(any);
    if (!m_fillingPanel)
        showClassification();
}

void Trech::ComboBox1Change(const QString &text)
{
    m_confirmedText.clear();
    ComboBox1->setToolTip(text);
    chooseDatabase(text, false);
}

void Trech::ComboBox1Confirm(const QString &text)
{
    // The combo hands one Enter to its line edit twice; a text confirmed once
    // is not opened (nor reported missing) again until it changes.
    if (text == m_confirmedText)
        return;
    m_confirmedText = text;
    chooseDatabase(text, true);
}

void Trech::chooseDatabase(const QString &text, bool confirmed)
{
    const QString name = SubstanceDatabase::nameFromText(text);
    QString error;
    if (!SubstanceDatabase::isValidName(name, &error)) {
        // Only a confirmed name is worth a word: half-typed ones are normal.
        if (confirmed)
            desktop().message(this, kRefusalTitle, error, Desktop::Icon::Warning, Desktop::Ok);
        return;
    }
    if (confirmed && name == m_database.name() && m_lastLoadOk)
        return; // picked or confirmed what is already open
    if (!confirmed) {
        // While typing, only the full file name of an existing database opens
        // it ("labo" on the way to "labo2.csv" does not).
        if (!text.endsWith(SubstanceDatabase::kExtension) || !QFileInfo(m_database.folder() + name + SubstanceDatabase::kExtension).isFile())
            return;
    }
    m_database.setName(name);
    m_loaded = true;
    loadDatabase();
    search();
}

void Trech::verifyNumber(MaskEdit *field, Kind kind)
{
    if (m_verifying)
        return;
    const IdentificationNumbers::Verification v = IdentificationNumbers::verify(kind, field->value());
    if (v.result == IdentificationNumbers::Verification::Cleared) {
        field->setValue(v.corrected);
        return;
    }
    if (v.result != IdentificationNumbers::Verification::Wrong)
        return;
    m_verifying = true;
    if (desktop().message(this, IdentificationNumbers::kQuestionTitle, IdentificationNumbers::question(kind),
                          Desktop::Icon::Question, Desktop::Yes | Desktop::No)
        == Desktop::Yes)
        field->setValue(v.corrected);
    field->setFocus(Qt::OtherFocusReason);
    m_verifying = false;
}

void Trech::fitColumns()
{
    // The number columns are 80 pixels wide, or what the longest number needs
    // in the grid's font when that is more; the name column takes the rest
    // (the grid's width less the three and 20 pixels of frame and scroll bar).
    const int cellMargins = 2 * StringGrid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, StringGrid1) + 8;
    const int numberWidth = qMax(kNumberColumnWidth,
                                 StringGrid1->fontMetrics().horizontalAdvance(QStringLiteral("000-000-00-0")) + cellMargins);
    const int others = kOtherColumnsWidth + 3 * (numberWidth - kNumberColumnWidth);
    StringGrid1->setColumnWidth(SubstanceDatabase::Nom, qMax(numberWidth, StringGrid1->width() - others));
    for (int c = SubstanceDatabase::Ce; c <= SubstanceDatabase::Index; ++c)
        StringGrid1->setColumnWidth(c, numberWidth);
}

bool Trech::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == StringGrid1 && event->type() == QEvent::Resize)
        fitColumns();
    if ((watched == StringGrid1->viewport() || watched == StringGrid1->horizontalHeader()->viewport())
        && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        StringGrid1->scrollToTop();
        return true;
    }
    if (watched == LabNOM) {
        if (event->type() == QEvent::Enter)
            LabNOM->setToolTip(LabNOM->text());
        else if (event->type() == QEvent::Leave)
            LabNOM->setToolTip(QString());
    }
    return QWidget::eventFilter(watched, event);
}

void Trech::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Button1->setEnabled(!LabNOM->text().isEmpty() && Form_base() && Form_base()->activeLabel());
    QWidget::changeEvent(event);
}

// ---------------------------------------------------------------- harmonised classification

namespace {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString joined(const QStringList &values, const QString &separator = QStringLiteral(" ; "))
{
    return values.isEmpty() ? QStringLiteral("-") : escaped(values.join(separator));
}

// One entry as the panel shows it; `by` names the record's numbers that name it.
QString entryHtml(const HarmonisedEntry &e, const QStringList &by)
{
    QString html = QStringLiteral("<p style=\"margin-top:0; margin-bottom:6px\"><b>INDEX %1</b> : %2<br>")
                       .arg(escaped(e.index), joined(e.names));
    QStringList numbers = by;
    const QString last = numbers.takeLast();
    html += numbers.isEmpty()
                ? QStringLiteral("<i>désignée par le n° %1 de la fiche</i><br>").arg(last)
                : QStringLiteral("<i>désignée par les n° %1 et %2 de la fiche</i><br>")
                      .arg(numbers.join(QStringLiteral(", ")), last);
    html += QStringLiteral("CE : %1 &nbsp; CAS : %2<br>").arg(joined(e.ec, QStringLiteral(", ")), joined(e.cas, QStringLiteral(", ")));
    QStringList classes;
    for (const auto &c : e.classes)
        classes.append(c.second.isEmpty() ? c.first : c.first + QStringLiteral(" (") + c.second + u')');
    html += QStringLiteral("Classes et catégories de danger : %1<br>").arg(joined(classes));
    QStringList pictograms = e.pictograms;
    pictograms += e.otherLabelling;
    html += QStringLiteral("Pictogrammes : %1 &nbsp; Mention d'avertissement : %2<br>")
                .arg(joined(pictograms, QStringLiteral(" ")),
                     e.signalWord.isEmpty() ? QStringLiteral("-") : escaped(e.signalWord));
    html += QStringLiteral("Mentions de danger : %1<br>").arg(joined(e.hazards));
    html += QStringLiteral("Mentions EUH : %1").arg(joined(e.supplemental));
    // One limit a line: each is a class, a statement and a range.
    if (!e.limits.isEmpty())
        html += QStringLiteral("<br>Limites de concentration spécifiques, facteurs M :<br>&nbsp;&nbsp;")
                + joined(e.limits, QStringLiteral("\n")).replace(u'\n', QStringLiteral("<br>&nbsp;&nbsp;"));
    if (!e.notes.isEmpty())
        html += QStringLiteral("<br>Notes : %1").arg(joined(e.notes, QStringLiteral(" ")));
    return html + QStringLiteral("</p>");
}

} // namespace

std::shared_ptr<const HarmonisedTable> Trech::harmonisedTable(QString *error) const
{
    return HarmonisedTable::shared(m_startDirectory, error);
}

void Trech::showTable()
{
    QString error;
    const auto table = harmonisedTable(&error);
    if (!error.isEmpty()) {
        Lab_tableau->setText(QStringLiteral("Tableau en usage : aucun (illisible)"));
        Lab_tableau->setToolTip(error);
        return;
    }
    Lab_tableau->setText(QStringLiteral("Tableau en usage : %1, %2 entrées")
                             .arg(table->date.isEmpty() ? QStringLiteral("date inconnue") : table->date,
                                  QString::number(table->entries.size())));
    Lab_tableau->setToolTip(table->title + QStringLiteral("\nSource : ") + table->source);
}

void Trech::showClassification()
{
    // Read when the window is first shown, not at start-up.
    if (!m_loaded)
        return;
    B_completer_index->hide();
    m_indexOffered.clear();
    QString error;
    const auto table = harmonisedTable(&error);
    if (!error.isEmpty()) {
        Memo_classification->setHtml(
            QStringLiteral("<p><b>La classification harmonisée ne peut pas être lue :</b><br>%1</p>"
                           "<p>« %2 » la remplace par un tableau de l'Agence.</p>")
                .arg(escaped(error), escaped(kImport)));
        return;
    }
    // The record's numbers, INDEX first.
    const struct {
        Kind kind;
        MaskEdit *field;
        QString name;
    } fields[] = {{Kind::INDEX, LabINDEX, QStringLiteral("INDEX")},
                  {Kind::CAS, LabCAS, QStringLiteral("CAS")},
                  {Kind::CE, LabCE, QStringLiteral("CE")}};
    QList<const HarmonisedEntry *> entries;
    QList<QStringList> by;
    bool anyNumber = false;
    QList<const HarmonisedEntry *> byCas;
    for (const auto &f : fields) {
        const QString number = SubstanceDatabase::storedNumber(f.kind, f.field->value()).trimmed();
        if (number == QLatin1String("-") || number.isEmpty())
            continue;
        anyNumber = true;
        const SubstanceNumber checked = SubstanceNumber::check(number);
        // A number the table writes with another check digit is still its own.
        const QList<const HarmonisedEntry *> found =
            checked.kind != SubstanceNumber::Invalid ? table->find(checked) : table->findAsWritten(number);
        if (f.kind == Kind::CAS && checked.kind == SubstanceNumber::Cas)
            byCas = found;
        for (const HarmonisedEntry *e : found) {
            const qsizetype at = entries.indexOf(e);
            if (at < 0) {
                entries.append(e);
                by.append({f.name});
            } else {
                by[at].append(f.name);
            }
        }
    }
    if (entries.isEmpty()) {
        if (!anyNumber && LabNOM->text().isEmpty())
            Memo_classification->clear();
        else
            Memo_classification->setHtml(QStringLiteral("<p>%1%2</p>")
                                             .arg(kNoClassification,
                                                  anyNumber ? QString()
                                                            : QStringLiteral(" (la fiche n'a pas de numéro CE, CAS ni INDEX)")));
        return;
    }
    QString html;
    if (entries.size() > 1)
        html += QStringLiteral("<p style=\"margin-top:0\"><b>%1 entrées</b> sont désignées par les numéros de la fiche.</p>")
                    .arg(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        html += entryHtml(*entries.at(i), by.at(i));
    Memo_classification->setHtml(html);

    // An empty INDEX that the CAS number fixes without doubt.
    if (LabINDEX->value() == LabINDEX->emptyText() && byCas.size() == 1) {
        m_indexOffered = byCas.constFirst()->index;
        B_completer_index->setToolTip(QStringLiteral("Mettre dans le champ INDEX le n° %1 de l'entrée harmonisée "
                                                     "de ce n° CAS (« &Enregistrer » l'écrit dans la base)")
                                          .arg(m_indexOffered));
        B_completer_index->show();
    }
}

void Trech::B_completer_indexClick()
{
    if (m_indexOffered.isEmpty() || LabINDEX->value() != LabINDEX->emptyText())
        return;
    // As typed: the record is written by "&Enregistrer".
    LabINDEX->setValue(m_indexOffered);
}

void Trech::B_importer_classificationClick()
{
    if (m_importing)
        return;
    Desktop::FileDialog d;
    d.title = kImportTitle;
    d.folder = QDir::currentPath();
    d.filter = QStringLiteral("Tableau de l'annexe VI (.xlsx)|*.xlsx");
    const QStringList files = desktop().openFiles(this, d);
    if (files.isEmpty())
        return;
    const QString path = files.constFirst();
    const QString name = QFileInfo(path).fileName();
    m_importing = true;
    auto progress = std::make_unique<QProgressDialog>(QStringLiteral("Import de « %1 »...").arg(name),
                                                      QStringLiteral("Annuler"), 0, 1000, this);
    progress->setObjectName(QStringLiteral("Progression_import"));
    auto *stop = new QPushButton(QStringLiteral("Annuler"), progress.get());
    progress->setCancelButton(stop);
    progress->setWindowTitle(kImportTitle);
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(0);
    progress->setMinimumWidth(progress->fontMetrics().horizontalAdvance(kImportTitle + name) + 120);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    keepAbovePreview(progress.get());
    progress->setValue(0);
    // Reading and checking the workbook take the bar to 95 %; writing the
    // data file and reading it back, the rest.
    HarmonisedTable table;
    QString error;
    const bool imported = HarmonisedTable::importXlsx(path, &table, &error, [&progress](int permille) {
        progress->setValue(permille * 95 / 100);
        return !progress->wasCanceled();
    });
    bool written = false;
    if (imported) {
        // The file is replaced whole or not at all: nothing left to stop.
        stop->setEnabled(false);
        progress->setLabelText(QStringLiteral("Enregistrement de « %1 »...").arg(HarmonisedTable::kFileName));
        progress->setValue(960);
        written = table.write(QDir(m_startDirectory).absoluteFilePath(HarmonisedTable::kFileName), &error);
        if (written) {
            HarmonisedTable::forgetShared();
            showTable();
            showClassification();
            progress->setValue(1000);
        }
    }
    progress.reset();
    m_importing = false;
    const QString kept = QStringLiteral("\nLa classification harmonisée en usage est conservée.");
    if (!imported) {
        desktop().message(this, kRefusalTitle,
                          QStringLiteral("Le classeur « %1 » n'est pas importé : %2").arg(name, error) + kept,
                          Desktop::Icon::Warning, Desktop::Ok);
        return;
    }
    if (!written) {
        desktop().message(this, kRefusalTitle, error + kept, Desktop::Icon::Warning, Desktop::Ok);
        return;
    }
    desktop().message(this, kInfoTitle,
                      QStringLiteral("La classification harmonisée a été importée de « %1 » : %2 entrées, %3.\n\n%4")
                          .arg(name, QString::number(table.entries.size()),
                               table.date.isEmpty() ? QStringLiteral("date inconnue") : table.date, table.title),
                      Desktop::Icon::Information, Desktop::Ok);
}

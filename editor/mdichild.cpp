#include "editor/mdichild.h"

#include "editor/catalogue.h"
#include "editor/checkdigits.h"
#include "editor/complementstab.h"
#include "editor/pictogramrules.h"
#include "render/jpegcodec.h"
#include "editor/hppicto.h"
#include "editor/labelwidgets.h"
#include "shell/application.h"
#include "shell/base.h"

#include <QMdiArea>
#include <QTabBar>
#include "shell/desktop.h"
#include "shell/errorbox.h"
#include "shell/labelfile.h"
#include "shell/storabletext.h"
#include "tools/four.h"
#include "tools/printer.h"
#include "tools/rech.h"
#include "tools/suppliercard.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

const QString kPictoTab = QStringLiteral(" Pictogrammes, identifications, avertissement et commentaires ");
const QString kTabH = QStringLiteral(" Phrases H  ");
const QString kTabP = QStringLiteral(" Phrases P  ");
const QString kTabEUH = QStringLiteral("Phrases EUH");
const QString kNoPictogram = QStringLiteral("Aucun pictogramme sélectionné");
const QString kOnePictogramHint = QStringLiteral("Double-cliquer pour supprimer");
const QString kSeveralPictogramsHint = QStringLiteral("Cliquer-glisser pour déplacer\nDouble-cliquer pour supprimer");
const QString kNumberingHint = QStringLiteral("Cocher pour imprimer seulement la numérotation des phrases sélectionnées");
const QString kMissingCatalogue = QStringLiteral("Le fichier \"%1\" est introuvable,\nl'application va se terminer !");

// The label's texts as named in the messages about them.
const QString kProductField = QStringLiteral("le nom du produit");
const QString kSupplierField = QStringLiteral("le fournisseur");
const QString kCommentField = QStringLiteral("le commentaire");
const QString kSignalWordField = QStringLiteral("la mention d'avertissement");
const QString kStatementField = QStringLiteral("la phrase %1");
const QString kFontField = QStringLiteral("la police");
const QString kLogoField = QStringLiteral("le nom du fichier du logo");

QString named(QWidget *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w->objectName();
}

QToolButton *imageButton(QWidget *parent, const char *name, const QString &hint, QStyle::StandardPixmap icon,
                         const char *themeIcon = nullptr)
{
    auto *b = new QToolButton(parent);
    named(b, name);
    b->setToolTip(hint);
    const QIcon fallback = parent->style()->standardIcon(icon);
    b->setIcon(themeIcon ? QIcon::fromTheme(QString::fromLatin1(themeIcon), fallback) : fallback);
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    return b;
}

// The maroon rounded square shown around a selected pictogram.
QPixmap selectionFramePicture()
{
    QPixmap pix(36, 36);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 0, 0), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 1, 34, 34), 6, 6);
    return pix;
}

Qt::Alignment alignmentFor(int code)
{
    switch (code) {
    case AlignLeftCode: return Qt::AlignLeft;
    case AlignRightCode: return Qt::AlignRight;
    default: return Qt::AlignHCenter;
    }
}

void alignAll(QPlainTextEdit *edit, Qt::Alignment alignment)
{
    QTextOption option = edit->document()->defaultTextOption();
    option.setAlignment(alignment);
    edit->document()->setDefaultTextOption(option);
}

const QString kLogoPathTooLong = QStringLiteral("Le chemin du logo « %1 » est trop long pour être enregistré.");
const QString kLogoUnusable = QStringLiteral("Le logo « %1 » ne peut pas être affiché : %2");

// The label window shows its logo small: decoded through the program's codec
// (regular files of sane size only), at a reduced scale when it is large.
bool loadLogoPicture(const QString &path, QImage *picture, QString *error)
{
    return JpegCodec::decodeFile(path, picture, error, QSize(92, 92));
}

// A pictogram of the chooser, 32 x 32: decoded once per program run and
// shared by every label window (a new window is created at each "Nouveau"
// and each opened file); a file changed on disk is read anew. A file that
// cannot be decoded gives a null picture, remembered as well.
QImage chooserPicture(const QString &path)
{
    struct Kept {
        QDateTime modified;
        qint64 size = -1;
        QImage picture;
    };
    static QHash<QString, Kept> kept;
    const QFileInfo info(path);
    const auto it = kept.constFind(path);
    if (it != kept.constEnd() && it->modified == info.lastModified() && it->size == info.size())
        return it->picture;
    QImage picture;
    JpegCodec::decodeFile(path, &picture, nullptr, QSize(32, 32));
    if (!picture.isNull())
        picture = picture.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    kept.insert(path, {info.lastModified(), info.size(), picture});
    return picture;
}

} // namespace

TMDIChild::TMDIChild(QWidget *frame)
    : QWidget(frame)
{
    setObjectName(QStringLiteral("TMDIChild"));
    setWindowTitle(QStringLiteral("Étiquette n°1"));
    // The compact dialog font of a form: the four tab captions fit side by
    // side and the window fits the frame at its first size.
    QFont formFont(QStringLiteral("Arial"));
    formFont.setPointSize(8);
    setFont(formFont);
    PageControl1 = new QTabWidget(this);
    named(PageControl1, "PageControl1");
    // The five captions need a little more than the frame's first width: the
    // tab bar scrolls rather than widening the window past the frame.
    PageControl1->setUsesScrollButtons(true);
    PageControl1->setElideMode(Qt::ElideNone);
    PageControl1->addTab(buildPictogramTab(), kPictoTab);
    PageControl1->addTab(buildStatementTab(2, QStringLiteral("Mentions de danger "), &CheckListBox2, &RH, &Image11,
                                           "CheckListBox2", "RH", "Image11", QStringLiteral("H..."), 1, 20,
                                           QStringLiteral("Rechercher dans les phrases H")),
                         kTabH);
    PageControl1->addTab(buildStatementTab(3, QStringLiteral("Conseils de prudence "), &CheckListBox3, &RP, &Image12,
                                           "CheckListBox3", "RP", "Image12", QStringLiteral("P..."), 1, 20,
                                           QStringLiteral("Rechercher dans les phrases P")),
                         kTabP);
    PageControl1->addTab(buildStatementTab(4, QStringLiteral("Informations supplémentaires "), &CheckListBox4, &REUH,
                                           &Image13, "CheckListBox4", "REUH", "Image13", QStringLiteral("EUH..."), 3,
                                           22, QStringLiteral("Rechercher dans les phrases EUH")),
                         kTabEUH);
    Complements = new ComplementsTab;
    PageControl1->addTab(Complements, ComplementsTab::kCaption);
    connect(Complements, &ComplementsTab::changed, this, &TMDIChild::markModified);
    connect(Complements, &ComplementsTab::changed, this, &TMDIChild::refreshPreview);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (kalvane() && kalvane()->hpPicto())
            kalvane()->hpPicto()->hide();
        if (index >= 1 && index <= 3)
            searchBox(index + 1)->selectAfterPrefix(20);
    });

    // Bottom panel: the summary, the numbering-only box and the status line.
    LabHPEUH = new ElidedLabel(Catalogue::kSummaryEmptyCaption, this);
    named(LabHPEUH, "LabHPEUH");
    LabHPEUH->setAlignment(Qt::AlignCenter);
    QFont bold = LabHPEUH->font();
    bold.setBold(true);
    LabHPEUH->setFont(bold);
    LabHPEUH->setToolTip(Catalogue::kSummaryInitialHint);
    LabHPEUH->setMinimumWidth(10);
    LabHPEUH->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    CB_hpeuh = new QCheckBox(QStringLiteral("Numérotation seule"), this);
    named(CB_hpeuh, "CB_hpeuh");
    CB_hpeuh->setToolTip(kNumberingHint);
    connect(CB_hpeuh, &QCheckBox::clicked, this, [this](bool on) {
        if (kalvane() && kalvane()->printer())
            kalvane()->printer()->CB_HPEUH->setChecked(on);
        refreshPreview();
    });
    StatusBar1 = new LabelStatusBar(this);

    // Values kept out of sight.
    auto hidden = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        named(l, name);
        l->hide();
        return l;
    };
    Lab_filename = hidden("Lab_filename", LabelDocument::kUntitled);
    Lab_margeX = hidden("Lab_margeX", QStringLiteral("0"));
    Lab_margeY = hidden("Lab_margeY", QStringLiteral("0"));
    Lab_echelle = hidden("Lab_echelle", QStringLiteral("100"));
    LabLOGO = hidden("LabLOGO", QStringLiteral("logo"));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(LabHPEUH, 1);
    bottom->addWidget(CB_hpeuh);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);
    layout->addWidget(StatusBar1);

    PopupMenu1 = new QMenu(this);
    named(PopupMenu1, "PopupMenu1");
    if (TForm_base *f = Form_base()) {
        PopupMenu1->addAction(f->Modif1);
        PopupMenu1->addSeparator();
        PopupMenu1->addAction(f->Enregistrer1);
        PopupMenu1->addAction(f->Export1);
        PopupMenu1->addSeparator();
        PopupMenu1->addAction(f->Apercu1);
        PopupMenu1->addAction(f->Printer1);
        PopupMenu1->addSeparator();
    }
    QAction *closeWindow = PopupMenu1->addAction(QStringLiteral("Fermer la fenêtre"));
    closeWindow->setObjectName(QStringLiteral("Fermerlafenetre1"));
    connect(closeWindow, &QAction::triggered, this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    });

    resize(sizeHint());

    // Creation: count the window and enable the label commands.
    if (TForm_base *f = Form_base())
        f->labelCreated();
}

TMDIChild::~TMDIChild() = default;

// The press handler of pictogram image n.
void TMDIChild::pictogramPressed(int n)
{
    switch (n) {
    case 1: SGH01MouseDown(); break;
    case 2: SGH02MouseDown(); break;
    case 3: SGH03MouseDown(); break;
    case 4: SGH04MouseDown(); break;
    case 5: SGH05MouseDown(); break;
    case 6: SGH06MouseDown(); break;
    case 7: SGH07MouseDown(); break;
    case 8: SGH08MouseDown(); break;
    case 9: SGH09MouseDown(); break;
    default: break;
    }
}

QSize TMDIChild::sizeHint() const
{
    const QSize needed = layout() ? layout()->minimumSize() : QSize();
    // Wide enough for the tab captions side by side, as far as the frame's
    // window area leaves room (the tab bar scrolls beyond that).
    int width = std::max(492, needed.width());
    if (PageControl1) {
        int captions = PageControl1->tabBar()->sizeHint().width() + 16;
        if (layout())
            captions += layout()->contentsMargins().left() + layout()->contentsMargins().right();
        int room = captions;
        if (TForm_base *f = Form_base(); f && f->mdiArea)
            room = f->mdiArea->viewport()->width() - 16;
        width = std::max(width, std::min(captions, room));
    }
    return QSize(width, std::max(359, needed.height()));
}

QWidget *TMDIChild::buildPictogramTab()
{
    auto *tab = new QWidget;
    named(tab, "TabSheet1");

    // Pictograms.
    auto *pictos = new QGroupBox(QStringLiteral("Pictogrammes "), tab);
    pictos->setToolTip(QStringLiteral("Cliquer sur un picto pour l'ajouter"));
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    const QPixmap frame = selectionFramePicture();
    const QString start = kalvane() ? kalvane()->startDirectory() : QDir::currentPath() + u'/';
    for (int n = 1; n <= 9; ++n) {
        auto *cell = new QWidget(pictos);
        cell->setFixedSize(36, 36);
        auto *image = new QLabel(cell);
        image->setObjectName(LabelDocument::pictogramCode(n));
        image->setGeometry(2, 2, 32, 32);
        image->setToolTip(QStringLiteral("GHS%1").arg(n, 2, 10, QLatin1Char('0')));
        image->setProperty("tag", 0);
        image->setCursor(Qt::PointingHandCursor);
        image->installEventFilter(this);
        const QImage picture = chooserPicture(start + LabelDocument::pictogramCode(n) + QStringLiteral(".jpg"));
        if (!picture.isNull())
            image->setPixmap(QPixmap::fromImage(picture));
        else
            image->setFrameStyle(QFrame::Box);
        auto *shape = new QLabel(cell);
        shape->setObjectName(QStringLiteral("Shape%1").arg(n));
        shape->setGeometry(0, 0, 36, 36);
        shape->setPixmap(frame);
        shape->setToolTip(QStringLiteral("Cliquer pour désélectionner"));
        shape->hide();
        shape->installEventFilter(this);
        pictogramImages[n - 1] = image;
        selectionFrames[n - 1] = shape;
        row->addWidget(cell);
    }
    row->addStretch(1);
    LB_picto = new PictoList(pictos);
    named(LB_picto, "LB_picto");
    connect(LB_picto, &QListWidget::itemDoubleClicked, this, &TMDIChild::LB_pictoDblClick);
    connect(LB_picto, &PictoList::keyPressed, this, &TMDIChild::LB_pictoKeyDown);
    connect(LB_picto, &PictoList::dropped, this, &TMDIChild::LB_pictoDragDrop);
    QFont pictoFont(QStringLiteral("Arial"));
    pictoFont.setBold(true);
    LB_picto->setFont(pictoFont);
    LB_picto->setFixedWidth(84);
    LB_picto->setFixedHeight(50);
    Pan0 = new QLabel(kNoPictogram, pictos);
    named(Pan0, "Pan0");
    Pan0->setStyleSheet(QStringLiteral("color: grey; font-style: italic; font-size: 8pt;"));
    Pan0->setWordWrap(true);
    Pan0->setAlignment(Qt::AlignCenter);
    CBH = new QCheckBox(QStringLiteral(" Suggestions H && P..."), pictos);
    named(CBH, "CBH");
    CBH->setToolTip(QStringLiteral("H & P associés aux pictogrammes"));
    CBH->setProperty("tag", 0);
    connect(CBH, &QCheckBox::clicked, this, [this] {
        if (kalvane() && kalvane()->hpPicto())
            kalvane()->hpPicto()->CBHClick(this);
    });
    auto *listStack = new QGridLayout;
    listStack->addWidget(LB_picto, 0, 0);
    listStack->addWidget(Pan0, 0, 0);
    auto *pictoLayout = new QGridLayout(pictos);
    pictoLayout->setContentsMargins(4, 2, 4, 4);
    pictoLayout->addLayout(row, 0, 0);
    pictoLayout->addLayout(listStack, 0, 1, 2, 1);
    pictoLayout->addWidget(CBH, 1, 0);

    // Product identification.
    auto *product = new QGroupBox(QStringLiteral("Identification du produit "), tab);
    Memo_S = new LimitedMemo(LabelDocument::kProductMax, product);
    named(Memo_S, "Memo_S");
    Memo_S->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_S->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo_S->setToolTip(QStringLiteral("Double-cliquer pour changer la couleur d'arrière plan"));
    QFont productFont(QStringLiteral("Arial"));
    productFont.setBold(true);
    Memo_S->setFont(productFont);
    static_cast<LimitedMemo *>(Memo_S)->setPreferredAlignment(Qt::AlignHCenter);
    Memo_S->viewport()->installEventFilter(this);
    setProductColor(Qt::black);
    maskCE = new MaskEdit(LabelDocument::kEmptyCE, true, product);
    named(maskCE, "maskCE");
    maskCAS = new MaskEdit(LabelDocument::kEmptyCAS, false, product);
    named(maskCAS, "maskCAS");
    maskINDEX = new MaskEdit(LabelDocument::kEmptyINDEX, true, product);
    named(maskINDEX, "maskINDEX");
    for (MaskEdit *e : {maskCE, maskCAS, maskINDEX})
        connect(e, &MaskEdit::left, this, [this, e] { verifyNumber(e); });
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(8);
    for (QLineEdit *e : {maskCE, maskCAS, maskINDEX}) {
        e->setFont(mono);
        e->setFixedWidth(QFontMetrics(mono).horizontalAdvance(QStringLiteral("000000000000")) + 10);
    }
    auto *productLayout = new QGridLayout(product);
    productLayout->setContentsMargins(4, 2, 4, 4);
    productLayout->setHorizontalSpacing(3);
    productLayout->setVerticalSpacing(2);
    productLayout->addWidget(Memo_S, 0, 0, 2, 1);
    productLayout->addWidget(new QLabel(QStringLiteral("CE : "), product), 0, 1, Qt::AlignRight);
    productLayout->addWidget(maskCE, 0, 2);
    productLayout->addWidget(new QLabel(QStringLiteral("CAS : "), product), 1, 1, Qt::AlignRight);
    productLayout->addWidget(maskCAS, 1, 2);
    productLayout->addWidget(new QLabel(QStringLiteral("INDEX : "), product), 2, 1, Qt::AlignRight);
    productLayout->addWidget(maskINDEX, 2, 2);
    productLayout->setColumnStretch(0, 1);
    // Room for three lines of the name; the box does not swell when the
    // window grows (the comment takes the height).
    {
        const int line = QFontMetrics(productFont).lineSpacing();
        Memo_S->setMinimumSize(120, 3 * line + 10);
        Memo_S->setMaximumHeight(6 * line + 10);
    }
    auto *chooseProduct = imageButton(product, "Image6", QStringLiteral("Choisir un produit"), QStyle::SP_FileDialogContentsView, "edit-find");
    chooseProduct->setText(QStringLiteral("Base..."));
    chooseProduct->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    productLayout->addWidget(chooseProduct, 2, 0, Qt::AlignLeft | Qt::AlignVCenter);
    connect(chooseProduct, &QToolButton::clicked, this, [] {
        if (kalvane() && kalvane()->rech())
            kalvane()->rech()->showWindow();
    });

    // Supplier.
    auto *supplier = new QGroupBox(QStringLiteral("Identification du fournisseur "), tab);
    Memo_F = new LimitedMemo(LabelDocument::kSupplierMax, supplier);
    named(Memo_F, "Memo_F");
    Memo_F->setLineWrapMode(QPlainTextEdit::NoWrap);
    static_cast<LimitedMemo *>(Memo_F)->setPreferredAlignment(Qt::AlignRight);
    auto *logoPanel = new QWidget(supplier);
    named(logoPanel, "Panel_logo");
    logoPanel->setFixedSize(50, 67);
    Logo = new QLabel(logoPanel);
    named(Logo, "Logo");
    Logo->setGeometry(2, 2, 46, 46);
    Logo->setScaledContents(true);
    Logo->setFrameStyle(QFrame::Box | QFrame::Plain);
    Logo->setToolTip(QStringLiteral("Choisir le logo"));
    Logo->setCursor(Qt::PointingHandCursor);
    Logo->installEventFilter(this);
    Image1 = imageButton(logoPanel, "Image1", QStringLiteral("Effacer le logo"), QStyle::SP_DialogDiscardButton, "edit-delete");
    Image1->setGeometry(4, 49, 18, 17);
    connect(Image1, &QToolButton::clicked, this, &TMDIChild::eraseLogo);
    auto *chooseSupplier = imageButton(logoPanel, "Image7", QStringLiteral("Choisir un fournisseur"), QStyle::SP_DirHomeIcon, "contact-new");
    chooseSupplier->setGeometry(28, 49, 18, 17);
    connect(chooseSupplier, &QToolButton::clicked, this, [this] {
        if (kalvane() && kalvane()->four())
            kalvane()->four()->handOver(Memo_F->toPlainText(), m_logo, LabLOGO->text());
    });
    {
        const int line = QFontMetrics(Memo_F->font()).lineSpacing();
        Memo_F->setMinimumSize(120, 4 * line + 10);
        Memo_F->setMaximumHeight(7 * line + 10);
    }
    auto *supplierLayout = new QHBoxLayout(supplier);
    supplierLayout->setContentsMargins(4, 2, 4, 4);
    supplierLayout->setSpacing(3);
    supplierLayout->addWidget(Memo_F, 1);
    supplierLayout->addWidget(logoPanel, 0, Qt::AlignTop);

    // Comment.
    GPComment = new QGroupBox(QStringLiteral("Commentaires "), tab);
    named(GPComment, "GPComment");
    Memo_C = new LimitedMemo(LabelDocument::kCommentMax, GPComment);
    named(Memo_C, "Memo_C");
    alignAll(Memo_C, Qt::AlignHCenter);
    auto *clearComment = imageButton(GPComment, "Image2", QStringLiteral("Effacer"), QStyle::SP_DialogResetButton, "edit-delete");
    auto *left = imageButton(GPComment, "Image8", QStringLiteral("Aligné à gauche"), QStyle::SP_ArrowLeft, "format-justify-left");
    auto *centre = imageButton(GPComment, "Image9", QStringLiteral("Centré"), QStyle::SP_ArrowUp, "format-justify-center");
    auto *right = imageButton(GPComment, "Image10", QStringLiteral("Aligné à droite"), QStyle::SP_ArrowRight, "format-justify-right");
    connect(clearComment, &QToolButton::clicked, this, [this] {
        Memo_C->clear();
        refreshPreview();
    });
    connect(left, &QToolButton::clicked, this, [this] { setCommentAlignment(AlignLeftCode); refreshPreview(); });
    connect(centre, &QToolButton::clicked, this, [this] { setCommentAlignment(AlignCenterCode); refreshPreview(); });
    connect(right, &QToolButton::clicked, this, [this] { setCommentAlignment(AlignRightCode); refreshPreview(); });
    auto *commentButtons = new QGridLayout;
    commentButtons->setSpacing(0);
    commentButtons->addWidget(left, 0, 0);
    commentButtons->addWidget(centre, 0, 1);
    commentButtons->addWidget(right, 1, 0);
    commentButtons->addWidget(clearComment, 1, 1);
    commentButtons->setRowStretch(2, 1);
    {
        // Its 255 characters never need more than a dozen lines.
        const int line = QFontMetrics(Memo_C->font()).lineSpacing();
        Memo_C->setMinimumSize(80, 3 * line + 10);
        Memo_C->setMaximumHeight(12 * line + 10);
    }
    auto *commentLayout = new QHBoxLayout(GPComment);
    commentLayout->setContentsMargins(4, 2, 2, 4);
    commentLayout->addWidget(Memo_C, 1);
    commentLayout->addLayout(commentButtons);

    // Signal word.
    auto *signal = new QGroupBox(QStringLiteral("Mention d'avertissement "), tab);
    ComboBox1 = new QComboBox(signal);
    named(ComboBox1, "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->addItems({QStringLiteral("DANGER"), QStringLiteral("ATTENTION")});
    ComboBox1->setCurrentText(QStringLiteral("DANGER"));
    ComboBox1->setCompleter(nullptr);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // The limit is the validator's, which says when it stops the typing
    // (a maximum length would cut a pasted word silently).
    auto *signalLimit = new LengthValidator(LabelDocument::kSignalWordMax, ComboBox1);
    signalLimit->programSets = [this] { return m_loading; };
    signalLimit->refused = [this](int) {
        sayLimit(ComboBox1->lineEdit(), kSignalWordField, LabelDocument::kSignalWordMax, 1, 0);
    };
    ComboBox1->setValidator(signalLimit);
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, &TMDIChild::signalWordEdited);
    ComboBox1->setStyleSheet(QStringLiteral("QComboBox { color: red; font-weight: bold; }"));
    auto *signalLayout = new QVBoxLayout(signal);
    signalLayout->setContentsMargins(4, 2, 4, 4);
    signalLayout->addWidget(ComboBox1);
    signalLayout->addStretch();

    auto *grid = new QGridLayout(tab);
    grid->setContentsMargins(3, 3, 3, 3);
    grid->setSpacing(3);
    grid->addWidget(pictos, 0, 0, 1, 2);
    grid->addWidget(product, 1, 0);
    grid->addWidget(supplier, 1, 1);
    grid->addWidget(GPComment, 2, 0);
    grid->addWidget(signal, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    // A tall window leaves its spare height below the form.
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0, 1, 2);
    grid->setRowStretch(1, 0);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(3, 1);

    // Every visible change refreshes the preview and marks the label changed.
    for (QPlainTextEdit *e : {Memo_S, Memo_F, Memo_C}) {
        connect(e, &QPlainTextEdit::textChanged, this, &TMDIChild::markModified);
        connect(e, &QPlainTextEdit::textChanged, this, &TMDIChild::refreshPreview);
        connect(e, &QPlainTextEdit::textChanged, this, [this] { StatusBar1->setNotice(QString()); });
    }
    // What the user types or pastes is checked before it goes in: the typing
    // limits, and the characters the label file cannot store.
    const struct {
        QPlainTextEdit *memo;
        const QString &field;
        int maximum;
    } limited[] = {{Memo_S, kProductField, LabelDocument::kProductMax},
                   {Memo_F, kSupplierField, LabelDocument::kSupplierMax},
                   {Memo_C, kCommentField, LabelDocument::kCommentMax}};
    for (const auto &l : limited) {
        auto *memo = static_cast<LimitedMemo *>(l.memo);
        memo->insertionFilter = [this](const QString &text) { return offerStorableText(this, text); };
        connect(memo, &LimitedMemo::limitReached, this, [this, memo, field = l.field, maximum = l.maximum](
                                                            int length, int room) {
            sayLimit(memo, field, maximum, length, room);
        });
    }
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [this] { StatusBar1->setNotice(QString()); });
    for (MaskEdit *e : {maskCE, maskCAS, maskINDEX}) {
        connect(e, &MaskEdit::valueChanged, this, &TMDIChild::markModified);
        connect(e, &MaskEdit::valueChanged, this, &TMDIChild::refreshPreview);
    }
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &TMDIChild::markModified);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &TMDIChild::refreshPreview);

    affiche_Pan0();
    return tab;
}

QWidget *TMDIChild::buildStatementTab(int listNumber, const QString &groupTitle, CheckListBox **list, SearchBox **box,
                                      QToolButton **clear, const char *listName, const char *boxName,
                                      const char *clearName, const QString &initial, int clickStart,
                                      int clickLength, const QString &hint)
{
    auto *tab = new QWidget;
    auto *group = new QGroupBox(groupTitle, tab);
    *list = new CheckListBox(listNumber, group);
    named(*list, listName);
    *box = new SearchBox(initial, clickStart, clickLength, group);
    named(*box, boxName);
    (*box)->setToolTip(hint);
    (*box)->setFixedWidth(140);
    *clear = imageButton(group, clearName, QStringLiteral("Désélectionner tout"), QStyle::SP_DialogResetButton, "edit-undo");
    (*clear)->setText(QStringLiteral("Désélectionner tout"));
    (*clear)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    CheckListBox *l = *list;
    connect(*box, &QLineEdit::textChanged, this, [this, listNumber] { searchList(listNumber); });
    connect(*box, &SearchBox::enterPressed, this, [this, listNumber] { toggleSearchHit(listNumber); });
    connect(*clear, &QToolButton::clicked, this, [this, l, group] {
        m_filling = true;
        for (int i = 0; i < l->count(); ++i) {
            if (l->item(i)->checkState() != Qt::Unchecked) {
                l->item(i)->setCheckState(Qt::Unchecked);
                markModified();
            }
        }
        m_filling = false;
        group->setToolTip(QString());
        updateSummary();
        refreshPreview();
    });
    connect(l, &QListWidget::itemChanged, this, [this] {
        if (!m_filling)
            CheckListBox2ClickCheck();
    });
    connect(l, &QListWidget::itemClicked, this, [this, l](QListWidgetItem *item) { onItemClicked(l, l->row(item)); });
    connect(l, &QListWidget::itemDoubleClicked, this, [](QListWidgetItem *item) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    connect(l, &CheckListBox::focusEntered, this, &TMDIChild::onListFocusEntered);
    connect(l, &CheckListBox::focusLeft, this, &TMDIChild::onListFocusLeft);

    auto *tools = new QHBoxLayout;
    tools->addWidget(*clear);
    tools->addStretch();
    tools->addWidget(new QLabel(QStringLiteral("Rechercher :"), group));
    tools->addWidget(*box);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->setContentsMargins(6, 4, 6, 4);
    groupLayout->addWidget(l, 1);
    groupLayout->addLayout(tools);
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(group);
    return tab;
}

void TMDIChild::loadCatalogues()
{
    const QString start = kalvane() ? kalvane()->startDirectory() : QDir::currentPath() + u'/';
    CheckListBox *lists[3] = {CheckListBox2, CheckListBox3, CheckListBox4};
    for (int k = 0; k < 3; ++k) {
        const QString name = Catalogue::fileName(Catalogue::Kind(k));
        const QString path = QFileInfo(start + name).absoluteFilePath();
        if (!QFileInfo::exists(path)) {
            desktop().message(this, ErrorBox::kTitle, kMissingCatalogue.arg(name), Desktop::Icon::None, Desktop::Ok);
            if (kalvane())
                kalvane()->requestTerminate();
            continue;
        }
        QStringList items;
        QString error;
        if (!Catalogue::load(path, &items, &error)) {
            // An unreadable catalogue stops the loading; the lists loaded so far stay.
            ErrorBox::show(this, error);
            return;
        }
        fillList(lists[k], Catalogue::toStatements(items));
    }
}

void TMDIChild::fillList(CheckListBox *list, const StatementList &entries)
{
    m_filling = true;
    list->setUpdatesEnabled(false);
    list->clear();
    for (const StatementEntry &e : entries) {
        auto *item = new QListWidgetItem(e.text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(e.ticked ? Qt::Checked : Qt::Unchecked);
    }
    list->setUpdatesEnabled(true);
    m_filling = false;
}

StatementList TMDIChild::entries(const CheckListBox *list) const
{
    StatementList out;
    out.reserve(list->count());
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem *item = list->item(i);
        out.append({item->text(), item->checkState() == Qt::Checked});
    }
    return out;
}

CheckListBox *TMDIChild::list(int listNumber) const
{
    switch (listNumber) {
    case 2: return CheckListBox2;
    case 3: return CheckListBox3;
    case 4: return CheckListBox4;
    default: return nullptr;
    }
}

SearchBox *TMDIChild::searchBox(int listNumber) const
{
    switch (listNumber) {
    case 2: return RH;
    case 3: return RP;
    case 4: return REUH;
    default: return nullptr;
    }
}

void TMDIChild::CheckListBox2ClickCheck()
{
    // The three lists share this handler: a check mark changed by the user.
    markModified();
    refreshPreview();
    updateSummary();
}

void TMDIChild::updateSummary()
{
    const QString summary = Catalogue::selectionSummary(entries(CheckListBox2), entries(CheckListBox3),
                                                        entries(CheckListBox4));
    if (summary.isEmpty()) {
        LabHPEUH->setText(Catalogue::kSummaryEmptyCaption);
        LabHPEUH->setToolTip(Catalogue::kSummaryEmptyHint);
    } else {
        LabHPEUH->setText(summary);
        LabHPEUH->setToolTip(summary);
    }
}

void TMDIChild::searchList(int listNumber)
{
    CheckListBox *l = list(listNumber);
    SearchBox *box = searchBox(listNumber);
    l->tag = -1;
    const QString prefix = box->text();
    for (int i = 0; i < l->count(); ++i) {
        if (l->item(i)->text().startsWith(prefix, Qt::CaseSensitive)) {
            l->setCurrentRow(i);
            l->scrollToItem(l->item(i), QAbstractItemView::PositionAtTop);
            l->tag = i;
            return;
        }
    }
}

void TMDIChild::toggleSearchHit(int listNumber)
{
    CheckListBox *l = list(listNumber);
    if (l->tag < 0 || l->tag >= l->count())
        return;
    QListWidgetItem *item = l->item(l->tag);
    m_filling = true;
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    m_filling = false;
    markModified();
    updateSummary();
    SearchBox *box = searchBox(listNumber);
    box->setFocus(Qt::OtherFocusReason);
    box->setSelection(box->prefixLength(), 20);
    refreshPreview();
}

void TMDIChild::onItemClicked(CheckListBox *l, int row)
{
    if (row < 0)
        return;
    QString text = l->item(row)->text();
    // A hand-edited catalogue may hold a huge line: measure and show a part.
    if (text.size() > 2000)
        text = text.left(2000) + QStringLiteral("…");
    const int width = QFontMetrics(l->font()).horizontalAdvance(text);
    l->setToolTip(width > l->width() - 40 ? text : QString());
}

void TMDIChild::onListFocusEntered(int listNumber)
{
    if (TForm_base *f = Form_base()) {
        f->focusedList = listNumber;
        f->Modif1->setEnabled(true);
    }
}

void TMDIChild::onListFocusLeft(int listNumber)
{
    CheckListBox *l = list(listNumber);
    l->setToolTip(QString());
    l->setCurrentRow(-1);
    l->clearSelection();
    if (TForm_base *f = Form_base()) {
        f->focusedList = 0;
        f->Modif1->setEnabled(false);
    }
}

void TMDIChild::setStatusPanel(int panel, const QString &text)
{
    if (StatusBar1->panelText(panel) != text)
        markModified();
    StatusBar1->setPanelText(panel, text);
}

QString TMDIChild::statusPanel(int panel) const { return StatusBar1->panelText(panel); }

void TMDIChild::setFontFace(const QString &face, int panelWidth)
{
    if (StatusBar1->panelText(PanelFont) != face)
        markModified();
    StatusBar1->setPanelWidth(PanelFont, panelWidth);
    StatusBar1->setPanelText(PanelFont, face);
}

void TMDIChild::setCommentAlignment(int code)
{
    if (code != m_commentAlignment)
        markModified();
    m_commentAlignment = code;
    GPComment->setProperty("tag", code);
    alignAll(Memo_C, alignmentFor(code));
}

void TMDIChild::setProductColor(const QColor &color)
{
    m_productColor = color;
    const QColor text = LabelDocument::textColorFor(color);
    Memo_S->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: %1; color: %2; }")
                              .arg(color.name(), text.name()));
}

void TMDIChild::chooseProductColor()
{
    const auto chosen = desktop().color(this, m_productColor);
    if (!chosen)
        return;
    if (*chosen != m_productColor)
        markModified();
    setProductColor(*chosen);
    refreshPreview();
}

void TMDIChild::setLogo(const QString &path, const QImage &picture)
{
    m_logo = picture;
    Logo->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
    LabLOGO->setText(path);
}

void TMDIChild::takeSupplier(const QString &text, const QString &logoPath, const QImage &logo)
{
    if (logoPath != LabLOGO->text())
        markModified();
    setLogo(logoPath, logo);
    if (TForm_base *f = Form_base())
        f->mirrors.logoPath = logoPath;
    if (Memo_F->toPlainText() == text) {
        refreshPreview(); // the logo may have changed
        return;
    }
    Memo_F->clear();
    Memo_F->setPlainText(text);
}

void TMDIChild::sayLimit(QWidget *field, const QString &name, int maximum, int length, int room)
{
    const QString detail = length <= 1 ? kLimitReached.arg(name).arg(maximum)
                                       : kInsertionRefused.arg(length).arg(std::max(0, room)).arg(name).arg(maximum);
    StatusBar1->setNotice(length <= 1 ? kLimitNotice.arg(maximum) : kRefusedNotice.arg(maximum), detail);
    // Said in full where the user is typing.
    QPoint at = field->mapToGlobal(QPoint(0, field->height()));
    if (auto *memo = qobject_cast<QPlainTextEdit *>(field))
        at = memo->viewport()->mapToGlobal(memo->cursorRect().bottomLeft());
    QToolTip::showText(at, detail, field);
}

void TMDIChild::signalWordEdited(const QString &text)
{
    // The combo's line edit gives no say before a change: the check runs once
    // the edit is done, on what it brought in.
    if (StorableText::storable(text))
        return;
    QTimer::singleShot(0, this, [this] {
        const QString current = ComboBox1->currentText();
        if (StorableText::storable(current))
            return;
        const QString wanted = offerStorableText(this, current);
        if (wanted != current)
            ComboBox1->setCurrentText(wanted);
    });
}

bool TMDIChild::confirmStorable()
{
    // Each text the label file writes, with the name it has in the window.
    struct Field {
        QString name;
        QString text;
        std::function<void(const QString &)> replace; // none: cannot be changed here
    };
    QList<Field> fields = {
        {kProductField, Memo_S->toPlainText(), [this](const QString &t) { Memo_S->setPlainText(t); }},
        {kSupplierField, Memo_F->toPlainText(), [this](const QString &t) { Memo_F->setPlainText(t); }},
        {kCommentField, Memo_C->toPlainText(), [this](const QString &t) { Memo_C->setPlainText(t); }},
        {kSignalWordField, ComboBox1->currentText(), [this](const QString &t) {
             const QScopedValueRollback loading(m_loading, true); // may be longer than the typing limit
             ComboBox1->setCurrentText(t);
             markModifiedAnyway();
         }},
    };
    for (CheckListBox *l : {CheckListBox2, CheckListBox3, CheckListBox4}) {
        for (int i = 0; i < l->count(); ++i) {
            QListWidgetItem *item = l->item(i);
            if (item->checkState() == Qt::Checked && !StorableText::storable(item->text()))
                fields.append({kStatementField.arg(item->text().section(u':', 0, 0).trimmed()), item->text(),
                               [this, item](const QString &t) {
                                   m_filling = true;
                                   item->setText(t);
                                   m_filling = false;
                                   markModified();
                               }});
        }
    }
    fields.append({kFontField, statusPanel(PanelFont), {}});
    fields.append({kLogoField, QFileInfo(LabLOGO->text()).fileName(), {}});

    QStringList lines;
    bool anyNearest = false;
    bool blocking = false; // a character without equivalent, or one that cannot be replaced here
    for (Field &f : fields) {
        if (StorableText::storable(f.text))
            continue;
        const QList<StorableText::Problem> problems = StorableText::problems(f.text);
        if (problems.isEmpty()) {
            // Accents typed as combining marks: the composed letters are the same text.
            if (f.replace)
                f.replace(StorableText::replaced(f.text));
            continue;
        }
        const QString name = f.name.at(0).toUpper() + f.name.mid(1);
        for (const QString &line : StorableText::describe(problems))
            lines << name + QStringLiteral(" : ") + line;
        for (const StorableText::Problem &p : problems) {
            if (p.nearest && f.replace)
                anyNearest = true;
            else
                blocking = true;
        }
    }
    // Without a listed character, whatever is left is the writer's to report.
    if (lines.isEmpty())
        return true;
    const QString list = lines.join(u'\n');
    if (!anyNearest) {
        desktop().message(this, kUnstorableWarningTitle, kNotSavedUnstorable.arg(list), Desktop::Icon::Warning,
                          Desktop::Ok);
        return false;
    }
    const QString question = blocking ? kReplaceSomeQuestion.arg(list) : kReplaceAllQuestion.arg(list);
    if (desktop().message(this, kUnstorableTitle, question, Desktop::Icon::Question, Desktop::Yes | Desktop::No)
        != Desktop::Yes)
        return false;
    for (const Field &f : std::as_const(fields))
        if (f.replace && !StorableText::storable(f.text))
            f.replace(StorableText::replaced(f.text));
    if (blocking)
        return false;
    updateSummary();
    refreshPreview();
    return true;
}

void TMDIChild::takePrintSettings(const QString &marginX, const QString &marginY, const QString &scale)
{
    if (Lab_margeX->text() != marginX || Lab_margeY->text() != marginY || Lab_echelle->text() != scale)
        markModified();
    Lab_margeX->setText(marginX);
    Lab_margeY->setText(marginY);
    Lab_echelle->setText(scale);
}

void TMDIChild::chooseLogo()
{
    Desktop::FileDialog d;
    d.title = QStringLiteral("Sélection du Logo");
    d.folder = QDir::currentPath() + QStringLiteral("/fournisseurs/");
    d.filter = QStringLiteral("Images|*.jpg;*.jpeg;*.png");
    const QStringList files = desktop().openFiles(this, d);
    if (files.isEmpty())
        return;
    QString path = QFileInfo(files.constFirst()).absoluteFilePath();
    if (!QFileInfo::exists(path))
        return;
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        // Labels carry JPEG logos: a PNG picture is stored as a JPEG one in
        // the program's suppliers folder, and the label takes that copy.
        QString copy;
        QString error;
        const QString start = kalvane() ? kalvane()->startDirectory() : QDir::currentPath();
        if (!SupplierCard::importLogo(path, SupplierCard::folder(start), &copy, &error)) {
            ErrorBox::show(this, error);
            return;
        }
        path = copy;
    }
    if (path.size() > FrameMirrors::kLogoPathMax) {
        ErrorBox::show(this, kLogoPathTooLong.arg(QDir::toNativeSeparators(path)));
        return;
    }
    QImage picture;
    QString error;
    if (!loadLogoPicture(path, &picture, &error)) {
        ErrorBox::show(this, QStringLiteral("Le fichier \"%1\" n'est pas une image JPEG lisible : %2")
                                 .arg(QFileInfo(path).fileName(), error));
        return;
    }
    if (TForm_base *f = Form_base())
        f->mirrors.logoPath = path;
    setLogo(path, picture);
    markModified();
    refreshPreview();
}

void TMDIChild::eraseLogo()
{
    if (!LabLOGO->text().isEmpty())
        markModified();
    setLogo(QString(), QImage());
    if (TForm_base *f = Form_base())
        f->mirrors.logoPath.clear();
    refreshPreview();
}

void TMDIChild::setPictogramFlag(int n, bool on)
{
    pictogramImages[n - 1]->setProperty("tag", on ? 1 : 0);
    selectionFrames[n - 1]->setVisible(on);
}

QStringList TMDIChild::pictogramList() const
{
    QStringList codes;
    for (int i = 0; i < LB_picto->count(); ++i)
        codes << LB_picto->item(i)->text();
    return codes;
}

void TMDIChild::showPictogramList(const QStringList &codes)
{
    LB_picto->clear();
    LB_picto->addItems(codes);
    for (int n = 1; n <= 9; ++n)
        setPictogramFlag(n, codes.contains(LabelDocument::pictogramCode(n)));
    affiche_Pan0();
}

int TMDIChild::lastClickedPictogram() const { return CBH->property("tag").toInt(); }

void TMDIChild::SGHMouseDown(int n)
{
    const QString code = LabelDocument::pictogramCode(n);
    if (kalvane() && kalvane()->hpPicto())
        kalvane()->hpPicto()->setWindowTitle(code);
    CBH->setProperty("tag", n);

    const QStringList before = pictogramList();
    const QStringList after = PictogramRules::click(before, n, [this](const PictogramRules::Prompt &prompt) {
        ++m_pressPrompts;
        return askPictogramRule(prompt);
    });
    if (after != before)
        setPictograms(after);
    affiche_Pan0();
}

bool TMDIChild::askPictogramRule(const PictogramRules::Prompt &prompt)
{
    if (prompt.kind == PictogramRules::Prompt::Warning) {
        desktop().message(this, PictogramRules::kWarningTitle, prompt.text, Desktop::Icon::Warning, Desktop::Ok);
        return true;
    }
    return desktop().message(this, PictogramRules::kQuestionTitle, prompt.text, Desktop::Icon::Question,
                             Desktop::Yes | Desktop::No)
           == Desktop::Yes;
}

void TMDIChild::setPictograms(const QStringList &codes)
{
    markModified();
    LB_picto->clear();
    LB_picto->addItems(codes);
    for (int k = 1; k <= 9; ++k)
        setPictogramFlag(k, codes.contains(LabelDocument::pictogramCode(k)));
    refreshPreview();
    affiche_Pan0();
}

void TMDIChild::setTicks(int listNumber, const QList<bool> &ticks)
{
    CheckListBox *l = list(listNumber);
    if (!l)
        return;
    bool changed = false;
    m_filling = true;
    for (int i = 0; i < l->count() && i < ticks.size(); ++i) {
        const Qt::CheckState state = ticks.at(i) ? Qt::Checked : Qt::Unchecked;
        if (l->item(i)->checkState() != state) {
            l->item(i)->setCheckState(state);
            changed = true;
        }
    }
    m_filling = false;
    if (!changed)
        return;
    markModified();
    refreshPreview();
    updateSummary();
}

void TMDIChild::ShapeMouseDown(int n)
{
    // Removing through the frame leaves the notice as it is until the next
    // pictogram click or list removal.
    const QString code = LabelDocument::pictogramCode(n);
    const auto items = LB_picto->findItems(code, Qt::MatchExactly);
    for (QListWidgetItem *item : items)
        delete item;
    markModified();
    setPictogramFlag(n, false);
    refreshPreview();
}

void TMDIChild::LB_pictoDblClick()
{
    const int row = LB_picto->currentRow();
    if (row < 0)
        return;
    const QString code = LB_picto->item(row)->text();
    const int n = code.mid(3).toInt();
    if (n >= 1 && n <= 9)
        setPictogramFlag(n, false);
    delete LB_picto->takeItem(row);
    markModified();
    if (LB_picto->remembered < LB_picto->count())
        LB_picto->setCurrentRow(LB_picto->remembered);
    refreshPreview();
    affiche_Pan0();
    if (LB_picto->count() == 0)
        CBH->setProperty("tag", 0);
    if (kalvane() && kalvane()->hpPicto())
        kalvane()->hpPicto()->hide();
}

void TMDIChild::LB_pictoKeyDown(int key)
{
    if (key == Qt::Key_Minus && LB_picto->currentRow() >= 0) {
        const int row = LB_picto->currentRow();
        const int n = LB_picto->item(row)->text().mid(3).toInt();
        if (n >= 1 && n <= 9)
            setPictogramFlag(n, false);
        delete LB_picto->takeItem(row);
        markModified();
        if (LB_picto->remembered < LB_picto->count())
            LB_picto->setCurrentRow(LB_picto->remembered);
    }
    refreshPreview();
    affiche_Pan0();
}

void TMDIChild::LB_pictoDragDrop(int from, int to)
{
    const QStringList moved = PictogramRules::move(pictogramList(), from, to);
    if (moved != pictogramList())
        markModified();
    LB_picto->clear();
    LB_picto->addItems(moved);
    if (to >= 0 && to < LB_picto->count())
        LB_picto->setCurrentRow(to);
    refreshPreview();
}

void TMDIChild::verifyNumber(MaskEdit *field)
{
    if (m_verifying)
        return;
    using namespace IdentificationNumbers;
    const Kind kind = field == maskCE ? Kind::CE : field == maskCAS ? Kind::CAS : Kind::INDEX;
    const Verification v = verify(kind, field->value());
    if (v.result == Verification::Cleared) {
        field->setValue(v.corrected);
        return;
    }
    if (v.result != Verification::Wrong)
        return;
    // Where the focus went: within this label window it comes back to the
    // field; a switch to another label window (the focus passes through no
    // widget while the windows change) is not held back.
    QWidget *next = QApplication::focusWidget();
    const bool stayed = next && (next == this || isAncestorOf(next));
    m_verifying = true;
    if (desktop().message(this, kQuestionTitle, question(kind), Desktop::Icon::Question, Desktop::Yes | Desktop::No)
        == Desktop::Yes)
        field->setValue(v.corrected);
    if (stayed)
        field->setFocus(Qt::OtherFocusReason);
    m_verifying = false;
}

void TMDIChild::affiche_Pan0()
{
    const int n = LB_picto->count();
    Pan0->setVisible(n == 0);
    LB_picto->setToolTip(n == 0 ? QString() : n == 1 ? kOnePictogramHint : kSeveralPictogramsHint);
}

LabelDocument TMDIChild::document() const
{
    LabelDocument doc;
    doc.title = windowTitle();
    doc.filePath = Lab_filename->text();
    doc.product = Memo_S->toPlainText();
    doc.productColor = m_productColor;
    doc.ce = maskCE->value();
    doc.cas = maskCAS->value();
    doc.index = maskINDEX->value();
    doc.comment = Memo_C->toPlainText();
    doc.commentAlignment = m_commentAlignment;
    doc.signalWord = ComboBox1->currentText();
    doc.supplier = Memo_F->toPlainText();
    doc.logoPath = LabLOGO->text();
    doc.pictograms = pictogramList();
    doc.hazards = entries(CheckListBox2);
    doc.precautions = entries(CheckListBox3);
    doc.supplementary = entries(CheckListBox4);
    doc.fontFace = statusPanel(PanelFont);
    doc.productSize = statusPanel(PanelProductSize);
    doc.statementSize = statusPanel(PanelStatementSize);
    doc.marginX = Lab_margeX->text();
    doc.marginY = Lab_margeY->text();
    doc.scale = Lab_echelle->text();
    doc.numberingOnly = CB_hpeuh->isChecked();
    Complements->take(&doc);
    return doc;
}

void TMDIChild::applyDocument(const LabelDocument &doc)
{
    const QScopedValueRollback loading(m_loading, true);
    if (!doc.title.isEmpty())
        setWindowTitle(doc.title);
    Lab_filename->setText(doc.filePath);
    Memo_S->setPlainText(doc.product);
    setProductColor(doc.productColor);
    maskCE->setValue(doc.ce);
    maskCAS->setValue(doc.cas);
    maskINDEX->setValue(doc.index);
    Memo_C->setPlainText(doc.comment);
    setCommentAlignment(doc.commentAlignment);
    ComboBox1->setCurrentText(doc.signalWord);
    Memo_F->setPlainText(doc.supplier);
    QImage logo;
    m_logoError.clear();
    // A logo path that names no file is no problem (the label has no logo);
    // a file that cannot be used as a logo is said by the caller.
    if (!doc.logoPath.isEmpty() && QFileInfo::exists(doc.logoPath) && !QFileInfo(doc.logoPath).isDir()) {
        QString why;
        if (!loadLogoPicture(doc.logoPath, &logo, &why))
            m_logoError = kLogoUnusable.arg(QDir::toNativeSeparators(doc.logoPath), why);
    }
    setLogo(doc.logoPath, logo);
    showPictogramList(doc.pictograms);
    fillList(CheckListBox2, doc.hazards);
    fillList(CheckListBox3, doc.precautions);
    fillList(CheckListBox4, doc.supplementary);
    TForm_base *f = Form_base();
    setFontFace(doc.fontFace, f ? f->fontPanelWidth(doc.fontFace) : 50);
    setStatusPanel(PanelProductSize, doc.productSize);
    setStatusPanel(PanelStatementSize, doc.statementSize);
    Lab_margeX->setText(doc.marginX);
    Lab_margeY->setText(doc.marginY);
    Lab_echelle->setText(doc.scale);
    CB_hpeuh->setChecked(doc.numberingOnly);
    Complements->fill(doc);
    updateSummary();
    m_modified = false;
}

void TMDIChild::activate()
{
    TForm_base *f = Form_base();
    if (!f)
        return;
    // A hand-edited file may hold a fractional size ("7,5"): it is the
    // label's own and is kept, so that a later save writes it back.
    f->mirrors.fontFace = statusPanel(PanelFont);
    bool ok = false;
    if (const auto statement = LabelFile::parseSize(statusPanel(PanelStatementSize)))
        f->mirrors.statementSize = *statement;
    if (const auto product = LabelFile::parseSize(statusPanel(PanelProductSize)))
        f->mirrors.productSize = *product;
    setFontFace(f->mirrors.fontFace, f->fontPanelWidth(f->mirrors.fontFace));
    f->saveDialogFileName = QFileInfo(Lab_filename->text()).absoluteFilePath();
    if (kalvane() && kalvane()->printer()) {
        Tprinter *p = kalvane()->printer();
        p->Ed_g->setText(Lab_margeX->text());
        p->Ed_h->setText(Lab_margeY->text());
        const int scale = Lab_echelle->text().trimmed().toInt(&ok);
        if (ok)
            p->TrackBar1->setValue(scale);
    }
    f->mirrors.logoPath = LabLOGO->text();
    if (kalvane() && kalvane()->printer())
        kalvane()->printer()->CB_HPEUH->setChecked(CB_hpeuh->isChecked());
    f->updateTextMarks();
    f->refreshPreview();
}

void TMDIChild::markModified()
{
    if (!m_loading && !m_filling)
        m_modified = true;
}

void TMDIChild::markModifiedAnyway()
{
    m_modified = true;
}

bool TMDIChild::maybeDiscard()
{
    if (!m_modified)
        return true;
    TForm_base *f = Form_base();
    if (!f)
        return true;
    // The question is about this label: show it.
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        f->mdiArea->setActiveSubWindow(sub);
    switch (desktop().message(this, kDiscardTitle, kDiscardQuestion.arg(windowTitle()), Desktop::Icon::Question,
                              Desktop::Yes | Desktop::No | Desktop::Cancel)) {
    case Desktop::Yes:
        return f->saveLabel(this);
    case Desktop::No:
        return true;
    default:
        return false;
    }
}

void TMDIChild::refreshPreview()
{
    if (m_filling)
        return;
    if (TForm_base *f = Form_base())
        f->refreshPreview();
}

void TMDIChild::closeEvent(QCloseEvent *event)
{
    if (!m_closed && !maybeDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    if (TForm_base *f = Form_base())
        f->labelClosed();
}

bool TMDIChild::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (int n = 1; n <= 9; ++n) {
            if (watched == pictogramImages[n - 1]) {
                const int asked = m_pressPrompts;
                m_releasePending = n;
                pictogramPressed(n);
                // A message box opened by the press takes the button's
                // release with it: build the suggestions once the box has
                // closed, unless the release reached the image after all.
                if (m_pressPrompts != asked)
                    QTimer::singleShot(0, this, [this, n] {
                        if (m_releasePending != n)
                            return;
                        m_releasePending = 0;
                        if (kalvane() && kalvane()->hpPicto())
                            kalvane()->hpPicto()->buildSuggestions(this, n);
                    });
                return true;
            }
            if (watched == selectionFrames[n - 1]) {
                ShapeMouseDown(n);
                return true;
            }
        }
    }
    if (Memo_S && watched == Memo_S->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        chooseProductColor();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int n = 1; n <= 9; ++n) {
            if (watched == pictogramImages[n - 1]) {
                // Only a release over the image itself: the button may have
                // been dragged away from it since the press.
                const auto *release = static_cast<QMouseEvent *>(event);
                m_releasePending = 0;
                if (pictogramImages[n - 1]->rect().contains(release->position().toPoint()) && kalvane()
                    && kalvane()->hpPicto())
                    kalvane()->hpPicto()->buildSuggestions(this, n);
                return true;
            }
        }
    }
    if (watched == Logo && event->type() == QEvent::MouseButtonRelease) {
        chooseLogo();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMDIChild::contextMenuEvent(QContextMenuEvent *event)
{
    PopupMenu1->popup(event->globalPos());
}

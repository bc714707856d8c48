#include "tools/four.h"

#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/themeicon.h"
#include "tools/suppliercard.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

namespace {

const QString kCardGroup = QStringLiteral("Fiche du fournisseur");
const QString kListGroup = QStringLiteral("Liste personnelle");
const QString kLogoCaption = QStringLiteral("Logo Fournisseur");
const QString kLogoHint = QStringLiteral("Choisir le logo");
const QString kRemoveLogoHint = QStringLiteral("Supprimer le logo");
const QString kEmptyCardHint = QStringLiteral("Effacer");
const QString kCopyCaption = QStringLiteral("&Copier");
const QString kCopyHint = QStringLiteral("Copier les données dans l'étiquette en cours");
const QString kSaveCaption = QStringLiteral("Enregi&strer");
const QString kSaveHint = QStringLiteral("Ajouter/Modifier la fiche dans la liste personnelle");
const QString kDeleteCaption = QStringLiteral("&Supprimer");
const QString kDeleteHint = QStringLiteral("Supprimer le fournisseur sélectionné");
const QString kCloseCaption = QStringLiteral("&Fermer");
const QString kCloseHint = QStringLiteral("Quiitter");
const QString kLogoDialogTitle = QStringLiteral("Sélection du Logo");
const QString kLogoDialogFilter = QStringLiteral("Images|*.jpg;*.jpeg;*.png");

// The logo square; the picture is decoded at least this big, which the
// label's own logo square never exceeds either.
constexpr int kLogoSide = 64;
const QSize kLogoDecodeSize(2 * kLogoSide, 2 * kLogoSide);

// The personal list: a click or a move with the keys loads the card, "-"
// deletes it.
class SupplierList : public QListWidget
{
public:
    using QListWidget::QListWidget;
    std::function<void(int)> rowChosen;
    std::function<void()> minusPressed;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->text() == QStringLiteral("-")) {
            if (minusPressed)
                minusPressed();
            return;
        }
        const int before = currentRow();
        const bool selectedBefore = currentItem() && currentItem()->isSelected();
        QListWidget::keyPressEvent(event);
        const int after = currentRow();
        if (after >= 0 && (after != before || !selectedBefore) && currentItem()->isSelected() && rowChosen)
            rowChosen(after);
    }
};

QToolButton *imageButton(QWidget *parent, const char *name, const QString &hint, QStyle::StandardPixmap icon,
                         const char *themeIcon = nullptr)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setIcon(themeIcon ? ::themeIcon(QString::fromLatin1(themeIcon), parent->style(), icon)
                         : parent->style()->standardIcon(icon));
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    return b;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TFour::TFour(QWidget *frame)
    : QWidget(frame, Qt::Window)
{
    Application::noteCreated("TFour");
    setObjectName(QStringLiteral("TFour"));
    setWindowTitle(kCaption);
    m_folder = SupplierCard::folder(kalvane() ? kalvane()->startDirectory() : QDir::currentPath());

    GroupBox1 = new QGroupBox(kCardGroup, this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Memo_fab = new QPlainTextEdit(GroupBox1);
    Memo_fab->setObjectName(QStringLiteral("Memo_fab"));
    Memo_fab->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_fab->setTabChangesFocus(true);
    Memo_fab->setMinimumSize(240, 110);
    Logo = new QLabel(GroupBox1);
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->setFixedSize(kLogoSide, kLogoSide);
    Logo->setScaledContents(true);
    Logo->setFrameStyle(QFrame::Box | QFrame::Plain);
    Logo->setToolTip(kLogoHint);
    Logo->setCursor(Qt::PointingHandCursor);
    Logo->installEventFilter(this);
    Image1 = imageButton(GroupBox1, "Image1", kRemoveLogoHint, QStyle::SP_DialogDiscardButton, "edit-delete");
    Image3 = imageButton(GroupBox1, "Image3", kEmptyCardHint, QStyle::SP_DialogResetButton, "edit-clear-all");
    // The logo path of the card on screen; never shown.
    LabLOGO = new QLabel(kLogoCaption, this);
    LabLOGO->setObjectName(QStringLiteral("LabLOGO"));
    LabLOGO->setVisible(false);

    auto *imageRow = new QHBoxLayout;
    imageRow->setSpacing(2);
    imageRow->addWidget(Image1);
    imageRow->addWidget(Image3);
    imageRow->addStretch();
    auto *cardLayout = new QGridLayout(GroupBox1);
    cardLayout->addWidget(Memo_fab, 0, 0, 3, 1);
    cardLayout->addWidget(Logo, 0, 1, Qt::AlignTop | Qt::AlignHCenter);
    cardLayout->addLayout(imageRow, 1, 1);
    cardLayout->setRowStretch(2, 1);
    cardLayout->setColumnStretch(0, 1);

    GroupBox2 = new QGroupBox(kListGroup, this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *list = new SupplierList(GroupBox2);
    LBfab = list;
    LBfab->setObjectName(QStringLiteral("LBfab"));
    LBfab->setProperty("tag", -1);
    LBfab->setMinimumWidth(170);
    auto *listLayout = new QVBoxLayout(GroupBox2);
    listLayout->addWidget(LBfab);

    Button1 = button(this, "Button1", kCopyCaption, kCopyHint);
    Button2 = button(this, "Button2", kSaveCaption, kSaveHint);
    Button3 = button(this, "Button3", kDeleteCaption, kDeleteHint);
    Button4 = button(this, "Button4", kCloseCaption, kCloseHint);

    auto *top = new QHBoxLayout;
    top->addWidget(GroupBox1, 3);
    top->addWidget(GroupBox2, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addStretch();
    buttons->addWidget(Button4);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    OpenPictureDialog1.title = kLogoDialogTitle;
    OpenPictureDialog1.filter = kLogoDialogFilter;
    OpenPictureDialog1.folder = m_folder;
    OpenPictureDialog1.confirmOverwrite = false;

    connect(Memo_fab, &QPlainTextEdit::textChanged, this, &TFour::Memo_fabChange);
    connect(LBfab, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { LBfabClick(LBfab->row(item)); });
    connect(LBfab, &QListWidget::itemDoubleClicked, this, [this] { LBfabDblClick(); });
    list->rowChosen = [this](int row) { LBfabClick(row); };
    list->minusPressed = [this] { Button3Click(); };
    connect(Button1, &QPushButton::clicked, this, &TFour::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFour::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFour::Button3Click);
    connect(Button4, &QPushButton::clicked, this, [this] {
        m_backFromDialog = false;
        hide();
    });
    connect(Image1, &QToolButton::clicked, this, &TFour::Image1Click);
    connect(Image3, &QToolButton::clicked, this, &TFour::Image3Click);

    Button3->setEnabled(false);
    updateButtons();
    resize(540, 290);
}

void TFour::handOver(const QString &supplierText, const QImage &logo, const QString &logoPath)
{
    Memo_fab->setPlainText(supplierText);
    setLogo(logo);
    LabLOGO->setText(logoPath);
    m_logoPath = logoPath;
    // The label's own logo path: the frame's current logo path already is it
    // while that label is active; setting it again changes nothing it draws.
    if (TForm_base *f = Form_base())
        f->mirrors.logoPath = logoPath;
    m_backFromDialog = false;
    FormActivate();
    if (!m_placed)
        placeBesideFrame();
    show();
    raise();
    activateWindow();
}

// The first time it shows, the window goes beside the frame, or as far right
// as the screen allows, so the label window's supplier block stays in sight.
void TFour::placeBesideFrame()
{
    m_placed = true;
    QWidget *frame = parentWidget();
    if (!frame || !frame->isVisible())
        return;
    const QRect f = frame->frameGeometry();
    const QRect screenArea = frame->screen()->availableGeometry();
    // Before the first show the layout has not set the size yet, and the
    // window manager's borders are unknown: allow for both.
    if (layout())
        layout()->activate();
    const QSize outer = size().expandedTo(minimumSizeHint()) + QSize(16, 40);
    const int x = qBound(screenArea.left(), f.right() + 8, qMax(screenArea.left(), screenArea.right() - outer.width()));
    const int y = qBound(screenArea.top(), f.top() + 60, qMax(screenArea.top(), screenArea.bottom() - outer.height()));
    move(x, y);
}

void TFour::setLogo(const QImage &picture)
{
    m_logo = picture;
    Logo->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}

void TFour::warn(const QString &text)
{
    desktop().message(this, kWarningTitle, text, Desktop::Icon::Warning, Desktop::Ok);
}

int TFour::selectedRow() const
{
    const QList<QListWidgetItem *> selected = LBfab->selectedItems();
    return selected.isEmpty() ? -1 : LBfab->row(selected.constFirst());
}

void TFour::updateButtons()
{
    const bool hasText = !Memo_fab->toPlainText().isEmpty();
    Button1->setEnabled(hasText);
    Button2->setEnabled(hasText);
}

void TFour::Memo_fabChange()
{
    updateButtons();
}

void TFour::FormActivate()
{
    LBfab->clear();
    LBfab->addItems(SupplierCard::list(m_folder));
    LBfab->setCurrentRow(-1);
    LBfab->clearSelection();
    Button3->setEnabled(false);
    updateButtons();
}

void TFour::FormDeactivate()
{
    LBfab->setProperty("tag", selectedRow());
}

void TFour::LBfabClick(int row)
{
    if (row < 0 || row >= LBfab->count())
        return;
    const QString name = LBfab->item(row)->text();
    // Even a card that cannot be read stays selectable, so it can be deleted.
    LBfab->setProperty("tag", row);
    Button3->setEnabled(true);

    QString error;
    const QString path = SupplierCard::entryPath(m_folder, name, &error);
    SupplierCard card;
    if (path.isEmpty() || !SupplierCard::read(path, &card, &error)) {
        warn(error + u'\n' + kNotLoaded);
        return;
    }
    const QString startDirectory = kalvane() ? kalvane()->startDirectory() : QDir::currentPath();
    const QString resolved = SupplierCard::resolveLogoPath(card.logoPath, startDirectory);
    const bool present = QDir::isAbsolutePath(resolved) && QFileInfo::exists(resolved);
    Memo_fab->setPlainText(card.text);
    LabLOGO->setText(present ? resolved : card.logoPath);

    QImage picture;
    QString logoPath;
    if (present) {
        QString problem = SupplierCard::logoPathProblem(resolved);
        if (problem.isEmpty() && !SupplierCard::loadLogo(resolved, &picture, &problem, kLogoDecodeSize))
            picture = QImage();
        if (problem.isEmpty())
            logoPath = resolved;
        else
            warn(problem + u'\n' + kLogoNotUsed);
    }
    setLogo(picture);
    m_logoPath = logoPath;
    updateButtons();
}

void TFour::LBfabDblClick()
{
    Button1Click();
}

void TFour::Button1Click()
{
    TForm_base *f = Form_base();
    TMDIChild *label = f ? f->activeLabel() : nullptr;
    if (!label)
        return;
    // The label takes the card's whole text, as it keeps a label file's: its
    // typing limit does not cut what the program puts in.
    label->takeSupplier(Memo_fab->toPlainText(), m_logoPath, m_logo);
}

void TFour::Button2Click()
{
    SupplierCard card;
    card.text = Memo_fab->toPlainText();
    // A logo of the suppliers folder is named relatively, so the installation
    // can move.
    card.logoPath =
        SupplierCard::storedLogoPath(m_logoPath, kalvane() ? kalvane()->startDirectory() : QDir::currentPath());
    QString error;
    const QString path = card.pathIn(m_folder, &error);
    if (path.isEmpty()) {
        warn(error + u'\n' + kNotSaved);
        return;
    }
    bool write = true;
    if (QFileInfo::exists(path))
        write = desktop().message(this, kConfirmTitle, kReplaceQuestion, Desktop::Icon::Question,
                                  Desktop::Yes | Desktop::No)
                == Desktop::Yes;
    if (write && !card.write(m_folder, &error)) {
        warn(error + u'\n' + kNotSaved);
        return;
    }
    FormActivate();
}

void TFour::Button3Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString name = LBfab->item(row)->text();
    QString error;
    const QString path = SupplierCard::entryPath(m_folder, name, &error);
    if (path.isEmpty()) {
        warn(error);
        return;
    }
    // The card goes to the trash, so a slip of the "-" key can be undone. A
    // card already gone by other means only leaves the list.
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !desktop().moveToTrash(path)) {
        warn(kNotTrashed.arg(name));
        return;
    }
    delete LBfab->takeItem(row);
    const int previous = LBfab->property("tag").toInt() - 1;
    if (previous >= 0 && previous < LBfab->count()) {
        LBfab->setCurrentRow(previous);
        LBfab->setProperty("tag", previous);
    } else {
        LBfab->setCurrentRow(-1);
        LBfab->clearSelection();
        LBfab->setProperty("tag", -1);
    }
    Memo_fab->clear();
    setLogo(QImage());
    LabLOGO->clear();
    m_logoPath.clear();
    Button3->setEnabled(selectedRow() >= 0);
    LBfab->setFocus();
}

void TFour::LogoClick()
{
    const QStringList files = desktop().openFiles(this, OpenPictureDialog1);
    if (files.isEmpty())
        return;
    const QString chosen = QFileInfo(files.constFirst()).absoluteFilePath();
    if (!QFileInfo::exists(chosen))
        return;
    // The card keeps its own copy in the suppliers folder (a PNG picture
    // becomes a JPEG one), so the logo stays when the original moves.
    QString path;
    QString problem;
    QImage picture;
    if (SupplierCard::importLogo(chosen, m_folder, &path, &problem)) {
        problem = SupplierCard::logoPathProblem(path);
        if (problem.isEmpty())
            SupplierCard::loadLogo(path, &picture, &problem, kLogoDecodeSize);
    }
    if (!problem.isEmpty()) {
        warn(problem + u'\n' + kLogoNotChanged);
        return;
    }
    setLogo(picture);
    m_logoPath = path;
    LabLOGO->setText(path);
}

void TFour::Image1Click()
{
    setLogo(QImage());
    LabLOGO->clear();
    m_logoPath.clear();
}

void TFour::Image3Click()
{
    Memo_fab->clear();
    Image1Click();
}

bool TFour::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        // Coming back from one of this window's own message boxes or dialogs
        // is not a new visit: the list keeps its selection, so a card that
        // could not be read can still be deleted.
        if (m_backFromDialog)
            m_backFromDialog = false;
        else
            FormActivate();
    } else if (event->type() == QEvent::WindowDeactivate) {
        FormDeactivate();
        m_backFromDialog = QApplication::activeModalWidget() != nullptr;
    }
    return QWidget::event(event);
}

bool TFour::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Logo && event->type() == QEvent::MouseButtonRelease) {
        LogoClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

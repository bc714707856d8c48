#include "tools/planche.h"

#include "shell/application.h"
#include "shell/base.h"
#include "shell/onscreen.h"
#include "tools/printer.h"
#include "tools/sheetfile.h"
#include "tools/sheetlist.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TPlanche1::TPlanche1(QWidget *frame)
    : QWidget(frame, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    Application::noteCreated("TPlanche1");
    setObjectName(QStringLiteral("TPlanche1"));
    setWindowTitle(kCaption);

    GB_compil = new QGroupBox(kCountGroup, this);
    GB_compil->setObjectName(QStringLiteral("GB_compil"));
    Lab_nb_et = new QLabel(QStringLiteral("0"), GB_compil);
    Lab_nb_et->setObjectName(QStringLiteral("Lab_nb_et"));
    auto *countLayout = new QHBoxLayout(GB_compil);
    countLayout->addWidget(Lab_nb_et);
    countLayout->addStretch(1);

    ListBox1 = SheetList::create(this);
    connect(ListBox1, &QListWidget::itemClicked, this, &TPlanche1::ListBox1Click);

    const auto button = [this](const QString &caption, const char *name, const QString &hint) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        return b;
    };
    Button1 = button(QStringLiteral("+"), "Button1", kAddHint);
    Button2 = button(QStringLiteral("-"), "Button2", kRemoveHint);
    Button4 = button(QStringLiteral("Ø"), "Button4", kClearHint);
    Button5 = button(kLoad, "Button5", kLoadHint);
    Button6 = button(kSave, "Button6", kSaveHint);
    Button7 = button(kImport, "Button7", kImportHint);
    Button3 = button(kClose, "Button3", kCloseHint);
    Button8 = button(kHelp, "Button8", kHelpHint);
    connect(Button1, &QPushButton::clicked, this, &TPlanche1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TPlanche1::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TPlanche1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TPlanche1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TPlanche1::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TPlanche1::Button7Click);
    connect(Button3, &QPushButton::clicked, this, &TPlanche1::Button3Click);
    connect(Button8, &QPushButton::clicked, this, &TPlanche1::Button8Click);

    auto *side = new QVBoxLayout;
    for (QPushButton *b : {Button1, Button2, Button4})
        side->addWidget(b);
    side->addSpacing(12);
    for (QPushButton *b : {Button5, Button6, Button7})
        side->addWidget(b);
    side->addStretch(1);
    side->addWidget(Button8);
    side->addWidget(Button3);
    auto *layout = new QGridLayout(this);
    layout->addWidget(GB_compil, 0, 0);
    layout->addWidget(ListBox1, 1, 0);
    layout->addLayout(side, 0, 1, 2, 1);
    layout->setRowStretch(1, 1);
    resize(620, 420);

    // The dialogs start in the frame's label-file folder as it was when the
    // window was made.
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

    updateButtons();
}

void TPlanche1::showEvent(QShowEvent *event)
{
    // Centred on the main window each time it appears.
    if (QWidget *frame = parentWidget()) {
        const QRect area = frame->frameGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
        OnScreen::keep(this);
    }
    QWidget::showEvent(event);
}

QStringList TPlanche1::entries() const
{
    return SheetList::entries(ListBox1);
}

void TPlanche1::warn(const QString &text)
{
    desktop().message(this, kWarningTitle, text, Desktop::Icon::Warning, Desktop::Ok);
}

void TPlanche1::showCount()
{
    Lab_nb_et->setText(QString::number(ListBox1->count()));
}

void TPlanche1::updateButtons()
{
    const bool any = ListBox1->count() > 0;
    Button2->setEnabled(any);
    Button4->setEnabled(any);
    Button6->setEnabled(any);
}

void TPlanche1::replaceList(const QStringList &entries)
{
    const bool dropped = SheetList::replace(ListBox1, entries);
    showCount();
    updateButtons();
    if (dropped)
        warn(kTooMany);
}

void TPlanche1::ListBox1Click()
{
    SheetList::showCurrentAsTip(ListBox1);
}

void TPlanche1::Button1Click()
{
    const QStringList files = desktop().openFiles(this, OpenD2);
    if (!files.isEmpty()) {
        if (SheetList::wouldOverflow(ListBox1, files.size()))
            warn(kTooMany);
        SheetList::append(ListBox1, files);
        showCount();
    }
    updateButtons();
}

void TPlanche1::Button2Click()
{
    SheetList::removeSelected(ListBox1);
    showCount();
    updateButtons();
}

void TPlanche1::Button4Click()
{
    ListBox1->clear();
    Lab_nb_et->setText(QStringLiteral("0"));
    updateButtons();
}

void TPlanche1::Button5Click()
{
    const QStringList files = desktop().openFiles(this, OpenD);
    if (files.isEmpty())
        return;
    loadSheet(SheetFile::expanded(files.first()));
}

bool TPlanche1::loadSheet(const QString &path)
{
    QStringList read;
    QString error;
    // A file that cannot be read leaves the list and the count as they were.
    if (!SheetFile::read(path, &read, &error)) {
        warn(error);
        return false;
    }
    replaceList(read);
    SaveD.folder = QFileInfo(path).absolutePath();
    SaveD.fileName = QFileInfo(path).fileName();
    return true;
}

void TPlanche1::Button6Click()
{
    const QString path = desktop().saveFile(this, SaveD);
    if (path.isEmpty())
        return;
    QString error;
    if (!SheetFile::write(SheetFile::expanded(path), entries(), &error)) {
        warn(error);
        return;
    }
    SaveD.folder = QFileInfo(SheetFile::expanded(path)).absolutePath();
    SaveD.fileName = QFileInfo(SheetFile::expanded(path)).fileName();
}

void TPlanche1::Button7Click()
{
    Tprinter *options = kalvane() ? kalvane()->printer() : nullptr;
    const QStringList selection = options ? options->selection() : QStringList();
    if (selection.isEmpty()) {
        warn(kSelectionEmpty);
        return;
    }
    replaceList(selection);
}

void TPlanche1::Button3Click()
{
    hide();
}

void TPlanche1::Button8Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool shown = desktop().showHelp(this, kHelpPage);
    QApplication::restoreOverrideCursor();
    if (!shown)
        desktop().message(this, kWarningTitle, kHelpMissing, Desktop::Icon::Critical, Desktop::Ok);
}

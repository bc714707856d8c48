#include "editor/hppicto.h"

#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "render/apercu.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/onscreen.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

StatementList statements(const QListWidget *list)
{
    StatementList out;
    out.reserve(list->count());
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem *item = list->item(i);
        out.append({item->text(), item->checkState() == Qt::Checked});
    }
    return out;
}

} // namespace

THPpicto::THPpicto(QWidget *frame)
    : QWidget(frame, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    Application::noteCreated("THPpicto");
    setObjectName(QStringLiteral("THPpicto"));
    setWindowTitle(kCaption);
    // Showing the window leaves the focus in the label window, where the user
    // goes on clicking pictograms.
    setAttribute(Qt::WA_ShowWithoutActivating);

    CBL = new QListWidget(this);
    CBL->setObjectName(QStringLiteral("CBL"));
    // The lines come sorted (Suggestions::build); the list keeps their order.
    CBL->setSortingEnabled(false);
    CBL->setCursor(Qt::PointingHandCursor);
    CBL->setFont(QFont(QStringLiteral("Arial")));
    // A statement longer than the window is wrapped, never cut.
    CBL->setWordWrap(true);
    CBL->setTextElideMode(Qt::ElideNone);
    CBL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CBL->setResizeMode(QListView::Adjust);
    CBL->installEventFilter(this);
    CBL->viewport()->installEventFilter(this);
    connect(CBL, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!m_filling)
            applyToActiveLabel({item});
    });
    connect(CBL, &QListWidget::itemDoubleClicked, this, &THPpicto::toggleCurrent);

    B_all = new QPushButton(kAll, this);
    B_all->setObjectName(QStringLiteral("B_all"));
    B_all->setToolTip(kAllHint);
    connect(B_all, &QPushButton::clicked, this, [this] { setAll(true); });
    B_0 = new QPushButton(kNone, this);
    B_0->setObjectName(QStringLiteral("B_0"));
    B_0->setToolTip(kNoneHint);
    connect(B_0, &QPushButton::clicked, this, [this] { setAll(false); });
    Button1 = new QPushButton(kClose, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QWidget::hide);

    // The three buttons fit the window's first width of 231.
    for (QPushButton *b : {B_all, B_0, Button1})
        b->setMinimumWidth(60);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    buttons->addWidget(B_all);
    buttons->addWidget(B_0);
    buttons->addWidget(Button1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(CBL, 1);
    layout->addLayout(buttons);
    resize(kFirstSize);

    // The floating preview is created before this window. When it comes up
    // over the suggestions, they step aside.
    if (kalvane() && kalvane()->apercu())
        kalvane()->apercu()->installEventFilter(this);
}

void THPpicto::buildSuggestions(TMDIChild *label, int n)
{
    if (!label || n < 1 || n > 9)
        return;
    const QString start = kalvane() ? kalvane()->startDirectory() : QDir::currentPath() + u'/';
    const Suggestions::FileLines file =
        Suggestions::read(QFileInfo(start + Suggestions::fileName(n)).absoluteFilePath());
    // A file that cannot be used is reported each time, whether the window is
    // to be shown or not; the list is then emptied.
    if (!file.ok())
        desktop().message(label, Suggestions::kWarningTitle, file.message, Desktop::Icon::Warning, Desktop::Ok);

    const StatementList hazards = statements(label->CheckListBox2);
    const StatementList precautions = statements(label->CheckListBox3);
    fill(Suggestions::build(file.lines, hazards, precautions));

    if (label->CBH->isChecked()) {
        // It takes the size its statements need and goes beside the label,
        // unless the user moved it: then it stays where the user left it.
        const bool userPlaced = movedByUser();
        if (!userPlaced || !isVisible())
            resize(fittingSize());
        placeAt(userPlaced ? pos() : wantedPosition(label));
        show();
    } else {
        hide();
    }
}

void THPpicto::CBHClick(TMDIChild *label)
{
    if (!label || label->lastClickedPictogram() == 0)
        return;
    if (!label->CBH->isChecked()) {
        hide();
        return;
    }
    // The window shows where it was; it only moves when it would now be off
    // the screen or under the floating preview (or was never placed).
    if (!m_placed)
        resize(fittingSize());
    placeAt(m_placed ? pos() : wantedPosition(label));
    show();
}

QSize THPpicto::fittingSize() const
{
    const QRect area = OnScreen::frameScreenArea();
    const QSize most = area.isEmpty() ? QSize(640, 480) : area.size() / 2;
    const QFontMetrics metrics(CBL->font());
    int widest = 0;
    for (int i = 0; i < CBL->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(CBL->item(i)->text()));
    // The check box, the list's frame and scroll bar, the window's margins.
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, CBL)
                          + 3 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, CBL) + 8;
    const int chrome = 2 * CBL->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, CBL)
                       + layout()->contentsMargins().left() + layout()->contentsMargins().right();
    const int width = std::clamp(widest + indicator + chrome, kFirstSize.width(),
                                 std::max(kFirstSize.width(), most.width()));
    // The height of the lines as they wrap at that width.
    const int textWidth = std::max(1, width - indicator - chrome);
    int lines = 0;
    for (int i = 0; i < CBL->count(); ++i)
        lines += metrics.boundingRect(QRect(0, 0, textWidth, 1 << 20), Qt::TextWordWrap, CBL->item(i)->text()).height()
                 + 4;
    const int buttons = B_all->sizeHint().height() + layout()->spacing();
    const int height = std::clamp(lines + 2 * CBL->frameWidth() + buttons + layout()->contentsMargins().top()
                                      + layout()->contentsMargins().bottom(),
                                  kFirstSize.height(), std::max(kFirstSize.height(), most.height()));
    return {width, height};
}

bool THPpicto::movedByUser()
{
    // Before the window manager has framed it, pos() is the inside's corner.
    const QMargins margins = frameMargins();
    const QPoint inside = m_placedAt + QPoint(margins.left(), margins.top());
    if (m_placed && isVisible() && (pos() - m_placedAt).manhattanLength() > 8
        && (pos() - inside).manhattanLength() > 8)
        m_userPlaced = true;
    return m_userPlaced;
}

void THPpicto::hideEvent(QHideEvent *event)
{
    movedByUser();
    QWidget::hideEvent(event);
}

Suggestions::Lines THPpicto::lines() const
{
    Suggestions::Lines out;
    out.reserve(CBL->count());
    for (int i = 0; i < CBL->count(); ++i)
        out.append({CBL->item(i)->text(), CBL->item(i)->checkState() == Qt::Checked});
    return out;
}

QPoint THPpicto::wantedPosition(const TMDIChild *label)
{
    // The label window's position is the one of its sub-window in the frame's
    // window area.
    const QWidget *child = qobject_cast<const QMdiSubWindow *>(label->parentWidget()) ? label->parentWidget() : label;
    QPoint p = child->pos() + QPoint(kOffsetX, kOffsetY);
    if (const TForm_base *f = Form_base())
        p += f->pos();
    return p;
}

void THPpicto::fill(const Suggestions::Lines &lines)
{
    m_filling = true;
    CBL->clear();
    for (const Suggestions::Line &line : lines) {
        auto *item = new QListWidgetItem(line.text, CBL);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(line.ticked ? Qt::Checked : Qt::Unchecked);
    }
    CBL->setToolTip(QString());
    m_filling = false;
}

void THPpicto::setAll(bool ticked)
{
    QList<QListWidgetItem *> items;
    m_filling = true;
    for (int i = 0; i < CBL->count(); ++i) {
        CBL->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        items << CBL->item(i);
    }
    m_filling = false;
    applyToActiveLabel(items);
}

void THPpicto::toggleCurrent()
{
    QListWidgetItem *item = CBL->currentItem();
    if (!item)
        return;
    // The list's change signal carries the new mark to the label.
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void THPpicto::applyToActiveLabel(const QList<QListWidgetItem *> &items)
{
    TForm_base *f = Form_base();
    TMDIChild *label = f ? f->activeLabel() : nullptr;
    if (!label)
        return;
    // Only the suggestions whose mark changed are carried over: a statement
    // the user ticked or unticked in the label after the list was built, or a
    // label other than the one the list was built from, keeps its other marks.
    Suggestions::Lines changed;
    for (const QListWidgetItem *item : items)
        changed.append({item->text(), item->checkState() == Qt::Checked});
    for (QListWidget *list : {static_cast<QListWidget *>(label->CheckListBox2),
                              static_cast<QListWidget *>(label->CheckListBox3)}) {
        StatementList entries = statements(list);
        const QList<int> rows = Suggestions::apply(changed, &entries);
        // One summary and one preview for the whole change, not one per line.
        const QSignalBlocker block(list);
        for (int row : rows)
            list->item(row)->setCheckState(entries.at(row).ticked ? Qt::Checked : Qt::Unchecked);
        // The blocked signals would have marked the label changed.
        if (!rows.isEmpty())
            label->markModified();
    }
    label->updateSummary();
    f->refreshPreview();
}

QMargins THPpicto::frameMargins() const
{
    // The title bar and borders: this window's own once it has been shown,
    // before that (or while the window manager has forgotten them, hidden)
    // the frame's, which the window manager decorates alike.
    QMargins margins;
    if (windowHandle())
        margins = windowHandle()->frameMargins();
    if (margins.isNull())
        if (const QWidget *frame = parentWidget(); frame && frame->windowHandle())
            margins = frame->windowHandle()->frameMargins();
    return margins;
}

void THPpicto::placeAt(const QPoint &wanted)
{
    const QWidget *frame = parentWidget();
    QScreen *screen = frame ? frame->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    std::optional<QRect> preview;
    if (kalvane() && kalvane()->apercu() && kalvane()->apercu()->isVisible())
        preview = kalvane()->apercu()->frameGeometry();
    const QMargins margins = frameMargins();
    const QSize inner = size().expandedTo(minimumSizeHint());
    const QRect wantedRect(wanted, inner.grownBy(margins));
    const QRect placed = screen ? Suggestions::place(wantedRect, screen->availableGeometry(), preview) : wantedRect;
    // The inside goes where the borders leave room for it.
    setGeometry(QRect(placed.topLeft() + QPoint(margins.left(), margins.top()), inner));
    m_placed = true;
    m_placedAt = placed.topLeft();
}

bool THPpicto::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && kalvane() && watched == kalvane()->apercu() && isVisible())
        placeAt(pos());
    if (watched == CBL && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            toggleCurrent();
            return true;
        }
    }
    if (watched == CBL->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // The press made the clicked line current; the hint shows it.
        const QListWidgetItem *item = CBL->currentItem();
        CBL->setToolTip(item ? item->text() : QString());
    }
    return QWidget::eventFilter(watched, event);
}

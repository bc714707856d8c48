#include "editor/labelwidgets.h"

#include <QHBoxLayout>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>

CheckListBox::CheckListBox(int listNumber, QWidget *parent)
    : QListWidget(parent)
    , m_listNumber(listNumber)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CheckListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    Q_EMIT focusEntered(m_listNumber);
}

void CheckListBox::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    // A context menu, or another window such as the phrase editor, does not
    // take the focus away from the list within its label window.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        Q_EMIT focusLeft(m_listNumber);
}

SearchBox::SearchBox(const QString &initial, int clickStart, int clickLength, QWidget *parent)
    : QLineEdit(initial, parent)
    , m_clickStart(clickStart)
    , m_clickLength(clickLength)
{
    setMaxLength(20);
    // Typed letters become capitals, as the catalogue codes are written.
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int pos = cursorPosition();
            setText(upper);
            setCursorPosition(pos);
        }
    });
}

void SearchBox::selectAfterPrefix(int length)
{
    setFocus(Qt::OtherFocusReason);
    setSelection(m_clickStart, length);
}

void SearchBox::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (!hasSelectedText())
        setSelection(m_clickStart, m_clickLength);
}

void SearchBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT enterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

LabelStatusBar::LabelStatusBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    struct Panel { const char *text; int width; bool right; };
    const Panel panels[kPanels] = {
        {"", 0, false},        {"Police :", 36, true},  {"Arial", 50, false},
        {"", 10, false},       {"Taille fonte produit :", 94, true}, {"20", 20, false},
        {"", 10, false},       {"Taille fonte phrases :", 100, true}, {"8", 20, false},
        {"", 50, false},
    };
    for (int i = 0; i < kPanels; ++i) {
        auto *panel = new QLabel(QString::fromUtf8(panels[i].text), this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setAlignment((panels[i].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        // The widths are those of the classic 8-point dialog font; a caption
        // never gets less room than its text needs in the font in use.
        const int textWidth = panels[i].text[0] ? panel->fontMetrics().horizontalAdvance(panel->text()) + 6 : 0;
        panel->setFixedWidth(qMax(panels[i].width, i == 2 || i == 5 || i == 8 ? 0 : textWidth));
        if (i == 2 || i == 5 || i == 8) {
            QFont f = panel->font();
            f.setBold(true);
            panel->setFont(f);
            panel->setContentsMargins(4, 0, 0, 0);
        }
        m_panels[i] = panel;
        layout->addWidget(panel);
    }
    layout->addStretch(1);
}

QString LabelStatusBar::panelText(int i) const { return m_panels[i]->text(); }
void LabelStatusBar::setPanelText(int i, const QString &text) { m_panels[i]->setText(text); }
int LabelStatusBar::panelWidth(int i) const { return m_panels[i]->width(); }
void LabelStatusBar::setPanelWidth(int i, int width) { m_panels[i]->setFixedWidth(width); }

MaskEdit::MaskEdit(const QString &emptyText, bool acceptX, QWidget *parent)
    : QLineEdit(parent)
    , m_empty(emptyText)
    , m_value(emptyText)
    , m_acceptX(acceptX)
{
    setMaxLength(emptyText.size());
    show();
}

bool MaskEdit::accepts(QChar c) const
{
    return (c >= u'0' && c <= u'9') || (m_acceptX && c == u'X');
}

void MaskEdit::setValue(const QString &value)
{
    // A stored value keeps its length; dashes stay where the mask has them.
    QString v = value.left(m_empty.size()).leftJustified(m_empty.size(), u' ');
    for (int i = 0; i < v.size(); ++i)
        if (!isSlot(i))
            v[i] = u'-';
    if (v == m_value)
        return;
    m_value = v;
    show();
    Q_EMIT valueChanged(m_value);
}

void MaskEdit::show()
{
    const int pos = cursorPosition();
    QString shown = m_value;
    if (hasFocus())
        for (int i = 0; i < shown.size(); ++i)
            if (isSlot(i) && shown.at(i) == u' ')
                shown[i] = u'_';
    QLineEdit::setText(shown);
    setCursorPosition(pos);
}

void MaskEdit::typeAt(int pos, QChar c)
{
    while (pos < m_value.size() && !isSlot(pos))
        ++pos;
    if (pos >= m_value.size())
        return;
    QString v = m_value;
    v[pos] = c;
    ++pos;
    while (pos < v.size() && !isSlot(pos))
        ++pos;
    if (v != m_value) {
        m_value = v;
        show();
        Q_EMIT valueChanged(m_value);
    }
    setCursorPosition(pos);
}

void MaskEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (event->matches(QKeySequence::Paste)) {
        int pos = hasSelectedText() ? selectionStart() : cursorPosition();
        for (QChar c : QGuiApplication::clipboard() ? QGuiApplication::clipboard()->text() : QString()) {
            if (!accepts(c))
                continue;
            typeAt(pos, c);
            pos = cursorPosition();
        }
        return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        int from = hasSelectedText() ? selectionStart() : cursorPosition();
        int to = hasSelectedText() ? selectionStart() + selectedText().size() : from + 1;
        if (!hasSelectedText() && key == Qt::Key_Backspace) {
            to = from;
            from = from - 1;
            while (from >= 0 && !isSlot(from))
                --from;
            to = from + 1;
        }
        if (from < 0)
            return;
        QString v = m_value;
        for (int i = from; i < to && i < v.size(); ++i)
            if (isSlot(i))
                v[i] = u' ';
        if (v != m_value) {
            m_value = v;
            show();
            Q_EMIT valueChanged(m_value);
        }
        setCursorPosition(from);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Characters outside the number's set are discarded.
        if (accepts(text.at(0)))
            typeAt(hasSelectedText() ? selectionStart() : cursorPosition(), text.at(0));
        return;
    }
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return;
    QLineEdit::keyPressEvent(event);
}

void MaskEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    show();
}

void MaskEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    show();
    // Leaving for another control of the program; switching to another
    // application or opening a menu is not leaving the field.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        Q_EMIT left();
}

PictoList::PictoList(QWidget *parent)
    : QListWidget(parent)
{
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void PictoList::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    if (currentRow() >= 0)
        remembered = currentRow();
}

void PictoList::keyPressEvent(QKeyEvent *event)
{
    QListWidget::keyPressEvent(event);
    if (currentRow() >= 0 && event->key() != Qt::Key_Minus)
        remembered = currentRow();
    Q_EMIT keyPressed(event->key());
}

void PictoList::dropEvent(QDropEvent *event)
{
    // Only drags that started here move anything, and only onto an entry.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (event->source() != this)
        return;
    const int to = indexAt(event->position().toPoint()).row();
    if (to < 0)
        return;
    Q_EMIT dropped(remembered, to);
}

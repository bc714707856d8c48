#include "editor/labelwidgets.h"

#include "shell/desktop.h"
#include "shell/storabletext.h"

#include <QHBoxLayout>

#include <algorithm>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>

CheckListBox::CheckListBox(int listNumber, QWidget *parent)
    : QListWidget(parent)
    , m_listNumber(listNumber)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setItemDelegate(new StatementDelegate(this));
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
    m_notice = new ElidedLabel(this);
    m_notice->setObjectName(QStringLiteral("StatusNotice"));
    m_notice->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_notice->setContentsMargins(6, 0, 0, 0);
    layout->addWidget(m_notice, 1);
}

QString LabelStatusBar::notice() const { return m_notice->text(); }
QString LabelStatusBar::noticeDetail() const { return m_notice->toolTip(); }

void LabelStatusBar::setNotice(const QString &text, const QString &detail)
{
    m_notice->setText(text);
    m_notice->setToolTip(detail.isEmpty() ? text : detail);
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

QString MaskEdit::fromWritten(const QString &emptyText, const QString &written, bool acceptX)
{
    const auto accepted = [acceptX](QChar c) { return (c >= u'0' && c <= u'9') || (acceptX && c == u'X'); };
    // The field's groups: runs of slots between the fixed dashes.
    QList<QPair<int, int>> slots; // start, length
    for (int i = 0; i < emptyText.size(); ++i) {
        if (emptyText.at(i) == u'-')
            continue;
        if (slots.isEmpty() || slots.constLast().first + slots.constLast().second != i)
            slots.append({i, 0});
        ++slots.last().second;
    }
    // The written groups: runs of accepted characters, split at anything else.
    QStringList groups;
    QString run;
    for (QChar c : written) {
        if (accepted(c)) {
            run += c;
        } else if (!run.isEmpty()) {
            groups << run;
            run.clear();
        }
    }
    if (!run.isEmpty())
        groups << run;
    if (groups.isEmpty())
        return {};
    QString v = emptyText;
    // Written in groups (a partial number too): each group right-aligned in
    // the field's group of the same rank.
    if (groups.size() > 1 && groups.size() <= slots.size()) {
        for (int g = 0; g < groups.size(); ++g) {
            const auto [start, length] = slots.at(g);
            const QString digits = groups.at(g).right(length);
            for (int k = 0; k < digits.size(); ++k)
                v[start + length - digits.size() + k] = digits.at(k);
        }
        return v;
    }
    // One run of characters: it fills the slots from the right.
    QString digits = groups.join(QString());
    int pos = emptyText.size() - 1;
    for (qsizetype k = digits.size() - 1; k >= 0 && pos >= 0; --k) {
        while (pos >= 0 && emptyText.at(pos) == u'-')
            --pos;
        if (pos < 0)
            break;
        v[pos--] = digits.at(k);
    }
    return v;
}

bool MaskEdit::setWritten(const QString &written)
{
    const QString v = fromWritten(m_empty, written, m_acceptX);
    if (v.isEmpty())
        return false;
    setValue(v);
    setCursorPosition(m_empty.size());
    return true;
}

void MaskEdit::closeGroup(int pos)
{
    // The group holding the caret: from the dash before it to the dash after.
    if (pos >= m_value.size())
        return;
    if (!isSlot(pos)) {
        // On a dash: the caret simply passes it.
        setCursorPosition(pos + 1);
        return;
    }
    int start = pos;
    while (start > 0 && isSlot(start - 1))
        --start;
    int end = pos;
    while (end < m_value.size() && isSlot(end))
        ++end;
    // Typed so far: the group's characters before the caret. At the start of
    // a group (the caret has just passed the fixed dash) the typed dash is
    // the one already there: nothing moves.
    const QString typed = m_value.mid(start, pos - start).remove(u' ');
    if (typed.isEmpty())
        return;
    {
        QString v = m_value;
        for (int i = start; i < end; ++i)
            v[i] = u' ';
        for (int k = 0; k < typed.size(); ++k)
            v[end - typed.size() + k] = typed.at(k);
        if (v != m_value) {
            m_value = v;
            show();
            Q_EMIT valueChanged(m_value);
        }
    }
    setCursorPosition(std::min<int>(end + 1, m_value.size()));
}

void MaskEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (event->matches(QKeySequence::Paste)) {
        // A whole number is taken as it is written; a few characters are
        // typed in at the caret.
        const QString pasted = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->text() : QString();
        int accepted = 0;
        for (QChar c : pasted)
            accepted += accepts(c) ? 1 : 0;
        if (accepted >= 2) {
            setWritten(pasted);
            return;
        }
        int pos = hasSelectedText() ? selectionStart() : cursorPosition();
        for (QChar c : pasted) {
            if (!accepts(c))
                continue;
            typeAt(pos, c);
            pos = cursorPosition();
        }
        return;
    }
    if (event->text() == QLatin1String("-") && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        closeGroup(hasSelectedText() ? selectionStart() : cursorPosition());
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

LimitedMemo::LimitedMemo(int maximum, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_maximum(maximum)
{
    connect(this, &QPlainTextEdit::textChanged, this, &LimitedMemo::updateAlignment);
}

void LimitedMemo::setPreferredAlignment(Qt::Alignment alignment)
{
    m_preferred = alignment;
    updateAlignment();
}

void LimitedMemo::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    updateAlignment();
}

void LimitedMemo::updateAlignment()
{
    if (m_aligning)
        return;
    const QScopedValueRollback guard(m_aligning, true);
    Qt::Alignment wanted = m_preferred;
    if (lineWrapMode() == QPlainTextEdit::NoWrap && wanted != Qt::AlignLeft) {
        const QFontMetrics metrics(font());
        const int room = viewport()->width() - 2 * int(document()->documentMargin()) - 2;
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            if (block.length() > 2000 || metrics.horizontalAdvance(block.text()) > room) {
                wanted = Qt::AlignLeft;
                break;
            }
        }
    }
    QTextOption option = document()->defaultTextOption();
    if (option.alignment() == wanted)
        return;
    option.setAlignment(wanted);
    document()->setDefaultTextOption(option);
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(20, QLabel::minimumSizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    // A text that fits keeps the label's alignment; a cut one starts at the left.
    const Qt::Alignment align = shown == text() ? alignment() : (Qt::AlignLeft | Qt::AlignVCenter);
    style()->drawItemText(&p, area, int(align), palette(), isEnabled(), shown, foregroundRole());
}

int LimitedMemo::room() const
{
    const int length = document()->characterCount() - 1;
    const QTextCursor cursor = textCursor();
    const int selected = cursor.selectionEnd() - cursor.selectionStart();
    return m_maximum - (length - selected);
}

bool LimitedMemo::insertTyped(const QString &typed)
{
    const QString text = insertionFilter ? insertionFilter(typed) : typed;
    const int left = room();
    if (text.size() > left) {
        Q_EMIT limitReached(int(text.size()), std::max(0, left));
        return false;
    }
    textCursor().insertText(text);
    ensureCursorVisible();
    return true;
}

void LimitedMemo::keyPressEvent(QKeyEvent *event)
{
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = event->text();
    const bool inserts = lineBreak
        || (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)));
    if (!inserts) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const QString filtered = lineBreak || !insertionFilter ? text : insertionFilter(text);
    const int needed = lineBreak ? 1 : int(filtered.size());
    if (filtered == text && room() >= needed) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // Refused or changed: the memo does not see the key.
    event->accept();
    if (room() < needed) {
        Q_EMIT limitReached(needed, std::max(0, room()));
        return;
    }
    textCursor().insertText(filtered);
    ensureCursorVisible();
}

void LimitedMemo::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    // A paste that does not fit is refused whole: a cut one would lose the
    // end of a sentence unseen.
    insertTyped(text);
}

void LimitedMemo::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty()) {
        const QString text = insertionFilter ? insertionFilter(commit) : commit;
        if (text != commit || room() < int(text.size())) {
            QInputMethodEvent kept(event->preeditString(), event->attributes());
            kept.setCommitString(QString(), event->replacementStart(), event->replacementLength());
            QPlainTextEdit::inputMethodEvent(&kept);
            if (room() < int(text.size())) {
                Q_EMIT limitReached(int(text.size()), std::max(0, room()));
                return;
            }
            textCursor().insertText(text);
            return;
        }
    }
    QPlainTextEdit::inputMethodEvent(event);
}

QValidator::State LengthValidator::validate(QString &input, int &) const
{
    if (input.size() > m_maximum && input.size() > m_last && !(programSets && programSets())) {
        if (refused)
            refused(int(input.size()));
        return Invalid;
    }
    m_last = input.size();
    return Acceptable;
}

QString offerStorableText(QWidget *parent, const QString &text)
{
    if (StorableText::storable(text))
        return text;
    const QList<StorableText::Problem> problems = StorableText::problems(text);
    // Accents typed as combining marks compose into letters the file holds.
    if (problems.isEmpty())
        return StorableText::replaced(text);
    const QString list = StorableText::describe(problems).join(u'\n');
    const bool anyNearest = std::any_of(problems.begin(), problems.end(),
                                        [](const StorableText::Problem &p) { return p.nearest.has_value(); });
    if (!anyNearest) {
        desktop().message(parent, kUnstorableWarningTitle, kUnstorableWarning.arg(list), Desktop::Icon::Warning,
                          Desktop::Ok);
        return text;
    }
    if (desktop().message(parent, kUnstorableTitle, kUnstorableQuestion.arg(list), Desktop::Icon::Question,
                          Desktop::Yes | Desktop::No)
        == Desktop::Yes)
        return StorableText::replaced(text);
    return text;
}

void StatementDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > kShownCharacters)
        option->text = option->text.left(kShownCharacters) + QStringLiteral("…");
}

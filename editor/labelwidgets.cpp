#include "editor/labelwidgets.h"

#include <QHBoxLayout>
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
    struct Spec { const char *text; int width; bool right; };
    const Spec specs[kPanels] = {
        {"", 0, false},        {"Police :", 36, true},  {"Arial", 50, false},
        {"", 10, false},       {"Taille fonte produit :", 94, true}, {"20", 20, false},
        {"", 10, false},       {"Taille fonte phrases :", 100, true}, {"8", 20, false},
        {"", 50, false},
    };
    for (int i = 0; i < kPanels; ++i) {
        auto *panel = new QLabel(QString::fromUtf8(specs[i].text), this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setAlignment((specs[i].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        panel->setFixedWidth(specs[i].width);
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

#include "tools/rightfilledmaskedit.h"

#include "tools/substancedatabase.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

RightFilledMaskEdit::RightFilledMaskEdit(const QString &emptyText, bool acceptX, QWidget *parent)
    : MaskEdit(emptyText, acceptX, parent)
{
}

QString RightFilledMaskEdit::characters() const
{
    QString chars;
    for (QChar c : value())
        if (c != u' ' && c != u'-')
            chars += c;
    return chars;
}

QString RightFilledMaskEdit::unselectedCharacters() const
{
    if (!hasSelectedText())
        return characters();
    const int from = selectionStart();
    const int to = from + int(selectedText().size());
    const QString v = value();
    QString chars;
    for (int i = 0; i < v.size(); ++i)
        if ((i < from || i >= to) && v.at(i) != u' ' && v.at(i) != u'-')
            chars += v.at(i);
    return chars;
}

int RightFilledMaskEdit::slotCount() const
{
    return int(emptyText().size() - emptyText().count(u'-'));
}

void RightFilledMaskEdit::setCharacters(const QString &chars)
{
    setValue(SubstanceDatabase::rightFilled(emptyText(), chars));
    setCursorPosition(int(emptyText().size()));
}

void RightFilledMaskEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (event->matches(QKeySequence::Paste)) {
        QString chars = unselectedCharacters();
        const QString pasted = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->text() : QString();
        for (QChar c : pasted)
            if (accepts(c) && chars.size() < slotCount())
                chars += c;
        setCharacters(chars);
        return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        QString chars = unselectedCharacters();
        if (!hasSelectedText())
            chars.chop(1);
        setCharacters(chars);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Characters outside the number's set are discarded; a full field
        // takes nothing more. Typing over a selection replaces it.
        const QString chars = unselectedCharacters();
        if (accepts(text.at(0)) && chars.size() < slotCount())
            setCharacters(chars + text.at(0));
        return;
    }
    MaskEdit::keyPressEvent(event);
}

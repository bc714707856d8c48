#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QValidator>

#include <functional>

// A statement check list. Its tag is the index found by the last search in it,
// -1 when that search found nothing.
class CheckListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit CheckListBox(int listNumber, QWidget *parent = nullptr);
    int tag = -1;
    int listNumber() const { return m_listNumber; } // 2 H, 3 P, 4 EUH

Q_SIGNALS:
    void focusEntered(int listNumber);
    void focusLeft(int listNumber);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_listNumber;
};

// A search box over a statement list: typed letters become capitals, at most
// 20 characters, and the placeholder's leading letters stay when clicked.
class SearchBox : public QLineEdit
{
    Q_OBJECT
public:
    SearchBox(const QString &initial, int clickStart, int clickLength, QWidget *parent = nullptr);
    // Selects what follows the prefix, as when the tab is shown.
    void selectAfterPrefix(int length = 20);
    int prefixLength() const { return m_clickStart; }

Q_SIGNALS:
    void enterPressed();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_clickStart;
    int m_clickLength;
};

// The label window's status line: ten fixed panels.
class LabelStatusBar : public QWidget
{
    Q_OBJECT
public:
    explicit LabelStatusBar(QWidget *parent = nullptr);
    static constexpr int kPanels = 10;
    QString panelText(int i) const;
    void setPanelText(int i, const QString &text);
    int panelWidth(int i) const;
    void setPanelWidth(int i, int width);
    // A short notice after the panels (a typing limit reached), in the room
    // they leave, with its whole explanation as its hint. Empty: nothing shown.
    QString notice() const;
    QString noticeDetail() const;
    void setNotice(const QString &text, const QString &detail = QString());

private:
    QLabel *m_panels[kPanels] = {};
    QLabel *m_notice = nullptr;
};

// A fixed-length number field with fixed dashes, edited in overwrite mode:
// empty positions are blanks in its value and show as "_" while it has the
// focus. Only the accepted characters can be typed.
class MaskEdit : public QLineEdit
{
    Q_OBJECT
public:
    MaskEdit(const QString &emptyText, bool acceptX, QWidget *parent = nullptr);
    QString value() const { return m_value; }
    void setValue(const QString &value);
    QString emptyText() const { return m_empty; }
    bool accepts(QChar c) const;

    // A number as people write it ("7664-93-9", "7664939", "7664 93 9"): its
    // groups are put right-aligned into the field's groups. Without
    // separators, the digits fill the groups from the right. Characters the
    // field does not accept are left out. The field's text keeps its fixed
    // form; false when nothing usable was given.
    bool setWritten(const QString &written);
    // The same rule as a pure function, for the substance database's fields.
    static QString fromWritten(const QString &emptyText, const QString &written, bool acceptX);

Q_SIGNALS:
    void valueChanged(const QString &value);
    void left(); // the focus moved to another control

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool isSlot(int pos) const { return pos >= 0 && pos < m_empty.size() && m_empty.at(pos) != u'-'; }
    void typeAt(int pos, QChar c);
    // A dash typed in a group: the characters typed so far in it move to its
    // right end and the caret goes to the next group.
    void closeGroup(int pos);
    void show();
    QString m_empty;
    QString m_value;
    bool m_acceptX;
};

// The pictogram list: a drop on an entry moves the dragged (current) entry to
// the drop entry's place; a drop elsewhere moves nothing.
class PictoList : public QListWidget
{
    Q_OBJECT
public:
    explicit PictoList(QWidget *parent = nullptr);
    int remembered = 0; // index of the current entry at the last click or key move

Q_SIGNALS:
    void dropped(int from, int to);
    void keyPressed(int key);

protected:
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};

// A memo whose typing is limited to a number of characters (line breaks
// included). The limit applies to what the user types, pastes or drops; a
// text the program puts in (a label file's content) is kept whole, and then
// typing can shorten it but not lengthen it. What does not fit is refused
// whole (a paste is never cut) and said through `limitReached`.
class LimitedMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    LimitedMemo(int maximum, QWidget *parent = nullptr);
    int maximum() const { return m_maximum; }
    // Sees every text the user types, pastes or drops before it goes in, and
    // gives the text to insert in its place (the label window offers there
    // the nearest text its file can store).
    std::function<QString(const QString &)> insertionFilter;
    // The alignment of a memo that does not wrap (centred product name,
    // right-aligned supplier): a line wider than the box is shown from its
    // left edge instead, so that no part of it is out of reach.
    void setPreferredAlignment(Qt::Alignment alignment);
    // Room left for an insertion that replaces the selection.
    int room() const;

Q_SIGNALS:
    // An insertion of `length` characters was refused: only `room` were left.
    void limitReached(int length, int room);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateAlignment();
    // Inserts what the user gave, filtered, when it fits; false when refused.
    bool insertTyped(const QString &text);
    int m_maximum;
    Qt::Alignment m_preferred = Qt::AlignLeft;
    bool m_aligning = false;
};

// A one-line caption that shows the start of a long text, cut at its end
// with "…" (the whole text belongs in its hint).
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Draws a statement list's items: a very long line (a hand-edited catalogue)
// is shortened for drawing, so that showing the list stays quick.
class StatementDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int kShownCharacters = 600;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// The typing limit of a one-line field (the signal word): an edit that makes
// the text longer than the limit is refused whole and said through
// `refused`; a longer text the program puts in (a label file's) is kept, and
// then typing can shorten it but not lengthen it.
class LengthValidator : public QValidator
{
public:
    LengthValidator(int maximum, QObject *parent = nullptr) : QValidator(parent), m_maximum(maximum) {}
    // True while the program itself sets the text.
    std::function<bool()> programSets;
    std::function<void(int length)> refused;
    State validate(QString &input, int &pos) const override;

private:
    int m_maximum;
    mutable qsizetype m_last = 0; // length of the text after the last accepted change
};

// Characters typed or pasted into a label's text that its file cannot store
// (Windows-1252): the user is asked at once, in one message listing them with
// the nearest storable text, whether to take that text instead. Returns the
// text to insert: `text` replaced on Yes, as typed on No (the label then
// cannot be saved until they are changed); `text` itself when all of it can
// be stored.
QString offerStorableText(QWidget *parent, const QString &text);
inline const QString kUnstorableTitle = QStringLiteral("CONFIRMATION");
inline const QString kUnstorableQuestion = QStringLiteral(
    "Ces caractères ne peuvent pas être enregistrés dans le fichier de l'étiquette "
    "(jeu de caractères Windows-1252) :\n%1\n\nRemplacer par le texte proposé ?\n"
    "(Non : le texte reste tel quel, mais l'étiquette ne pourra pas être enregistrée ainsi.)");
inline const QString kUnstorableWarningTitle = QStringLiteral("AVERTISSEMENT");
inline const QString kUnstorableWarning = QStringLiteral(
    "Ces caractères ne peuvent pas être enregistrés dans le fichier de l'étiquette "
    "(jeu de caractères Windows-1252) et n'ont pas d'équivalent :\n%1\n\n"
    "L'étiquette ne pourra pas être enregistrée tant qu'ils y restent.");

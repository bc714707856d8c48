#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

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

private:
    QLabel *m_panels[kPanels] = {};
};

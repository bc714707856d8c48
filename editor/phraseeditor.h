#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The phrase editor: the wording of one statement, changed for the active
// label only.
class TFormEdit : public QWidget
{
    Q_OBJECT
public:
    explicit TFormEdit(QWidget *frame);

    QPlainTextEdit *Memo1 = nullptr;
    // The statement as edited: one line, every character kept as it is
    // (no-break spaces included).
    QString text() const;
    void setText(const QString &text);
    // Shows the editor next to `anchor` (a label window), on its screen.
    void showBeside(QWidget *anchor);
    QPushButton *But_valider = nullptr;
    QPushButton *But_annuler = nullptr;
    int position = -1; // entry being edited in the focused list

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

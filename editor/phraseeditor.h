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
    QPushButton *But_valider = nullptr;
    QPushButton *But_annuler = nullptr;
    int position = -1; // entry being edited in the focused list

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

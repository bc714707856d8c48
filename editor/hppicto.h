#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;
class TMDIChild;

// The suggestion window: the usual H and P statements of the last clicked
// pictogram, ticked and unticked in the active label.
class THPpicto : public QWidget
{
    Q_OBJECT
public:
    explicit THPpicto(QWidget *frame);

    // The mouse button was released over pictogram n (1..9) of `label`.
    void buildSuggestions(TMDIChild *label, int n);
    // `CBH` of `label` was clicked.
    void CBHClick(TMDIChild *label);

    QListWidget *CBL = nullptr;
    QPushButton *B_all = nullptr;
    QPushButton *B_0 = nullptr;
    QPushButton *Button1 = nullptr;
};

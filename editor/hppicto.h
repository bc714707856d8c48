#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

// The suggestion window: the usual H and P statements of the last clicked
// pictogram, ticked and unticked in the active label.
class THPpicto : public QWidget
{
    Q_OBJECT
public:
    explicit THPpicto(QWidget *frame);

    QListWidget *CBL = nullptr;
    QPushButton *B_all = nullptr;
    QPushButton *B_0 = nullptr;
    QPushButton *Button1 = nullptr;
};

#pragma once

#include <QWidget>

class QLabel;

// The print preview window: a white surface with one 636 x 636 image at 5, 5,
// into which the print options draw the sheet preview of a whole page.
class TPrintView : public QWidget
{
    Q_OBJECT
public:
    explicit TPrintView(QWidget *frame);
    QLabel *Image1 = nullptr;
};

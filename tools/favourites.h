#pragma once

#include <QWidget>

// The favourites search: label files found by name in favourite folders.
class TFormRF : public QWidget
{
    Q_OBJECT
public:
    explicit TFormRF(QWidget *frame);
};

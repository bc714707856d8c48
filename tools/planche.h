#pragma once

#include <QWidget>

// The label sheet manager: lists of up to 18 label files kept in sheet files.
class TPlanche1 : public QWidget
{
    Q_OBJECT
public:
    explicit TPlanche1(QWidget *frame);
};

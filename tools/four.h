#pragma once

#include <QWidget>

// The supplier cards window.
class TFour : public QWidget
{
    Q_OBJECT
public:
    explicit TFour(QWidget *frame);
};

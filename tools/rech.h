#pragma once

#include <QWidget>

// The local substance database window.
class Trech : public QWidget
{
    Q_OBJECT
public:
    explicit Trech(QWidget *frame);

    // "Choisir un produit" of a label window: shows the window, not modal.
    void showWindow();
};

#pragma once

#include <QImage>
#include <QWidget>

// The supplier cards window.
class TFour : public QWidget
{
    Q_OBJECT
public:
    explicit TFour(QWidget *frame);

    // "Choisir un fournisseur" of a label window: the label's supplier text,
    // logo picture and logo path are handed over, then the window shows, not
    // modal.
    void handOver(const QString &supplierText, const QImage &logo, const QString &logoPath);
};

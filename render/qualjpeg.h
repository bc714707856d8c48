#pragma once

#include <QDialog>

// The JPEG export options (colour or grey, quality). Created once at start-up
// so the choices last for the run.
class TQual_jpeg : public QDialog
{
    Q_OBJECT
public:
    explicit TQual_jpeg(QWidget *frame);
};

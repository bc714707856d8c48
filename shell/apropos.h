#pragma once

#include <QDialog>

// The about box: program name, version and the database note.
class TApropos : public QDialog
{
    Q_OBJECT
public:
    explicit TApropos(QWidget *frame);
};

#pragma once

#include "editor/labelwidgets.h"

// A masked number field filled from the right, as a CAS number is read: every
// typed digit enters at the right end and pushes the others to the left,
// across the fixed dashes ("7732185" shows "  7732-18-5"); Backspace and
// Delete take the last digit back, or the selected ones.
class RightFilledMaskEdit : public MaskEdit
{
    Q_OBJECT
public:
    RightFilledMaskEdit(const QString &emptyText, bool acceptX, QWidget *parent = nullptr);

    // The characters of the field, left to right, without blanks and dashes.
    QString characters() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setCharacters(const QString &characters);
    QString unselectedCharacters() const;
    int slotCount() const;
};

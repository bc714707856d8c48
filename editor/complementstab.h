#pragma once

#include "shell/labeldocument.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The "Compléments" tab of a label window: nominal quantity, package capacity,
// UFI, components, supplementary information and the safety data sheet's
// address. The controls are named so that the window can be driven by them.
class ComplementsTab : public QWidget
{
    Q_OBJECT
public:
    explicit ComplementsTab(QWidget *parent = nullptr);

    static inline const QString kCaption = QStringLiteral("Compléments");
    static inline const QString kUfiTitle = QStringLiteral("UFI");
    static inline const QString kCapacityHint = QStringLiteral(
        "La contenance est un nombre de litres, par exemple 0,5 ou 25.");

    // The tab's values into `doc` (the other fields untouched) and back. The
    // lines of the two memos become one entry each; the lines of the block
    // that this version does not know are kept here and handed back.
    void take(LabelDocument *doc) const;
    void fill(const LabelDocument &doc);

    // Checks the UFI field now: the line under it says what is wrong, and with
    // `tell` a wrong complete UFI is said in a message. True when the field
    // is empty or holds a valid UFI (then written in capitals with dashes).
    bool verifyUfi(bool tell);

    QLineEdit *EdQuantite = nullptr;
    QLineEdit *EdContenance = nullptr;
    QLineEdit *EdUFI = nullptr;
    QLabel *LabUFI = nullptr;        // what the UFI check says, under the field
    QPlainTextEdit *MemoContient = nullptr;
    QPlainTextEdit *MemoInfos = nullptr;
    QLineEdit *EdFDS = nullptr;

Q_SIGNALS:
    // Any value changed by the user or by fill().
    void changed();

private:
    void showUfiState();
    QStringList m_otherComplements;
    QString m_ufiText;           // the UFI field's text after its last change
    qsizetype m_ufiSizeBefore = 0; // and its length before that change
    QString m_toldUfi; // the wrong UFI last said in a message, not said twice in a row
};

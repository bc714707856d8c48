#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;
class TForm_base;
class TMDIChild;

// The frame's command "Appliquer la classification harmonisée": enabled
// while the active label's INDEX, CAS or CE number names an entry of the
// harmonised classification, it fills the label with that entry's labelling
// (see HarmonisedFill) and says what it could not place.
class HarmonisedAction : public QObject
{
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Appliquer la classification harmonisée");
    static inline const QString kHint =
        QStringLiteral("Pictogrammes, mention d'avertissement et mentions H et EUH de la classification harmonisée");

    // Creates the action `Classification1` at the end of `menu` and keeps
    // its enabling current as windows change and numbers are typed.
    static QAction *install(TForm_base *frame, QMenu *menu);

    // Fills `label` with the entry its numbers name, asking along the way.
    static void apply(TMDIChild *label, const QString &startDirectory);

private:
    HarmonisedAction(TForm_base *frame, QAction *action);
    void watch(TMDIChild *label);
    void updateEnabled();

    QWidget *m_frame; // a TForm_base, except while it is destroyed
    QAction *m_action;
};

#pragma once

#include "editor/suggestions.h"

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QWidget>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class TMDIChild;

// The suggestion window: the usual H and P statements of the last clicked
// pictogram, ticked and unticked in the active label.
class THPpicto : public QWidget
{
    Q_OBJECT
public:
    explicit THPpicto(QWidget *frame);

    // The mouse button was released over pictogram n (1..9) of `label`: reads
    // that pictogram's suggestion file, fills the list from `label`'s H and P
    // statements and shows the window next to the label when its `CBH` is set.
    void buildSuggestions(TMDIChild *label, int n);
    // `CBH` of `label` was clicked: shows or hides the window as it stands.
    void CBHClick(TMDIChild *label);

    // The list's content, in the list's order.
    Suggestions::Lines lines() const;
    // Where the window goes for `label` before it is kept on the screen and
    // clear of the floating preview: the frame's and the label window's
    // top-left corners added, plus 150 to the right and 148 down.
    static QPoint wantedPosition(const TMDIChild *label);
    // The size that shows the list's statements whole: as wide as the
    // longest one (longer ones wrap) within half the frame's screen, as tall
    // as the list within half of it, never smaller than the first 231 x 235.
    QSize fittingSize() const;

    static inline const QString kCaption = QStringLiteral("SGH");
    static inline const QString kAll = QStringLiteral("Tous");
    static inline const QString kAllHint = QStringLiteral("Cocher toutes les suggestions");
    static inline const QString kNone = QStringLiteral("Aucun");
    static inline const QString kNoneHint = QStringLiteral("Désélectionner toutes les suggestions");
    static inline const QString kClose = QStringLiteral("Fermer");
    static constexpr int kOffsetX = 150;
    static constexpr int kOffsetY = 148;
    static constexpr QSize kFirstSize{231, 235};

    QListWidget *CBL = nullptr;
    QPushButton *B_all = nullptr;
    QPushButton *B_0 = nullptr;
    QPushButton *Button1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fill(const Suggestions::Lines &lines);
    void setAll(bool ticked);
    void toggleCurrent();
    // Carries the marks of `items` to the active label window, then refreshes
    // its summary and the preview.
    void applyToActiveLabel(const QList<QListWidgetItem *> &items);
    // Moves the window to `wanted`, or to the nearest place that is on the
    // frame's screen and not under the visible floating preview.
    void placeAt(const QPoint &wanted);
    QMargins frameMargins() const;
    // Whether the user moved the window away from where it was placed last;
    // once moved, it stays where the user left it.
    bool movedByUser();

    bool m_filling = false;
    bool m_placed = false;
    bool m_userPlaced = false;
    QPoint m_placedAt; // the top-left corner (decorations included) it was given
};

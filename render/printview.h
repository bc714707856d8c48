#pragma once

#include <QSize>
#include <QWidget>

class QImage;
class QLabel;

// The print preview window: a white surface with one 636 x 636 image at 5, 5,
// into which the print options draw the sheet preview of a whole page.
class TPrintView : public QWidget
{
    Q_OBJECT
public:
    explicit TPrintView(QWidget *frame);
    QLabel *Image1 = nullptr;
    // Under the page: the labels that would not hold their statements.
    QLabel *Lab_deborde = nullptr;
    // Under the page: the real size of one label ("Taille d'une étiquette : ...").
    QLabel *Lab_taille = nullptr;

    static inline const QString kCaption = QStringLiteral("Aperçu avant impression");

    // The client area: the preview page plus a border of 5 on each side.
    void setPageSize(int width, int height);
    // Shows the picture at once (the page fills visibly, cell by cell).
    void showPage(const QImage &picture);
    // A warning under the page, in red; an empty text removes it. The window
    // grows by the warning's height.
    void showWarning(const QString &text);
    // The size of one label under the page; an empty text removes it.
    void showSize(const QString &text);

private:
    void fitToPage();
    QSize m_page{450, 636};
};

#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QLabel;
class QMenu;
class QSlider;

// The floating preview: a borderless, always-on-top, translucent window that
// shows the active label at half the size of the label picture.
class TFormApercu : public QWidget
{
    Q_OBJECT
public:
    explicit TFormApercu(QWidget *frame);

    QLabel *Image3 = nullptr;  // title strip
    QLabel *Label1 = nullptr;  // caption on the strip
    QLabel *Image2 = nullptr;  // close picture
    QWidget *Panel1 = nullptr;
    QSlider *TrackBar1 = nullptr; // opacity, 155..255
    QLabel *Image1 = nullptr;  // the label, 636 x 450
    QMenu *PopupMenu1 = nullptr;

    // Shows a 636 x 450 picture and makes the window visible where it was.
    // With `cutStatement` the picture's bottom edge carries a red band that
    // says the statements from that one on are cut.
    void showLabel(const QImage &picture, const QString &cutStatement = QString());
    QString cutNotice() const { return m_cutNotice; }

    static inline const QString kCutNotice = QStringLiteral("Texte coupé à partir de « %1 »");
    QImage shownPicture() const { return m_picture; }
    int refreshCount() const { return m_refreshCount; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void readTransparency();
    QImage m_picture;
    QString m_cutNotice;
    QPoint m_dragStart;
    bool m_dragging = false;
    int m_refreshCount = 0;
};

#pragma once

#include <QPixmap>
#include <QWidget>

class QTimer;

// The start-up splash: fades in, closes at the second tick of its one-second
// timer or on a click, then checks for a printer and slides away.
class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *frame);

    // Shows the splash centred on the frame, fades it in and starts the timer.
    void start();
    // Closes the splash now (what the timer's second tick and a click do).
    void finish();
    bool finished() const { return m_finished; }
    int ticks() const { return m_ticks; }

    // The blocking fade and slide pause this long per step (milliseconds).
    static constexpr int kStepPause = 2;
    static constexpr int kFinalOpacity = 220;

    static inline const QString kNoPrinterTitle = QStringLiteral("FIN DE PROGRAMME");
    static inline const QString kNoPrinterText =
        QStringLiteral("Aucune imprimante détectée,\nle programme va se terminer !");

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void tick();
    void slideDown();
    QPixmap m_picture;
    QTimer *m_timer = nullptr;
    int m_ticks = 0;
    bool m_finished = false;
};

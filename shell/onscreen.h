#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

class QScreen;
class QWidget;

// Windows kept wholly on the screen that shows the program's frame.
namespace OnScreen {

// The screen that shows the frame (the primary screen without a frame).
QScreen *frameScreen();
// Its area left to windows (panels and docks excluded); empty without screen.
QRect frameScreenArea();

// The title bar and borders the window manager gives `window`: its own once
// it has been shown, before that those of the frame, decorated alike.
QMargins decorations(const QWidget *window);

// `window` with its decorations moved (and, when larger, made smaller, not
// below its minimum size) to lie wholly in the frame screen's area.
void keep(QWidget *window);

// Does keep() for every window and dialog of the program as it is shown
// (before the window manager maps it); popups, tooltips, the splash and the
// frame itself are left alone. The program installs one on the application.
class Keeper : public QObject
{
public:
    explicit Keeper(QObject *parent = nullptr);
    ~Keeper() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace OnScreen

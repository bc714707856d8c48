#include "editor/phraseeditor.h"

#include "shell/application.h"
#include "shell/base.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormEdit::TFormEdit(QWidget *frame)
    : QWidget(frame, Qt::Window | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    Application::noteCreated("TFormEdit");
    setObjectName(QStringLiteral("TFormEdit"));
    setWindowTitle(QStringLiteral("Éditeur de phrases"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(QFont(QStringLiteral("Arial")));
    Memo1->setMinimumSize(313, 80);
    Memo1->installEventFilter(this);
    But_valider = new QPushButton(QStringLiteral("&Valider"), this);
    But_valider->setObjectName(QStringLiteral("But_valider"));
    But_annuler = new QPushButton(QStringLiteral("A&nnuler"), this);
    But_annuler->setObjectName(QStringLiteral("But_annuler"));
    But_annuler->setToolTip(QStringLiteral("Renoncer et quitter"));
    connect(But_annuler, &QPushButton::clicked, this, &QWidget::close);
    // The validation is the frame's command, so the menu and the button agree.
    if (TForm_base *f = Form_base())
        connect(But_valider, &QPushButton::clicked, f->majour, &QAction::trigger);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(But_valider);
    buttons->addWidget(But_annuler);
    auto *strip = new QLabel(this);
    strip->setObjectName(QStringLiteral("Image1"));
    strip->setFixedHeight(4);
    strip->setStyleSheet(QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #b00000, stop:1 #f0c0c0);"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    layout->addWidget(strip);
    setFixedSize(329 + 16, 128 + 20);
}

bool TFormEdit::eventFilter(QObject *watched, QEvent *event)
{
    // Enter does not break the line: a statement stays one line.
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

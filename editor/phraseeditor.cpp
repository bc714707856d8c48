#include "editor/phraseeditor.h"

#include "shell/application.h"

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
    But_valider = new QPushButton(QStringLiteral("&Valider"), this);
    But_valider->setObjectName(QStringLiteral("But_valider"));
    But_annuler = new QPushButton(QStringLiteral("A&nnuler"), this);
    But_annuler->setObjectName(QStringLiteral("But_annuler"));
    But_annuler->setToolTip(QStringLiteral("Renoncer et quitter"));
    connect(But_annuler, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(But_valider);
    buttons->addWidget(But_annuler);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    resize(329, 128);
}

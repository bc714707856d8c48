#include "editor/hppicto.h"

#include "shell/application.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

THPpicto::THPpicto(QWidget *frame)
    : QWidget(frame, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    Application::noteCreated("THPpicto");
    setObjectName(QStringLiteral("THPpicto"));
    setWindowTitle(QStringLiteral("SGH"));
    CBL = new QListWidget(this);
    CBL->setObjectName(QStringLiteral("CBL"));
    CBL->setSortingEnabled(true);
    CBL->setCursor(Qt::PointingHandCursor);
    B_all = new QPushButton(QStringLiteral("Tous"), this);
    B_all->setObjectName(QStringLiteral("B_all"));
    B_all->setToolTip(QStringLiteral("Cocher toutes les suggestions"));
    B_0 = new QPushButton(QStringLiteral("Aucun"), this);
    B_0->setObjectName(QStringLiteral("B_0"));
    B_0->setToolTip(QStringLiteral("Désélectionner toutes les suggestions"));
    Button1 = new QPushButton(QStringLiteral("Fermer"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QWidget::hide);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(B_all);
    buttons->addWidget(B_0);
    buttons->addWidget(Button1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CBL);
    layout->addLayout(buttons);
    resize(231, 235);
}

void THPpicto::buildSuggestions(TMDIChild *, int)
{
}

void THPpicto::CBHClick(TMDIChild *)
{
}

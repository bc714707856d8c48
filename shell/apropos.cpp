#include "shell/apropos.h"

#include "shell/application.h"
#include "shell/desktop.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("À propos de ...");
const QString kName = QStringLiteral("Kalvane");
const QString kVersion = QStringLiteral("Version 4.4");
const QString kNote = QStringLiteral(
    "La base de données est une adaptation de la base de données de l'IPCS / Commission Européenne.");
} // namespace

TApropos::TApropos(QWidget *frame)
    : QDialog(frame)
{
    Application::noteCreated("TApropos");
    keepAbovePreview(this);
    setObjectName(QStringLiteral("TApropos"));
    setWindowTitle(kCaption);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    auto *name = new QLabel(kName, this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    name->setFont(big);
    auto *version = new QLabel(kVersion, this);
    version->setObjectName(QStringLiteral("Version"));
    auto *note = new QLabel(kNote, this);
    note->setObjectName(QStringLiteral("Comments"));
    note->setWordWrap(true);
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(note);
    top->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedWidth(380);
}

#include "render/qualjpeg.h"

#include "render/labelcontent.h"
#include "shell/application.h"
#include "shell/desktop.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QUrl>
#include <QVBoxLayout>

TQual_jpeg::TQual_jpeg(QWidget *frame)
    : QDialog(frame, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    Application::noteCreated("TQual_jpeg");
    keepAbovePreview(this);
    setObjectName(QStringLiteral("TQual_jpeg"));
    setWindowTitle(kCaption);
    setModal(true);

    GroupImage = new QGroupBox(kImageGroup, this);
    GroupImage->setObjectName(QStringLiteral("GroupImage"));
    Radicol = new QRadioButton(kColours, GroupImage);
    Radicol->setObjectName(QStringLiteral("Radicol"));
    Radicol->setChecked(true);
    Radgrey = new QRadioButton(kGreyLevels, GroupImage);
    Radgrey->setObjectName(QStringLiteral("Radgrey"));
    auto *imageLayout = new QVBoxLayout(GroupImage);
    imageLayout->addWidget(Radicol);
    imageLayout->addWidget(Radgrey);

    GroupQualite = new QGroupBox(kQualityGroup, this);
    GroupQualite->setObjectName(QStringLiteral("GroupQualite"));
    TrackBar1 = new QSlider(Qt::Horizontal, GroupQualite);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(0, 100);
    TrackBar1->setTickInterval(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setPageStep(5);
    TrackBar1->setValue(kDefaultQuality);
    LabQual = new QLabel(QString::number(kDefaultQuality), GroupQualite);
    LabQual->setObjectName(QStringLiteral("LabQual"));
    LabQual->setToolTip(kQualityHint);
    LabQual->setMinimumWidth(LabQual->fontMetrics().horizontalAdvance(QStringLiteral("100")) + 4);
    LabQual->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *qualityLayout = new QGridLayout(GroupQualite);
    qualityLayout->addWidget(TrackBar1, 0, 0, 1, 3);
    qualityLayout->addWidget(LabQual, 0, 3);
    const QStringList ticks = {QStringLiteral("0%"), QStringLiteral("50%"), QStringLiteral("100%")};
    for (int i = 0; i < ticks.size(); ++i) {
        auto *tick = new QLabel(ticks.at(i), GroupQualite);
        tick->setAlignment(i == 0 ? Qt::AlignLeft : (i == 1 ? Qt::AlignHCenter : Qt::AlignRight));
        qualityLayout->addWidget(tick, 1, i);
    }
    // The highlighted part of the track runs from 0 to the position.
    TrackBar1->setStyleSheet(QStringLiteral("QSlider::sub-page:horizontal { background: palette(highlight); }"));
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int position) {
        if (position < 1) {
            TrackBar1->setValue(1); // comes back here with 1
            return;
        }
        LabQual->setText(QString::number(position));
    });

    But_OK = new QPushButton(kExport, this);
    But_OK->setObjectName(QStringLiteral("But_OK"));
    But_OK->setDefault(true);
    But_annul = new QPushButton(kCancel, this);
    But_annul->setObjectName(QStringLiteral("But_annul"));
    But_annul->setToolTip(kCancelHint);
    Button1 = new QPushButton(kHelp, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(kHelpHint);
    connect(But_OK, &QPushButton::clicked, this, [this] {
        Tag = 0;
        accept();
    });
    connect(But_annul, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, &TQual_jpeg::Button1Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(But_OK);
    buttons->addWidget(But_annul);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupImage);
    layout->addWidget(GroupQualite);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

JpegExport::Options TQual_jpeg::options() const
{
    return JpegExport::Options{Radgrey->isChecked(), TrackBar1->value()};
}

void TQual_jpeg::Button1Click()
{
    if (!desktop().showHelp(this, kHelpPage))
        desktop().message(this, kWarningTitle, kHelpMissing, Desktop::Icon::Critical, Desktop::Ok);
}

QString TQual_jpeg::exportLabel(QWidget *parent, TQual_jpeg *dialog, const LabelContent &content)
{
    dialog->Tag = 1;
    dialog->exec();
    if (dialog->Tag == 1)
        return {};

    QByteArray jpeg;
    QStringList problems;
    QString error;
    QString cut;
    if (!JpegExport::encodeLabel(content, dialog->options(), &jpeg, &problems, &error, &cut)) {
        desktop().message(parent, kWarningTitle, error, Desktop::Icon::Warning, Desktop::Ok);
        return {};
    }
    // Told once for the whole export, before the user picks a file.
    if (!problems.isEmpty())
        desktop().message(parent, kWarningTitle, problems.join(u'\n'), Desktop::Icon::Warning, Desktop::Ok);
    if (!cut.isEmpty())
        desktop().message(parent, LabelRenderer::kCutTitle, LabelRenderer::cutWarning(cut), Desktop::Icon::Warning,
                          Desktop::Ok);

    Desktop::FileDialog save;
    save.title = JpegExport::kSaveTitle;
    save.folder = QDir::currentPath();
    save.fileName = JpegExport::kSaveName;
    save.filter = JpegExport::kSaveFilter;
    save.defaultSuffix = JpegExport::kSaveSuffix;
    save.confirmOverwrite = true;
    const QString path = desktop().saveFile(parent, save);
    if (path.isEmpty())
        return {};
    if (!JpegExport::write(path, jpeg, &error)) {
        desktop().message(parent, kWarningTitle, error, Desktop::Icon::Warning, Desktop::Ok);
        return {};
    }
    return path;
}

#include "shell/qtdesktop.h"

#include "shell/helpbrowser.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The area of the screen a message opens on.
QRect messageArea(const QWidget *parent)
{
    const QScreen *screen = parent ? parent->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// A text that would make a message box taller than half the screen (a long
// check report): it scrolls inside a window of sensible size instead.
bool tooTall(const QMessageBox &box, const QString &text, const QRect &area)
{
    const QFontMetrics metrics(box.font());
    const QRect needed = metrics.boundingRect(QRect(0, 0, 480, 1 << 20), Qt::TextWordWrap, text);
    return needed.height() > area.height() / 2;
}

QStyle::StandardPixmap pixmapOf(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Information: return QStyle::SP_MessageBoxInformation;
    case QMessageBox::Warning: return QStyle::SP_MessageBoxWarning;
    case QMessageBox::Critical: return QStyle::SP_MessageBoxCritical;
    case QMessageBox::Question: return QStyle::SP_MessageBoxQuestion;
    default: return QStyle::SP_CustomBase;
    }
}

// The message box's icon and buttons with the text in a scrolling, read-only
// text field (it can be selected and copied). Returns the standard button
// pressed, 0 when the window was closed.
int scrollingMessage(QWidget *parent, const QMessageBox &box, const QString &text, const QRect &area)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("longMessage"));
    keepAbovePreview(&dialog);
    dialog.setWindowTitle(box.windowTitle());
    auto *row = new QHBoxLayout;
    const QStyle::StandardPixmap pixmap = pixmapOf(box.icon());
    if (pixmap != QStyle::SP_CustomBase) {
        auto *icon = new QLabel(&dialog);
        const int size = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dialog);
        icon->setPixmap(dialog.style()->standardIcon(pixmap, nullptr, &dialog).pixmap(size, size));
        row->addWidget(icon, 0, Qt::AlignTop);
    }
    auto *view = new QPlainTextEdit(&dialog);
    view->setObjectName(QStringLiteral("messageText"));
    view->setReadOnly(true);
    view->setPlainText(text);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    row->addWidget(view, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::StandardButtons(int(box.standardButtons())), &dialog);
    QObject::connect(buttons, &QDialogButtonBox::clicked, &dialog,
                     [&](QAbstractButton *b) { dialog.done(int(buttons->standardButton(b))); });
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(row, 1);
    layout->addWidget(buttons);
    // Wide enough for a line of about 90 characters, as tall as the text
    // needs, within two thirds of the screen.
    const QFontMetrics metrics(view->font());
    const int width = std::min(metrics.averageCharWidth() * 90 + 100, area.width() * 2 / 3);
    const QRect needed = metrics.boundingRect(QRect(0, 0, width - 100, 1 << 20), Qt::TextWordWrap, text);
    const int height = std::min(needed.height() + metrics.lineSpacing() * 2 + 120, area.height() * 2 / 3);
    dialog.resize(std::max(width, 360), std::max(height, 240));
    if (QPushButton *first = qobject_cast<QPushButton *>(buttons->buttons().value(0)))
        first->setFocus();
    return dialog.exec();
}

} // namespace

Desktop::Button QtDesktop::message(QWidget *parent, const QString &title, const QString &text,
                                   Icon icon, Buttons buttons)
{
    QMessageBox box(parent);
    keepAbovePreview(&box);
    box.setWindowTitle(title);
    box.setText(text);
    // What a message says (a path, a web address) can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    QMessageBox::StandardButtons standard;
    if (buttons & Ok)
        standard |= QMessageBox::Ok;
    if (buttons & Yes)
        standard |= QMessageBox::Yes;
    if (buttons & No)
        standard |= QMessageBox::No;
    if (buttons & Cancel)
        standard |= QMessageBox::Cancel;
    if (!standard)
        standard = QMessageBox::Ok;
    box.setStandardButtons(standard);
    const QRect area = messageArea(parent);
    const int pressed = tooTall(box, text, area) ? scrollingMessage(parent, box, text, area) : box.exec();
    switch (pressed) {
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    case QMessageBox::Cancel: return Cancel;
    case QMessageBox::Ok: return Ok;
    default: return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
    }
}

QStringList QtDesktop::runOpenDialog(QWidget *parent, const FileDialog &d)
{
    QFileDialog dialog(parent, d.title, d.folder, qtFilter(d.filter));
    keepAbovePreview(&dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(d.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!d.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(d.defaultSuffix);
    if (!d.fileName.isEmpty() && !d.fileName.contains(u'*'))
        dialog.selectFile(d.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtDesktop::runSaveDialog(QWidget *parent, const FileDialog &d)
{
    QFileDialog dialog(parent, d.title, d.folder, qtFilter(d.filter));
    keepAbovePreview(&dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!d.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(d.defaultSuffix);
    if (!d.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!d.fileName.isEmpty())
        dialog.selectFile(d.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDesktop::runFolderDialog(QWidget *parent, const QString &title, const QString &start)
{
    QFileDialog dialog(parent, title, start);
    keepAbovePreview(&dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> QtDesktop::color(QWidget *parent, const QColor &initial)
{
    // The sixteen custom colours start white.
    static bool customInitialised = false;
    if (!customInitialised) {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, Qt::white);
        customInitialised = true;
    }
    QColorDialog dialog(initial, parent);
    keepAbovePreview(&dialog);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return dialog.selectedColor();
}

bool QtDesktop::print(QWidget *parent, QPrinter *printer)
{
    // The page-number option is shown, as users expect it; the program prints
    // whole pages of labels and does not use it.
    QPrintDialog PrintDialog1(printer, parent);
    keepAbovePreview(&PrintDialog1);
    PrintDialog1.setOption(QAbstractPrintDialog::PrintPageRange, true);
    return PrintDialog1.exec() == QDialog::Accepted;
}

bool QtDesktop::hasPrinter()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

QStringList QtDesktop::screenFonts()
{
    QStringList fonts = QFontDatabase::families();
    fonts.prepend(QStringLiteral("Default"));
    fonts.removeDuplicates();
    std::sort(fonts.begin(), fonts.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return fonts;
}

namespace {
// Whether the desktop has a viewer for a local page. The platform's opener is
// started without waiting for it and reports success even when it then finds
// no program for the page, so ask the desktop's table of default programs.
bool hasDefaultViewer(const QString &path)
{
    const QString mime = path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ? QStringLiteral("text/html")
                                                                                    : QString();
    if (mime.isEmpty())
        return true;
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"), mime});
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitCode() == 0 && !process.readAllStandardOutput().trimmed().isEmpty();
}
// Whether the desktop has a web browser. The opener finds one through the
// table of default programs, the BROWSER variable or a few known names.
bool hasBrowser(const QString &scheme)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (!query.isEmpty()) {
        QProcess process;
        process.start(query, {QStringLiteral("query"), QStringLiteral("default"),
                              QStringLiteral("x-scheme-handler/") + scheme});
        if (process.waitForFinished(3000)) {
            if (process.exitCode() == 0 && !process.readAllStandardOutput().trimmed().isEmpty())
                return true;
        } else {
            process.kill();
            process.waitForFinished(1000);
        }
    }
    QStringList names = qEnvironmentVariable("BROWSER").split(u':', Qt::SkipEmptyParts);
    names << QStringLiteral("x-www-browser") << QStringLiteral("www-browser") << QStringLiteral("firefox")
          << QStringLiteral("chromium") << QStringLiteral("google-chrome") << QStringLiteral("epiphany")
          << QStringLiteral("konqueror");
    for (const QString &name : names) {
        const QString program = name.section(u' ', 0, 0);
        if (!program.isEmpty()
            && (QFileInfo(program).isExecutable() || !QStandardPaths::findExecutable(program).isEmpty()))
            return true;
    }
    return false;
}
} // namespace

bool QtDesktop::openUrl(const QUrl &url)
{
    if (url.isLocalFile()) {
        if (!QFileInfo::exists(url.toLocalFile()) || !hasDefaultViewer(url.toLocalFile()))
            return false;
    } else if ((url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
               && !hasBrowser(url.scheme())) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

bool QtDesktop::showHelpWindow(QWidget *parent, const QString &path)
{
    return HelpBrowser::showPage(parent, path);
}

bool QtDesktop::moveToTrash(const QString &path)
{
    // Qt's trash needs the user's data folder to exist.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFile::moveToTrash(path);
}

void QtDesktop::registerDocumentIcons(const QString &startDirectory)
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        return;
    struct Type { const char *mime; const char *comment; const char *glob; const char *icon; };
    const Type types[] = {
        {"application/x-kalvane-label", "Étiquette Kalvane", "*.kvln", "feuilleKVLN.ico"},
        {"application/x-kalvane-sheet", "Planche d'étiquettes Kalvane", "*.pla", "planche.ico"},
    };
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const Type &t : types) {
        xml += QByteArray("  <mime-type type=\"") + t.mime + "\">\n    <comment>" + t.comment
               + "</comment>\n    <glob pattern=\"" + t.glob + "\"/>\n  </mime-type>\n";
        const QImage icon(QDir(startDirectory).filePath(QString::fromLatin1(t.icon)));
        if (!icon.isNull()) {
            const QString name = QString::fromLatin1(t.mime).replace(u'/', u'-');
            for (int size : {16, 32, 48}) {
                const QString dir = QStringLiteral("%1/icons/hicolor/%2x%2/mimetypes").arg(dataHome).arg(size);
                if (QDir().mkpath(dir))
                    icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        .save(dir + u'/' + name + QStringLiteral(".png"));
            }
        }
    }
    xml += "</mime-info>\n";
    const QString packages = dataHome + QStringLiteral("/mime/packages");
    if (!QDir().mkpath(packages))
        return;
    QFile file(packages + QStringLiteral("/kalvane.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(xml);
    file.close();
    const QString updater = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!updater.isEmpty())
        QProcess::startDetached(updater, {dataHome + QStringLiteral("/mime")});
}

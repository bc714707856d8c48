#include "testhelpers.h"

#include "render/jpegcodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <pwd.h>
#include <unistd.h>

namespace TestFiles {

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

QStringList allFiles(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

int pdfPageCount(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    return int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page ")
               + bytes.count("/Type /Page/") + bytes.count("/Type /Page>"));
}

bool writeLongerLabel(const QString &from, const QString &to, int count)
{
    QByteArray bytes = read(from);
    const qsizetype at = bytes.indexOf("***prudence***\r\n");
    if (at < 0)
        return false;
    QByteArray extra;
    for (int i = 0; i < count; ++i)
        extra += "5\r\nP9" + QByteArray::number(10 + i) + ": Une consigne de prudence de longueur ordinaire.\r\n";
    bytes.insert(at + 16, extra);
    return write(to, bytes);
}

} // namespace TestFiles

namespace TestPictures {

QByteArray solidJpeg(QSize size, const QColor &colour, bool grey, int quality)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    if (!JpegCodec::encode(image, quality, grey, &bytes))
        qFatal("could not encode a test picture");
    return bytes;
}

int ink(const QImage &image, const QRect &r, int inset, int paper)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRect inside = r.adjusted(inset, inset, -inset, -inset).intersected(rgb.rect());
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qRed(line[x]) < paper || qGreen(line[x]) < paper || qBlue(line[x]) < paper)
                ++count;
    }
    return count;
}

int inkOutside(const QImage &image, const QList<QRect> &allowed, int paper)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (qRed(line[x]) >= paper && qGreen(line[x]) >= paper && qBlue(line[x]) >= paper)
                continue;
            bool in = false;
            for (const QRect &r : allowed)
                in = in || r.contains(x, y);
            count += !in;
        }
    }
    return count;
}

QRect inkBox(const QImage &image, int paper)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int left = rgb.width(), top = rgb.height(), right = -1, bottom = -1;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (qRed(line[x]) < paper || qGreen(line[x]) < paper || qBlue(line[x]) < paper) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

int jpegComponents(const QByteArray &jpeg)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const uchar marker = uchar(jpeg.at(i + 1));
        if (uchar(jpeg.at(i)) == 0xFF && (marker == 0xC0 || marker == 0xC1 || marker == 0xC2))
            return uchar(jpeg.at(i + 9));
    }
    return 0;
}

} // namespace TestPictures

namespace TestPrinting {

QString cupsPdfFolder()
{
    const passwd *pw = ::getpwuid(::geteuid());
    const QString user = pw ? QString::fromLocal8Bit(pw->pw_name) : qEnvironmentVariable("USER");
    const QString home = pw ? QString::fromLocal8Bit(pw->pw_dir) : QDir::homePath();
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromLocal8Bit(conf.readAll()).split(u'\n');
        for (const QString &line : lines) {
            const QString t = line.trimmed();
            if (t.startsWith(QLatin1String("Out ")) || t.startsWith(QLatin1String("Out\t")))
                out = t.mid(4).trimmed();
        }
    }
    out.replace(QStringLiteral("${HOME}"), home);
    out.replace(QStringLiteral("${USER}"), user);
    return out;
}

QString waitForPdf(const QString &pattern, int timeoutMs)
{
    const QDir folder(cupsPdfFolder());
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        const QStringList found = folder.entryList({pattern}, QDir::Files);
        if (!found.isEmpty()) {
            const QString candidate = folder.filePath(found.first());
            // Complete once its size stops changing.
            const qint64 size = QFileInfo(candidate).size();
            QTest::qWait(500);
            if (size > 0 && QFileInfo(candidate).size() == size)
                return candidate;
        } else {
            QTest::qWait(500);
        }
    }
    return QString();
}

QList<QImage> pages(const QString &pdf, int dpi, QString *error)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) {
        *error = QStringLiteral("pdftoppm (poppler-utils) is needed to look at the printed pages");
        return {};
    }
    QTemporaryDir raster;
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice()); // a re-encoded PDF can give many warnings
    p.start(pdftoppm, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf,
                       raster.filePath(QStringLiteral("page"))});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(2000);
        *error = QStringLiteral("pdftoppm could not draw %1").arg(pdf);
        return {};
    }
    QList<QImage> images;
    const QStringList files = QDir(raster.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    for (const QString &f : files)
        images << QImage(raster.filePath(f));
    return images;
}

} // namespace TestPrinting

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    if (::getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
        return;
    m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = m_saved;
    small.rlim_cur = rlim_t(bytes);
    m_active = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    if (m_active)
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_savedHandler ? m_savedHandler : SIG_DFL);
}

quint32 SeededRandom::chooseSeed()
{
    bool ok = false;
    const quint32 fromEnvironment = qEnvironmentVariable("KALVANE_TEST_SEED").toUInt(&ok);
    if (ok)
        return fromEnvironment;
    return quint32(QDateTime::currentMSecsSinceEpoch() ^ (quint64(QCoreApplication::applicationPid()) << 16));
}

SeededRandom::~SeededRandom()
{
    if (QTest::currentTestFailed())
        qWarning("random test data: KALVANE_TEST_SEED=%u gives the same data again", m_seed);
}

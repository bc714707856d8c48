// Draws Kalvane's artwork into the installation data folder:
//   SGH01.jpg ... SGH09.jpg          the nine hazard pictograms, 600 x 600, JPEG quality 95
//   splash.png                       the start-up picture, 326 x 233, fuchsia = transparent
//   kalvane.png, icons/kalvane-N.png the program icon (N = 16, 32, 48, 64, 128, 256)
//   feuilleKVLN.ico, planche.ico     the icons of label files and sheet files
//   icons/feuilleKVLN-N.png, icons/planche-N.png   the same icons as PNG (N = 16, 32, 48, 256)
//
// Usage: kalvane_artwork <data folder> [--preview <folder>]
// With --preview the pictograms are also written there as lossless PNG, to look at.

#include "diamond.h"
#include "icofile.h"
#include "icons.h"
#include "jpegwriter.h"
#include "pictograms.h"
#include "splash.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kPictogramSize = 600;
constexpr int kJpegQuality = 95;

bool fail(const QString &what)
{
    std::fprintf(stderr, "kalvane_artwork: %s\n", qPrintable(what));
    return false;
}

bool writeImage(const QImage &img, const QString &path, const char *format)
{
    QImageWriter w(path, format);
    if (!w.write(img))
        return fail(path + ": " + w.errorString());
    std::printf("%s\n", qPrintable(QDir::cleanPath(path)));
    return true;
}

bool writeJpeg(const QImage &img, const QString &path)
{
    const QString error = JpegWriter::write(img, path, kJpegQuality);
    if (!error.isEmpty())
        return fail(path + ": " + error);
    std::printf("%s\n", qPrintable(QDir::cleanPath(path)));
    return true;
}

bool writeBytes(const QByteArray &data, const QString &path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        return fail(path + ": " + f.errorString());
    std::printf("%s\n", qPrintable(QDir::cleanPath(path)));
    return true;
}

bool writeDocumentIcon(const QDir &out, const QString &name, QImage (*draw)(int))
{
    QList<QImage> images;
    for (int size : {16, 32, 48, 256}) {
        const QImage img = draw(size);
        if (!writeImage(img, out.filePath(QStringLiteral("icons/%1-%2.png").arg(name).arg(size)), "PNG"))
            return false;
        images.append(img);
    }
    return writeBytes(IcoFile::encode(images), out.filePath(name + ".ico"));
}

// How far the black symbol reaches towards the frame, in the 1000-unit design
// space: the largest |x| + |y| of a dark pixel.  Must stay well below the white
// inside's half diagonal.
double symbolReach(const QImage &img)
{
    const double half = img.width() / 2.0;
    double reach = 0;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qRed(line[x]) < 128 && qGreen(line[x]) < 128)
                reach = std::max(reach, std::abs(x + 0.5 - half) + std::abs(y + 0.5 - half));
    }
    return reach * 1000.0 / img.width();
}

} // namespace

int main(int argc, char **argv)
{
    // Nothing is shown: draw without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    QString outPath;
    QString previewPath;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--preview") && i + 1 < args.size())
            previewPath = args[++i];
        else if (outPath.isEmpty() && !args[i].startsWith(QLatin1Char('-')))
            outPath = args[i];
        else
            outPath.clear(), i = int(args.size());
    }
    if (outPath.isEmpty()) {
        std::fprintf(stderr, "usage: kalvane_artwork <data folder> [--preview <folder>]\n");
        return 2;
    }

    QDir out(outPath);
    if (!out.mkpath(QStringLiteral("icons")))
        return fail(outPath + ": cannot create the icons folder"), 1;
    if (!previewPath.isEmpty() && !QDir().mkpath(previewPath))
        return fail(previewPath + ": cannot create the folder"), 1;

    bool ok = true;
    for (int n = 1; n <= 9 && ok; ++n) {
        const QImage img = Pictograms::render(n, kPictogramSize);
        const QString name = QStringLiteral("SGH%1").arg(n, 2, 10, QLatin1Char('0'));
        ok = writeJpeg(img, out.filePath(name + ".jpg"));
        if (ok && !previewPath.isEmpty()) {
            ok = writeImage(img, QDir(previewPath).filePath(name + ".png"), "PNG");
            std::printf("  %s: symbol reaches %.0f of the %.0f units of the white inside\n",
                        qPrintable(name), symbolReach(img), Diamond::innerHalfDiagonal());
        }
    }

    ok = ok && writeImage(Splash::render(), out.filePath("splash.png"), "PNG");

    for (int size : {16, 32, 48, 64, 128, 256}) {
        if (!ok)
            break;
        ok = writeImage(Icons::program(size),
                        out.filePath(QStringLiteral("icons/kalvane-%1.png").arg(size)), "PNG");
    }
    ok = ok && writeImage(Icons::program(256), out.filePath("kalvane.png"), "PNG");

    ok = ok && writeDocumentIcon(out, QStringLiteral("feuilleKVLN"), &Icons::labelFile);
    ok = ok && writeDocumentIcon(out, QStringLiteral("planche"), &Icons::sheetFile);
    return ok ? 0 : 1;
}

#include "batch/exportcommand.h"

#include "batch/labelloader.h"
#include "render/jpegexport.h"
#include "render/labelcontent.h"
#include "render/labelrenderer.h"
#include "render/pngcodec.h"
#include "render/rendervariant.h"
#include "shell/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>

#include <cmath>

namespace ExportCommand {

namespace {

const QString kDescription = QStringLiteral(
    "Exporte chaque étiquette comme la commande « Exporter » de Kalvane : une\n"
    "image de 2121 × 1500 pixels nommée comme l'étiquette (Acetone.kvln donne\n"
    "Acetone.jpg). Une image existante du même nom est remplacée.\n");

const QString kNotALabel = QStringLiteral("ce n'est pas un fichier d'étiquette (sa première ligne n'est pas « ***fab*** »).");
const QString kNotWritten = QStringLiteral("l'étiquette ne peut pas être lue, rien n'est exporté : %1");
const QString kDropped = QStringLiteral(
    "le fichier contient ce que Kalvane ne lit pas, qui manque donc à l'image : %1 (voir « kalvane-batch "
    "verifier »).");
const QString kNotSynced = QStringLiteral("l'image « %1 » n'a pas pu être mise en sûreté sur le disque : %2");
const QString kSameName = QStringLiteral("une autre étiquette de cette commande donne déjà « %1 » : rien n'est exporté.");

// A PDF page: A5 in landscape, the label as wide as the A-proportioned grid
// laid over its height, drawn at this resolution.
constexpr int kPdfResolution = 1200;
constexpr double kAProportion = 1.4142;

enum class Format { Jpeg, Png, Pdf };

struct Settings {
    Format format = Format::Jpeg;
    JpegExport::Options jpeg;
    QString outDir;
};

QString suffix(Format f)
{
    switch (f) {
    case Format::Jpeg: return QStringLiteral("jpg");
    case Format::Png: return QStringLiteral("png");
    case Format::Pdf: return QStringLiteral("pdf");
    }
    return {};
}

// The option values, or a usage error.
bool readSettings(const CommandLine::Parsed &line, Settings *s, QString *error)
{
    const QString format = line.value(QStringLiteral("format"), QStringLiteral("jpg")).toLower();
    if (format == QLatin1String("jpg") || format == QLatin1String("jpeg"))
        s->format = Format::Jpeg;
    else if (format == QLatin1String("png"))
        s->format = Format::Png;
    else if (format == QLatin1String("pdf"))
        s->format = Format::Pdf;
    else {
        *error = QStringLiteral("format inconnu « %1 » : jpg, png ou pdf.").arg(line.value(QStringLiteral("format")));
        return false;
    }
    if (line.has(QStringLiteral("quality"))) {
        const QString text = line.value(QStringLiteral("quality"));
        bool ok = false;
        const int quality = text.trimmed().toInt(&ok);
        if (!ok || quality < 1 || quality > 100) {
            *error = QStringLiteral("la qualité « %1 » n'est pas un nombre entier de 1 à 100.").arg(text);
            return false;
        }
        if (s->format != Format::Jpeg) {
            *error = QStringLiteral("l'option « --quality » ne vaut que pour le format jpg.");
            return false;
        }
        s->jpeg.quality = quality;
    }
    if (line.has(QStringLiteral("gris"))) {
        if (s->format == Format::Pdf) {
            *error = QStringLiteral("l'option « --gris » ne vaut que pour les formats jpg et png.");
            return false;
        }
        s->jpeg.grey = true;
    }
    s->outDir = line.value(QStringLiteral("out"), QStringLiteral("."));
    if (s->outDir.isEmpty()) {
        *error = QStringLiteral("l'option « --out » demande un dossier.");
        return false;
    }
    const QFileInfo out(s->outDir);
    if (out.exists() && !out.isDir()) {
        *error = QStringLiteral("« %1 » n'est pas un dossier.").arg(s->outDir);
        return false;
    }
    if (line.arguments.isEmpty()) {
        *error = QStringLiteral("aucun fichier d'étiquette à exporter.");
        return false;
    }
    return true;
}

// One page holding the label drawn straight onto it, as on a printed sheet.
QByteArray pdfBytes(const LabelContent &content, const QString &title, LayoutResult *layout)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Kalvane"));
        QPainter painter(&writer);
        const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
        const int height = page.height();
        const int width = std::min(page.width(), int(std::trunc(height * kAProportion)));
        const double unit = width / 636.0;
        const double font = RenderVariant::pageFontFactor(page.width(), height, true, 1.0, writer.resolution());
        *layout = LabelRenderer::draw(painter, content,
                                      RenderVariant::page(0, 0, width, unit, font, height, writer.resolution()));
    }
    return bytes;
}

int run(BatchTool &tool, const CommandLine::Parsed &line)
{
    Settings settings;
    QString error;
    if (!readSettings(line, &settings, &error))
        return tool.usageError(error);

    if (!tool.cataloguesReadable())
        return BatchTool::kDataError;
    LabelLoader loader;
    if (!loader.loadCatalogues(tool.startDirectory(), &error))
        return tool.dataError(error);
    if (!QDir().mkpath(settings.outDir)) {
        tool.problem(QStringLiteral("le dossier « %1 » n'a pas pu être créé.").arg(settings.outDir));
        return BatchTool::kFileProblem;
    }
    const QDir outDir(settings.outDir);

    int status = BatchTool::kSuccess;
    // Each file is written and renamed as it comes; all reach the disk at
    // the end, before the command says it is done.
    TextFile::DeferredSync disk;
    QHash<QString, QString> sourceOf;
    QSet<QString> written;
    const int total = int(line.arguments.size());
    for (int i = 0; i < total; ++i) {
        const QString &file = line.arguments.at(i);
        tool.progress(i + 1, total, file);
        const LabelLoader::Label label = loader.read(file);
        if (!label.status.ok() || !label.labelFile) {
            tool.problem(file, label.status.ok() ? kNotALabel : kNotWritten.arg(label.status.message));
            status = BatchTool::kFileProblem;
            continue;
        }
        for (const QString &w : label.status.warnings) {
            tool.problem(file, w);
            status = BatchTool::kFileProblem;
        }
        // Kalvane opens such a file without a word: here it is said.
        if (!label.dropped.isEmpty()) {
            tool.problem(file, kDropped.arg(label.dropped.join(QStringLiteral(", "))));
            status = BatchTool::kFileProblem;
        }
        const QString target =
            QDir::cleanPath(outDir.absoluteFilePath(QFileInfo(file).completeBaseName() + u'.' + suffix(settings.format)));
        if (written.contains(target)) {
            tool.problem(file, kSameName.arg(QDir::toNativeSeparators(target)));
            status = BatchTool::kFileProblem;
            continue;
        }

        // What the desktop's export draws for the window that opened the file.
        const LabelContent content =
            LabelContent::fromDocument(label.document, label.mirrors, false, tool.startDirectory());
        QByteArray bytes;
        QStringList problems;
        QString cut;
        if (settings.format == Format::Jpeg) {
            if (!JpegExport::encodeLabel(content, settings.jpeg, &bytes, &problems, &error, &cut)) {
                tool.problem(file, error);
                status = BatchTool::kFileProblem;
                continue;
            }
        } else if (settings.format == Format::Png) {
            LayoutResult layout;
            QImage image = LabelRenderer::exportImage(content, &layout);
            problems = layout.problems;
            cut = layout.cutStatement;
            if (settings.jpeg.grey)
                image = greyLevels(image);
            if (!PngCodec::encode(image, &bytes, &error)) {
                tool.problem(file, error);
                status = BatchTool::kFileProblem;
                continue;
            }
        } else {
            LayoutResult layout;
            bytes = pdfBytes(content, QFileInfo(file).completeBaseName(), &layout);
            problems = layout.problems;
            cut = layout.cutStatement;
        }
        for (const QString &p : problems)
            tool.problem(file, p);
        if (!cut.isEmpty())
            tool.problem(file, LabelRenderer::cutWarning(cut).replace(QStringLiteral("\n\n"), QStringLiteral(" ")));
        if (!problems.isEmpty() || !cut.isEmpty())
            status = BatchTool::kFileProblem;

        if (!JpegExport::write(target, bytes, &error, &disk)) {
            tool.problem(file, error);
            status = BatchTool::kFileProblem;
            continue;
        }
        written.insert(target);
        sourceOf.insert(target, file);
    }
    QList<QPair<QString, QString>> failed;
    if (!disk.finish(&failed)) {
        for (const auto &[target, why] : std::as_const(failed))
            tool.problem(sourceOf.value(target, target), kNotSynced.arg(QDir::toNativeSeparators(target), why));
        status = BatchTool::kFileProblem;
    }
    return status;
}

} // namespace

QImage greyLevels(const QImage &picture)
{
    // Y = 0.299 R + 0.587 G + 0.114 B in 16-bit fixed point, rounded, as the
    // encoder converts colour to grey.
    constexpr int kScale = 16;
    constexpr long kHalf = 1L << (kScale - 1);
    const auto fix = [](double x) { return long(x * (1L << kScale) + 0.5); };
    const long r = fix(0.29900), g = fix(0.58700), b = fix(0.11400);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage grey(rgb.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *out = grey.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            out[x] = uchar((r * qRed(in[x]) + g * qGreen(in[x]) + b * qBlue(in[x]) + kHalf) >> kScale);
    }
    return grey;
}

BatchTool::Command command()
{
    CommandLine::Command definition;
    definition.name = QStringLiteral("export");
    definition.arguments = QStringLiteral("ÉTIQUETTE.kvln...");
    definition.summary = QStringLiteral("exporte chaque étiquette en image JPEG, PNG ou PDF");
    definition.description = kDescription;
    definition.options = {
        {QStringLiteral("out"), u'o', QStringLiteral("DOSSIER"),
         QStringLiteral("dossier des images (par défaut le dossier courant ; créé au besoin)")},
        {QStringLiteral("quality"), QChar(), QStringLiteral("N"),
         QStringLiteral("qualité JPEG de 1 à 100 (par défaut 75)")},
        {QStringLiteral("gris"), QChar(), QString(), QStringLiteral("en niveaux de gris (jpg, png)")},
        {QStringLiteral("format"), QChar(), QStringLiteral("FORMAT"),
         QStringLiteral("jpg (par défaut), png (les mêmes pixels) ou pdf (une page A5, texte vectoriel)")},
    };
    return {definition, run};
}

} // namespace ExportCommand

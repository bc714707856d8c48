// Speed of the label drawing: the label picture, the smoothing, the whole
// preview refresh, the export image and its encoding, against a plain copy of
// the label picture's bytes as the machine's yardstick.
//
//   bench_render [--save-pictures=DIR] [benchmark flags]
//
// --save-pictures writes the reference label's picture, preview and export to
// DIR so they can be looked at.

#include "editor/catalogue.h"
#include "render/bitmaps.h"
#include "render/jpegcodec.h"
#include "render/jpegexport.h"
#include "render/labelcontent.h"
#include "render/labelrenderer.h"
#include "render/picturecache.h"

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const QString kDataDir = QStringLiteral(KALVANE_DATA_DIR);
const QStringList kPictograms = {QStringLiteral("SGH02"), QStringLiteral("SGH05"), QStringLiteral("SGH06"),
                                 QStringLiteral("SGH07"), QStringLiteral("SGH09")};

std::unique_ptr<QTemporaryDir> g_standIns;

// A diamond with a dark figure, standing in for a pictogram picture when the
// installation data has none yet.
QByteArray standInPictogram(int index)
{
    QImage image(600, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath diamond;
    diamond.moveTo(300, 10);
    diamond.lineTo(590, 300);
    diamond.lineTo(300, 590);
    diamond.lineTo(10, 300);
    diamond.closeSubpath();
    p.fillPath(diamond, QColor(255, 0, 0));
    p.scale(0.85, 0.85);
    p.translate(53, 53);
    p.fillPath(diamond, Qt::white);
    p.resetTransform();
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(300, 300), 60 + 10 * index, 90);
    p.end();
    QByteArray jpeg;
    JpegCodec::encode(image, 90, false, &jpeg);
    return jpeg;
}

QString pictogramFolder()
{
    bool complete = true;
    for (const QString &code : kPictograms)
        complete = complete && QFileInfo::exists(kDataDir + u'/' + code + QStringLiteral(".jpg"));
    if (complete)
        return kDataDir;
    if (!g_standIns) {
        g_standIns = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < kPictograms.size(); ++i) {
            QFile f(g_standIns->filePath(kPictograms.at(i) + QStringLiteral(".jpg")));
            if (f.open(QIODevice::WriteOnly))
                f.write(standInPictogram(i));
        }
        std::fprintf(stderr, "pictograms: stand-ins (data/ holds none yet)\n");
    }
    return g_standIns->path();
}

// Ticks `count` entries of ordinary length (the shortest and longest wordings
// left out), spread evenly over the list.
void tickSpread(StatementList *list, int count)
{
    QList<int> ordinary;
    for (int i = 0; i < list->size(); ++i)
        if (list->at(i).text.size() >= 25 && list->at(i).text.size() <= 140)
            ordinary << i;
    for (int k = 0; k < count && k < ordinary.size(); ++k)
        (*list)[ordinary.at(int(qint64(k) * ordinary.size() / count))].ticked = true;
}

StatementList statements(const QString &file, const QStringList &fallback)
{
    QStringList items;
    if (!Catalogue::load(kDataDir + u'/' + file, &items) || items.isEmpty())
        items = fallback;
    return Catalogue::toStatements(items);
}

LabelContent referenceLabel()
{
    LabelDocument doc;
    doc.pictograms = kPictograms;
    doc.supplier = QStringLiteral("Chimie Lyonnaise SA\n12, rue des Tanneurs - 69007 Lyon\nTél. 04 72 00 00 00");
    doc.product = QStringLiteral("ACIDE CHLORHYDRIQUE\nen solution aqueuse à 33 %");
    doc.productColor = QColor(0, 0, 128);
    doc.ce = QStringLiteral("231-595-7");
    doc.cas = QStringLiteral("  7647-01-0");
    doc.index = QStringLiteral("017-002-01-X");
    doc.comment = QStringLiteral("Contient : chlorure d'hydrogène.\nRéservé à un usage professionnel.\n"
                                 "Conserver à l'abri de la chaleur.");
    doc.hazards = statements(QStringLiteral("H.txt"),
                             {QStringLiteral("H290: Peut être corrosif pour les métaux."),
                              QStringLiteral("H314: Provoque de graves brûlures de la peau et de graves lésions des yeux."),
                              QStringLiteral("H335: Peut irriter les voies respiratoires.")});
    doc.precautions = statements(QStringLiteral("P.txt"),
                                 {QStringLiteral("P260: Ne pas respirer les vapeurs."),
                                  QStringLiteral("P280: Porter des gants de protection et un équipement de protection des yeux.")});
    doc.supplementary = statements(QStringLiteral("EUH.txt"),
                                   {QStringLiteral("EUH071: Corrosif pour les voies respiratoires.")});
    tickSpread(&doc.hazards, 10);
    tickSpread(&doc.precautions, 17);
    tickSpread(&doc.supplementary, 3);

    FrameMirrors mirrors;
    mirrors.logoPath = kDataDir + QStringLiteral("/Kalvane/fournisseurs/chimie_lyonnaise.jpg");
    return LabelContent::fromDocument(doc, mirrors, false, pictogramFolder());
}

int tickedCount(const LabelContent &c)
{
    // Full wording: one statement per line, plus the two group separators.
    return int(c.statements.count(u'\n')) - 2 + (c.statements.endsWith(u'\n') ? 0 : 1);
}

void BM_LabelPicture(benchmark::State &state)
{
    const LabelContent content = referenceLabel();
    for (auto _ : state)
        benchmark::DoNotOptimize(LabelRenderer::labelPicture(content));
}

// The same with every pictogram and the logo decoded anew at each drawing, as
// without the picture cache.
void BM_LabelPictureUncached(benchmark::State &state)
{
    const LabelContent content = referenceLabel();
    PictureCache::setEnabled(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(LabelRenderer::labelPicture(content));
    PictureCache::setEnabled(true);
}

void BM_BlurBitmap(benchmark::State &state)
{
    QImage picture = LabelRenderer::labelPicture(referenceLabel());
    for (auto _ : state) {
        Bitmaps::BlurBitmap(&picture);
        benchmark::ClobberMemory();
    }
}

void BM_PreviewRefresh(benchmark::State &state)
{
    const LabelContent content = referenceLabel();
    for (auto _ : state)
        benchmark::DoNotOptimize(LabelRenderer::previewImage(content));
}

void BM_ExportDraw(benchmark::State &state)
{
    const LabelContent content = referenceLabel();
    for (auto _ : state)
        benchmark::DoNotOptimize(LabelRenderer::exportImage(content));
}

void BM_ExportEncode75(benchmark::State &state)
{
    const QImage image = LabelRenderer::exportImage(referenceLabel());
    QByteArray jpeg;
    for (auto _ : state) {
        JpegCodec::encode(image, 75, state.range(0) != 0, &jpeg);
        benchmark::DoNotOptimize(jpeg.data());
    }
    state.counters["bytes"] = double(jpeg.size());
}

void BM_ExportDrawAndEncode75(benchmark::State &state)
{
    const LabelContent content = referenceLabel();
    QByteArray jpeg;
    for (auto _ : state) {
        JpegExport::encodeLabel(content, JpegExport::Options{false, 75}, &jpeg);
        benchmark::DoNotOptimize(jpeg.data());
    }
}

void BM_Memcpy1272x900x3(benchmark::State &state)
{
    const size_t size = 1272u * 900u * 3u;
    std::vector<unsigned char> from(size, 0x5a), to(size, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

void savePictures(const QString &dir)
{
    QDir().mkpath(dir);
    const LabelContent content = referenceLabel();
    LayoutResult layout;
    const QImage picture = LabelRenderer::labelPicture(content, &layout);
    picture.save(dir + QStringLiteral("/label-picture.png"));
    LabelRenderer::previewImage(content).save(dir + QStringLiteral("/preview.png"));
    for (bool grey : {false, true}) {
        QByteArray jpeg;
        QStringList problems;
        JpegExport::encodeLabel(content, JpegExport::Options{grey, 75}, &jpeg, &problems);
        JpegExport::write(dir + (grey ? QStringLiteral("/export-grey.jpg") : QStringLiteral("/export.jpg")), jpeg);
    }
    std::fprintf(stderr, "saved to %s: %d pictograms, %d statements, column %d, statements box y %d, problems: %s\n",
                 qPrintable(dir), layout.pictogramCount, tickedCount(content), layout.columnLeft,
                 layout.statements.y(), qPrintable(layout.problems.join(QStringLiteral(" | "))));
}

} // namespace

BENCHMARK(BM_Memcpy1272x900x3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelPictureUncached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlurBitmap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportEncode75)->Arg(0)->Arg(1)->ArgName("grey")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportDrawAndEncode75)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--save-pictures="))
            savePictures(QString::fromLocal8Bit(arg.mid(16)));
        else
            rest.push_back(argv[i]);
    }
    if (!runBenchmarks(rest))
        return 1;
    return 0;
}

#include "render/sheetpreview.h"

#include "render/bitmaps.h"
#include "render/labelrenderer.h"
#include "render/sheetprint.h"
#include "render/storedlabel.h"

#include <QFileInfo>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace SheetPreview {

int blurCount(int labels)
{
    return 1 + (labels > 2 ? 1 : 0) + (labels > 8 ? 1 : 0);
}

namespace {

void smooth(QImage *picture, int times)
{
    for (int i = 0; i < times; ++i)
        Bitmaps::BlurBitmap(picture);
}

void addOnce(QStringList *list, const QString &text)
{
    if (!text.isEmpty() && !list->contains(text))
        list->append(text);
}

Result drawOnStock(QImage *image, const SheetSettings &s, const LabelContent &active, const FrameMirrors &current,
                   const QString &pictogramFolder, const std::function<void(int)> &cellDone)
{
    Result result;
    const LabelStock::Template &t = s.stock;
    const QSize page = pageSize(s);
    result.page = page;
    result.geometry.pageWidth = page.width();
    result.geometry.pageHeight = page.height();
    if (image->size() != QSize(kImageSize, kImageSize) || image->format() != QImage::Format_RGB32)
        *image = QImage(kImageSize, kImageSize, QImage::Format_RGB32);
    image->fill(Qt::white);
    if (t.paperWidth <= 0 || t.paperHeight <= 0)
        return result;
    const double px = page.width() / t.paperWidth; // preview pixels per millimetre
    const auto toPreview = [px](const QRectF &mm) {
        return QRectF(mm.left() * px, mm.top() * px, mm.width() * px, mm.height() * px);
    };

    // The sheet's edge and its die-cut labels, thin and grey.
    {
        QPainter p(image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(192, 192, 192), 0));
        p.drawRect(QRectF(0.5, 0.5, page.width() - 1, page.height() - 1));
        p.setPen(QPen(QColor(150, 150, 150), 0));
        for (const QRectF &cut : t.dieCuts()) {
            if (t.round > 0)
                p.drawRoundedRect(toPreview(cut), t.round * px, t.round * px);
            else
                p.drawRect(toPreview(cut));
        }
    }

    const int perSheet = t.labelsPerSheet();
    int count = int(s.selection.size());
    if (s.activeLabel)
        count = s.singleLabel ? 1 : perSheet - (s.stockStart - 1);
    const QList<LabelStock::Cell> cells =
        LabelStock::place(t, s.stockStart, std::max(0, count), 0, 0, SheetGeometry::kRatio, &result.error);
    if (!result.error.isEmpty() || cells.isEmpty())
        return result;
    result.sheets = cells.constLast().sheet + 1;

    // Smoothed more as the label picture shrinks more.
    const double width = cells.first().label.width() * px;
    const int blurs = 1 + (width < 400 ? 1 : 0) + (width < 200 ? 1 : 0);
    result.blurs = blurs;
    QImage activePicture;
    if (s.activeLabel) {
        LayoutResult r;
        activePicture = LabelRenderer::print_etBM(active, &r);
        for (const QString &p : r.problems)
            addOnce(&result.problems, p);
        smooth(&activePicture, blurs);
    }
    for (int i = 0; i < cells.size() && cells.at(i).sheet == 0; ++i) {
        QImage picture;
        if (s.activeLabel) {
            picture = activePicture;
        } else {
            const QString path = s.selection.at(i);
            if (!path.isEmpty() && !QFileInfo(path).isFile())
                addOnce(&result.missing, path);
            if (!path.isEmpty() && QFileInfo(path).isFile()) {
                LayoutResult r;
                picture = StoredLabel::imp_etBM_pl(path, s.numberingOnly, current, pictogramFolder, &r);
                for (const QString &p : r.problems)
                    addOnce(&result.problems, p);
                smooth(&picture, blurs);
            }
        }
        const QRect target = toPreview(cells.at(i).label).toRect();
        if (!picture.isNull() && target.width() > 0 && target.height() > 0) {
            QPainter p(image);
            p.setClipRect(toPreview(cells.at(i).dieCut));
            p.drawImage(target, picture);
        }
        ++result.labels;
        if (cellDone)
            cellDone(i);
    }
    return result;
}

} // namespace

QSize pageSize(const SheetSettings &s)
{
    if (s.onStock() && s.stock.paperWidth > 0 && s.stock.paperHeight > 0) {
        const double px = std::min(450.0 / s.stock.paperWidth, double(kImageSize) / s.stock.paperHeight);
        return QSize(int(std::lround(s.stock.paperWidth * px)), int(std::lround(s.stock.paperHeight * px)));
    }
    const SheetGeometry::Preview g = SheetGeometry::forPreview(s.labelsPerPage, s.marginLeft, s.marginTop, s.scale, s.adapt);
    return QSize(g.pageWidth, g.pageHeight);
}

Result draw(QImage *image, const SheetSettings &s, const LabelContent &active, const FrameMirrors &current,
            const QString &pictogramFolder, const std::function<void(int)> &cellDone)
{
    if (s.onStock())
        return drawOnStock(image, s, active, current, pictogramFolder, cellDone);
    Result result;
    const SheetGeometry::Preview g =
        SheetGeometry::forPreview(s.labelsPerPage, s.marginLeft, s.marginTop, s.scale, s.adapt);
    result.geometry = g;
    result.page = QSize(g.pageWidth, g.pageHeight);
    const int n = s.labelCount(g.cellCount());
    result.labels = n;
    result.blurs = blurCount(n);

    if (image->size() != QSize(kImageSize, kImageSize) || image->format() != QImage::Format_RGB32)
        *image = QImage(kImageSize, kImageSize, QImage::Format_RGB32);
    image->fill(Qt::white);

    QImage activePicture;
    if (s.activeLabel) {
        LayoutResult r;
        activePicture = LabelRenderer::print_etBM(SheetPrint::scaled(active, s), &r);
        for (const QString &p : r.problems)
            addOnce(&result.problems, p);
        smooth(&activePicture, result.blurs);
    }

    QPen dotted(QColor(192, 192, 192));
    dotted.setWidth(0);
    dotted.setDashPattern({1.0, 1.0});

    for (int cell = 0; cell < n; ++cell) {
        QImage picture;
        if (s.activeLabel) {
            picture = activePicture;
        } else {
            const QString path = s.selection.at(cell);
            if (!path.isEmpty() && !QFileInfo(path).isFile())
                addOnce(&result.missing, path);
            if (!path.isEmpty() && QFileInfo(path).isFile()) {
                LayoutResult r;
                picture = StoredLabel::imp_etBM_pl(path, s.numberingOnly, current, pictogramFolder, &r, s.statementScale);
                for (const QString &p : r.problems)
                    addOnce(&result.problems, p);
                smooth(&picture, result.blurs);
            }
        }
        {
            QPainter p(image);
            // Stretched by dropping pixels: the smoothing above stands in for
            // the filtering.
            const QRect target = g.labelRect(cell);
            if (!picture.isNull() && target.width() > 0 && target.height() > 0)
                p.drawImage(target, picture);
            if (s.separatorLines) {
                const QPoint c = g.cellCorner(cell);
                p.setPen(dotted);
                p.drawLine(c.x() - 1, c.y() - 1, c.x() - 1, c.y() + g.cellHeight - 1);
                p.drawLine(c.x() - 1, c.y() - 1, c.x() + g.cellWidth - 1, c.y() - 1);
            }
        }
        if (cellDone)
            cellDone(cell);
    }

    if (s.separatorLines) {
        QPainter p(image);
        p.setPen(dotted);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, g.pageWidth - 1, g.pageHeight - 1);
    }
    return result;
}

} // namespace SheetPreview

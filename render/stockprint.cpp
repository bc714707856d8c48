// Printing on label stock: the labels of a job placed on the die-cut labels
// of a sheet (render/labelstock.h), each drawn as a label of a 2-per-page
// grid shrunk to its rectangle, clipped to its die-cut rectangle, on as many
// sheets as the job needs.

#include "render/bitmaps.h"
#include "render/labelrenderer.h"
#include "render/rendervariant.h"
#include "render/sheetprint.h"
#include "render/storedlabel.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace SheetPrint {

namespace {

// Millimetres on the paper to device pixels from the printable area's corner.
QRect toDevice(const QRectF &mm, const QPointF &origin, double dpiX, double dpiY)
{
    const double left = std::round((mm.left() - origin.x()) * dpiX / 25.4);
    const double top = std::round((mm.top() - origin.y()) * dpiY / 25.4);
    const double right = std::round((mm.right() - origin.x()) * dpiX / 25.4);
    const double bottom = std::round((mm.bottom() - origin.y()) * dpiY / 25.4);
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

// How many labels the job puts on stock: the active label fills the first
// sheet from the start position and every further copy is a full sheet;
// one active label or a selection is repeated once per copy.
int labelCount(const SheetSettings &s, int perSheet, int copies)
{
    if (s.activeLabel && !s.singleLabel)
        return perSheet - (s.stockStart - 1) + (copies - 1) * perSheet;
    const int once = s.activeLabel ? 1 : int(s.selection.size());
    return once * copies;
}

} // namespace

// The device's paper and margins as they were before a stock job set the
// stock's own: a later grid job keeps the printer's paper and printable area.
KeptPageLayout::KeptPageLayout(QPagedPaintDevice *device)
    : m_device(device)
    , m_layout(device->pageLayout())
{
}

KeptPageLayout::~KeptPageLayout()
{
    m_device->setPageLayout(m_layout);
}

bool useStockPaper(QPagedPaintDevice *device, const LabelStock::Template &stock, StockPaper *paper)
{
    device->setPageSize(QPageSize(QSizeF(stock.paperWidth, stock.paperHeight), QPageSize::Millimeter));
    device->setPageOrientation(QPageLayout::Portrait);
    device->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    paper->origin = device->pageLayout().paintRect(QPageLayout::Millimeter).topLeft();
    paper->dpiX = device->logicalDpiX();
    paper->dpiY = device->logicalDpiY();
    return device->width() > 0 && device->height() > 0 && paper->dpiX > 0 && paper->dpiY > 0;
}

Result printOnStock(QPagedPaintDevice *device, const Job &job)
{
    Result result;
    const SheetSettings &s = job.settings;
    const int copies = std::max(1, job.copies);
    QString error;
    const QList<LabelStock::Cell> cells =
        LabelStock::place(s.stock, s.stockStart, labelCount(s, s.stock.labelsPerSheet(), copies), s.offsetX,
                          s.offsetY, SheetGeometry::kRatio, &error);
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }
    const KeptPageLayout kept(device);
    StockPaper paper;
    if (!useStockPaper(device, s.stock, &paper)) {
        result.error = kNoPrintableArea;
        return result;
    }
    const QPointF origin = paper.origin;
    const int dpiX = paper.dpiX;
    const int dpiY = paper.dpiY;
    const auto failed = [&job] { return job.deviceFailed && job.deviceFailed(); };

    QPainter painter;
    if (!painter.begin(device) || failed()) {
        if (painter.isActive())
            painter.end();
        result.error = kFailure.arg(kAtBegin);
        return result;
    }
    QImage activePicture;
    int sheet = 0;
    for (int i = 0; i < cells.size(); ++i) {
        const LabelStock::Cell &cell = cells.at(i);
        if (cell.sheet != sheet) {
            if (!device->newPage() || failed()) {
                painter.end();
                result.error = kFailure.arg(kAtNewPage);
                return result;
            }
            sheet = cell.sheet;
            result.pages = sheet;
        }
        const QRect cut = toDevice(cell.dieCut, origin, dpiX, dpiY);
        const QRect r = toDevice(cell.label, origin, dpiX, dpiY);
        if (r.width() < 1 || r.height() < 1)
            continue;
        painter.save();
        // Nothing leaves the die-cut label, whatever its content does.
        painter.setClipRect(cut);
        // Drawn as the label of a 2-per-page portrait grid as wide as `r`.
        const int gridHeight = int(std::lround(r.width() * SheetGeometry::kRatio));
        const double a = gridHeight / 900.0;
        const double k = RenderVariant::pageFontFactor(r.width(), gridHeight, false, 1.0, dpiY);
        const RenderVariant variant = RenderVariant::page(r.x(), r.y(), r.width(), a, k, r.bottom() + 1, dpiY);
        if (s.activeLabel) {
            if (s.pictureMode) {
                if (activePicture.isNull()) {
                    LayoutResult lr;
                    activePicture = LabelRenderer::print_etBM(scaled(job.active, s), &lr);
                    noteLayout(&result, job.activeName, lr);
                }
                Bitmaps::PrintBMP(painter, r.x(), r.y(), r.width(), r.height(), activePicture);
            } else {
                noteLayout(&result, job.activeName, LabelRenderer::print_etPR(painter, scaled(job.active, s), variant));
            }
        } else {
            const QString path = s.selection.at(i % s.selection.size());
            if (path.isEmpty()) {
                // A blank entry keeps its label free.
            } else if (!QFileInfo(path).isFile()) {
                addOnce(&result.missing, path);
            } else if (s.pictureMode) {
                LayoutResult lr;
                const QImage picture =
                    StoredLabel::imp_etBM_pl(path, s.numberingOnly, job.current, job.pictogramFolder, &lr,
                                             s.statementScale);
                noteLayout(&result, QFileInfo(path).fileName(), lr);
                Bitmaps::PrintBMP(painter, r.x(), r.y(), r.width(), r.height(), picture);
            } else {
                LabelContent content;
                QStringList problems;
                if (!StoredLabel::load(path, s.numberingOnly, job.current, job.pictogramFolder, &content, &problems)) {
                    addOnce(&result.missing, path);
                } else {
                    for (const QString &p : problems)
                        addOnce(&result.problems, p);
                    content.statementScale = s.statementScale;
                    noteLayout(&result, QFileInfo(path).fileName(), LabelRenderer::draw(painter, content, variant));
                }
            }
        }
        painter.restore();
    }
    result.pages = sheet + 1;
    if (!painter.end() || failed()) {
        result.error = kFailure.arg(kAtEnd);
        return result;
    }
    result.printed = true;
    return result;
}

Result checkOnStock(const Job &job, const Surface &surface)
{
    Result result;
    const SheetSettings &s = job.settings;
    QString error;
    const QList<LabelStock::Cell> cells =
        LabelStock::place(s.stock, s.stockStart, 1, 0, 0, SheetGeometry::kRatio, &error);
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }
    if (surface.dpiX <= 0 || surface.dpiY <= 0) {
        result.error = kNoPrintableArea;
        return result;
    }
    // Every label of the job has the same size: the first one's.
    const QRect r = toDevice(QRectF(QPointF(0, 0), cells.first().label.size()), QPointF(0, 0), surface.dpiX, surface.dpiY);
    if (r.width() < 1 || r.height() < 1)
        return result;
    const int gridHeight = int(std::lround(r.width() * SheetGeometry::kRatio));
    const double k = RenderVariant::pageFontFactor(r.width(), gridHeight, false, 1.0, surface.dpiY);
    const RenderVariant own = RenderVariant::page(0, 0, r.width(), gridHeight / 900.0, k, r.height(), surface.dpiY);
    // Whatever passes the label's bottom is cut: the drawing is clipped to
    // the die-cut label in either drawing mode (nothing runs onto the next
    // label as on a grid).
    QList<CutLabel> &list = result.cut;
    const auto measure = [&](const QString &name, const LabelContent &content, const QString &entry) {
        const LayoutResult lr = s.pictureMode ? LabelRenderer::measure(content, RenderVariant::labelPicture())
                                              : LabelRenderer::measure(content, own, surface.dpiY);
        if (!lr.cutStatement.isEmpty())
            list.append({name, lr.cutStatement, entry});
    };
    if (s.activeLabel) {
        measure(job.activeName, scaled(job.active, s), QString());
        return result;
    }
    forEachStoredLabel(job, s.selection, &result, [&](const QString &path, const LabelContent &content) {
        measure(QFileInfo(path).fileName(), content, path);
    });
    return result;
}

} // namespace SheetPrint

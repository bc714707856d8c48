#include "render/sheetgeometry.h"

#include <algorithm>
#include <cmath>

namespace {

int toInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    // Kept far inside int; no page is this large.
    return static_cast<int>(std::trunc(std::clamp(value, -1.0e9, 1.0e9)));
}

struct Layout {
    int labels;
    bool landscape;
    int columns;
    int rows;
    double countFactor;
};

// 2, 8 and 18 labels on portrait pages, 4 and 16 on landscape pages. The
// count factor makes a label's text the same fraction of its cell whatever
// the cell size.
constexpr Layout kLayouts[] = {
    {2, false, 1, 2, 1.0},
    {4, true, 2, 2, 0.5},
    {8, false, 2, 4, 20.0 / 41.0},
    {16, true, 4, 4, 0.25},
    {18, false, 3, 6, 10.0 / 31.0},
};

const Layout &layoutOf(int labelsPerPage)
{
    for (const Layout &l : kLayouts)
        if (l.labels == labelsPerPage)
            return l;
    return kLayouts[0];
}

// The adaptation ratio: the label shrinks so that, shifted by the margins, it
// still fits its cell; the larger margin decides (equal margins: the top one).
double adaptationRatio(int cellWidth, int cellHeight, int marginX, int marginY)
{
    const double rx = cellWidth > 0 ? double(cellWidth - marginX) / cellWidth : 0.0;
    const double ry = cellHeight > 0 ? double(cellHeight - marginY) / cellHeight : 0.0;
    // A margin as large as the cell leaves no room rather than a mirrored label.
    return std::max(0.0, marginX > marginY ? rx : ry);
}

} // namespace

bool SheetGeometry::isLayout(int labelsPerPage)
{
    for (const Layout &l : kLayouts)
        if (l.labels == labelsPerPage)
            return true;
    return false;
}

bool SheetGeometry::isLandscape(int labelsPerPage)
{
    return layoutOf(labelsPerPage).landscape;
}

int SheetGeometry::layoutForCount(int count)
{
    if (count <= 2)
        return 2;
    if (count <= 4)
        return 4;
    if (count <= 8)
        return 8;
    if (count <= 16)
        return 16;
    return 18;
}

float SheetGeometry::millimetres(const QString &text)
{
    // Leading blanks, an optional sign, digits with at most one "." among or
    // before them; whatever follows is ignored.
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    QString number;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+'))
        number += text.at(i++);
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c >= u'0' && c <= u'9') {
            digits = true;
            number += c;
        } else if (c == u'.' && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0f;
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0.0f;
    // Beyond what a float holds the margin is absurd anyway; keep it finite.
    return float(std::clamp(value, -1.0e30, 1.0e30));
}

int SheetGeometry::marginPixels(int dpi, float mm, int limit)
{
    const double pixels = std::trunc(double(dpi) * (double(mm) * kInchPerMm));
    return toInt(std::clamp(pixels, -double(limit), double(limit)));
}

int SheetGeometry::boundedScale(int scale)
{
    return std::clamp(scale, kMinimumScale, kMaximumScale);
}

QPoint SheetGeometry::cellCorner(int k) const
{
    const int c = columns > 0 ? k % columns : 0;
    const int r = columns > 0 ? k / columns : 0;
    return QPoint(marginX + c * cellWidth, marginY + r * cellHeight);
}

int SheetGeometry::labelWidth() const
{
    return toInt(cellWidth * pictureScale);
}

int SheetGeometry::labelHeight() const
{
    return toInt(cellHeight * pictureScale);
}

SheetGeometry SheetGeometry::forPage(const Page &page)
{
    SheetGeometry g;
    const Layout &layout = layoutOf(page.labelsPerPage);
    g.labelsPerPage = layout.labels;
    g.landscape = layout.landscape;
    g.columns = layout.columns;
    g.rows = layout.rows;
    g.countFactor = layout.countFactor;

    const int width = std::max(0, page.width);
    const int height = std::max(0, page.height);
    // The grid's long side follows from the page's short side, so every cell
    // keeps the A proportions. On paper less elongated than A4 (US Letter)
    // that grid would run off the page: there the other side decides.
    if (layout.landscape) {
        g.gridHeight = height;
        g.gridWidth = toInt(height * kRatio);
        if (g.gridWidth > width) {
            g.fitted = true;
            g.gridWidth = width;
            g.gridHeight = toInt(width / kRatio);
        }
    } else {
        g.gridWidth = width;
        g.gridHeight = toInt(width * kRatio);
        if (g.gridHeight > height) {
            g.fitted = true;
            g.gridHeight = height;
            g.gridWidth = toInt(height / kRatio);
        }
    }
    g.cellWidth = g.gridWidth / g.columns;
    g.cellHeight = g.gridHeight / g.rows;

    g.marginX = marginPixels(page.dpiX, millimetres(page.marginLeft), width);
    g.marginY = marginPixels(page.dpiY, millimetres(page.marginTop), height);

    const double scale = boundedScale(page.scale) / 100.0;
    g.adaptation = page.adapt ? adaptationRatio(g.cellWidth, g.cellHeight, g.marginX, g.marginY) : 1.0;
    g.pictureScale = scale * g.adaptation;
    g.pageFactor = scale * g.countFactor * g.adaptation;
    g.unitFactor = page.pageLandscape ? g.pageFactor * g.gridWidth / 636.0 : g.pageFactor * g.gridHeight / 900.0;
    return g;
}

QPoint SheetGeometry::Preview::cellCorner(int k) const
{
    const int c = columns > 0 ? k % columns : 0;
    const int r = columns > 0 ? k / columns : 0;
    return QPoint(c * cellWidth, r * cellHeight);
}

QRect SheetGeometry::Preview::labelRect(int k) const
{
    const QPoint corner = cellCorner(k);
    const int x = corner.x() + marginX;
    const int y = corner.y() + marginY;
    const int right = toInt(x + cellWidth * scale);
    const int bottom = toInt(y + cellHeight * scale);
    return QRect(x, y, right - x, bottom - y);
}

SheetGeometry::Preview SheetGeometry::forPreview(int labelsPerPage, const QString &marginLeft,
                                                 const QString &marginTop, int scale, bool adapt)
{
    Preview p;
    const Layout &layout = layoutOf(labelsPerPage);
    p.pageWidth = layout.landscape ? 636 : 450;
    p.pageHeight = layout.landscape ? 450 : 636;
    p.columns = layout.columns;
    p.rows = layout.rows;
    p.cellWidth = p.pageWidth / p.columns;
    p.cellHeight = p.pageHeight / p.rows;
    // A4 is 297 × 210 mm; the preview page 636 × 450 pixels.
    p.marginX = toInt(std::clamp(double(millimetres(marginLeft)) * 636.0 / 297.0, -636.0, 636.0));
    p.marginY = toInt(std::clamp(double(millimetres(marginTop)) * 450.0 / 210.0, -636.0, 636.0));
    p.scale = boundedScale(scale) * 0.01;
    if (adapt)
        p.scale *= adaptationRatio(p.cellWidth, p.cellHeight, p.marginX, p.marginY);
    return p;
}

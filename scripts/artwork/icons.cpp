#include "icons.h"

#include "pictograms.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdlib>

// Large icons are drawn with smooth vector shapes.  At 16 and 32 pixels smoothing
// turns a thin red diamond into a pink blur, so those sizes are laid out pixel by
// pixel: every edge falls on the pixel grid and keeps its pure colour.

namespace {

const QColor kRed(255, 0, 0);
const QColor kInk(0, 0, 0);
const QColor kPageEdge(96, 104, 118);
const QColor kFold(214, 219, 226);
const QColor kTextLine(150, 158, 170);
const QColor kCellFill(236, 241, 247);
const QColor kCellEdge(128, 138, 152);

QImage blank(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

void setPixel(QImage &img, int x, int y, const QColor &c)
{
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height())
        img.setPixel(x, y, c.rgba());
}

// Fills the pixels x0..x1, y0..y1 (inclusive).
void fill(QImage &img, int x0, int y0, int x1, int y1, const QColor &c)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            setPixel(img, x, y, c);
}

// A hazard diamond on the pixel grid, centred on pixel (cx, cy), reaching h pixels
// from it: a red band `band` pixels deep (counted along the axes), white inside.
void pixelDiamond(QImage &img, int cx, int cy, int h, int band)
{
    for (int y = cy - h; y <= cy + h; ++y)
        for (int x = cx - h; x <= cx + h; ++x) {
            const int d = std::abs(x - cx) + std::abs(y - cy);
            if (d <= h - band)
                setPixel(img, x, y, Qt::white);
            else if (d <= h)
                setPixel(img, x, y, kRed);
        }
}

// A sheet of paper on the pixel grid, corners inclusive, top right corner folded
// by `fold` pixels (0: not folded).
void pixelPage(QImage &img, int left, int top, int right, int bottom, int fold)
{
    const int foldX = right - fold;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const int along = x - foldX;            // > 0 right of the fold line
            const int down = y - top;
            if (fold > 0 && along > 0 && along > down)
                continue;                           // the corner folded away
            const bool border = x == left || x == right || y == top || y == bottom
                                || (fold > 0 && along > 0 && along == down);
            const bool flap = fold > 0 && along >= 0 && down <= fold;
            if (border || (flap && (along == 0 || down == fold)))
                setPixel(img, x, y, kPageEdge);
            else
                setPixel(img, x, y, flap ? kFold : QColor(Qt::white));
        }
}

QPainterPath diamond(QPointF c, qreal h)
{
    QPainterPath p;
    p.moveTo(c.x(), c.y() - h);
    p.lineTo(c.x() + h, c.y());
    p.lineTo(c.x(), c.y() + h);
    p.lineTo(c.x() - h, c.y());
    p.closeSubpath();
    return p;
}

// The letter K as a polygon in the unit square.
QPainterPath letterK(const QRectF &box)
{
    const QPointF pts[] = {{0.00, 0.00}, {0.30, 0.00}, {0.30, 0.42}, {0.64, 0.00},
                           {1.00, 0.00}, {0.56, 0.50}, {1.00, 1.00}, {0.64, 1.00},
                           {0.30, 0.60}, {0.30, 1.00}, {0.00, 1.00}};
    QPainterPath k;
    for (int i = 0; i < int(std::size(pts)); ++i) {
        const QPointF p(box.left() + pts[i].x() * box.width(),
                        box.top() + pts[i].y() * box.height());
        if (i == 0)
            k.moveTo(p);
        else
            k.lineTo(p);
    }
    k.closeSubpath();
    return k;
}

// A sheet of paper with its top right corner folded down, smooth version for the
// large sizes.  Returns the inside rectangle available for the content.
QRectF page(QPainter &p, int s, bool folded)
{
    const qreal edge = std::max(1.0, std::round(s / 64.0));
    const qreal left = std::round(s * 0.16);
    const qreal right = s - std::round(s * 0.16);
    const qreal top = std::round(s * 0.04);
    const qreal bottom = s - std::round(s * 0.04);
    const qreal fold = folded ? std::round(s * 0.22) : 0;

    QPainterPath sheet;
    sheet.moveTo(left, top);
    sheet.lineTo(right - fold, top);
    sheet.lineTo(right, top + fold);
    sheet.lineTo(right, bottom);
    sheet.lineTo(left, bottom);
    sheet.closeSubpath();
    p.fillPath(sheet, kPageEdge);
    QPainterPath inner;
    const qreal cut = fold > 0 ? fold - edge * 0.4 : 0;
    inner.moveTo(left + edge, top + edge);
    inner.lineTo(right - edge - cut, top + edge);
    inner.lineTo(right - edge, top + edge + cut);
    inner.lineTo(right - edge, bottom - edge);
    inner.lineTo(left + edge, bottom - edge);
    inner.closeSubpath();
    p.fillPath(inner, Qt::white);
    if (fold > 0) {
        QPainterPath flap;
        flap.moveTo(right - fold, top);
        flap.lineTo(right - fold, top + fold);
        flap.lineTo(right, top + fold);
        flap.closeSubpath();
        p.fillPath(flap, kPageEdge);
        QPainterPath flapInside;
        flapInside.moveTo(right - fold + edge, top + edge * 2.4);
        flapInside.lineTo(right - fold + edge, top + fold - edge);
        flapInside.lineTo(right - edge * 2.4, top + fold - edge);
        flapInside.closeSubpath();
        p.fillPath(flapInside, kFold);
    }
    return QRectF(QPointF(left + edge, top + edge), QPointF(right - edge, bottom - edge));
}

} // namespace

namespace Icons {

QImage program(int s)
{
    QImage img = blank(s);
    if (s <= 32) {
        // Diamond 2h + 1 pixels wide, the K on whole pixels inside it.
        const int h = s / 2 - 1;
        const int band = s <= 16 ? 2 : 3;
        const int c = h;
        pixelDiamond(img, c, c, h, band);
        if (s <= 16) {
            static const char *const k[] = {"X..XX", "X.XX.", "XXX..", "X.XX.", "X..XX"};
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 5; ++x)
                    if (k[y][x] == 'X')
                        setPixel(img, c - 2 + x, c - 2 + y, kInk);
        } else {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.fillPath(letterK(QRectF(c - 5, c - 6, 12, 13)), kInk);
        }
        return img;
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal h = s / 2.0 - s / 128.0;
    const qreal band = s * 0.075;
    const QPointF c(s / 2.0, s / 2.0);
    p.fillPath(diamond(c, h), kRed);
    const qreal inner = h - band * std::sqrt(2.0);
    p.fillPath(diamond(c, inner), Qt::white);
    // The K fills most of the largest square that fits in the white inside.
    const qreal side = inner * 0.98;
    p.fillPath(letterK(QRectF(c.x() - side * 0.46, c.y() - side * 0.52, side * 0.94, side * 1.04)),
               kInk);
    return img;
}

QImage labelFile(int s)
{
    QImage img = blank(s);
    if (s == 16) {
        pixelPage(img, 2, 0, 13, 15, 4);
        pixelDiamond(img, 7, 5, 3, 1);
        fill(img, 4, 10, 11, 10, kTextLine);
        fill(img, 4, 12, 9, 12, kTextLine);
        return img;
    }
    if (s == 32) {
        pixelPage(img, 5, 1, 26, 30, 7);
        pixelDiamond(img, 13, 11, 7, 2);
        fill(img, 13, 7, 13, 12, kInk);          // exclamation mark
        fill(img, 13, 14, 13, 14, kInk);
        for (int y : {21, 24, 27})
            fill(img, 8, y, y == 24 ? 19 : 23, y, kTextLine);
        return img;
    }
    if (s == 48) {
        pixelPage(img, 7, 1, 40, 46, 10);
        pixelDiamond(img, 18, 14, 10, 2);
        fill(img, 17, 7, 19, 15, kInk);
        fill(img, 17, 17, 19, 19, kInk);
        for (int y : {30, 34, 38, 42})
            fill(img, 11, y, y == 34 ? 30 : (y == 42 ? 26 : 35), y + 1, kTextLine);
        return img;
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF in = page(p, s, true);
    const qreal u = s / 256.0;
    // A real pictogram on the page, text lines under it.
    const qreal side = std::round(in.width() * 0.62);
    const QRectF pic(in.left() + std::round(in.width() * 0.08),
                     in.top() + std::round(in.height() * 0.08), side, side);
    Pictograms::draw(p, 7, pic);
    const qreal lineH = std::max(2.0, std::round(10 * u));
    const qreal gap = std::max(4.0, std::round(24 * u));
    qreal y = pic.bottom() + gap;
    for (qreal len : {0.84, 0.70, 0.84, 0.52}) {
        if (y + lineH > in.bottom() - gap / 2)
            break;
        p.fillRect(QRectF(in.left() + std::round(in.width() * 0.08), y,
                          std::round(in.width() * len), lineH), kTextLine);
        y += gap;
    }
    return img;
}

QImage sheetFile(int s)
{
    QImage img = blank(s);
    if (s == 16) {
        // Four labels in a two by two grid.
        pixelPage(img, 1, 0, 13, 15, 0);
        fill(img, 7, 1, 7, 14, kCellEdge);
        fill(img, 2, 7, 12, 8, kCellEdge);
        for (int cy : {4, 11})
            for (int cx : {4, 10})
                pixelDiamond(img, cx, cy, 2, 1);
        return img;
    }
    if (s <= 48) {
        // A page holding two columns of labels, each label a diamond and a few lines.
        struct Layout { int left, top, right, bottom, rows, cellW, cellH, gap, h, band; };
        const Layout l = s == 32 ? Layout{4, 1, 27, 30, 3, 10, 8, 1, 3, 1}
                                 : Layout{6, 2, 41, 45, 3, 16, 13, 1, 5, 1};
        pixelPage(img, l.left, l.top, l.right, l.bottom, 0);
        const int innerW = l.right - l.left - 1;
        const int innerH = l.bottom - l.top - 1;
        const int x0 = l.left + 1 + (innerW - 2 * l.cellW - l.gap) / 2;
        const int y0 = l.top + 1 + (innerH - l.rows * l.cellH - (l.rows - 1) * l.gap) / 2;
        for (int r = 0; r < l.rows; ++r)
            for (int col = 0; col < 2; ++col) {
                const int x = x0 + col * (l.cellW + l.gap);
                const int y = y0 + r * (l.cellH + l.gap);
                fill(img, x, y, x + l.cellW - 1, y + l.cellH - 1, kCellEdge);
                fill(img, x + 1, y + 1, x + l.cellW - 2, y + l.cellH - 2, kCellFill);
                const int cx = x + 1 + l.h + (s > 32 ? 1 : 0);
                const int cy = y + l.cellH / 2;
                pixelDiamond(img, cx, cy, l.h, l.band);
                if (s > 32) {
                    setPixel(img, cx, cy - 2, kInk);
                    setPixel(img, cx, cy - 1, kInk);
                    setPixel(img, cx, cy + 1, kInk);
                    for (int i = 0; i < 3; ++i)
                        fill(img, cx + l.h + 2, cy - 3 + 3 * i, x + l.cellW - 3, cy - 3 + 3 * i,
                             kTextLine);
                } else {
                    fill(img, cx + l.h + 2, cy - 1, x + l.cellW - 2, cy - 1, kTextLine);
                    fill(img, cx + l.h + 2, cy + 1, x + l.cellW - 3, cy + 1, kTextLine);
                }
            }
        return img;
    }

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF in = page(p, s, false);
    const int cols = 2;
    const int rows = 3;
    const qreal gap = std::round(s / 28.0);
    const qreal cellW = std::floor((in.width() - gap * (cols + 1)) / cols);
    const qreal cellH = std::floor((in.height() - gap * (rows + 1)) / rows);
    const qreal x0 = in.left() + std::floor((in.width() - cols * cellW - (cols - 1) * gap) / 2);
    const qreal y0 = in.top() + std::floor((in.height() - rows * cellH - (rows - 1) * gap) / 2);
    const qreal edge = std::max(1.0, std::round(s / 80.0));
    const int pictos[rows * cols] = {2, 5, 8, 3, 6, 9};
    for (int r = 0; r < rows; ++r) {
        for (int col = 0; col < cols; ++col) {
            const QRectF cell(x0 + col * (cellW + gap), y0 + r * (cellH + gap), cellW, cellH);
            p.fillRect(cell, kCellEdge);
            p.fillRect(cell.adjusted(edge, edge, -edge, -edge), kCellFill);
            const qreal h = std::min(cellW, cellH) * 0.40;
            const QPointF c(cell.left() + h + cellW * 0.08, cell.center().y());
            Pictograms::draw(p, pictos[r * cols + col], QRectF(c.x() - h, c.y() - h, 2 * h, 2 * h));
            const qreal lineH = std::round(s / 64.0);
            const qreal textLeft = c.x() + h + cellW * 0.06;
            for (int i = 0; i < 3; ++i)
                p.fillRect(QRectF(textLeft, c.y() - h * 0.5 + i * h * 0.5,
                                  cell.right() - textLeft - cellW * 0.08, lineH), kTextLine);
        }
    }
    return img;
}

} // namespace Icons

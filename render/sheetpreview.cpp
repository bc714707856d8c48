#include "render/sheetpreview.h"

#include "render/bitmaps.h"
#include "render/labelrenderer.h"
#include "render/sheetprint.h"
#include "render/storedlabel.h"

#include <QFileInfo>
#include <QPainter>
#include <QPen>

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

} // namespace

Result draw(QImage *image, const SheetSettings &s, const LabelContent &active, const FrameMirrors &current,
            const QString &pictogramFolder, const std::function<void(int)> &cellDone)
{
    Result result;
    const SheetGeometry::Preview g =
        SheetGeometry::forPreview(s.labelsPerPage, s.marginLeft, s.marginTop, s.scale, s.adapt);
    result.geometry = g;
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

#include "render/labelsize.h"

#include <QLocale>

namespace LabelSize {

QSizeF onGrid(const SheetSettings &settings, const SheetPrint::Surface &surface)
{
    if (surface.width <= 0 || surface.height <= 0 || surface.dpiX <= 0 || surface.dpiY <= 0)
        return {};
    const SheetGeometry g = SheetPrint::geometry(settings, surface);
    if (!g.labelsHaveRoom())
        return {};
    return QSizeF(g.labelWidth() * 25.4 / surface.dpiX, g.labelHeight() * 25.4 / surface.dpiY);
}

QSizeF onStock(const LabelStock::Template &stock)
{
    return QSizeF(stock.width, stock.height);
}

QSizeF printedOnStock(const LabelStock::Template &stock)
{
    const double m = stock.markupMargin;
    return LabelStock::fitted(QRectF(0, 0, stock.width, stock.height).adjusted(m, m, -m, -m), SheetGeometry::kRatio)
        .size();
}

QString text(const QSizeF &mm)
{
    const QLocale fr(QLocale::French, QLocale::France);
    return QStringLiteral("%1 × %2 mm").arg(fr.toString(mm.width(), 'f', 1), fr.toString(mm.height(), 'f', 1));
}

QString caption(const SheetSettings &settings, const SheetPrint::Surface &surface)
{
    if (settings.onStock())
        return kCaption.arg(kOnStock.arg(text(onStock(settings.stock)), settings.stock.name(),
                                         text(printedOnStock(settings.stock))));
    const QSizeF size = onGrid(settings, surface);
    if (size.isEmpty())
        return kCaption.arg(QStringLiteral("aucune place (marges trop grandes)"));
    return kCaption.arg(kOnGrid.arg(text(size)).arg(settings.labelsPerPage));
}

} // namespace LabelSize

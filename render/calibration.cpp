#include "render/calibration.h"

#include "render/sheetprint.h"

#include <QFont>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace Calibration {

namespace {

constexpr double kCornerDistance = 20.0; // mm
constexpr double kArm = 6.0;             // half the length of a cross, mm

QString millimetres(double mm)
{
    return QLocale(QLocale::French, QLocale::France).toString(mm, 'f', 1);
}

} // namespace

QList<QPointF> crosses(const LabelStock::Template &stock)
{
    const double w = stock.paperWidth;
    const double h = stock.paperHeight;
    const double d = kCornerDistance;
    return {QPointF(d, d), QPointF(w - d, d), QPointF(w / 2, h / 2), QPointF(d, h - d), QPointF(w - d, h - d)};
}

void draw(QPainter &painter, const LabelStock::Template &stock, double pxX, double pxY, const QPointF &origin)
{
    const auto at = [&](const QPointF &mm) { return QPointF((mm.x() - origin.x()) * pxX, (mm.y() - origin.y()) * pxY); };
    const auto rect = [&](const QRectF &mm) { return QRectF(at(mm.topLeft()), at(mm.bottomRight())); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);

    // The die-cut outlines, thin and grey, so that a cross stays readable
    // over them.
    QPen outline(QColor(150, 150, 150));
    outline.setWidthF(std::max(1.0, 0.2 * pxX));
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    for (const QRectF &cut : stock.dieCuts()) {
        if (stock.round > 0)
            painter.drawRoundedRect(rect(cut), stock.round * pxX, stock.round * pxY);
        else
            painter.drawRect(rect(cut));
    }

    // The crosses, black, with their coordinates beside them.
    QPen ink(Qt::black);
    ink.setWidthF(std::max(1.0, 0.3 * pxX));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(6, int(3.2 * pxY))); // about 9 points
    painter.setFont(font);
    for (const QPointF &c : crosses(stock)) {
        painter.setPen(ink);
        painter.drawLine(at(c - QPointF(kArm, 0)), at(c + QPointF(kArm, 0)));
        painter.drawLine(at(c - QPointF(0, kArm)), at(c + QPointF(0, kArm)));
        painter.drawEllipse(at(c), 1.5 * pxX, 1.5 * pxY);
        const QString text = kCrossText.arg(millimetres(c.x()), millimetres(c.y()));
        // Beside the cross, towards the middle of the sheet so it stays on it.
        const bool right = c.x() < stock.paperWidth * 0.75;
        const QPointF anchor = at(c + QPointF(right ? kArm + 1.5 : -(kArm + 1.5), -1.5));
        const QRectF box = right ? QRectF(anchor.x(), anchor.y() - 5 * pxY, 60 * pxX, 5 * pxY)
                                 : QRectF(anchor.x() - 60 * pxX, anchor.y() - 5 * pxY, 60 * pxX, 5 * pxY);
        painter.drawText(box, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignBottom, text);
    }

    // The title and how to read the page, under the middle cross.
    font.setPixelSize(std::max(6, int(3.0 * pxY)));
    painter.setFont(font);
    const QPointF middle = crosses(stock).at(2);
    const QRectF text = rect(QRectF(kCornerDistance + 5, middle.y() + kArm + 4,
                                    stock.paperWidth - 2 * (kCornerDistance + 5), 40));
    const QString words = kTitle.arg(stock.name()) + u'\n' + kInstructions;
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    // On white, so that the outlines behind it do not cross the words.
    painter.fillRect(painter.boundingRect(text, flags, words).adjusted(-pxX, -pxY, pxX, pxY), Qt::white);
    painter.drawText(text, flags, words);
    painter.restore();
}

Result print(QPagedPaintDevice *device, const LabelStock::Template &stock, const std::function<bool()> &deviceFailed)
{
    Result result;
    const auto failed = [&deviceFailed] { return deviceFailed && deviceFailed(); };
    const SheetPrint::KeptPageLayout kept(device);
    SheetPrint::StockPaper paper;
    if (!SheetPrint::useStockPaper(device, stock, &paper)) {
        result.error = SheetPrint::kNoPrintableArea;
        return result;
    }
    QPainter painter;
    if (!painter.begin(device) || failed()) {
        if (painter.isActive())
            painter.end();
        result.error = SheetPrint::kFailure.arg(SheetPrint::kAtBegin);
        return result;
    }
    draw(painter, stock, paper.dpiX / 25.4, paper.dpiY / 25.4, paper.origin);
    if (!painter.end() || failed()) {
        result.error = SheetPrint::kFailure.arg(SheetPrint::kAtEnd);
        return result;
    }
    result.printed = true;
    return result;
}

} // namespace Calibration

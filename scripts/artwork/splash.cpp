#include "splash.h"

#include "pictograms.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QRgb kFuchsia = qRgb(255, 0, 255);
const QColor kNavy(27, 47, 78);
const QColor kGrey(90, 100, 115);

QPainterPath outline()
{
    QPainterPath p;
    p.addRoundedRect(QRectF(0, 0, Splash::kWidth, Splash::kHeight), 18, 18);
    return p;
}

} // namespace

namespace Splash {

QImage render()
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);

        QLinearGradient sky(0, 0, 0, kHeight);
        sky.setColorAt(0.0, QColor(255, 255, 255));
        sky.setColorAt(1.0, QColor(214, 224, 236));
        p.fillRect(img.rect(), sky);

        // A label's worth of pictograms at the right, as they sit on a label:
        // diamonds touching at their side corners.
        const qreal big = 84;
        const qreal left = kWidth - 14 - 1.5 * big;
        const qreal top = 50;
        Pictograms::draw(p, 2, QRectF(left, top, big, big));
        Pictograms::draw(p, 9, QRectF(left - big / 2, top + big / 2, big, big));
        Pictograms::draw(p, 6, QRectF(left + big / 2, top + big / 2, big, big));

        QFont title("Liberation Sans");
        title.setPixelSize(40);
        title.setBold(true);
        p.setFont(title);
        p.setPen(kNavy);
        p.drawText(QPointF(18, 56), QStringLiteral("Kalvane"));

        QFont sub("Liberation Sans");
        sub.setPixelSize(12);
        p.setFont(sub);
        p.setPen(kGrey);
        p.drawText(QPointF(20, 80), QStringLiteral("Étiquettes de sécurité SGH"));

        QFont version("Liberation Sans");
        version.setPixelSize(12);
        version.setBold(true);
        p.setFont(version);
        p.setPen(kNavy);
        p.drawText(QPointF(20, 118), QStringLiteral("Version 4.4"));

        // The nine pictograms in a row along the bottom, on a white band.
        const int side = 32;
        const int gap = 2;
        const int rowWidth = 9 * side + 8 * gap;
        const int x0 = (kWidth - rowWidth) / 2;
        const int y0 = kHeight - side - 12;
        p.fillRect(QRectF(0, y0 - 7, kWidth, side + 14), Qt::white);
        p.fillRect(QRectF(0, y0 - 8, kWidth, 1), QColor(180, 190, 204));
        for (int n = 1; n <= 9; ++n)
            Pictograms::draw(p, n, QRectF(x0 + (n - 1) * (side + gap), y0, side, side));

        // A dark rim along the rounded outline.  It starts outside the picture, so
        // every pixel the mask below keeps at the edge is plain rim colour, and only
        // its inner edge is smoothed.
        QPainterPath rim;
        rim.addRect(QRectF(-8, -8, kWidth + 16, kHeight + 16));
        QPainterPath inner;
        inner.addRoundedRect(QRectF(3, 3, kWidth - 6, kHeight - 6), 15, 15);
        p.fillPath(rim.subtracted(inner), kNavy);
    }

    // Everything outside the rounded outline becomes fuchsia.  The mask is drawn
    // without antialiasing: a blended edge pixel would not be exactly fuchsia and
    // would show as a pink fringe.
    QImage mask(kWidth, kHeight, QImage::Format_RGB32);
    mask.fill(Qt::black);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing, false);
        m.fillPath(outline(), Qt::white);
    }
    for (int y = 0; y < kHeight; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        const QRgb *inside = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            if (qRed(inside[x]) == 0)
                line[x] = kFuchsia;
            else if ((line[x] & 0xFFFFFF) == (kFuchsia & 0xFFFFFF))
                line[x] = qRgb(254, 0, 255);   // never a hole by accident
        }
    }
    return img;
}

} // namespace Splash

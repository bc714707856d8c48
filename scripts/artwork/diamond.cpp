#include "diamond.h"

#include <QPainter>
#include <cmath>

namespace Diamond {

qreal innerHalfDiagonal()
{
    return kOuter - kBorder * std::sqrt(2.0);
}

QPainterPath path(qreal h)
{
    QPainterPath p;
    p.moveTo(0, -h);
    p.lineTo(h, 0);
    p.lineTo(0, h);
    p.lineTo(-h, 0);
    p.closeSubpath();
    return p;
}

void drawFrame(QPainter &p)
{
    // The outer edge is a slightly smaller square stroked with a round join, which
    // gives the soft outer corners of a printed label; the inner edge stays sharp.
    const qreal round = 10.0;
    p.save();
    p.setPen(QPen(kRed, 2 * round, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kRed);
    p.drawPath(path(kOuter - round * std::sqrt(2.0)));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(path(innerHalfDiagonal()));
    p.restore();
}

} // namespace Diamond

#include "pictograms.h"

#include "diamond.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>
#include <QtMath>

#include <array>
#include <cmath>

// Every symbol is drawn in the 1000-unit square of diamond.h.  The white inside of
// the frame is the square |x| + |y| <= 413; symbols keep some white around them,
// and because the frame narrows towards its corners, whatever is wide sits near the
// middle height.

namespace {

const QColor kBlack(0, 0, 0);

QPainterPath disc(QPointF c, qreal r)
{
    QPainterPath p;
    p.addEllipse(c, r, r);
    return p;
}

QPainterPath ellipse(QPointF c, qreal rx, qreal ry)
{
    QPainterPath p;
    p.addEllipse(c, rx, ry);
    return p;
}

QPainterPath rect(qreal x0, qreal y0, qreal x1, qreal y1)
{
    QPainterPath p;
    p.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    return p;
}

QPainterPath roundRect(qreal x0, qreal y0, qreal x1, qreal y1, qreal r)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)), r, r);
    return p;
}

// The outline of a path drawn with a round pen, as a fillable area.
QPainterPath stroke(const QPainterPath &path, qreal width,
                    Qt::PenCapStyle cap = Qt::RoundCap)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(cap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(path).simplified();
}

QPainterPath segment(QPointF a, QPointF b, qreal width, Qt::PenCapStyle cap = Qt::RoundCap)
{
    QPainterPath p(a);
    p.lineTo(b);
    return stroke(p, width, cap);
}

// A straight stroke whose width goes from wa at a to wb at b, with round ends.
QPainterPath taper(QPointF a, QPointF b, qreal wa, qreal wb)
{
    const QPointF d = b - a;
    const qreal len = std::hypot(d.x(), d.y());
    const QPointF n(-d.y() / len, d.x() / len);
    QPainterPath p;
    p.moveTo(a + n * (wa / 2));
    p.lineTo(b + n * (wb / 2));
    p.lineTo(b - n * (wb / 2));
    p.lineTo(a - n * (wa / 2));
    p.closeSubpath();
    return p.united(disc(a, wa / 2)).united(disc(b, wb / 2));
}

QPainterPath polygon(std::initializer_list<QPointF> pts)
{
    QPainterPath p;
    bool first = true;
    for (const QPointF &pt : pts) {
        if (first)
            p.moveTo(pt);
        else
            p.lineTo(pt);
        first = false;
    }
    p.closeSubpath();
    return p;
}

QPointF polar(QPointF c, qreal r, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return c + QPointF(r * std::cos(a), r * std::sin(a));
}

// A flame: a rounded foot and three tongues, the middle one tallest.  It stands on
// y = 170 and reaches y = -300; with `withCore` the white inner flame is cut out.
QPainterPath flame(bool withCore)
{
    QPainterPath f;
    f.moveTo(0, 170);
    f.cubicTo(-100, 170, -160, 116, -162, 36);
    f.cubicTo(-164, -36, -146, -96, -118, -165);      // left tongue, outer side
    f.cubicTo(-104, -112, -92, -84, -66, -62);        // left tongue, inner side
    f.cubicTo(-84, -150, -36, -228, 18, -302);        // middle tongue, left side
    f.cubicTo(2, -226, 52, -178, 64, -122);           // middle tongue, right side
    f.cubicTo(72, -96, 74, -78, 68, -58);
    f.cubicTo(112, -92, 130, -148, 118, -200);        // right tongue, inner side
    f.cubicTo(168, -130, 168, -56, 162, 36);          // right tongue, outer side
    f.cubicTo(160, 116, 100, 170, 0, 170);
    f.closeSubpath();
    if (!withCore)
        return f;

    QPainterPath core;
    core.moveTo(2, 134);
    core.cubicTo(-46, 134, -72, 108, -68, 72);
    core.cubicTo(-64, 36, -36, 14, -22, -30);         // tip of the inner flame
    core.cubicTo(-6, 8, 20, 18, 34, 44);
    core.cubicTo(46, 34, 52, 20, 50, 4);              // small second tip
    core.cubicTo(70, 36, 76, 78, 66, 102);
    core.cubicTo(54, 124, 32, 134, 2, 134);
    core.closeSubpath();
    return f.subtracted(core);
}

// Accumulates areas by union, whatever their fill rule or winding direction.
class Area
{
public:
    void add(const QPainterPath &p) { m_path = m_path.united(p); }
    void cut(const QPainterPath &p) { m_path = m_path.subtracted(p); }
    const QPainterPath &path() const { return m_path; }

private:
    QPainterPath m_path;
};

// ---------------------------------------------------------------- SGH01
void explodingBomb(QPainter &p)
{
    // The ball, its top torn open along a jagged line.
    const QPointF ball(0, 156);
    const qreal r = 116;
    QPainterPath below = polygon({{-150, 96}, {-112, 66}, {-84, 94}, {-50, 50}, {-18, 84},
                                  {16, 42}, {48, 82}, {82, 54}, {112, 88}, {150, 68},
                                  {150, 320}, {-150, 320}});
    const QPainterPath bomb = disc(ball, r).intersected(below);

    // The blast: a solid burst with sharp spikes fanning out of the tear.
    const QPointF c(0, 72);
    const std::array<qreal, 9> spikeLength{244, 272, 292, 268, 304, 268, 292, 272, 244};
    QPainterPath blast;
    for (int i = 0; i < int(spikeLength.size()); ++i) {
        const qreal angle = -i * 22.5;
        const QPointF valley = polar(c, (i % 2) ? 142 : 124, angle + 11.25);
        if (i == 0)
            blast.moveTo(valley);
        else
            blast.lineTo(valley);
        blast.lineTo(polar(c, spikeLength[i], angle));
    }
    blast.lineTo(polar(c, 124, -180 - 11.25));
    blast.closeSubpath();
    // A white seam separates the blast from the torn ball.
    Area shape;
    shape.add(blast.subtracted(bomb).subtracted(stroke(bomb, 34)));
    shape.add(bomb);

    // Fragments of the shell flying between the spikes.
    struct Chunk { qreal angle, radius, size, turn; };
    const std::array<Chunk, 8> chunks{{{-168, 222, 50, 10}, {-146, 254, 56, 40},
                                       {-124, 234, 48, 75}, {-101, 262, 52, 20},
                                       {-79, 262, 52, 55}, {-56, 234, 48, 5},
                                       {-34, 254, 56, 35}, {-12, 222, 50, 60}}};
    for (const Chunk &ch : chunks) {
        const QPointF m = polar(c, ch.radius, ch.angle);
        const qreal s = ch.size / 2;
        shape.add(polygon({polar(m, s, ch.turn), polar(m, s * 0.8, ch.turn + 80),
                           polar(m, s * 1.05, ch.turn + 150), polar(m, s * 0.75, ch.turn + 215),
                           polar(m, s * 0.95, ch.turn + 290)}));
    }
    p.fillPath(shape.path(), kBlack);
}

// ---------------------------------------------------------------- SGH02
void flameSymbol(QPainter &p)
{
    QTransform t;
    t.translate(0, -10);
    t.scale(1.04, 1.04);
    p.fillPath(t.map(flame(true)), kBlack);
    p.fillPath(rect(-142, 198, 142, 240), kBlack);
}

// ---------------------------------------------------------------- SGH03
void flameOverCircle(QPainter &p)
{
    const QPointF centre(0, 86);
    const qreal outer = 100;
    QTransform t;
    t.translate(0, -16);
    t.scale(0.98, 0.98);
    QPainterPath fire = t.map(flame(false)).subtracted(disc(centre, outer + 24));
    // Only the part of the flame above the middle of the ring is kept.
    fire = fire.intersected(rect(-300, -400, 300, centre.y() + 16));
    p.fillPath(fire, kBlack);
    p.fillPath(disc(centre, outer).subtracted(disc(centre, outer - 50)), kBlack);
    p.fillPath(rect(-140, 206, 140, 246), kBlack);
}

// ---------------------------------------------------------------- SGH04
void gasCylinder(QPainter &p)
{
    // Drawn lying along the x axis, valve on the right, then tilted.
    Area body;
    body.add(roundRect(-236, -94, 120, 94, 30));
    QPainterPath shoulder;
    shoulder.moveTo(80, -94);
    shoulder.cubicTo(156, -94, 192, -62, 198, -36);
    shoulder.lineTo(198, 36);
    shoulder.cubicTo(192, 62, 156, 94, 80, 94);
    shoulder.closeSubpath();
    body.add(shoulder);
    body.add(rect(192, -34, 222, 34));                 // neck
    body.add(roundRect(218, -50, 264, 50, 12));        // valve
    body.add(rect(234, -80, 250, -44));                // valve spindle
    body.add(roundRect(216, -100, 268, -76, 8));       // hand wheel
    body.add(roundRect(260, -18, 288, 18, 6));         // outlet
    // A thin band below the shoulder and the valve seat make it read as a cylinder.
    body.cut(rect(100, -120, 111, 120));
    body.cut(rect(214, -60, 219, 60));

    QTransform t;
    t.translate(14, -12);
    t.rotate(-24);
    t.scale(0.95, 0.95);
    t.translate(-26, 2);
    p.fillPath(t.map(body.path()), kBlack);
}

// ---------------------------------------------------------------- SGH05
QPainterPath testTube(QPointF closedEnd, QPointF mouth, qreal liquid)
{
    const QPointF d = mouth - closedEnd;
    const qreal len = std::hypot(d.x(), d.y());
    const qreal angle = qRadiansToDegrees(std::atan2(d.y(), d.x()));
    // Local frame: the tube lies along +x from its rounded bottom at x = 0.
    const qreal w = 42;     // half width, outside
    const qreal wall = 20;
    Area outside;
    QPainterPath tube;
    tube.moveTo(len, -w);
    tube.lineTo(w, -w);
    tube.arcTo(QRectF(0, -w, 2 * w, 2 * w), 90, 180);
    tube.lineTo(len, w);
    tube.closeSubpath();
    outside.add(tube);
    outside.add(roundRect(len - 12, -w - 9, len + 2, w + 9, 4));   // lip
    QPainterPath inside;
    const qreal iw = w - wall;
    inside.moveTo(len + 10, -iw);
    inside.lineTo(w, -iw);
    inside.arcTo(QRectF(wall, -iw, 2 * iw, 2 * iw), 90, 180);
    inside.lineTo(len + 10, iw);
    inside.closeSubpath();
    outside.cut(inside);
    // The liquid lies at the mouth, ready to pour.
    outside.add(rect(len * (1 - liquid), -iw - 1, len + 2, iw + 1));
    QTransform t;
    t.translate(closedEnd.x(), closedEnd.y());
    t.rotate(angle);
    return t.map(outside.path());
}

QPainterPath drop(QPointF c, qreal r)
{
    QPainterPath d;
    d.moveTo(c + QPointF(0, -2.3 * r));
    d.cubicTo(c + QPointF(0.35 * r, -1.2 * r), c + QPointF(r, -0.6 * r), c + QPointF(r, 0));
    d.cubicTo(c + QPointF(r, 0.6 * r), c + QPointF(0.55 * r, r), c + QPointF(0, r));
    d.cubicTo(c + QPointF(-0.55 * r, r), c + QPointF(-r, 0.6 * r), c + QPointF(-r, 0));
    d.cubicTo(c + QPointF(-r, -0.6 * r), c + QPointF(-0.35 * r, -1.2 * r), c + QPointF(0, -2.3 * r));
    d.closeSubpath();
    return d;
}

void corrosion(QPainter &p)
{
    Area shape;
    // Two test tubes, bottoms up, pouring outwards.
    shape.add(testTube({-42, -284}, {-168, -104}, 0.42));
    shape.add(testTube({42, -284}, {168, -104}, 0.42));
    for (qreal x : {-172.0, 172.0}) {
        shape.add(drop({x, -40}, 22));
        shape.add(drop({x, 20}, 22));
    }

    // Left: a metal bar eaten through where the drops land.
    Area bar;
    bar.add(rect(-240, 62, -48, 140));
    bar.cut(polygon({{-214, 46}, {-200, 86}, {-188, 76}, {-178, 112}, {-166, 94},
                     {-154, 118}, {-144, 86}, {-132, 98}, {-122, 46}}));
    shape.add(bar.path());

    // Right: a hand lying flat, fingers to the right, seen from above, with a bite
    // where the drops land.
    Area hand;
    const struct { qreal y, to, r; } fingers[] = {
        {70, 236, 13}, {97, 252, 13}, {124, 244, 13}, {149, 206, 11}};
    for (const auto &f : fingers)
        hand.add(segment({130, f.y}, {f.to - f.r, f.y}, 2 * f.r));
    hand.add(roundRect(56, 56, 150, 162, 26));                          // back of the hand
    hand.add(rect(20, 76, 70, 146));                                    // wrist
    hand.add(segment({74, 64}, {114, 30}, 28));                         // thumb
    // Narrow gaps keep the fingers apart up to the knuckles.
    for (qreal y : {83.5, 110.5, 136.5})
        hand.cut(segment({144, y}, {280, y}, 4, Qt::FlatCap));
    hand.cut(polygon({{146, 42}, {152, 84}, {162, 76}, {172, 104}, {182, 82},
                      {192, 94}, {198, 42}}));
    shape.add(hand.path());

    // The bench both lie on.
    shape.add(rect(-176, 176, 176, 198));
    p.fillPath(shape.path(), kBlack);
}

// ---------------------------------------------------------------- SGH06
void skullAndCrossbones(QPainter &p)
{
    // Crossbones first: the skull is drawn over them with a white rim.
    Area bones;
    const std::array<std::pair<QPointF, QPointF>, 2> ends{{{{-162, 74}, {162, 178}},
                                                          {{162, 74}, {-162, 178}}}};
    for (const auto &[a, b] : ends) {
        bones.add(segment(a, b, 40, Qt::FlatCap));
        const QPointF d = (b - a) / std::hypot((b - a).x(), (b - a).y());
        const QPointF n(-d.y(), d.x());
        for (const QPointF &e : {a, b}) {
            const QPointF out = (e == a) ? -d : d;
            bones.add(disc(e + out * 6 + n * 20, 23));
            bones.add(disc(e + out * 6 - n * 20, 23));
        }
    }
    p.fillPath(bones.path(), kBlack);

    Area skull;
    skull.add(ellipse({0, -118}, 130, 122));
    skull.add(roundRect(-86, -60, 86, 86, 30));
    skull.add(ellipse({-98, -30}, 40, 34));              // cheekbones
    skull.add(ellipse({98, -30}, 40, 34));
    p.fillPath(stroke(skull.path(), 40), Qt::white);

    skull.cut(ellipse({-52, -88}, 40, 42));
    skull.cut(ellipse({52, -88}, 40, 42));
    QPainterPath nose;
    nose.moveTo(0, -36);
    nose.cubicTo(6, -22, 24, 2, 22, 12);
    nose.cubicTo(20, 18, 6, 14, 0, 8);
    nose.cubicTo(-6, 14, -20, 18, -22, 12);
    nose.cubicTo(-24, 2, -6, -22, 0, -36);
    nose.closeSubpath();
    skull.cut(nose);
    // Teeth: a row of slits over the jaw.
    skull.cut(rect(-66, 44, 66, 51));
    for (qreal x : {-44.0, -15.0, 15.0, 44.0})
        skull.cut(roundRect(x - 5.5, 28, x + 5.5, 72, 4));
    p.fillPath(skull.path(), kBlack);
}

// ---------------------------------------------------------------- SGH07
void exclamationMark(QPainter &p)
{
    QPainterPath bar;
    bar.moveTo(-66, -212);
    bar.arcTo(QRectF(-66, -278, 132, 132), 180, -180);
    bar.lineTo(40, 88);
    bar.arcTo(QRectF(-40, 48, 80, 80), 0, -180);
    bar.closeSubpath();
    bar.addEllipse(QPointF(0, 202), 58, 58);
    QTransform t;
    t.scale(1.08, 1.08);
    t.translate(0, -4);
    p.fillPath(t.map(bar), kBlack);
}

// ---------------------------------------------------------------- SGH08
void healthHazard(QPainter &p)
{
    Area person;
    person.add(disc({0, -150}, 86));
    person.add(rect(-44, -100, 44, -50));                 // neck
    QPainterPath torso;
    torso.moveTo(-54, -70);
    torso.cubicTo(-142, -66, -190, -30, -190, 40);
    torso.lineTo(-190, 196);
    torso.lineTo(190, 196);
    torso.lineTo(190, 40);
    torso.cubicTo(190, -30, 142, -66, 54, -70);
    torso.closeSubpath();
    person.add(torso);

    // A white starburst on the chest: long and short rays in turn.
    QPainterPath star;
    const QPointF c(0, 84);
    const int rays = 16;
    for (int i = 0; i < 2 * rays; ++i) {
        const qreal r = (i % 2 == 1) ? 34 : ((i / 2) % 2 == 0 ? 118 : 70);
        const QPointF pt = polar(c, r, -90 + i * 180.0 / rays);
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    person.cut(star);
    p.fillPath(person.path(), kBlack);
}

// ---------------------------------------------------------------- SGH09
void environment(QPainter &p)
{
    // A dead tree on the left: a bare trunk and leafless branches.
    Area tree;
    tree.add(taper({-116, 150}, {-100, -258}, 68, 24));
    tree.add(polygon({{-150, 150}, {-82, 150}, {-78, 190}, {-154, 190}}));
    tree.add(taper({-106, 40}, {-222, -64}, 36, 16));
    tree.add(taper({-178, -20}, {-206, -128}, 18, 12));
    tree.add(taper({-104, -34}, {40, -150}, 38, 16));
    tree.add(taper({-24, -98}, {-14, -200}, 20, 12));
    tree.add(taper({6, -124}, {108, -146}, 18, 12));
    tree.add(taper({-102, -140}, {-166, -222}, 22, 12));
    tree.add(taper({-101, -176}, {-46, -246}, 20, 12));
    tree.add(taper({-108, 100}, {10, 30}, 30, 14));

    // A dead fish on its back on the right.
    QPainterPath fish;
    fish.moveTo(214, 122);                                  // mouth
    fish.cubicTo(196, 74, 128, 56, 64, 76);
    fish.cubicTo(42, 84, 30, 96, 22, 108);
    fish.lineTo(-12, 74);                                   // tail fin
    fish.lineTo(4, 128);
    fish.lineTo(-12, 170);
    fish.lineTo(24, 138);
    fish.cubicTo(42, 156, 86, 168, 128, 164);
    fish.cubicTo(172, 158, 204, 144, 214, 122);
    fish.closeSubpath();
    Area dead;
    dead.add(fish);
    // The upturned belly fins.
    dead.add(polygon({{72, 80}, {88, 42}, {120, 70}}));
    dead.add(polygon({{126, 66}, {146, 34}, {160, 70}}));
    // An eye crossed out.
    dead.cut(segment({160, 96}, {184, 120}, 9).united(segment({184, 96}, {160, 120}, 9)));

    Area all;
    all.add(tree.path());
    all.add(dead.path());
    all.add(rect(-180, 186, 180, 212));                     // the ground
    p.fillPath(all.path(), kBlack);
}

} // namespace

namespace Pictograms {

void draw(QPainter &p, int n, const QRectF &target)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(target.center());
    p.scale(target.width() / 1000.0, target.height() / 1000.0);
    Diamond::drawFrame(p);
    switch (n) {
    case 1: explodingBomb(p); break;
    case 2: flameSymbol(p); break;
    case 3: flameOverCircle(p); break;
    case 4: gasCylinder(p); break;
    case 5: corrosion(p); break;
    case 6: skullAndCrossbones(p); break;
    case 7: exclamationMark(p); break;
    case 8: healthHazard(p); break;
    case 9: environment(p); break;
    default: break;
    }
    p.restore();
}

QImage render(int n, int size)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    draw(p, n, QRectF(0, 0, size, size));
    p.end();
    return img;
}

} // namespace Pictograms

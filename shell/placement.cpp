#include "shell/placement.h"

#include <algorithm>

namespace Placement {

namespace {
constexpr int kGap = 8;
}

QPoint inside(const QPoint &wanted, const QSize &size, const QRect &screen)
{
    const int x = std::clamp(wanted.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width()));
    const int y = std::clamp(wanted.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
    return {x, y};
}

QPoint beside(const QRect &anchor, const QSize &size, const QRect &screen)
{
    const QPoint candidates[] = {
        {anchor.right() + 1 + kGap, anchor.top()},
        {anchor.left() - kGap - size.width(), anchor.top()},
        {anchor.left(), anchor.bottom() + 1 + kGap},
    };
    for (const QPoint &c : candidates) {
        const QRect r(c, size);
        if (r.left() >= screen.left() && r.right() <= screen.right())
            return inside(c, size, screen);
    }
    return inside(candidates[0], size, screen);
}

} // namespace Placement

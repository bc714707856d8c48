#pragma once

#include <QImage>

// The start-up picture, 326 x 233.  Its transparent parts are pure fuchsia
// (255, 0, 255), which the splash window turns into holes; no other pixel has
// that colour.
namespace Splash {

inline constexpr int kWidth = 326;
inline constexpr int kHeight = 233;

QImage render();

} // namespace Splash

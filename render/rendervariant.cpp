#include "render/rendervariant.h"

#include <algorithm>
#include <cmath>

namespace {
// Points to pixels as the platform converts a font size: rounded to the
// nearest pixel.
int mulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}
} // namespace

int RenderVariant::pointSize(double base, bool numberingOnlySize) const
{
    const double scaled = fontFactor * base;
    if (surface == Page && !numberingOnlySize)
        return static_cast<int>(std::trunc(scaled + 0.5));
    return static_cast<int>(std::trunc(scaled));
}

int RenderVariant::pixelSize(int points) const
{
    return std::max(1, mulDiv(points, fontDpi, 72));
}

QSize RenderVariant::surfaceSize() const
{
    switch (surface) {
    case LabelPicture: return {1272, 900};
    case ExportImage: return {2121, 1500};
    case Page: break;
    }
    return {};
}

RenderVariant RenderVariant::labelPicture()
{
    RenderVariant v;
    v.surface = LabelPicture;
    v.x = 0;
    v.y = 0;
    v.width = 1272;
    v.bottom = 900;
    v.unit = 2.0;
    v.fontFactor = 2.0;
    v.fontDpi = kScreenDpi;
    v.square = 300;
    v.slots = {QPoint(0, 0), QPoint(0, 300), QPoint(160, 150), QPoint(160, 450), QPoint(0, 600)};
    v.thirdOfThree = QPoint(0, 600);
    v.columnOneToThree = 320;
    v.columnFourOrMore = 480;
    v.noticeWidth = 200;
    v.noticeInset = 0;
    v.logoRight = 1272;
    v.singleTop = 310;
    return v;
}

RenderVariant RenderVariant::exportImage()
{
    // Positions are the label picture's scaled by 5/3 and truncated; text sizes
    // and spacing use 100/29 throughout.
    RenderVariant v;
    v.surface = ExportImage;
    v.x = 0;
    v.y = 0;
    v.width = 2121;
    v.bottom = 1500;
    v.unit = kExportFactor;
    v.fontFactor = kExportFactor;
    v.fontDpi = kScreenDpi;
    v.square = 500;
    v.slots = {QPoint(0, 0), QPoint(0, 500), QPoint(266, 250), QPoint(266, 750), QPoint(0, 1000)};
    v.thirdOfThree = QPoint(0, 1000);
    v.columnOneToThree = 533;
    v.columnFourOrMore = 800;
    v.noticeWidth = static_cast<int>(std::trunc(100 * kExportFactor));
    v.noticeInset = 0;
    v.logoRight = 2120;
    v.singleTop = 516;
    return v;
}

RenderVariant RenderVariant::page(int x, int y, int w, double a, double k, int pageBottom, int printerDpi)
{
    RenderVariant v = labelPicture(); // pictogram slots of the 470 x 900 bitmap
    v.surface = Page;
    v.x = x;
    v.y = y;
    v.width = w;
    v.bottom = pageBottom;
    v.unit = a;
    v.fontFactor = k;
    v.fontDpi = printerDpi > 0 ? printerDpi : kScreenDpi;
    v.columnOneToThree = static_cast<int>(std::trunc(x + 160 * a));
    v.columnFourOrMore = static_cast<int>(std::trunc(x + 240 * a));
    v.noticeWidth = 0;
    v.noticeInset = a;
    v.logoRight = x + w;
    v.singleTop = static_cast<int>(std::trunc(y + 155 * a));
    return v;
}

double RenderVariant::pageFontFactor(int printableWidth, int printableHeight, bool landscape, double m,
                                     int printerDpi, int screenDpi)
{
    if (printerDpi <= 0)
        return 0;
    if (landscape)
        return printableHeight * m * screenDpi / (double(printerDpi) * 450.0);
    return printableWidth * m * screenDpi / (double(printerDpi) * 636.0);
}

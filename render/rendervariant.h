#pragma once

#include <QPoint>
#include <QSize>
#include <array>

// The numbers in which the outputs of the one label layout differ: the label
// picture (1272 x 900), the export image (2121 x 1500) and the direct drawing
// onto a printer page. The drawing steps themselves are shared.
struct RenderVariant {
    enum Surface {
        LabelPicture, // 1272 x 900 bitmap, two pixels per layout unit
        ExportImage,  // 2121 x 1500 bitmap, 100/29 pixels per unit
        Page          // a printer page at x, y, width w, unit factor a, font factor k
    };

    // The export image's factor for text sizes and spacing: a little more than
    // the geometric 10/3.
    static constexpr double kExportFactor = 100.0 / 29.0;
    // Pixels per inch of the preview image's font, the screen resolution the
    // printed text is matched to.
    static constexpr int kScreenDpi = 96;

    Surface surface = LabelPicture;

    // The label's top left corner and width on the surface; `bottom` ends the
    // statement box (the picture's bottom, or the printer page's).
    int x = 0, y = 0, width = 1272, bottom = 900;
    double unit = 2.0;       // a: pixels per layout unit for the spacing constants
    double fontFactor = 2.0; // k: drawn size of a base size p
    int fontDpi = kScreenDpi; // pixels per inch of the surface's font

    // Pictogram squares. On a page they are drawn into a separate 470 x 900
    // bitmap with the label-picture slots, copied afterwards to (x, y).
    int square = 300;
    std::array<QPoint, 5> slots{};
    QPoint thirdOfThree;     // slot 2 when exactly three codes: one straight column

    int columnOneToThree = 320; // text column left for 1 to 3 codes
    int columnFourOrMore = 480; // for 4 or 5 codes (x for none)

    int noticeWidth = 200;   // "Aucun pictogramme" box; 0: its measured text width
    double noticeInset = 0;  // offset of that box from the label's corner
    int logoRight = 1272;    // right end of the logo
    int singleTop = 310;     // lowest statement top beside a single pictogram

    // Drawn point size of base size p: trunc(k p) on bitmaps; on a page
    // trunc(k p + 0.5), except the numbering-only signal word and statements.
    int pointSize(double base, bool numberingOnlySize = false) const;
    // Pixel height of a font of `points` points on this surface.
    int pixelSize(int points) const;

    // The size of the bitmap this variant draws into (empty for a page).
    QSize surfaceSize() const;

    static RenderVariant labelPicture();
    static RenderVariant exportImage();
    // A label drawn straight onto a printer page: corner (x, y), width w, unit
    // factor a, font factor k, the page's bottom edge, the printer's pixels per
    // inch.
    static RenderVariant page(int x, int y, int w, double a, double k, int pageBottom, int printerDpi);

    // The font factor that gives printed text the same fraction of the label as
    // in the on-screen preview: page height (landscape) or width (portrait) in
    // printer pixels, times the page factor m and the screen resolution, over
    // the printer resolution times the preview's height 450 (or width 636).
    static double pageFontFactor(int printableWidth, int printableHeight, bool landscape, double m,
                                 int printerDpi, int screenDpi = kScreenDpi);
};

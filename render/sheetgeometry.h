#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Where the labels of one printed sheet go: a grid of cells with the
// proportions of an A-series sheet (1.4142 : 1) laid over the printable area,
// 2, 4, 8, 16 or 18 cells, the margins in device pixels and the factors the
// label drawing needs. Plain values, computed without a printer, so the page
// drawing, the sheet preview and the batch tool share one rule.
struct SheetGeometry {
    static constexpr double kRatio = 1.4142;     // long side over short side of an A sheet
    static constexpr double kInchPerMm = 0.039370078740157;
    static constexpr int kMinimumScale = 50;     // per cent
    static constexpr int kMaximumScale = 200;
    static constexpr int kMaximumLabels = 18;

    int labelsPerPage = 2;
    bool landscape = false;      // 4 and 16 labels: landscape pages
    int columns = 1;
    int rows = 2;
    int gridWidth = 0;           // S
    int gridHeight = 0;          // U
    int cellWidth = 0;           // W
    int cellHeight = 0;          // V
    double countFactor = 1;      // f: how much smaller the text of one label is than on a 2-label page
    bool fitted = false;         // the grid was shrunk to stay on paper less elongated than A4
    int marginX = 0;             // Ox, device pixels
    int marginY = 0;             // Oy
    double adaptation = 1;       // ratio of the automatic adaptation (1 without it)
    double pictureScale = 1;     // N: label size over cell size
    double pageFactor = 1;       // m: scales the printed text
    double unitFactor = 0;       // a: device pixels per layout unit

    int cellCount() const { return columns * rows; }
    // The top left corner of the label in cell k (row by row from the top):
    // the cell's corner shifted by the margins.
    QPoint cellCorner(int k) const;
    // The label's size on the page: trunc(W × N) × trunc(V × N).
    int labelWidth() const;
    int labelHeight() const;
    // Whether a label keeps at least one pixel each way (margins as large as
    // a cell leave it none).
    bool labelsHaveRoom() const { return labelWidth() >= 1 && labelHeight() >= 1; }

    // The page: printable area in device pixels (after the orientation was
    // set), the device's pixels per inch, the margin texts in millimetres, the
    // scale in per cent and the automatic adaptation. `pageLandscape` is the
    // orientation the device reports back; it chooses the unit factor.
    struct Page {
        int labelsPerPage = 2;
        int width = 0;
        int height = 0;
        int dpiX = 600;
        int dpiY = 600;
        bool pageLandscape = false;
        QString marginLeft = QStringLiteral("0");
        QString marginTop = QStringLiteral("0");
        int scale = 100;
        bool adapt = true;
    };
    static SheetGeometry forPage(const Page &page);

    // The sheet preview: a page of 636 × 450 (landscape) or 450 × 636
    // preview pixels, one layout unit per pixel.
    struct Preview {
        int pageWidth = 450;
        int pageHeight = 636;
        int columns = 1;
        int rows = 2;
        int cellWidth = 450;
        int cellHeight = 318;
        int marginX = 0;        // preview pixels
        int marginY = 0;
        double scale = 1;       // s
        int cellCount() const { return columns * rows; }
        // The cell's corner without margins.
        QPoint cellCorner(int k) const;
        // Where the label of cell k is stretched: from the corner shifted by
        // the margins to trunc(corner + cell size × s).
        QRect labelRect(int k) const;
    };
    static Preview forPreview(int labelsPerPage, const QString &marginLeft, const QString &marginTop, int scale,
                              bool adapt);

    static bool isLayout(int labelsPerPage);
    static bool isLandscape(int labelsPerPage);
    // The layout chosen for a number of labels: 0–2 → 2, 3–4 → 4, 5–8 → 8,
    // 9–16 → 16, more → 18.
    static int layoutForCount(int count);
    // A margin text read as millimetres: its leading decimal number ("."
    // as the decimal point), 0 when it does not start with one, held as a
    // single-precision number.
    static float millimetres(const QString &text);
    // trunc(pixels per inch × millimetres / 25.4), kept within ± `limit`.
    static int marginPixels(int dpi, float mm, int limit);
    // The scale kept within 50 to 200 per cent.
    static int boundedScale(int scale);
};

#pragma once

#include "render/labelcontent.h"
#include "render/sheetgeometry.h"
#include "render/sheetsettings.h"
#include "shell/framemirrors.h"

#include <QImage>
#include <QSize>
#include <QStringList>
#include <functional>

// The sheet preview: one printed page drawn small (636 × 450 or 450 × 636
// preview pixels) into a 636 × 636 picture, each label as the smoothed label
// picture stretched into its cell, with silver dotted edges and frame.
namespace SheetPreview {

constexpr int kImageSize = 636;

struct Result {
    SheetGeometry::Preview geometry;
    int labels = 0;            // cells drawn
    int blurs = 0;             // smoothings of each label picture (1 to 3)
    QStringList missing;       // selection entries whose file was not found, once each
    QStringList problems;      // other reading problems, once each
    // On stock: the page in preview pixels, the sheets the job needs (only
    // the first is drawn) and why nothing could be placed.
    QSize page;
    int sheets = 1;
    QString error;
};

// The page of the preview in preview pixels: the grid's page (450 × 636 or
// 636 × 450), or on stock the stock's paper made as large as fits in
// 450 × 636.
QSize pageSize(const SheetSettings &settings);

// Smoothings of a label picture for n labels on the page: once, twice above
// 2 labels, three times above 8, as the pictures shrink more.
int blurCount(int labels);

// Draws the preview into `image` (made 636 × 636 when it is not). After each
// cell `cellDone` is called with the cell's number, so a window can show the
// page filling. A missing file leaves its cell white. On stock the first
// sheet is drawn: the die-cut outlines in thin grey and the labels inside
// them from the start position.
Result draw(QImage *image, const SheetSettings &settings, const LabelContent &active, const FrameMirrors &current,
            const QString &pictogramFolder, const std::function<void(int)> &cellDone = {});

} // namespace SheetPreview

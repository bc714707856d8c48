#pragma once

#include "render/labelstock.h"

#include <QString>
#include <QStringList>

// What a sheet print or a sheet preview is asked to do: the choices of the
// print options as plain values, so the drawing runs without any window.
struct SheetSettings {
    int labelsPerPage = 2;          // 2, 4, 8, 16 or 18
    bool activeLabel = false;       // the active label repeated; otherwise the selection
    bool singleLabel = false;       // with the active label: one label in cell 0
    QString marginLeft = QStringLiteral("0"); // millimetres, as typed
    QString marginTop = QStringLiteral("0");
    int scale = 100;                // per cent
    bool separatorLines = true;     // dotted cell edges and the grid's frame
    bool pictureMode = false;       // labels as the 1272 × 900 label picture, stretched
    bool adapt = true;              // scale reduced by the margins
    bool numberingOnly = false;     // statement codes only
    // The statements' size for this job only, as a factor of each label's
    // own (1: unchanged); chosen in the print options when they do not fit.
    double statementScale = 1.0;
    QStringList selection;          // label files, entry k in cell k
    // On label stock instead of the grid (a stock without brand: the grid):
    // the first position used on the first sheet (1 = first label) and the
    // printer's offsets in millimetres (right, down).
    LabelStock::Template stock;
    int stockStart = 1;
    double offsetX = 0;
    double offsetY = 0;
    bool onStock() const { return !stock.brand.isEmpty(); }

    // Labels drawn on one page: 1 for a single active label, the number of
    // entries for the selection, else the labels per page; never more than
    // the page has cells.
    int labelCount(int cells) const
    {
        int n = labelsPerPage;
        if (activeLabel && singleLabel)
            n = 1;
        else if (!activeLabel)
            n = int(selection.size());
        return qBound(0, n, cells);
    }
};

#pragma once

#include <QString>

// The frame-wide values that mirror the active label: its text settings and
// its logo path. The label file writer reads them; the reader sets them.
struct FrameMirrors {
    static constexpr int kFontFaceMax = 255;
    static constexpr int kLogoPathMax = 259;

    QString fontFace = QStringLiteral("Arial");
    float productSize = 20;
    float statementSize = 8;
    QString logoPath;

    bool operator==(const FrameMirrors &) const = default;
};

#pragma once

// The format rules table shipped in data/, read for the tests that check
// figures against it; a table that cannot be read ends the test program.

#include "render/formatrules.h"

#include <QString>

inline FormatRules::Table installedFormatRules()
{
    FormatRules::Table t;
    QString error;
    if (!FormatRules::read(QStringLiteral(KALVANE_DATA_DIR "/") + FormatRules::kFileName, &t, &error))
        qFatal("%s", qPrintable(error));
    return t;
}

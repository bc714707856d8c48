#pragma once

#include "batch/batchtool.h"

#include <QImage>

// "export": each label drawn as the desktop's export draws it, written as a
// JPEG picture (byte for byte the desktop's file for the same quality and
// colour mode), a PNG picture of the same pixels, or a one-page PDF drawn
// directly with vector text.
namespace ExportCommand {

BatchTool::Command command();

// The grey picture the JPEG encoder makes of a colour picture (the library's
// own weights and rounding), so that a grey PNG holds the grey JPEG's values.
QImage greyLevels(const QImage &picture);

} // namespace ExportCommand

#pragma once

#include "batch/batchtool.h"

#include <QString>

struct HarmonisedEntry;

// "classification": the harmonised classification a CAS, EC or INDEX number
// names, or ("--importer") a new agency table imported into the data in use.
namespace ClassificationCommand {

BatchTool::Command command();

// The lines printed for one entry.
QString describe(const HarmonisedEntry &entry);

} // namespace ClassificationCommand

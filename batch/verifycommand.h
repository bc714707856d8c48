#pragma once

#include "batch/batchtool.h"

// "verifier": the label checks of each file, one line per finding on the
// standard output, "fichier: niveau: message".
namespace VerifyCommand {

BatchTool::Command command();

} // namespace VerifyCommand

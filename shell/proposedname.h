#pragma once

#include <QString>

// The file name a save dialog proposes for a label that has no file yet: the
// first line of its product name that holds anything, made fit for a file
// name on every system the label files travel to.
namespace ProposedName {

// Longest proposed name, in characters, before the extension.
constexpr int kMaxLength = 64;
// What is proposed when the product name gives nothing usable.
inline const QString kFallback = QStringLiteral("Sans_titre");

// Characters a file name cannot hold here or on the systems label files are
// exchanged with ("/", "\", ":", "*", "?", "\"", "<", ">", "|", control
// characters) and characters the program's Windows-1252 files (the sheet
// files name labels) cannot store become "_"; runs of blanks become one
// blank; leading dots and blanks (a hidden file) and trailing dots and blanks
// go; the name is cut to kMaxLength characters, at a blank when one is near
// the end. Empty or only "_" left: kFallback. No extension is added.
QString forLabel(const QString &productText);

} // namespace ProposedName

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Every data file of the program is single-byte Windows-1252 text made of lines
// ended by CR LF. Reading accepts CR LF, a lone CR or a lone LF and a last line
// without an ending, and stops at a NUL byte. Writing puts CR LF after every
// line, the last one included, and replaces the file atomically.
namespace TextFile {

// Windows-1252 bytes to text. Bytes that the code page leaves undefined keep
// their value as a C1 control character, as the platform's converter does.
QString decode(const QByteArray &bytes);

// Text to Windows-1252 bytes. Returns false when a character cannot be stored;
// `bad` then receives the first such character.
bool encode(const QString &text, QByteArray *out, QChar *bad = nullptr);

// Splits decoded text into lines by the reading rules above.
QStringList splitLines(const QString &text);

// The largest file the program reads whole (its data files are far smaller).
constexpr qint64 kMaxReadSize = 256ll << 20;

// Reads a whole regular file. Pipes, devices, folders and files over `maxSize`
// are refused with a French message in `error`, as are files that cannot be
// opened or read.
bool readBytes(const QString &path, QByteArray *bytes, QString *error = nullptr, qint64 maxSize = kMaxReadSize);

// Reads a whole file into its lines. Returns false with a French message in
// `error` when the file cannot be opened or read.
bool readLines(const QString &path, QStringList *lines, QString *error = nullptr);
QStringList readLines(const QString &path); // empty on any error

// Joins the lines with CR LF after each, encodes and replaces `path` atomically.
// On failure the old file is left whole and `error` holds a French message.
bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// Writes raw bytes atomically (used for pictures and copies): a temporary
// file beside the target, every write checked, flushed to the disk, then
// renamed over the target. On failure the old file is whole, no temporary
// file is left and `error` holds a French message.
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// The same, with only the reason of a failure ("le disque est plein.") in
// `reason`, for callers that word the message themselves.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

// A French description of a system error number (disk full, access denied...).
QString systemError(int err);

} // namespace TextFile

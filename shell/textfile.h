#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QPair>
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

// Where a NUL byte cut the text short: the offset of the first NUL byte when
// anything but NUL bytes follows it, otherwise -1 (a text that runs to the end,
// or is only padded with NUL bytes, is whole).
qsizetype cutOffset(const QByteArray &bytes);
// A French description of where the text of `bytes` stops, for a reader that
// must say the file could not be read whole: "un octet nul à la position 1234
// (ligne 5)", with a word on UTF-16 when the bytes look like it. Empty when
// the text is whole.
QString cutDescription(const QByteArray &bytes);

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

// The flush to the disk of a batch of replaced files, done once at its end:
// each file written, closed and renamed as one by one, then all the files and
// their folders flushed together, which costs the disk one wait instead of
// two a file. Until finish() succeeded the files are not known to be on the
// disk.
class DeferredSync {
public:
    // The flush of one open file or folder, ::fsync unless a test puts a
    // failing one here. Returns 0, or -1 with errno set.
    using SyncCall = int (*)(int fd);
    SyncCall syncCall = nullptr;

    void add(const QString &path);
    bool isEmpty() const { return m_files.isEmpty(); }

    // Flushes every file added and every folder holding one. Returns false
    // when one could not be flushed; `failed` then receives each such file
    // (or, for a folder, each file added in it) with the French reason.
    bool finish(QList<QPair<QString, QString>> *failed = nullptr);

private:
    QStringList m_files;
};

// The same, with only the reason of a failure ("le disque est plein.") in
// `reason`, for callers that word the message themselves.
// When `path` is a symbolic link, the file it finally leads to is replaced
// (in its own folder) and the link is kept. The replaced file keeps its mode
// and, where the system allows it (always for root), its owner and group. A
// file without any write permission is never replaced, even by root.
// `replaced` tells whether the new content took the file's name: it is true
// on a failure to sync the folder afterwards, which is still a failure.
// With `deferred` the flush to the disk is left to it (the file is only
// written, closed and renamed here).
bool replaceFile(const QString &path, const QByteArray &bytes, QString *reason = nullptr,
                 bool *replaced = nullptr, DeferredSync *deferred = nullptr);
bool replaceFile(const QString &path, const QByteArray &bytes, QString *reason, DeferredSync *deferred);

// Failure injection for tests: the `nth` time from now that a write reaches
// `step`, the step fails as if the system had returned `err`. One fault is
// pending at a time; clearFault() removes it.
enum class WriteStep { Create, Write, FileSync, Close, Rename, FolderSync };
void injectFault(WriteStep step, int err, int nth = 1);
void clearFault();

// A file written as it goes (a long document), replacing `path` atomically
// at the end as replaceFile does: the bytes go to a temporary file beside the
// target, every write checked, and commit() flushes it to the disk and gives
// it the target's name. Destroyed without a commit, it leaves no temporary
// file and the old file whole.
class StreamedFile {
public:
    explicit StreamedFile(const QString &path);
    ~StreamedFile();
    StreamedFile(const StreamedFile &) = delete;
    StreamedFile &operator=(const StreamedFile &) = delete;

    // Creates the temporary file. Returns false with the French reason.
    bool open(QString *reason = nullptr);
    // Where to write, once open.
    QIODevice *device();
    // Returns false with the French reason of the first failed write, flush
    // or rename; the temporary file is then gone.
    bool commit(QString *reason = nullptr);

private:
    class Device;
    QString m_path;
    QByteArray m_tempName;
    Device *m_device = nullptr;
};

// A French description of a system error number (disk full, access denied...).
QString systemError(int err);

} // namespace TextFile

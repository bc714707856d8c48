#pragma once

// Shared by the fuzz targets: each target is one function taking arbitrary
// bytes, built either with libFuzzer (clang, -DKALVANE_FUZZ=ON) to search for
// inputs, or with the replay driver to run its stored corpus as a test.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

// Stops the run with a message: a broken property is a finding, like a crash.
[[noreturn]] inline void fuzzFailure(const char *what)
{
    fprintf(stderr, "fuzz property violated: %s\n", what);
    std::abort();
}

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The shipped catalogues, read once (the label file reader matches stored
// statements against them).
QStringList fuzzCatalogue(int kind);

// A folder of this run for the targets whose readers take a file: in memory
// (/dev/shm) where the system has it, removed at exit.
QString fuzzFolder();
// Writes `bytes` to `name` in fuzzFolder() and returns its path.
QString fuzzFile(const QString &name, const QByteArray &bytes);
// The bytes of a file, or an empty array.
QByteArray fuzzRead(const QString &path);

class HarmonisedTable;
// A harmonised classification table the program holds: written to its data
// file, read back to the same table, and written again to the same bytes.
// Stops the run with a message when one of these fails.
void fuzzTableRoundTrip(const HarmonisedTable &table);

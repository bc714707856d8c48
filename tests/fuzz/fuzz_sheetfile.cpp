// The sheet file reader on any bytes; what it reads writes and reads back to
// the same entries, and the written file is itself a fixed point.

#include "fuzzsupport.h"
#include "tools/sheetfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzFile(QStringLiteral("planche.pla"), fuzzBytes(data, size));
    QStringList entries;
    QString error;
    if (!SheetFile::read(path, &entries, &error)) {
        if (error.isEmpty() || !error.contains(QStringLiteral("planche.pla")))
            fuzzFailure("a refused sheet file is not named in its message");
        return 0;
    }
    bool dropped = false;
    const QStringList first = SheetFile::firstEntries(entries, &dropped);
    if (first.size() > SheetFile::kMaxEntries || dropped != (entries.size() > SheetFile::kMaxEntries))
        fuzzFailure("more entries than a sheet holds");
    for (const QString &entry : entries)
        if (entry.contains(u'\r') || entry.contains(u'\n'))
            fuzzFailure("an entry holds a line break");

    const QString copy = fuzzFolder() + QStringLiteral("copie.pla");
    if (!SheetFile::write(copy, entries, &error))
        fuzzFailure("entries read from a sheet file cannot be written back");
    QStringList back;
    if (!SheetFile::read(copy, &back, &error))
        fuzzFailure("a written sheet file does not read back");
    if (back != entries)
        fuzzFailure("read, write, read is not a fixed point");
    const QByteArray written = fuzzRead(copy);
    if (!SheetFile::write(copy, back, &error) || fuzzRead(copy) != written)
        fuzzFailure("writing what was read back changes the file");
    return 0;
}

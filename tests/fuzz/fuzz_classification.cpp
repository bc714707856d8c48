// The harmonised classification data file on any bytes. A refused file is
// said with the file's name and leaves no entry; a file read writes, reads
// back to the same table and writes again to the same bytes; every valid
// number an entry lists finds that entry.

#include "fuzzsupport.h"
#include "tools/classification.h"

namespace {

// The number a cell line starts with ("233-139-2 [1]" gives "233-139-2").
QString leadingNumber(const QString &line)
{
    const QString t = line.trimmed();
    qsizetype end = 0;
    while (end < t.size() && !t.at(end).isSpace() && t.at(end) != u'[')
        ++end;
    return t.left(end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzFile(QStringLiteral("annexe6.txt"), fuzzBytes(data, size));
    HarmonisedTable table;
    QString error;
    if (!HarmonisedTable::read(path, &table, &error)) {
        if (!error.contains(QStringLiteral("annexe6.txt")))
            fuzzFailure("a refused data file is not named in its message");
        if (!table.entries.isEmpty() || !table.title.isEmpty())
            fuzzFailure("a refused data file leaves part of a table");
        return 0;
    }
    for (const HarmonisedEntry &e : table.entries) {
        QStringList numbers = e.ec + e.cas;
        numbers.append(e.index);
        for (const QString &line : numbers) {
            const SubstanceNumber n = SubstanceNumber::check(leadingNumber(line));
            if (n.kind == SubstanceNumber::Invalid)
                continue;
            if (!table.find(n).contains(&e))
                fuzzFailure("a valid number of an entry does not find it");
        }
        e.hasMinimumClassification();
        for (const QString &h : e.hazards + e.supplemental)
            HarmonisedEntry::code(h);
    }
    fuzzTableRoundTrip(table);
    return 0;
}

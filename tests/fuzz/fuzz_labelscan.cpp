// The favourites search's name matching and sorting on any text: the first
// line is the typed text, the others are file names. Matching never hangs on
// wildcards, a name built around the text is found, sorting keeps every name.

#include "fuzzsupport.h"
#include "shell/textfile.h"
#include "tools/labelscan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList lines = TextFile::splitLines(TextFile::decode(fuzzBytes(data, size)));
    if (lines.isEmpty())
        return 0;
    const QString text = lines.takeFirst();
    using Mode = LabelScan::Mode;
    const QString starts = LabelScan::pattern(text, Mode::StartsWith);
    const QString contains = LabelScan::pattern(text, Mode::Contains);
    for (const QString &name : std::as_const(lines)) {
        const bool s = LabelScan::matches(starts, name);
        const bool c = LabelScan::matches(contains, name);
        if (s && !c)
            fuzzFailure("a name that begins with the text does not contain it");
        if (s && !name.endsWith(LabelScan::kExtension, Qt::CaseInsensitive))
            fuzzFailure("a name without the label extension matched");
    }
    // The text stands for itself (and its wildcards match themselves).
    const QString found = text + QStringLiteral("-x") + LabelScan::kExtension;
    if (!LabelScan::matches(starts, found) || !LabelScan::matches(contains, QStringLiteral("a ") + found))
        fuzzFailure("a name holding the typed text is not found");
    if (!LabelScan::matches(starts, found.toUpper()) && found.toUpper().toCaseFolded() == found.toCaseFolded())
        fuzzFailure("letter case decided a match");

    QStringList sorted = lines;
    LabelScan::sortNames(sorted);
    QStringList a = sorted;
    QStringList b = lines;
    a.sort();
    b.sort();
    if (a != b)
        fuzzFailure("sorting lost or added a name");
    QStringList again = sorted;
    LabelScan::sortNames(again);
    if (again != sorted)
        fuzzFailure("sorting a sorted list changes it");
    return 0;
}

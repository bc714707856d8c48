// The .xlsx reader and the harmonised table importer on any bytes. A refused
// workbook is said and leaves no row; the rows read are numbered within the
// sheet's limits and end with a filled cell. A sheet taken as the agency's
// table gives entries with an INDEX number that finds them, and the table
// writes to the program's data file and reads back alike. The same bytes
// imported from a file give the same outcome.
//
// Input that is not a zip ("PK" first) is taken as the workbook's parts in
// clear, separated by lines "%%": the workbook, its relations, the shared
// strings and the sheet (an empty part left out), zipped here, so that the
// search reaches the XML and the importer instead of stopping at the zip's
// checksums.

#include "fuzzsupport.h"
#include "tools/classification.h"
#include "tools/xlsxreader.h"
#include "xlsxbuilder.h"

namespace {

// A small expansion limit, so that the refusal of large workbooks is reached
// by small inputs.
constexpr qint64 kFuzzMaxExpanded = 1 << 20;

QByteArray workbookOf(const QByteArray &input)
{
    if (input.startsWith("PK"))
        return input;
    static const QString names[] = {QStringLiteral("xl/workbook.xml"), QStringLiteral("xl/_rels/workbook.xml.rels"),
                                    QStringLiteral("xl/sharedStrings.xml"), QStringLiteral("xl/worksheets/sheet1.xml")};
    XlsxBuilder::Entries entries;
    const QList<QByteArray> parts = input.split('\n');
    QByteArray part;
    int n = 0;
    for (qsizetype i = 0; i <= parts.size() && n < 4; ++i) {
        if (i == parts.size() || parts.at(i) == "%%") {
            // An empty part is one the workbook lacks.
            if (!part.trimmed().isEmpty())
                entries.append({names[n], part});
            ++n;
            part.clear();
        } else {
            part += parts.at(i) + '\n';
        }
    }
    return XlsxBuilder::zip(entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = workbookOf(fuzzBytes(data, size));
    Xlsx::Sheet sheet;
    QString error;
    if (!Xlsx::readFirstSheet(bytes, &sheet, &error, kFuzzMaxExpanded)) {
        if (error.isEmpty())
            fuzzFailure("a refused workbook has no message");
        if (!sheet.rows.isEmpty())
            fuzzFailure("a refused workbook leaves rows");
        return 0;
    }
    for (const Xlsx::Row &row : sheet.rows) {
        if (row.number < 1 || row.number > 1048576 || row.cells.isEmpty() || row.cells.size() > 16384)
            fuzzFailure("a row out of the sheet's limits");
        if (row.cells.last().isEmpty())
            fuzzFailure("a row ends with an empty cell");
    }

    HarmonisedTable table;
    const bool imported = HarmonisedTable::fromSheet(sheet, QStringLiteral("annexe.xlsx"), &table, &error);
    if (!imported) {
        if (error.isEmpty() || !table.entries.isEmpty())
            fuzzFailure("a refused table has no message or keeps entries");
    } else {
        if (table.entries.isEmpty())
            fuzzFailure("a table imported without an entry");
        for (const HarmonisedEntry &e : table.entries) {
            if (!table.findAsWritten(e.index).contains(&e))
                fuzzFailure("an entry is not found by its INDEX number");
            e.hasMinimumClassification();
        }
        fuzzTableRoundTrip(table);
    }

    // The importer reads the file itself, with the program's own limit: a
    // workbook read whole under the small limit is read alike.
    const QString path = fuzzFile(QStringLiteral("annexe.xlsx"), bytes);
    HarmonisedTable fromFile;
    QString fileError;
    const bool importedFromFile = HarmonisedTable::importXlsx(path, &fromFile, &fileError);
    if (importedFromFile != imported || fromFile.entries.size() != table.entries.size()
        || (!imported && fileError != error))
        fuzzFailure("importing the file differs from importing its bytes");
    return 0;
}

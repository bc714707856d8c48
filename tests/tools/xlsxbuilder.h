#pragma once

// Small .xlsx workbooks built by the tests themselves: a zip written with
// libarchive holding a workbook, its relations, a sheet and, for cells given
// as shared strings, the shared strings part.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <archive.h>
#include <archive_entry.h>

#include <vector>

namespace XlsxBuilder {

using Entries = QList<QPair<QString, QByteArray>>;

// A zip of `entries` (deflated), in memory.
inline QByteArray zip(const Entries &entries)
{
    size_t capacity = 1 << 16;
    for (const auto &e : entries)
        capacity += size_t(e.second.size()) + 1024;
    std::vector<char> buffer(capacity);
    size_t used = 0;
    struct archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_memory(a, buffer.data(), buffer.size(), &used);
    for (const auto &e : entries) {
        struct archive_entry *entry = archive_entry_new();
        const QByteArray name = e.first.toUtf8();
        archive_entry_set_pathname(entry, name.constData());
        archive_entry_set_size(entry, e.second.size());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_write_header(a, entry);
        archive_write_data(a, e.second.constData(), size_t(e.second.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    return QByteArray(buffer.data(), qsizetype(used));
}

enum class Strings { Shared, Inline };

inline QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

inline QString columnName(int column)
{
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

// The parts of a workbook whose first sheet holds `rows` (row 1 first; an
// empty text leaves its cell out). Texts go through the shared strings or
// inline, as asked.
inline Entries workbook(const QList<QStringList> &rows, Strings strings = Strings::Shared,
                        const QString &sheetTarget = QStringLiteral("worksheets/sheet1.xml"))
{
    QStringList shared;
    QString sheet = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>");
    for (int r = 0; r < rows.size(); ++r) {
        sheet += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QString &text = rows.at(r).at(c);
            if (text.isEmpty())
                continue;
            const QString ref = columnName(c) + QString::number(r + 1);
            if (strings == Strings::Shared) {
                qsizetype at = shared.indexOf(text);
                if (at < 0) {
                    at = shared.size();
                    shared.append(text);
                }
                sheet += QStringLiteral("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(ref).arg(at);
            } else {
                sheet += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t xml:space=\"preserve\">%2</t></is></c>")
                             .arg(ref, escaped(text));
            }
        }
        sheet += QStringLiteral("</row>");
    }
    sheet += QStringLiteral("</sheetData></worksheet>");

    Entries entries;
    entries.append({QStringLiteral("[Content_Types].xml"), QByteArray("<?xml version=\"1.0\"?><Types/>")});
    entries.append({QStringLiteral("xl/workbook.xml"),
                    QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                               "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                               "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                               "<sheets><sheet name=\"CLP Export 1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>")});
    entries.append({QStringLiteral("xl/_rels/workbook.xml.rels"),
                    QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                   "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                   "<Relationship Id=\"rId4\" Type=\"sharedStrings\" Target=\"sharedStrings.xml\"/>"
                                   "<Relationship Id=\"rId1\" Type=\"worksheet\" Target=\"%1\"/>"
                                   "</Relationships>")
                        .arg(sheetTarget)
                        .toUtf8()});
    if (!shared.isEmpty()) {
        QString sst = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                     "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
        for (const QString &s : shared)
            sst += QStringLiteral("<si><t xml:space=\"preserve\">%1</t></si>").arg(escaped(s));
        sst += QStringLiteral("</sst>");
        entries.append({QStringLiteral("xl/sharedStrings.xml"), sst.toUtf8()});
    }
    QString path = sheetTarget.startsWith(u'/') ? sheetTarget.mid(1) : QStringLiteral("xl/") + sheetTarget;
    entries.append({path, sheet.toUtf8()});
    return entries;
}

inline QByteArray xlsx(const QList<QStringList> &rows, Strings strings = Strings::Shared)
{
    return zip(workbook(rows, strings));
}

// The rows of a table in the agency's layout (Annex VI, Table 3): the
// disclaimer, the update line `date`, the two header rows, then `entries`.
inline QList<QStringList> agencyRows(const QList<QStringList> &entries,
                                     const QString &date = QStringLiteral("Updated on March 2031"))
{
    QList<QStringList> rows = {
        {QStringLiteral("DISCLAIMER:\nThis is an unofficial excel table up until the 99th Adaptation.\n\nNo responsibility.")},
        {},
        {date},
        {},
        {QStringLiteral("Index No"), QStringLiteral("International Chemical Identification"), QStringLiteral("EC No"),
         QStringLiteral("CAS No"), QStringLiteral("Classification"), QString(), QStringLiteral("Labelling"), QString(),
         QString(), QStringLiteral("Specific Conc. Limits, M-factors"), QStringLiteral("Notes"),
         QStringLiteral("ATP inserted/ATP Updated")},
        {QString(), QString(), QString(), QString(), QStringLiteral("Hazard Class and Category Code(s)"),
         QStringLiteral("Hazard Statement Code(s)"), QStringLiteral("Pictogram, Signal Word Code(s)"),
         QStringLiteral("Hazard statement Code(s)"), QStringLiteral("Suppl. Hazard statement Code(s)")},
    };
    rows += entries;
    return rows;
}

} // namespace XlsxBuilder

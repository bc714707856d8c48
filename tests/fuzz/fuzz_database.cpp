// The substance database on any bytes. A database read whole saves and
// deletes into files that read back to the same lists, and deleting nothing
// rewrites the same bytes (a fixed point); one cut by a NUL byte is refused
// by both writes and its file stays as it was.

#include "fuzzsupport.h"
#include "shell/textfile.h"
#include "tools/substancedatabase.h"

#include <QDir>

namespace {

bool sameLists(const SubstanceDatabase &a, const SubstanceDatabase &b)
{
    for (int k = 0; k < SubstanceDatabase::kFieldCount; ++k)
        if (a.field(SubstanceDatabase::Field(k)) != b.field(SubstanceDatabase::Field(k)))
            return false;
    return a.lineCount() == b.lineCount();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString start = fuzzFolder();
    QDir(start + QStringLiteral("databases")).removeRecursively();
    const QString path = fuzzFile(QStringLiteral("databases/db_francais.csv"), bytes);
    SubstanceDatabase db(start);
    QString error;
    const SubstanceDatabase::LoadResult result = db.load(&error);
    if (db.count() != qMax(0, db.lineCount() - 1))
        fuzzFailure("a line is not one record");
    for (int k = 0; k < SubstanceDatabase::kFieldCount; ++k)
        for (const QString &f : db.field(SubstanceDatabase::Field(k)))
            if (f.contains(u'|') || f.contains(u'\r') || f.contains(u'\n') || f.contains(QChar::Null))
                fuzzFailure("a field holds a separator");
    const SubstanceDatabase::Record added{QStringLiteral("FUZZ"), QStringLiteral("200-662-2"),
                                          QStringLiteral("67-64-1"), QStringLiteral("-")};
    if (result == SubstanceDatabase::LoadResult::Partial) {
        if (error.isEmpty() || db.writable())
            fuzzFailure("a partial read is not said, or is writable");
        if (db.save(added, &error) || db.remove(QStringLiteral("FUZZ"), &error) || fuzzRead(path) != bytes)
            fuzzFailure("a partly read database was written");
        return 0;
    }
    if (result != SubstanceDatabase::LoadResult::Loaded)
        fuzzFailure("a regular file was not loaded");

    // Deleting nothing writes the lists in their order; that file reads back
    // to the same lists and deleting nothing again writes the same bytes.
    if (!db.remove(QStringLiteral("\u00A0absent\u00A0"), &error))
        fuzzFailure("a database read whole cannot be written");
    const QByteArray written = fuzzRead(path);
    SubstanceDatabase reread(start);
    if (reread.load() != SubstanceDatabase::LoadResult::Loaded || !sameLists(reread, db))
        fuzzFailure("read, write, read is not a fixed point");
    if (!reread.remove(QStringLiteral("\u00A0absent\u00A0"), &error) || fuzzRead(path) != written)
        fuzzFailure("writing what was read back changes the file");

    // A save: the lists are what reading the written file gives.
    const QString nom = db.count() > 0 && size % 2 ? db.field(SubstanceDatabase::Nom).at(int(size) % db.count())
                                                   : added.nom;
    if (!db.save({nom, added.ce, added.cas, added.index}, &error))
        fuzzFailure("a record read from the file cannot be saved");
    SubstanceDatabase saved(start);
    if (saved.load() != SubstanceDatabase::LoadResult::Loaded || !sameLists(saved, db))
        fuzzFailure("after a save the lists differ from the file");
    return 0;
}

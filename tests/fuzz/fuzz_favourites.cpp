// "fav.dat" on any bytes: the folders read write and read back alike; a file
// cut by a NUL byte is said, with the folders before the cut.

#include "fuzzsupport.h"
#include "shell/textfile.h"
#include "tools/favouritesfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString path = fuzzFile(QStringLiteral("fav.dat"), bytes);
    const QString base = QStringLiteral("/depart");
    QStringList folders;
    QString error;
    bool partial = false;
    const bool whole = FavouritesFile::read(path, base, &folders, &error, &partial);
    if (partial == whole || (partial != (TextFile::cutOffset(bytes) >= 0)))
        fuzzFailure("a file cut by a NUL byte is not told apart");
    if (partial && (error.isEmpty() || !error.contains(QStringLiteral("fav.dat"))))
        fuzzFailure("a partial read does not name its file");
    for (const QString &folder : folders)
        if (!folder.startsWith(u'/') || folders.count(folder) != 1)
            fuzzFailure("a favourite is not an absolute folder listed once");

    const QString copy = fuzzFolder() + QStringLiteral("fav2.dat");
    if (!FavouritesFile::write(copy, folders, &error))
        fuzzFailure("folders read from fav.dat cannot be written back");
    QStringList back;
    if (!FavouritesFile::read(copy, base, &back, &error))
        fuzzFailure("a written fav.dat does not read back whole");
    if (back != folders)
        fuzzFailure("read, write, read is not a fixed point");
    return 0;
}

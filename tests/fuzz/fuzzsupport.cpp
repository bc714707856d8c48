#include "fuzzsupport.h"

#include "editor/catalogue.h"
#include "tools/classification.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

QStringList fuzzCatalogue(int kind)
{
    static QStringList lists[3];
    static bool loaded = false;
    if (!loaded) {
        for (int k = 0; k < 3; ++k)
            Catalogue::load(QStringLiteral(KALVANE_DATA_DIR "/") + Catalogue::fileName(Catalogue::Kind(k)), &lists[k]);
        loaded = true;
    }
    return lists[kind];
}

QString fuzzFolder()
{
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir) {
        const QString shm = QStringLiteral("/dev/shm");
        dir = std::make_unique<QTemporaryDir>(QDir(shm).exists() ? shm + QStringLiteral("/kalvane-fuzz-XXXXXX")
                                                                : QString());
        if (!dir->isValid())
            dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid())
            fuzzFailure("no temporary folder");
    }
    return dir->path() + u'/';
}

QString fuzzFile(const QString &name, const QByteArray &bytes)
{
    const QString path = fuzzFolder() + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fuzzFailure("the input cannot be written to a file");
    return path;
}

QByteArray fuzzRead(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {

bool sameEntry(const HarmonisedEntry &a, const HarmonisedEntry &b)
{
    return a.index == b.index && a.names == b.names && a.ec == b.ec && a.cas == b.cas && a.classes == b.classes
           && a.pictograms == b.pictograms && a.signalWord == b.signalWord && a.hazards == b.hazards
           && a.supplemental == b.supplemental && a.otherLabelling == b.otherLabelling && a.limits == b.limits
           && a.notes == b.notes && a.atp == b.atp;
}

} // namespace

void fuzzTableRoundTrip(const HarmonisedTable &table)
{
    const QString path = fuzzFolder() + QStringLiteral("clp/annexe6.txt");
    QString error;
    if (!table.write(path, &error))
        fuzzFailure(error.isEmpty() ? "a table is not written, without a message" : "a table held is not written");
    HarmonisedTable back;
    if (!HarmonisedTable::read(path, &back, &error))
        fuzzFailure("a written table does not read back");
    if (back.title != table.title || back.date != table.date || back.source != table.source
        || back.entries.size() != table.entries.size())
        fuzzFailure("a table read back differs in its heading or its size");
    for (qsizetype i = 0; i < back.entries.size(); ++i)
        if (!sameEntry(back.entries.at(i), table.entries.at(i)))
            fuzzFailure("an entry read back differs from the one written");
    const QByteArray written = fuzzRead(path);
    if (!back.write(path, &error) || fuzzRead(path) != written)
        fuzzFailure("writing what was read back changes the file");
}

#include "fuzzsupport.h"

#include "editor/catalogue.h"

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

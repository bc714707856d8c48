#include "render/picturecache.h"

#include "render/jpegcodec.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QList>

namespace {

struct Entry {
    QDateTime modified;
    qint64 fileSize = -1;
    bool readable = true;
    QString error;
    QSize original;
    QList<QPair<QSize, QImage>> stretched;
};

// A label uses at most five pictograms and one logo, at one or two sizes (label
// picture and export); a few labels' worth is plenty.
constexpr int kMaxPictures = 40;

bool g_enabled = true;

QHash<QString, Entry> &entries()
{
    static QHash<QString, Entry> cache;
    return cache;
}

int pictureCount()
{
    int count = 0;
    for (const Entry &e : std::as_const(entries()))
        count += int(e.stretched.size());
    return count;
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

QImage stretch(const QImage &decoded, QSize size)
{
    QImage out = decoded.size() == size
        ? decoded
        : decoded.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out.format() == QImage::Format_RGB32 ? out : out.convertToFormat(QImage::Format_RGB32);
}

} // namespace

namespace PictureCache {

bool picture(const QString &path, const SizeRule &sizeFor, QImage *stretched, QSize *original, QString *error)
{
    const QFileInfo info(path);
    const QString key = info.absoluteFilePath();
    const QDateTime modified = info.lastModified();
    const qint64 fileSize = info.size();

    Entry local;
    Entry *entry = &local;
    if (g_enabled) {
        auto it = entries().find(key);
        if (it != entries().end() && (it->modified != modified || it->fileSize != fileSize)) {
            entries().erase(it);
            it = entries().end();
        }
        if (it == entries().end()) {
            if (pictureCount() >= kMaxPictures)
                entries().clear();
            it = entries().insert(key, Entry{modified, fileSize, true, {}, {}, {}});
        }
        entry = &*it;
    }
    if (!entry->readable)
        return fail(error, entry->error);

    const auto unreadable = [&](const QString &message) {
        entry->readable = false;
        entry->error = message;
        return fail(error, message);
    };

    QByteArray data;
    QString readError;
    const auto readFile = [&]() { return JpegCodec::readPictureFile(path, &data, &readError); };

    if (!entry->original.isValid()) {
        if (!readFile())
            return unreadable(readError);
        QString why;
        if (!JpegCodec::readSize(data, &entry->original, &why))
            return unreadable(why);
    }
    if (original)
        *original = entry->original;

    const QSize size = sizeFor(entry->original);
    if (size.isEmpty())
        return fail(error, QStringLiteral("Taille d'image nulle."));
    for (const auto &[s, image] : std::as_const(entry->stretched)) {
        if (s == size) {
            if (stretched)
                *stretched = image;
            return true;
        }
    }

    if (data.isEmpty() && !readFile())
        return unreadable(readError);
    QImage decoded;
    QString why;
    if (!JpegCodec::decode(data, &decoded, &why, size))
        return unreadable(why);
    QImage result = stretch(decoded, size);
    if (result.isNull())
        return fail(error, QStringLiteral("Image trop grande pour la mémoire disponible."));
    entry->stretched.append({size, result});
    if (stretched)
        *stretched = std::move(result);
    return true;
}

void clear()
{
    entries().clear();
}

void setEnabled(bool enabled)
{
    g_enabled = enabled;
    if (!enabled)
        clear();
}

bool isEnabled()
{
    return g_enabled;
}

} // namespace PictureCache

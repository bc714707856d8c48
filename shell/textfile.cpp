#include "shell/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The 0x80..0x9F row of Windows-1252; 0 marks the five undefined bytes.
constexpr char16_t kHighRow[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHighRow[i] == c && c != 0)
            return 0x80 + i;
    // The undefined bytes round-trip through their C1 control characters.
    if (c >= 0x80 && c <= 0x9F && kHighRow[c - 0x80] == 0)
        return c;
    return -1;
}

} // namespace

namespace TextFile {

QString decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0)
            break;
        if (b >= 0x80 && b <= 0x9F && kHighRow[b - 0x80] != 0)
            text.append(QChar(kHighRow[b - 0x80]));
        else
            text.append(QChar(char16_t(b)));
    }
    return text;
}

bool encode(const QString &text, QByteArray *out, QChar *bad)
{
    out->clear();
    out->reserve(text.size());
    for (QChar c : text) {
        const int b = byteFor(c.unicode());
        if (b < 0) {
            if (bad)
                *bad = c;
            return false;
        }
        out->append(char(b));
    }
    return true;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Impossible de lire le fichier \"%1\" : %2")
                         .arg(QFileInfo(path).fileName(), file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Erreur de lecture du fichier \"%1\" : %2")
                         .arg(QFileInfo(path).fileName(), file.errorString());
        return false;
    }
    *lines = splitLines(decode(bytes));
    return true;
}

QStringList readLines(const QString &path)
{
    QStringList lines;
    readLines(path, &lines, nullptr);
    return lines;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Impossible d'enregistrer le fichier \"%1\" : %2")
                         .arg(QFileInfo(path).fileName(), file.errorString());
        return false;
    }
    file.write(bytes);
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Impossible d'enregistrer le fichier \"%1\" : %2")
                         .arg(QFileInfo(path).fileName(), file.errorString());
        return false;
    }
    return true;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        QByteArray encoded;
        QChar bad;
        if (!encode(line, &encoded, &bad)) {
            if (error)
                *error = QStringLiteral("Le caractère « %1 » (U+%2) ne peut pas être enregistré "
                                        "dans le fichier \"%3\" (jeu de caractères Windows-1252).")
                             .arg(bad)
                             .arg(bad.unicode(), 4, 16, QLatin1Char('0'))
                             .arg(QFileInfo(path).fileName());
            return false;
        }
        bytes += encoded;
        bytes += "\r\n";
    }
    return writeBytes(path, bytes, error);
}

} // namespace TextFile

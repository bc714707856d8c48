#pragma once

// Helpers shared by the model tests and the window tests. They need the core
// library only (no widgets), so every test can link them.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QLocale>
#include <QRandomGenerator>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <sys/resource.h>

namespace TestFiles {

// A file's bytes; empty when it cannot be read.
QByteArray read(const QString &path);
// Writes `bytes` as the whole file, making its folders; false on any failure.
bool write(const QString &path, const QByteArray &bytes);
// A copy of the label file `from` at `to` with `count` more precautionary
// statements (P910, P911... of ordinary length) after its own: a label too
// long for a small cell. False when either file fails.
bool writeLongerLabel(const QString &from, const QString &to, int count = 25);
// Every file below `root` (hidden ones too), relative to it, sorted.
QStringList allFiles(const QString &root);
// The pages of a PDF, counted from its page objects (-1 when unreadable).
int pdfPageCount(const QString &path);

} // namespace TestFiles

namespace TestPictures {

// A picture of one colour as a JPEG file's bytes. Flat colours come back from
// the codec within a few units.
QByteArray solidJpeg(QSize size, const QColor &colour, bool grey = false, int quality = 100);
// Pixels inside `r` shrunk by `inset` with a channel darker than `paper`.
int ink(const QImage &image, const QRect &r, int inset = 0, int paper = 200);
// Such pixels outside every rectangle of `allowed`.
int inkOutside(const QImage &image, const QList<QRect> &allowed, int paper = 200);
// The smallest rectangle holding every such pixel of the picture.
QRect inkBox(const QImage &image, int paper = 200);
// The number of colour components of a JPEG, from its frame header (0 when none).
int jpegComponents(const QByteArray &jpeg);

} // namespace TestPictures

// The CUPS-PDF queue "KalvanePDF" that the test command sets up
// (scripts/pdf-printer.sh): where its PDFs arrive and what they show.
namespace TestPrinting {

inline const QString kQueue = QStringLiteral("KalvanePDF");
// Where CUPS-PDF puts the jobs of this user, from its configuration.
QString cupsPdfFolder();
// The PDF of that folder whose name matches `pattern` ("*" wildcards), once
// its size stops changing; empty when none came within `timeoutMs`.
QString waitForPdf(const QString &pattern, int timeoutMs = 90000);
// The pages of a PDF drawn at `dpi` by pdftoppm (poppler-utils); empty, with
// the reason in `error`, when they could not be drawn.
QList<QImage> pages(const QString &pdf, int dpi, QString *error);

} // namespace TestPrinting

// Limits the size of every file this process writes (RLIMIT_FSIZE) while it
// lives: a write past `bytes` fails with EFBIG, as a full disk would make it
// fail, for any user. SIGXFSZ is ignored meanwhile; both come back after.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isActive() const { return m_active; } // false when the limit could not be set

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
    bool m_active = false;
};

// Puts back the default locale it found, however the scope is left (a
// failing check returns from the test function at once).
class DefaultLocaleGuard
{
public:
    DefaultLocaleGuard()
        : m_saved(QLocale())
    {
    }
    ~DefaultLocaleGuard() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

// Random test data that can be replayed: the seed comes from the environment
// variable KALVANE_TEST_SEED when set, else from the clock, and is printed
// when the test function that used it fails.
class SeededRandom : public QRandomGenerator
{
public:
    SeededRandom()
        : SeededRandom(chooseSeed())
    {
    }
    ~SeededRandom();
    quint32 seed() const { return m_seed; }

private:
    explicit SeededRandom(quint32 seed)
        : QRandomGenerator(seed)
        , m_seed(seed)
    {
    }
    static quint32 chooseSeed();
    quint32 m_seed;
};

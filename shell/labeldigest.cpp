#include "shell/labeldigest.h"

#include "editor/catalogue.h"
#include "shell/textfile.h"

#include <QDir>

namespace {

QString withLineEnds(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    return text;
}

void readGroup(LabelFile::Scanner &scan, const QString &marker, bool numberingOnly, QString *group)
{
    bool any = false;
    scan.pairs(marker, [&](const QString &stored) {
        any = true;
        if (numberingOnly)
            *group += Catalogue::statementCode(stored) + QLatin1String(", ");
        else
            *group += stored + u'\n';
    });
    // Only the separator this group added is dropped, never what the caller
    // passed in.
    if (numberingOnly && any)
        group->chop(2);
    *group += u'\n';
}

float sizeOrFail(const QString &line)
{
    const auto size = LabelFile::parseSize(line);
    if (!size)
        throw LabelFile::Scanner::Failure{LabelFile::Status::floatConversion(line)};
    return *size;
}

} // namespace

void LabelDigest::appendIdentification(QString *text, const QString &ce, const QString &cas, const QString &index)
{
    if (ce != LabelDocument::kEmptyCE)
        *text += QLatin1String("CE: ") + ce;
    if (cas != LabelDocument::kEmptyCAS)
        *text += QLatin1String("    CAS: ") + QString(cas).remove(u' ');
    if (index != LabelDocument::kEmptyINDEX)
        *text += QLatin1String("    INDEX: ") + index;
}

LabelFile::Status LabelDigest::read(const QStringList &lines, bool numberingOnly)
{
    using namespace LabelFile;
    Scanner scan(lines);
    try {
        if (!scan.startsLabel())
            return {};
        supplier = withLineEnds(scan.section(kSub));
        product = withLineEnds(scan.section(kNref));
        const QStringList numbers = scan.section(kComments);
        // Part by part, so that a short section keeps what was composed.
        appendIdentification(&identification, Scanner::item(numbers, 0), LabelDocument::kEmptyCAS,
                             LabelDocument::kEmptyINDEX);
        appendIdentification(&identification, LabelDocument::kEmptyCE, Scanner::item(numbers, 1),
                             LabelDocument::kEmptyINDEX);
        appendIdentification(&identification, LabelDocument::kEmptyCE, LabelDocument::kEmptyCAS,
                             Scanner::item(numbers, 2));
        comments = withLineEnds(scan.section(kWarning));
        signalWord = Scanner::item(scan.section(kPic), 0) + QLatin1String("\r\n");
        pictograms = withLineEnds(scan.section(kHazards));
        readGroup(scan, kPrecautions, numberingOnly, &hazards);
        readGroup(scan, kInfos, numberingOnly, &precautions);
        readGroup(scan, kFont, numberingOnly, &supplementary);
        fontFace = scan.after(1);
        productSize = sizeOrFail(scan.after(2));
        statementSize = sizeOrFail(scan.after(3));
        colorText = scan.after(8);
        alignmentText = scan.after(9);
        if (const qsizetype start = scan.complementStart(); start >= 0) {
            LabelDocument complements;
            LabelFile::readComplements(lines.mid(start), &complements, nullptr);
            quantity = complements.quantity;
            capacity = complements.capacity;
            ufi = complements.ufi;
            contains = complements.contains;
            infos = complements.infos;
            sdsAddress = complements.sdsAddress;
        }
    } catch (const Scanner::Failure &failure) {
        return scan.stopped(failure.status);
    }
    return {};
}

LabelFile::Status LabelDigest::readFile(const QString &path, bool numberingOnly, const QString &workingDir)
{
    const QDir dir(workingDir.isEmpty() ? QDir::currentPath() : workingDir);
    QStringList lines;
    QString error;
    if (!LabelFile::readLines(QDir::cleanPath(dir.absoluteFilePath(path)), &lines, &error))
        return {LabelFile::Status::Unreadable, error, {}};
    return read(lines, numberingOnly);
}

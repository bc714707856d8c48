#include "render/labelcontent.h"

#include "editor/catalogue.h"
#include "shell/colortext.h"
#include "shell/labeldigest.h"
#include "shell/labelfile.h"

#include <QDir>

#include <algorithm>

namespace {

// Line breaks as the drawing expects them: a line feed each.
QString unifyBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString group(const StatementList &list, bool numberingOnly)
{
    QString text;
    for (const StatementEntry &e : list) {
        if (!e.ticked)
            continue;
        if (numberingOnly)
            text += Catalogue::statementCode(e.text) + QStringLiteral(", ");
        else
            text += e.text + u'\n';
    }
    if (numberingOnly)
        text.chop(2);
    return text;
}

} // namespace

double LabelContent::drawableSize(double points)
{
    // A hand-edited file may hold any number; the drawing keeps to sizes a
    // label can show (the menus offer 5 to 26 points).
    if (!(points >= kMinimumSize))
        return kMinimumSize;
    return std::min(points, kMaximumSize);
}

int LabelContent::lineCount(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const QString unified = unifyBreaks(text);
    int lines = int(unified.count(u'\n')) + 1;
    if (unified.endsWith(u'\n'))
        --lines;
    return lines;
}

QString LabelContent::identityLine(const QString &ce, const QString &cas, const QString &index)
{
    // The same composition as a stored label's digest.
    QString line;
    LabelDigest::appendIdentification(&line, ce, cas, index);
    return line;
}

QString LabelContent::statementBlock(const StatementList &h, const StatementList &p,
                                     const StatementList &euh, bool numberingOnly)
{
    // Full wording ends every statement with a line feed and adds one more after
    // the H and P groups, which leaves an empty line between groups; numbering
    // only puts each group on one line of codes.
    return group(h, numberingOnly) + u'\n' + group(p, numberingOnly) + u'\n'
        + group(euh, numberingOnly);
}

QString LabelContent::complementLine(const QString &ufi, const QString &quantity)
{
    QStringList parts;
    if (!ufi.trimmed().isEmpty())
        parts << QStringLiteral("UFI : ") + ufi.trimmed();
    if (!quantity.trimmed().isEmpty())
        parts << quantity.trimmed();
    return parts.join(QStringLiteral("    "));
}

QString LabelContent::containsLine(const QStringList &contains)
{
    QStringList parts;
    for (const QString &line : contains)
        if (!line.trimmed().isEmpty())
            parts << line.trimmed();
    return parts.isEmpty() ? QString() : QStringLiteral("Contient : ") + parts.join(QStringLiteral(", "));
}

void LabelContent::appendInfos(QString *statements, const QStringList &infos)
{
    QStringList lines;
    for (const QString &line : infos)
        if (!line.trimmed().isEmpty())
            lines << line;
    if (lines.isEmpty())
        return;
    while (statements->endsWith(u'\n'))
        statements->chop(1);
    if (!statements->trimmed().isEmpty())
        *statements += QStringLiteral("\n\n");
    else
        statements->clear();
    *statements += lines.join(u'\n');
}

LabelContent LabelContent::fromDocument(const LabelDocument &doc, const FrameMirrors &mirrors, bool numberingOnly,
                                        const QString &pictogramFolder)
{
    LabelContent c;
    c.pictogramFolder = pictogramFolder;
    c.pictograms = doc.pictograms;
    c.supplier = unifyBreaks(doc.supplier);
    c.supplierLines = lineCount(c.supplier);
    c.logoPath = mirrors.logoPath;
    c.product = unifyBreaks(doc.product);
    c.productLines = lineCount(c.product);
    c.productColor = doc.productColor;
    c.identity = identityLine(doc.ce, doc.cas, doc.index);
    c.comment = unifyBreaks(doc.comment);
    c.commentLines = lineCount(c.comment);
    c.commentAlignment = doc.commentAlignment;
    c.signalWord = doc.signalWord;
    c.numberingOnly = numberingOnly;
    c.statements = statementBlock(doc.hazards, doc.precautions, doc.supplementary, numberingOnly);
    appendInfos(&c.statements, doc.infos);
    c.complement = complementLine(doc.ufi, doc.quantity);
    c.contains = containsLine(doc.contains);
    c.sdsAddress = doc.sdsAddress.trimmed();
    c.fontFace = mirrors.fontFace;
    c.productSize = drawableSize(mirrors.productSize);
    c.statementSize = drawableSize(mirrors.statementSize);
    return c;
}

LabelContent LabelContent::fromDigest(const LabelDigest &d, const FrameMirrors &current, bool numberingOnly,
                                      const QString &workingDirectory, const QString &pictogramFolder,
                                      QStringList *problems)
{
    LabelContent c;
    c.stored = true;
    c.pictogramFolder = pictogramFolder;

    // The supplier block's last line is the logo line ("\fournisseurs\name"),
    // appended as it stands to the working directory.
    QStringList supplier = unifyBreaks(d.supplier).split(u'\n');
    if (!supplier.isEmpty() && supplier.constLast().isEmpty())
        supplier.removeLast();
    if (!supplier.isEmpty()) {
        // Only a picture of the label's "fournisseurs" folder is drawn.
        const QString logoLine = supplier.takeLast();
        c.logoPath = LabelFile::logoPath(logoLine, workingDirectory).value_or(QString());
    }
    c.supplierLines = int(supplier.size());
    c.supplier = supplier.join(u'\n');

    // Every stored line is a pictogram, even an empty one (it still counts for
    // the text column); only the break after the last line ends no code.
    QStringList codes = unifyBreaks(d.pictograms).split(u'\n');
    if (codes.constLast().isEmpty())
        codes.removeLast();
    for (QString code : codes) {
        if (code.startsWith(QStringLiteral("GHS")))
            code.replace(0, 3, QStringLiteral("SGH"));
        c.pictograms << code;
    }

    c.product = unifyBreaks(d.product);
    c.productLines = lineCount(c.product);
    const std::optional<QColor> colour = ColorText::fromText(d.colorText);
    c.productColor = colour.value_or(QColor(Qt::black));
    if (!colour && problems)
        problems->append(QStringLiteral("La couleur « %1 » n'est pas une couleur valide.").arg(d.colorText));
    c.identity = d.identification;
    c.comment = unifyBreaks(d.comments);
    c.commentLines = lineCount(c.comment);
    const std::optional<qint32> alignment = ColorText::parseInteger(d.alignmentText);
    c.commentAlignment = alignment.value_or(AlignCenterCode);
    if (!alignment && problems)
        problems->append(QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(d.alignmentText));
    c.signalWord = unifyBreaks(d.signalWord);
    if (c.signalWord.endsWith(u'\n'))
        c.signalWord.chop(1);
    c.numberingOnly = numberingOnly;
    c.statements = unifyBreaks(d.hazards + d.precautions + d.supplementary);
    appendInfos(&c.statements, d.infos);
    c.complement = complementLine(d.ufi, d.quantity);
    c.contains = containsLine(d.contains);
    c.sdsAddress = d.sdsAddress.trimmed();
    c.fontFace = d.fontFace;
    c.productSize = drawableSize(d.productSize.value_or(current.productSize));
    c.statementSize = drawableSize(d.statementSize.value_or(current.statementSize));
    return c;
}

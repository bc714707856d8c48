#include "editor/catalogue.h"

#include "shell/textfile.h"

namespace Catalogue {

QString fileName(Kind kind)
{
    switch (kind) {
    case Hazard: return QStringLiteral("H.txt");
    case Precaution: return QStringLiteral("P.txt");
    case Supplementary: return QStringLiteral("EUH.txt");
    }
    return {};
}

QString statementCode(const QString &line)
{
    const qsizetype colon = line.indexOf(u':');
    return colon < 0 ? QString() : line.left(colon);
}

bool load(const QString &path, QStringList *items, QString *error)
{
    return TextFile::readLines(path, items, error);
}

StatementList toStatements(const QStringList &items)
{
    StatementList list;
    list.reserve(items.size());
    for (const QString &item : items)
        list.append({item, false});
    return list;
}

int prefixSearch(const QStringList &items, const QString &prefix)
{
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).startsWith(prefix, Qt::CaseSensitive))
            return i;
    return -1;
}

int prefixSearch(const StatementList &items, const QString &prefix)
{
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).text.startsWith(prefix, Qt::CaseSensitive))
            return i;
    return -1;
}

QString selectionSummary(const StatementList &h, const StatementList &p, const StatementList &euh)
{
    QString text;
    for (const StatementList *list : {&h, &p, &euh})
        for (const StatementEntry &e : *list)
            if (e.ticked)
                text += statementCode(e.text) + QStringLiteral(", ");
    text.chop(2);
    return text;
}

} // namespace Catalogue

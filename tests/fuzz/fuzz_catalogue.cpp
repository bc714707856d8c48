// A phrase catalogue and the settings files on any bytes: lines, statement
// codes, the prefix search, the selection summary, "dat.ini" and
// "trakvln.ini".

#include "editor/catalogue.h"
#include "fuzzsupport.h"
#include "shell/settingsfiles.h"
#include "shell/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = TextFile::splitLines(TextFile::decode(fuzzBytes(data, size)));
    StatementList list = Catalogue::toStatements(lines);
    for (qsizetype i = 0; i < list.size(); i += 2)
        list[i].ticked = true;
    const QString summary = Catalogue::selectionSummary(list, list, list);
    for (const StatementEntry &e : list)
        if (e.ticked && !summary.contains(Catalogue::statementCode(e.text)))
            fuzzFailure("a ticked code is missing from the summary");
    if (!lines.isEmpty()) {
        const QString prefix = lines.constFirst().left(3);
        const int hit = Catalogue::prefixSearch(lines, prefix);
        if (hit < 0 || !lines.at(hit).startsWith(prefix))
            fuzzFailure("the prefix search missed a line that starts with the prefix");
    }

    const DatIni ini = DatIni::fromLines(lines);
    for (const std::optional<int> &g : {ini.height, ini.width, ini.top, ini.left})
        if (g && (*g > DatIni::kGeometryLimit || *g < -DatIni::kGeometryLimit))
            fuzzFailure("a geometry line escaped its bounds");
    QByteArray encoded;
    for (const QString &line : ini.toStorableLines(QStringLiteral("/fuzz")))
        if (!TextFile::encode(line, &encoded) || line.contains(u'\n') || line.contains(u'\r'))
            fuzzFailure("dat.ini would hold a line it cannot store");
    const int trak = TrakIni::fromLines(lines);
    if (trak < TrakIni::kMinimum || trak > TrakIni::kMaximum)
        fuzzFailure("the preview's transparency left its range");
    return 0;
}

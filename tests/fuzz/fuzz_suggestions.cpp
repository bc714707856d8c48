// A suggestion file on any bytes, then the window's lines for the shipped
// catalogues: the lines accepted write as text and parse back alike; the
// built lines are sorted, each once, and ticks carry back to the label.

#include "editor/catalogue.h"
#include "editor/suggestions.h"
#include "fuzzsupport.h"
#include "shell/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Suggestions::FileLines file = Suggestions::parse(fuzzBytes(data, size), QStringLiteral("HP5"));
    if (!file.ok()) {
        if (file.message.isEmpty() || !file.lines.isEmpty())
            fuzzFailure("a refused suggestion file has no message, or lines");
        return 0;
    }
    if (file.lines.size() > Suggestions::kMaxLines)
        fuzzFailure("more lines than a suggestion file may hold");
    // Written back as the program writes text, the lines parse alike.
    QByteArray bytes;
    for (const QString &line : file.lines) {
        QByteArray encoded;
        if (!TextFile::encode(line, &encoded))
            fuzzFailure("an accepted line cannot be written back");
        bytes += encoded + "\r\n";
    }
    const Suggestions::FileLines again = Suggestions::parse(bytes, QStringLiteral("HP5"));
    if (bytes.size() <= Suggestions::kMaxBytes && (!again.ok() || again.lines != file.lines))
        fuzzFailure("read, write, read is not a fixed point");

    StatementList hazards = Catalogue::toStatements(fuzzCatalogue(0));
    StatementList precautions = Catalogue::toStatements(fuzzCatalogue(1));
    for (qsizetype i = 0; i < hazards.size(); i += 3)
        hazards[i].ticked = true;
    Suggestions::Lines lines = Suggestions::build(file.lines, hazards, precautions);
    for (qsizetype i = 0; i < lines.size(); ++i)
        for (qsizetype j = i + 1; j < lines.size(); ++j)
            if (lines.at(i).text == lines.at(j).text)
                fuzzFailure("a line is offered twice");
    if (Suggestions::build(file.lines, hazards, precautions) != lines)
        fuzzFailure("building the lines twice differs");
    for (Suggestions::Line &line : lines)
        line.ticked = !line.ticked;
    Suggestions::apply(lines, &hazards);
    for (const Suggestions::Line &line : std::as_const(lines))
        for (const StatementEntry &e : std::as_const(hazards))
            if (e.text == line.text && e.ticked != line.ticked)
                fuzzFailure("a tick did not reach the label");
    return 0;
}

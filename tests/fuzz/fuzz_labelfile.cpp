// The label file reader on any bytes; what it reads must save and read back
// to the same file (opening and saving an unchanged label is a fixed point).

#include "editor/catalogue.h"
#include "fuzzsupport.h"
#include "shell/labelfile.h"
#include "shell/textfile.h"

namespace {

LabelDocument freshLabel()
{
    LabelDocument doc;
    doc.hazards = Catalogue::toStatements(fuzzCatalogue(0));
    doc.precautions = Catalogue::toStatements(fuzzCatalogue(1));
    doc.supplementary = Catalogue::toStatements(fuzzCatalogue(2));
    return doc;
}

struct Saved {
    QStringList lines;
    bool ok = false;
};

// What a save of the document read from `lines` writes (without touching the
// disk), or nothing when the reader stopped or the writer refuses.
Saved readAndSerialize(const QStringList &lines)
{
    LabelDocument doc = freshLabel();
    FrameMirrors mirrors;
    const LabelFile::Status status = LabelFile::parse(lines, &doc, &mirrors, QStringLiteral("/fuzz"));
    if (!status.ok() || !LabelFile::contentError(doc).isEmpty())
        return {};
    return {LabelFile::serialize(doc, mirrors), true};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = TextFile::splitLines(TextFile::decode(fuzzBytes(data, size)));
    const Saved first = readAndSerialize(lines);
    if (!first.ok)
        return 0;
    // The saved lines must encode as the file would be written...
    QByteArray bytes;
    for (const QString &line : first.lines) {
        QByteArray encoded;
        if (!TextFile::encode(line, &encoded))
            fuzzFailure("a line read from a Windows-1252 file cannot be written back");
        bytes += encoded + "\r\n";
    }
    // ...and reading what was saved and saving it again gives the same file.
    const Saved second = readAndSerialize(TextFile::splitLines(TextFile::decode(bytes)));
    if (!second.ok)
        fuzzFailure("a saved label does not read back");
    if (second.lines != first.lines)
        fuzzFailure("open and save is not a fixed point");
    return 0;
}

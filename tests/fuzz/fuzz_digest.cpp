// The sheet digest of a label file on any bytes, then the drawing of what it
// gives into the label picture (sizes, colours and texts straight from the
// file).

#include "fuzzsupport.h"
#include "render/labelcontent.h"
#include "render/labelrenderer.h"
#include "shell/labeldigest.h"
#include "shell/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = TextFile::splitLines(TextFile::decode(fuzzBytes(data, size)));
    for (bool numberingOnly : {false, true}) {
        LabelDigest digest;
        digest.read(lines, numberingOnly);
        QStringList problems;
        const LabelContent content = LabelContent::fromDigest(digest, FrameMirrors(), numberingOnly,
                                                              QStringLiteral("/fuzz-absent"),
                                                              QStringLiteral("/fuzz-absent"), &problems);
        LayoutResult r;
        const QImage picture = LabelRenderer::labelPicture(content, &r);
        if (picture.size() != QSize(1272, 900))
            fuzzFailure("the label picture has the wrong size");
        // What is named as cut is a statement, or a line of a block above them.
        const QString &cut = r.cutStatement;
        const bool known = content.statements.contains(cut) || content.supplier.contains(cut)
                           || content.product.contains(cut) || content.comment.contains(cut)
                           || content.signalWord.contains(cut) || content.contains.contains(cut)
                           || content.complement.contains(cut);
        if (!cut.isEmpty() && !known)
            fuzzFailure("the cut text is not one of the label's");
    }
    return 0;
}

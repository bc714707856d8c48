// The supplier card reader on any bytes; a card it reads is either refused by
// the writer with a message, or written, read back to the same card and
// written again to the same bytes (opening and saving is a fixed point).

#include "fuzzsupport.h"
#include "tools/suppliercard.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString folder = fuzzFolder() + QStringLiteral("Kalvane/fournisseurs/");
    QDir(folder).removeRecursively();
    const QString path = fuzzFile(QStringLiteral("entree.fab"), fuzzBytes(data, size));
    SupplierCard card;
    QString error;
    if (!SupplierCard::read(path, &card, &error)) {
        if (error.isEmpty())
            fuzzFailure("a refused card has no message");
        return 0;
    }
    if (!card.write(folder, &error)) {
        if (error.isEmpty())
            fuzzFailure("a refused write has no message");
        if (!QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty())
            fuzzFailure("a refused write left a file");
        return 0;
    }
    const QString written = card.pathIn(folder, &error);
    if (written.isEmpty() || !written.startsWith(folder))
        fuzzFailure("a written card is not a card of the suppliers folder");
    SupplierCard back;
    if (!SupplierCard::read(written, &back, &error))
        fuzzFailure("a written card does not read back");
    if (!(back == card))
        fuzzFailure("read, write, read is not a fixed point");
    const QByteArray bytes = fuzzRead(written);
    if (!back.write(folder, &error) || fuzzRead(written) != bytes)
        fuzzFailure("saving an opened card changes its file");
    return 0;
}

#include "render/qrcode.h"

#include <qrencode.h>

#include <memory>

QrCode QrCode::encode(const QString &text, QString *error)
{
    QrCode code;
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("L'adresse est vide.");
        return code;
    }
    // Version 0: the smallest version that holds the data. The 8-bit mode
    // keeps every byte as it is (an address may hold any character).
    std::unique_ptr<QRcode, void (*)(QRcode *)> symbol(
        QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char *>(bytes.constData()), 0, QR_ECLEVEL_M),
        QRcode_free);
    if (!symbol || symbol->width <= 0) {
        if (error)
            *error = QStringLiteral("L'adresse « %1 » est trop longue pour un code QR.").arg(text.left(60));
        return code;
    }
    code.size = symbol->width;
    code.version = symbol->version;
    code.modules.reserve(qsizetype(code.size) * code.size);
    for (int i = 0; i < code.size * code.size; ++i)
        code.modules.append((symbol->data[i] & 1) != 0);
    return code;
}

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A QR code of a text (its UTF-8 bytes), error correction level M, made by
// libqrencode: a square of `size` x `size` modules, dark where set.
struct QrCode {
    int size = 0;
    int version = 0;
    QList<bool> modules; // row by row

    bool isNull() const { return size == 0; }
    bool dark(int x, int y) const { return modules.at(qsizetype(y) * size + x); }

    // The code of `text`; a null code (and `error` in French) when the text
    // is empty or too long for any QR code.
    static QrCode encode(const QString &text, QString *error = nullptr);
};

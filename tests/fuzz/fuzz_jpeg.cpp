// The JPEG decoder on any bytes: a clean failure or a picture within the
// limits, never a crash, an abort of the library or a runaway allocation.

#include "fuzzsupport.h"
#include "render/jpegcodec.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    QSize header;
    JpegCodec::readSize(bytes, &header);
    for (QSize atLeast : {QSize(), QSize(32, 32)}) {
        QImage image;
        QString error;
        if (JpegCodec::decode(bytes, &image, &error, atLeast)) {
            if (image.isNull())
                fuzzFailure("a successful decoding gave no picture");
            if (qint64(image.width()) * image.height() > 100'000'000)
                fuzzFailure("a picture beyond the pixel limit was decoded");
        } else if (error.isEmpty()) {
            fuzzFailure("a failed decoding gave no message");
        }
    }
    return 0;
}

// The KKT text code both ways, and the table parameter value coding.
#include "FuzzSupport.h"

#include "kkt/ComPort.h"
#include "kkt/KktText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const QString decoded = KKTToStr(bytes);
    const QByteArray sent = StrToKKT(bytes);
    if (sent.size() > bytes.size())
        qFatal("the KKT code grew the text");
    const QString text = FromCp1251(bytes);
    const QByteArray prepared = PrepareForKkt(text, 24);
    if (prepared.size() > 24 * 2)
        qFatal("the cut text is longer than the field");
    (void)StrToKKT(PrepareForKkt(decoded));
    for (bool convert : { false, true }) {
        const QByteArray field = EncodeParamValue(text, convert);
        if (field.size() > kKktTextField)
            qFatal("a parameter value overflows its field");
        (void)DecodeParamValue(bytes.left(kKktTextField), convert);
    }
    return 0;
}

// The scanner's code recognition over arbitrary reads: the input is split into
// reads at each 0xFF byte, with an idle line (a reset) at each 0xFE byte.
#include "FuzzSupport.h"

#include "scanner/ScanAssembly.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TScanAssembly assembly;
    QByteArray read;
    const auto collect = [&] {
        if (read.isEmpty())
            return;
        const TScanAssembly::Step step = assembly.Collect(read.left(TScanAssembly::kBufSize));
        if (step.code && step.code->size() != 0 && step.code->size() != 8 && step.code->size() != 13)
            qFatal("a delivered code is neither empty nor an EAN-8 or EAN-13 text");
        if (assembly.lenEan() > TScanAssembly::kEanSize)
            qFatal("the assembly buffer grew beyond its size");
        read.clear();
    };
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF) {
            collect();
        } else if (data[i] == 0xFE) {
            collect();
            assembly.Reset();
        } else {
            read.append(char(data[i]));
        }
    }
    collect();
    (void)TScanAssembly::BufToLogStr(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}

// kkt-xls-reader FILE: reads the goods cells of a workbook (.xls with FreeXL,
// .xlsx and .ods with QuaZip and QXmlStreamReader) and writes them to
// standard output (see pages/XlsCells.h). Run by the program as
// a child process, so that a workbook that crashes or hangs the library costs
// only this process. Bounds its own memory and processor time.

#include "XlsBook.h"
#include "ZipBook.h"
#include "pages/XlsCells.h"

#include <QFile>

#include <cstdio>
#include <new>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

void LimitResources()
{
#ifdef Q_OS_UNIX
    // A sanitizer reserves terabytes of address space for itself: no memory bound there.
    if (!kSanitized) {
        const rlimit memory { rlim_t(1) << 30, rlim_t(1) << 30 };
        setrlimit(RLIMIT_AS, &memory);
    }
    const rlimit cpu { 10, 10 };
    setrlimit(RLIMIT_CPU, &cpu);
#endif
}

// Which reader a file needs, by its first bytes: the file's name may say otherwise.
enum class Container { Ole, Zip, Other };

Container ContainerOf(const char *fileName)
{
    QFile file(QFile::decodeName(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return Container::Other;
    const QByteArray head = file.read(8);
    if (head == QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return Container::Ole;
    return head.startsWith("PK\x03\x04") ? Container::Zip : Container::Other;
}

int Read(const char *fileName)
{
    XlsCells::Sheet sheet;
    // What is no zip goes to FreeXL, which tells a missing file from a damaged one.
    const int result = ContainerOf(fileName) == Container::Zip ? ReadZippedBook(QFile::decodeName(fileName), sheet)
                                                               : ReadXlsBook(fileName, sheet);
    if (result != 0)
        return result;
    const QByteArray bytes = XlsCells::Encode(sheet);
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) || std::fflush(stdout))
        return XlsCells::NoMemory;
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    LimitResources();
    if (argc != 2) {
        std::fputs("usage: kkt-xls-reader FILE.xls|FILE.xlsx|FILE.ods\n", stderr);
        return XlsCells::Usage;
    }
    try {
        return Read(argv[1]);
    } catch (const std::bad_alloc &) {
        // The memory bound reached: a book too large to read, not a damaged one.
        return XlsCells::NoMemory;
    }
}

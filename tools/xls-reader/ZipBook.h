#pragma once

#include <QByteArray>
#include <QString>

#include <quazip.h>

// The parts of a zipped workbook (.xlsx, .ods), each inflated only when its
// stated size is within XlsCells::kMaxPartBytes and never beyond it, so that
// a zip bomb costs a refusal, not the reader's memory or time.
class ZipBook
{
public:
    explicit ZipBook(const QString &fileName);

    bool open();
    bool has(const QString &name);
    // 0 with the part's bytes, or an XlsCells::Exit code (missing or damaged: Damaged; too large: TooLarge).
    int part(const QString &name, QByteArray &bytes);

private:
    QuaZip m_zip;
};

namespace XlsCells {
struct Sheet;
}
// The goods cells of the first sheet of an .xlsx or .ods workbook. 0 with the
// sheet, or an XlsCells::Exit code.
int ReadZippedBook(const QString &fileName, XlsCells::Sheet &sheet);

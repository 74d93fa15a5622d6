#include "pages/Goods1C.h"

#include "config/NumberText.h"
#include "config/SafeFile.h"
#include "kkt/KktText.h"
#include "pages/FixedLists.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {
constexpr QChar SOH = QChar(char16_t(1));
constexpr QChar STX = QChar(char16_t(2));
constexpr QChar ETX = QChar(char16_t(3));
constexpr QChar EOT = QChar(char16_t(4));
constexpr QChar TAB = QChar(char16_t(9));
constexpr qsizetype kSkippedLine = 6001; // the line after the 6000th record: the end line of a full file

QString Rejected()
{
    return u"Структура файла не соответствует стандарту!"_s;
}

// A cell must not break the line or the record it is written into.
QString Flat(const QString &cell)
{
    QString out = cell;
    for (QChar &c : out)
        if (c.unicode() < 0x20)
            c = u' ';
    return out;
}

// The lines of the file's bytes, one at a time: CR LF, LF and CR each end a
// line, and a line end before the end of the bytes makes no empty last line.
// The control characters of the format are single bytes in Windows-1251, so
// a line is split before its text is decoded.
class LineCursor
{
public:
    explicit LineCursor(QByteArrayView bytes)
        : m_bytes(bytes)
    { }
    std::optional<QByteArrayView> next()
    {
        if (m_pos >= m_bytes.size())
            return std::nullopt;
        qsizetype end = m_pos;
        while (end < m_bytes.size() && m_bytes[end] != '\r' && m_bytes[end] != '\n')
            ++end;
        const QByteArrayView line = m_bytes.sliced(m_pos, end - m_pos);
        if (end + 1 < m_bytes.size() && m_bytes[end] == '\r' && m_bytes[end + 1] == '\n')
            ++end;
        m_pos = end + 1;
        return line;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

std::optional<TtmpStringData> ParseRecord(QByteArrayView line)
{
    if (line.isEmpty() || line.front() != STX.unicode() || line.back() != ETX.unicode()
        || line.count(char(TAB.unicode())) != 5)
        return std::nullopt;
    QString parts[6];
    qsizetype from = 1;
    for (QString &part : parts) {
        qsizetype to = line.indexOf(char(TAB.unicode()), from);
        if (to < 0) // the last value ends at the first ETX
            to = line.indexOf(char(ETX.unicode()), from);
        part = FromCp1251(line.sliced(from, to - from));
        from = to + 1;
    }
    return TtmpStringData { parts[0], parts[1], parts[2], parts[3], parts[4], parts[5] };
}

// The value checks of an accepted record. A number outside 1..6000 names no goods row: the file is rejected.
bool RecordValid(const TtmpStringData &rec)
{
    return ParseDecimal(rec.Number, 1, GoodsRows::kCount) && IsPriceNumber(rec.Price)
        && (rec.TypeFont == FixedLists::Narrow() || rec.TypeFont == FixedLists::Wide());
}
} // namespace

QString Goods1CLine(int number, const GoodsCells &cells)
{
    const QString &price = cells[GoodsCol::Price - 1];
    return STX + QString::number(number) + TAB + Flat(cells[GoodsCol::Name - 1]) + TAB + Flat(cells[GoodsCol::Font - 1])
        + TAB + Flat(cells[GoodsCol::Barcode - 1]) + TAB + (price.isEmpty() ? u"0.0"_s : Flat(price)) + TAB
        + Flat(cells[GoodsCol::Section - 1]) + ETX + u"\r\n"_s;
}

QByteArray Goods1CBytes(const StringGridModel &goods)
{
    QString text;
    text.reserve(GoodsRows::kCount * 48);
    text += SOH;
    text += u"\r\n"_s;
    for (int row = 1; row <= GoodsRows::kCount; ++row)
        text += Goods1CLine(row, GoodsRows::Read(goods, row));
    text += EOT;
    text += u"\r\n"_s;
    return ToCp1251(text);
}

PageResult ExportGoods1C(const QString &path, const StringGridModel &goods)
{
    QString error;
    if (!SafeFile::WriteAll(path, Goods1CBytes(goods), &error))
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + error);
    return PageResult::Success(u"Файл успешно сохранен!"_s, GoodsRows::kCount);
}

PageResult ImportGoods1C(const QString &path, StringGridModel &goods)
{
    QString error;
    const std::optional<QByteArray> bytes = SafeFile::ReadAll(path, &error);
    if (!bytes)
        return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + error);
    return ImportGoods1CBytes(*bytes, goods);
}

std::optional<Goods1CRecords> ParseGoods1C(QByteArrayView bytes)
{
    // Line by line, each record checked and kept for its row as it comes: a
    // file that fails at its first line costs nothing more, and a long file
    // takes no more than its rows.
    LineCursor lines(bytes);
    Goods1CRecords records;
    qsizetype index = 0;
    for (std::optional<QByteArrayView> line; (line = lines.next()); ++index) {
        if (index == 0) {
            if (*line != QByteArrayView("\x01", 1))
                return std::nullopt;
            continue;
        }
        if (index == kSkippedLine)
            continue;
        const std::optional<TtmpStringData> rec = ParseRecord(*line);
        if (!rec || !RecordValid(*rec))
            return std::nullopt;
        // A later record for the same number wins.
        const int row = int(*ParseDecimal(rec->Number, 1, GoodsRows::kCount));
        records.report.beginRow(row);
        records.rows[row] = { records.report.takeName(row, rec->Name), rec->TypeFont,
            records.report.takeBarcode(row, rec->Shtr), rec->Price, rec->Section, {} };
        ++records.count;
    }
    return records;
}

PageResult ImportGoods1CBytes(const QByteArray &bytes, StringGridModel &goods)
{
    std::optional<Goods1CRecords> records = ParseGoods1C(bytes);
    if (!records)
        return PageResult::Failure(Rejected());
    std::vector<GoodsCells> rows(GoodsRows::kCount, GoodsRows::Defaults());
    for (auto &[number, cells] : records->rows)
        rows[size_t(number - 1)] = std::move(cells);
    GoodsRows::ApplyAll(goods, rows, GoodsCol::Name, GoodsCol::Section);
    records->report.finish(goods, GoodsCol::Name, GoodsCol::Section);
    return PageResult::Success(records->report.text(u"Загружено %1 позиций!"_s.arg(records->count)), records->count);
}

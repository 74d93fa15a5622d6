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

// Splits on CR LF, LF or CR; a line end before the end of the text makes no empty last line.
QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

std::optional<TtmpStringData> ParseRecord(const QString &line)
{
    if (line.isEmpty() || line.front() != STX || line.back() != ETX || line.count(TAB) != 5)
        return std::nullopt;
    const QStringList parts = line.mid(1).split(TAB);
    TtmpStringData rec { parts[0], parts[1], parts[2], parts[3], parts[4], parts[5] };
    rec.Section = rec.Section.left(rec.Section.indexOf(ETX));
    return rec;
}

// The value checks of an accepted record. A number outside 1..6000 names no goods row: the file is rejected.
bool RecordValid(const TtmpStringData &rec)
{
    return ParseDecimal(rec.Number, 1, GoodsRows::kCount) && IsPriceNumber(rec.Price)
        && (rec.TypeFont == FixedLists::Narrow() || rec.TypeFont == FixedLists::Wide());
}
} // namespace

QByteArray Goods1CBytes(const StringGridModel &goods)
{
    QString text;
    text.reserve(GoodsRows::kCount * 48);
    text += SOH;
    text += u"\r\n"_s;
    for (int row = 1; row <= GoodsRows::kCount; ++row) {
        const QString price = goods.cell(row, GoodsCol::Price);
        text += STX + QString::number(row) + TAB + Flat(goods.cell(row, GoodsCol::Name)) + TAB
            + Flat(goods.cell(row, GoodsCol::Font)) + TAB + Flat(goods.cell(row, GoodsCol::Barcode)) + TAB
            + (price.isEmpty() ? u"0.0"_s : Flat(price)) + TAB + Flat(goods.cell(row, GoodsCol::Section)) + ETX
            + u"\r\n"_s;
    }
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

PageResult ImportGoods1CBytes(const QByteArray &bytes, StringGridModel &goods)
{
    const QStringList lines = SplitLines(FromCp1251(bytes));
    std::vector<TtmpStringData> records;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            if (lines[0] != QString(SOH))
                return PageResult::Failure(Rejected());
            continue;
        }
        if (i == kSkippedLine)
            continue;
        const std::optional<TtmpStringData> rec = ParseRecord(lines[i]);
        if (!rec)
            return PageResult::Failure(Rejected());
        records.push_back(*rec);
    }
    for (const TtmpStringData &rec : records)
        if (!RecordValid(rec))
            return PageResult::Failure(Rejected());

    std::vector<GoodsCells> rows(GoodsRows::kCount, GoodsRows::Defaults());
    for (const TtmpStringData &rec : records) // a later record for the same number wins
        rows[size_t(*ParseDecimal(rec.Number, 1, GoodsRows::kCount) - 1)]
            = { rec.Name, rec.TypeFont, rec.Shtr, rec.Price, rec.Section, {} };
    GoodsRows::ApplyAll(goods, rows, GoodsCol::Name, GoodsCol::Section);
    return PageResult::Success(u"Загружено %1 позиций!"_s.arg(records.size()), int(records.size()));
}

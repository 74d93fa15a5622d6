#include "pages/GoodsDb102.h"

#include "config/IniFileUtil.h"
#include "config/classMyIniFile.h"
#include "pages/ImportReport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace {
const QString kKeys[6]
    = { u"Наименование"_s, u"Тип шрифта"_s, u"Штрих-код"_s, u"Цена"_s, u"Отдел/Услуга"_s, u"Маркировка"_s };

QString SectionOf(int row)
{
    return u"ТОВАР_#"_s + QString::number(row);
}

// The goods row 1..6000 a section stands for, 0 for none. A read of row n
// looks for the section named ТОВАР_#n, n in decimal as written: no sign, no
// leading zero.
int RowOfSection(QStringView section)
{
    const QStringView prefix = u"ТОВАР_#";
    const qsizetype digits = section.size() - prefix.size();
    if (digits < 1 || digits > 4 || !TmyIniFile::NamesMatch(section.first(prefix.size()), prefix))
        return 0;
    int row = 0;
    for (QChar c : section.sliced(prefix.size())) {
        if (c < u'0' || c > u'9' || (row == 0 && c == u'0'))
            return 0;
        row = row * 10 + (c.unicode() - u'0');
    }
    return row <= GoodsRows::kCount ? row : 0;
}

PageResult Failure(const QString &reason)
{
    return PageResult::Failure(u"ВНИМАНИЕ!\r\n"_s + reason);
}
} // namespace

PageResult SaveGoodsDb102(const QString &path, const StringGridModel &goods)
{
    TmyIniFile ini(path);
    if (!ini.isLoaded())
        return Failure(ini.errorString());
    for (int row = 1; row <= GoodsRows::kCount; ++row) {
        const QString section = SectionOf(row);
        for (int col = GoodsCol::Name; col <= GoodsCol::Mark; ++col)
            ini.WriteString(section, kKeys[col - 1], goods.cell(row, col));
    }
    if (!ini.UpdateFile())
        return Failure(ini.errorString());
    return PageResult::Success({}, GoodsRows::kCount);
}

int ParseGoodsDb102(const TmyIniFile &ini, const std::function<void(int row, int key, QStringView text)> &take)
{
    // The values the reads of every row's keys would find, in one pass over the file.
    int found = 0;
    int row = 0;
    QStringView lastSection;
    ini.ForEachFoundValue([&](QStringView section, QStringView key, QStringView value) {
        if (section.data() != lastSection.data() || section.size() != lastSection.size()) {
            lastSection = section;
            row = RowOfSection(section);
        }
        if (row == 0)
            return;
        const auto at = std::find_if(
            std::begin(kKeys), std::end(kKeys), [&](const QString &k) { return TmyIniFile::NamesMatch(key, k); });
        if (at == std::end(kKeys))
            return;
        take(row, int(at - std::begin(kKeys)), value);
        ++found;
    });
    return found;
}

PageResult LoadGoodsDb102(const QString &path, StringGridModel &goods)
{
    QString error;
    // A name that is not there yet is a new, empty base; one that is there must be a base.
    const bool existed = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    if (!CreateIfMissing(path, &error))
        return Failure(error);
    const TmyIniFile ini(path);
    if (!ini.isLoaded())
        return Failure(ini.errorString());
    std::vector<GoodsCells> rows(GoodsRows::kCount, GoodsRows::Defaults());
    // The program's own file: its values are taken as they are, and the report
    // tells only what the register would make of them.
    ImportReport report;
    const int found = ParseGoodsDb102(ini, [&](int row, int key, QStringView text) {
        report.beginRow(row);
        rows[size_t(row - 1)][size_t(key)] = text.toString();
    });
    // Any other file (a text, a configuration, random bytes) would load as an
    // empty base over the user's goods.
    if (existed && found == 0)
        return Failure(u"Файл \"%1\" не является базой товаров: в нём нет ни одной записи товара "
                       u"(раздела ТОВАР_# с её ключами)."_s.arg(QDir::toNativeSeparators(path)));
    GoodsRows::ApplyAll(goods, rows);
    report.finish(goods);
    return PageResult::Success(report.text(), GoodsRows::kCount);
}

#include "pages/GoodsDb102.h"

#include "config/IniFileUtil.h"
#include "config/classMyIniFile.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
const QString kKeys[6]
    = { u"Наименование"_s, u"Тип шрифта"_s, u"Штрих-код"_s, u"Цена"_s, u"Отдел/Услуга"_s, u"Маркировка"_s };

QString SectionOf(int row)
{
    return u"ТОВАР_#"_s + QString::number(row);
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
    std::vector<GoodsCells> rows(GoodsRows::kCount);
    const GoodsCells &defaults = GoodsRows::Defaults();
    int found = 0;
    for (int row = 1; row <= GoodsRows::kCount; ++row) {
        const QString section = SectionOf(row);
        for (size_t i = 0; i < 6; ++i) {
            std::optional<QString> value = ini.TryReadString(section, kKeys[i]);
            found += value ? 1 : 0;
            rows[size_t(row - 1)][i] = value ? std::move(*value) : defaults[i];
        }
    }
    // Any other file (a text, a configuration, random bytes) would load as an
    // empty base over the user's goods.
    if (existed && found == 0)
        return Failure(u"Файл \"%1\" не является базой товаров: в нём нет ни одной записи товара "
                       u"(раздела ТОВАР_# с её ключами)."_s.arg(QDir::toNativeSeparators(path)));
    GoodsRows::ApplyAll(goods, rows);
    return PageResult::Success({}, GoodsRows::kCount);
}

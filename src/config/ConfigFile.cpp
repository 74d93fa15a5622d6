#include "config/ConfigFile.h"

#include "config/IniFileUtil.h"
#include "config/classMyIniFile.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {
const QString kNarrow = u"Узкий"_s;

const QString kGsmKeys[ConfigSize::Gsm] = {
    u"IP сервера ОФД"_s,
    u"Имя сервера ОФД"_s,
    u"Порт сервера ОФД"_s,
    u"PIN-код сим карты"_s,
    u"APN строка для подключения к Internet"_s,
    u"Логин для подключения к Internet"_s,
    u"Пароль для подключения к Internet"_s,
};

// The wording of each agent key; " (Наименование)" and " (Тип Шрифта)" follow.
// From the fifth on, a key names the row below the one it carries: files rely on it.
const QString kAgentKeys[ConfigSize::Agent] = {
    u"Телефон Поставщика"_s, u"Телефон Платежного Агента"_s, u"Телефон Оператора По Приему Платежей"_s,
    u"Телефон Оператора Перевода"_s, u"Адрес Оператора Перевода (Строка#1)"_s, u"Адрес Оператора Перевода (Строка#2)"_s,
    u"Адрес Оператора Перевода (Строка#3)"_s, u"Адрес Оператора Перевода (Строка#4)"_s,
    u"Наименование Оператора Перевода (Строка #1)"_s, u"Наименование Оператора Перевода (Строка #2)"_s,
    u"Операция Платежного Агента"_s,
    u"Операция Платежного Агента #12"_s, // added later; older files lack it
};

const QString kSecGsm = u"GSM"_s;
const QString kSecOperHash = u"CFGKKT_ОПЕРАТОР_#"_s;
const QString kSecOper = u"CFGKKT_ОПЕРАТОР"_s;
const QString kSecGoods = u"CFGKKT_ТОВАР_#"_s;
const QString kSecUsl = u"CFGKKT_ПРИЗНАК_ПР_#"_s;
const QString kSecKlishe = u"CFGKKT_КЛИШЕ_СТРОКА_#"_s;
const QString kSecAgent = u"CFGKKT_ПАРАМЕТРЫ_АГЕНТА"_s;
const QString kSecFactory = u"CFGKKT_ПАРАМЕТРЫ_ПРЕДПРИЯТИЯ"_s;
const QString kSecStation = u"CFGKKT_ПАРАМЕТРЫ_СТАНЦИИ"_s;

enum class Kind { Text, Font };

// Calls visit(part, section, key, field, kind) for every key of the file in writing
// order. Cfg is TConfig or const TConfig, so saving and loading share one list.
template <typename Cfg, typename Visit> void ForEachKey(Cfg &cfg, Visit visit)
{
    for (int n = 0; n < ConfigSize::Gsm; ++n)
        visit(ConfigPart::Gsm, kSecGsm, GetGsmKeyName(n), cfg.Gsm.arrParam[size_t(n)], Kind::Text);

    auto &t = cfg.Cfg102;
    for (int i = 0; i < ConfigSize::Oper; ++i) {
        auto &o = t.Oper[size_t(i)];
        const QString num = QString::number(i);
        visit(ConfigPart::Oper, kSecOperHash + num, u"Должность"_s, o.Dol, Kind::Text);
        const QString sec = kSecOper + num;
        visit(ConfigPart::Oper, sec, u"Шрифт должности"_s, o.fontDol, Kind::Font);
        visit(ConfigPart::Oper, sec, u"Фамилия(Строка 1)"_s, o.FioStr1, Kind::Text);
        visit(ConfigPart::Oper, sec, u"Шрифт Фамилии(Строка 1)"_s, o.fontFioStr1, Kind::Font);
        visit(ConfigPart::Oper, sec, u"Фамилия(Строка 2)"_s, o.FioStr2, Kind::Text);
        visit(ConfigPart::Oper, sec, u"Шрифт Фамилии(Строка 2)"_s, o.fontFioStr2, Kind::Font);
        visit(ConfigPart::Oper, sec, u"Пароль"_s, o.Password, Kind::Text);
        visit(ConfigPart::Oper, sec, u"ИНН Кассира"_s, o.Inn, Kind::Text);
    }
    const QString goodsKeys[6]
        = { u"Наименование"_s, u"Тип Шрифта"_s, u"Штрих-код"_s, u"Цена"_s, u"Отдел/Услуга"_s, u"Маркировка"_s };
    for (int i = 0; i < ConfigSize::PredmRasch; ++i) {
        auto &g = t.PredmRasch[size_t(i)];
        const QString sec = kSecGoods + QString::number(i);
        visit(ConfigPart::Goods, sec, goodsKeys[0], g.NameTov, Kind::Text);
        visit(ConfigPart::Goods, sec, goodsKeys[1], g.fontNameTov, Kind::Font);
        visit(ConfigPart::Goods, sec, goodsKeys[2], g.Shtrih, Kind::Text);
        visit(ConfigPart::Goods, sec, goodsKeys[3], g.Price, Kind::Text);
        visit(ConfigPart::Goods, sec, goodsKeys[4], g.Section, Kind::Text);
        visit(ConfigPart::Goods, sec, goodsKeys[5], g.Mark, Kind::Text);
    }
    for (int i = 0; i < ConfigSize::RpiznPredmRasch; ++i) {
        auto &u = t.RpiznPredmRasch[size_t(i)];
        const QString sec = kSecUsl + QString::number(i);
        visit(ConfigPart::Usl, sec, u"Наименование отдела/услуги"_s, u.NameUsl, Kind::Text);
        visit(ConfigPart::Usl, sec, u"Тип Шрифта Наименования"_s, u.fontName, Kind::Font);
        visit(ConfigPart::Usl, sec, u"Признак ПР(Значение)"_s, u.Priznak, Kind::Text);
        visit(ConfigPart::Usl, sec, u"Признак ПР(Наименование)"_s, u.Name, Kind::Text);
        visit(ConfigPart::Usl, sec, u"Система налогообложения"_s, u.SystemTax, Kind::Text);
    }
    for (int i = 0; i < ConfigSize::Klishe; ++i) {
        auto &k = t.Klishe[size_t(i)];
        const QString sec = kSecKlishe + QString::number(i);
        visit(ConfigPart::Klishe, sec, u"Наименование"_s, k.Name, Kind::Text);
        visit(ConfigPart::Klishe, sec, u"Тип шрифта"_s, k.fontName, Kind::Font);
    }
    for (int k = 0; k < ConfigSize::Agent; ++k) {
        visit(ConfigPart::Agent, kSecAgent, GetAgentValueKeyName(k), t.Agent[size_t(k)].Value, Kind::Text);
        visit(ConfigPart::Agent, kSecAgent, GetAgentFontKeyName(k), t.Agent[size_t(k)].fontValue, Kind::Font);
    }
    for (int i = 0; i < ConfigSize::Factory; ++i) {
        const QString num = QString::number(i);
        visit(ConfigPart::Factory, kSecFactory, u"Предприятие #"_s + num, t.Factory[size_t(i)].Name, Kind::Text);
        visit(ConfigPart::Factory, kSecFactory, u"ИНН #"_s + num, t.Factory[size_t(i)].INN, Kind::Text);
    }
    for (int i = 0; i < ConfigSize::Station; ++i)
        visit(ConfigPart::Station, kSecStation, u"Станция #"_s + QString::number(i), t.Station[size_t(i)].Name,
            Kind::Text);
}
// The sections and keys of the file, found by their names as the store
// matches them: where each key stands in writing order. A file written by the
// program holds them in that order and spelling: the next one is tried first.
class ConfigLayout
{
public:
    ConfigLayout()
    {
        const auto empty = std::make_unique<const TConfig>(); // only the keys and their order are used
        int place = 0;
        ForEachKey(*empty, [&](ConfigPart, const QString &section, const QString &key, const QString &, Kind) {
            if (m_sections.empty() || m_sections.back().name != section) {
                m_byHash.insert(TmyIniFile::NameHash(section), int(m_sections.size()));
                m_sections.push_back({ section, {} });
            }
            m_sections.back().keys.push_back({ key, TmyIniFile::NameHash(key), place++ });
        });
    }

    // The section of that name, -1 for none; hint: the one to try first.
    int section(QStringView name, size_t hint) const
    {
        if (hint < m_sections.size() && m_sections[hint].name == name)
            return int(hint);
        const auto [from, to] = m_byHash.equal_range(TmyIniFile::NameHash(name));
        for (auto it = from; it != to; ++it)
            if (TmyIniFile::NamesMatch(m_sections[size_t(*it)].name, name))
                return *it;
        return -1;
    }
    // The place of the key in the section, -1 when it has none of that name;
    // hint: the section's key to try first, moved past the one found.
    int place(int section, QStringView name, size_t &hint) const
    {
        const std::vector<Key> &keys = m_sections[size_t(section)].keys;
        size_t found = hint;
        if (found >= keys.size() || keys[found].name != name) {
            const quint32 hash = TmyIniFile::NameHash(name);
            found = 0;
            while (found < keys.size() && (keys[found].hash != hash || !TmyIniFile::NamesMatch(keys[found].name, name)))
                ++found;
            if (found == keys.size())
                return -1;
        }
        hint = found + 1;
        return keys[found].place;
    }

private:
    struct Key
    {
        QString name;
        quint32 hash;
        int place;
    };
    struct Section
    {
        QString name;
        std::vector<Key> keys;
    };
    std::vector<Section> m_sections;
    QMultiHash<quint32, int> m_byHash;
};
} // namespace

QString GetGsmKeyName(int n)
{
    return n >= 0 && n < ConfigSize::Gsm ? kGsmKeys[n] : QString();
}

QString GetAgentValueKeyName(int n)
{
    return n >= 0 && n < ConfigSize::Agent ? kAgentKeys[n] + u" (Наименование)"_s : QString();
}

QString GetAgentFontKeyName(int n)
{
    return n >= 0 && n < ConfigSize::Agent ? kAgentKeys[n] + u" (Тип Шрифта)"_s : QString();
}

namespace {
bool SaveInto(TmyIniFile &ini, const TConfig &cfg, QString *error)
{
    if (ini.sectionCount() == 0) {
        // A new file: the store is filled from nothing, so it gets its size at once.
        qsizetype sections = 0, keys = 0, chars = 0;
        QString last; // a copy: some sections are names made for the one call
        ForEachKey(cfg, [&](ConfigPart, const QString &section, const QString &key, const QString &field, Kind) {
            if (keys == 0 || last != section)
                ++sections;
            last = section;
            ++keys;
            chars += section.size() + key.size() + field.size() + 2;
        });
        ini.reserve(sections, keys, chars);
    }
    ForEachKey(cfg, [&](ConfigPart, const QString &section, const QString &key, const QString &field, Kind) {
        ini.mWriteString(section, key, field);
    });
    return ini.UpdateFile() || SetError(error, ini.errorString());
}
} // namespace

bool SaveConfigFile(const QString &path, const TConfig &cfg, QString *error)
{
    TmyIniFile ini(path);
    if (!ini.isLoaded())
        return SetError(error, ini.errorString());
    return SaveInto(ini, cfg, error);
}

bool SaveNewConfigFile(const QString &path, const TConfig &cfg, QString *error)
{
    TmyIniFile ini(path, QByteArray());
    return SaveInto(ini, cfg, error);
}

std::vector<ConfigValue> ParseConfigFile(const TmyIniFile &ini)
{
    static const ConfigLayout layout;
    std::vector<ConfigValue> values;
    QStringView lastSection;
    int section = -1;
    size_t nextSection = 0, nextKey = 0;
    ini.ForEachFoundValue([&](QStringView name, QStringView key, QStringView value) {
        if (name.data() != lastSection.data() || name.size() != lastSection.size()) {
            lastSection = name;
            section = layout.section(name, nextSection);
            nextSection = size_t(section + 1);
            nextKey = 0;
        }
        if (section < 0)
            return;
        if (const int place = layout.place(section, key, nextKey); place >= 0)
            values.push_back({ place, TmyIniFile::Unguarded(value) });
    });
    // In a file the program wrote they come in order already.
    const auto byPlace = [](const ConfigValue &a, const ConfigValue &b) { return a.place < b.place; };
    if (!std::is_sorted(values.begin(), values.end(), byPlace))
        std::sort(values.begin(), values.end(), byPlace);
    return values;
}

bool LoadConfigFile(
    const QString &path, TConfig &cfg, QString *error, int *keysFound, std::vector<MissingConfigKey> *missing)
{
    const TmyIniFile ini(path);
    if (!ini.isLoaded())
        return SetError(error, ini.errorString()); // nothing assigned yet: cfg unchanged
    // One pass over the file instead of a lookup for each of the 36,000 keys.
    const std::vector<ConfigValue> values = ParseConfigFile(ini);
    size_t next = 0;
    int place = 0;
    ForEachKey(cfg, [&](ConfigPart part, const QString &section, const QString &key, QString &field, Kind kind) {
        ++place;
        if (next < values.size() && values[next].place == place - 1) {
            field = values[next++].text.toString();
            return;
        }
        field = kind == Kind::Font ? kNarrow : QString();
        if (!missing)
            return;
        const bool added
            = key == GetAgentValueKeyName(ConfigSize::Agent - 1) || key == GetAgentFontKeyName(ConfigSize::Agent - 1);
        if (!added)
            missing->push_back({ part, section, key });
    });
    if (keysFound)
        *keysFound = int(values.size());
    return true;
}

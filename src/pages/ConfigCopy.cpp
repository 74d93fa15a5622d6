#include "pages/ConfigCopy.h"

namespace {
// Calls visit(kind, row, col, field) for every cell the record mirrors. Cfg is
// TConfig or const TConfig, so both directions share the one mapping.
template <typename Cfg, typename Visit> void ForEachCell(Cfg &cfg, Visit visit)
{
    for (int i = 0; i < ConfigSize::Gsm; ++i)
        visit(TableKind::Gsm, i + 1, GsmCol::Value, cfg.Gsm.arrParam[size_t(i)]);
    auto &t = cfg.Cfg102;
    for (int i = 0; i < ConfigSize::Oper; ++i) {
        auto &o = t.Oper[size_t(i)];
        int col = OperCol::Post; // the record's fields follow the columns
        for (auto *field :
            { &o.Dol, &o.fontDol, &o.FioStr1, &o.fontFioStr1, &o.FioStr2, &o.fontFioStr2, &o.Password, &o.Inn })
            visit(TableKind::Oper, i + 1, col++, *field);
    }
    for (int i = 0; i < ConfigSize::PredmRasch; ++i) {
        auto &g = t.PredmRasch[size_t(i)];
        int col = GoodsCol::Name;
        for (auto *field : { &g.NameTov, &g.fontNameTov, &g.Shtrih, &g.Price, &g.Section, &g.Mark })
            visit(TableKind::Goods, i + 1, col++, *field);
    }
    for (int i = 0; i < ConfigSize::RpiznPredmRasch; ++i) {
        auto &u = t.RpiznPredmRasch[size_t(i)];
        int col = UslCol::Name;
        for (auto *field : { &u.NameUsl, &u.fontName, &u.Priznak, &u.Name, &u.SystemTax })
            visit(TableKind::Usl, i + 1, col++, *field);
    }
    for (int i = 0; i < ConfigSize::Klishe; ++i) {
        visit(TableKind::Klishe, i + 1, KlisheCol::Text, t.Klishe[size_t(i)].Name);
        visit(TableKind::Klishe, i + 1, KlisheCol::Font, t.Klishe[size_t(i)].fontName);
    }
    for (int i = 0; i < ConfigSize::Agent; ++i) {
        visit(TableKind::Agents, i + 1, AgentCol::Value, t.Agent[size_t(i)].Value);
        visit(TableKind::Agents, i + 1, AgentCol::Font, t.Agent[size_t(i)].fontValue);
    }
    for (int i = 0; i < ConfigSize::Factory; ++i) {
        visit(TableKind::Factory, i + 1, FactoryCol::Name, t.Factory[size_t(i)].Name);
        visit(TableKind::Factory, i + 1, FactoryCol::Inn, t.Factory[size_t(i)].INN);
    }
    for (int i = 0; i < ConfigSize::Station; ++i)
        visit(TableKind::Station, i + 1, StationCol::Name, t.Station[size_t(i)].Name);
}
} // namespace

void GridsToConfig(const GridSet &grids, TConfig &cfg)
{
    ForEachCell(cfg, [&](TableKind kind, int row, int col, QString &field) { field = grids[kind].cell(row, col); });
}

void ConfigToGrids(const TConfig &cfg, const GridSet &grids)
{
    for (int i = 0; i < kTableKindCount; ++i)
        grids[TableKind(i)].beginBulkUpdate();
    ForEachCell(
        cfg, [&](TableKind kind, int row, int col, const QString &field) { grids[kind].setCell(row, col, field); });
    for (int i = 0; i < kTableKindCount; ++i)
        grids[TableKind(i)].endBulkUpdate();
}

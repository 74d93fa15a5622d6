#include "ConfigFields.h"

using namespace Qt::StringLiterals;

QList<QString *> ConfigFields(TConfig &cfg)
{
    QList<QString *> out;
    for (QString &p : cfg.Gsm.arrParam)
        out << &p;
    auto &t = cfg.Cfg102;
    for (auto &o : t.Oper)
        out << &o.Dol << &o.fontDol << &o.FioStr1 << &o.fontFioStr1 << &o.FioStr2 << &o.fontFioStr2 << &o.Password
            << &o.Inn;
    for (auto &g : t.PredmRasch)
        out << &g.NameTov << &g.fontNameTov << &g.Shtrih << &g.Price << &g.Section << &g.Mark;
    for (auto &u : t.RpiznPredmRasch)
        out << &u.NameUsl << &u.fontName << &u.Priznak << &u.Name << &u.SystemTax;
    for (auto &k : t.Klishe)
        out << &k.Name << &k.fontName;
    for (auto &a : t.Agent)
        out << &a.Value << &a.fontValue;
    for (auto &f : t.Factory)
        out << &f.Name << &f.INN;
    for (auto &s : t.Station)
        out << &s.Name;
    return out;
}

QStringList ConfigTexts(const TConfig &cfg)
{
    QStringList out;
    for (QString *field : ConfigFields(const_cast<TConfig &>(cfg)))
        out << *field;
    return out;
}

void FillDistinct(TConfig &cfg, const QString &salt)
{
    int i = 0;
    for (QString *field : ConfigFields(cfg)) {
        *field = u" Знач=%1;[x] %2 "_s.arg(i).arg(salt);
        ++i;
    }
}

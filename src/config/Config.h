#pragma once

#include <QString>

#include <array>

// One whole configuration: the GSM/Wi-Fi parameters, the seven tables of the
// "Параметры 102" page and the scanner settings. Every value is the text of its
// grid cell; entry i of an array is grid row i + 1.

struct TConfig_GSM
{
    std::array<QString, 7> arrParam;
};

struct TConfig_Oper
{
    QString Dol;
    QString fontDol;
    QString FioStr1;
    QString fontFioStr1;
    QString FioStr2;
    QString fontFioStr2;
    QString Password;
    QString Inn;
};

struct TConfig_PredmRasch
{
    QString NameTov;
    QString fontNameTov;
    QString Shtrih;
    QString Price;
    QString Section;
    QString Mark;
};

struct TConfig_RpiznPredmRasch
{
    QString NameUsl;
    QString fontName;
    QString Priznak; // the whole item-kind entry text
    QString Name; // the whole VAT entry text, despite the name
    QString SystemTax;
};

struct TConfig_Klishe
{
    QString Name;
    QString fontName;
};

struct TConfig_Agent
{
    QString Value;
    QString fontValue;
};

struct TConfig_Factory
{
    QString Name;
    QString INN;
};

struct TConfig_Station
{
    QString Name;
};

namespace ConfigSize {
constexpr int Gsm = 7;
constexpr int Oper = 6;
constexpr int PredmRasch = 6000;
constexpr int RpiznPredmRasch = 8;
constexpr int Klishe = 21;
constexpr int Agent = 12;
constexpr int Factory = 90;
constexpr int Station = 40;
} // namespace ConfigSize

struct TConfig_102
{
    std::array<TConfig_Oper, ConfigSize::Oper> Oper;
    std::array<TConfig_PredmRasch, ConfigSize::PredmRasch> PredmRasch;
    std::array<TConfig_RpiznPredmRasch, ConfigSize::RpiznPredmRasch> RpiznPredmRasch;
    std::array<TConfig_Klishe, ConfigSize::Klishe> Klishe;
    std::array<TConfig_Agent, ConfigSize::Agent> Agent;
    std::array<TConfig_Factory, ConfigSize::Factory> Factory;
    std::array<TConfig_Station, ConfigSize::Station> Station;
};

// LAST_SCAN_DEVICE closes the list and is never stored.
enum class TScanTypeDevice { DUMMY, Bee2, LAST_SCAN_DEVICE };

struct TScanner
{
    TScanTypeDevice Model = TScanTypeDevice::DUMMY;
    QString ComPort;
    QString SpeedPort;
    bool FlgON = false;
};

// About 300 KB of string handles: keep instances on the heap, not on the stack.
struct TConfig
{
    TConfig_GSM Gsm;
    TConfig_102 Cfg102;
    TScanner Scan;
};

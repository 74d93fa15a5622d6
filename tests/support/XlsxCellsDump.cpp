// Prints the cells of the first worksheet of an .xlsx workbook as JSON, for
// the tests of the workbook export. A process of its own: QuaZip carries its
// own copy of minizip's functions under minizip's names, and in one process
// with libxlsxwriter (which calls the system's minizip) one of the two ends
// up calling the other's.
//
//   kkt-xlsx-cells FILE.xlsx  ->  {"wellFormed": true, "cells": {"A1": {"t": "s", "v": "...", "f": "@"}, ...}}

#include <quazip.h>
#include <quazipfile.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QXmlStreamReader>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
std::optional<QByteArray> Part(QuaZip &zip, const QString &name)
{
    if (!zip.setCurrentFile(name))
        return std::nullopt;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The text of the current element and its descendants' text runs (<t>), up to its end.
QString RunsText(QXmlStreamReader &xml, const QString &end)
{
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"t"_s)
            text += xml.readElementText();
        else if (xml.isEndElement() && xml.name() == end)
            break;
    }
    return text;
}

QList<QString> SharedStrings(const QByteArray &bytes)
{
    QList<QString> strings;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si"_s)
            strings << RunsText(xml, u"si"_s);
    }
    return strings;
}

QString BuiltInFormat(int id)
{
    switch (id) {
    case 0:
        return u"General"_s;
    case 1:
        return u"0"_s;
    case 2:
        return u"0.00"_s;
    case 49:
        return u"@"_s;
    default:
        return u"builtin:%1"_s.arg(id);
    }
}

// The number format code of each cell style (cellXfs), by index.
QList<QString> StyleFormats(const QByteArray &bytes)
{
    QMap<int, QString> custom;
    QList<QString> styles;
    QXmlStreamReader xml(bytes);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"numFmt"_s)
            custom[xml.attributes().value(u"numFmtId"_s).toInt()] = xml.attributes().value(u"formatCode"_s).toString();
        else if (xml.isStartElement() && xml.name() == u"cellXfs"_s)
            inCellXfs = true;
        else if (xml.isEndElement() && xml.name() == u"cellXfs"_s)
            inCellXfs = false;
        else if (inCellXfs && xml.isStartElement() && xml.name() == u"xf"_s) {
            const int id = xml.attributes().value(u"numFmtId"_s).toInt();
            styles << custom.value(id, BuiltInFormat(id));
        }
    }
    return styles;
}

bool WellFormed(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        xml.readNext();
    return !xml.hasError();
}
} // namespace

std::optional<QJsonObject> SheetCells(const QString &path)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return std::nullopt;
    const std::optional<QByteArray> sheet = Part(zip, u"xl/worksheets/sheet1.xml"_s);
    if (!sheet)
        return std::nullopt;
    const QList<QString> strings = SharedStrings(Part(zip, u"xl/sharedStrings.xml"_s).value_or(QByteArray()));
    const QList<QString> styles = StyleFormats(Part(zip, u"xl/styles.xml"_s).value_or(QByteArray()));
    QJsonObject cells;
    QXmlStreamReader xml(*sheet);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"c"_s)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        struct
        {
            QString type, text, format;
        } cell;
        const QString ref = attributes.value(u"r"_s).toString();
        cell.type = attributes.hasAttribute(u"t"_s) ? attributes.value(u"t"_s).toString() : u"n"_s;
        cell.format = styles.value(attributes.value(u"s"_s).toInt(), u"General"_s);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"v"_s)
                cell.text = xml.readElementText();
            else if (xml.isStartElement() && xml.name() == u"is"_s)
                cell.text = RunsText(xml, u"is"_s);
            else if (xml.isEndElement() && xml.name() == u"c"_s)
                break;
        }
        if (cell.type == u"s"_s)
            cell.text = strings.value(cell.text.toInt());
        cells.insert(ref, QJsonObject { { u"t"_s, cell.type }, { u"v"_s, cell.text }, { u"f"_s, cell.format } });
    }
    if (xml.hasError())
        return std::nullopt;
    return cells;
}

bool XlsxPartsWellFormed(const QString &path)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return false;
    for (const QString &name : zip.getFileNameList())
        if (name.endsWith(u".xml"_s) || name.endsWith(u".rels"_s))
            if (!WellFormed(Part(zip, name).value_or(QByteArray("<"))))
                return false;
    return true;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 64;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const std::optional<QJsonObject> cells = SheetCells(path);
    if (!cells)
        return 1;
    const QJsonObject out { { u"wellFormed"_s, XlsxPartsWellFormed(path) }, { u"cells"_s, *cells } };
    const QByteArray json = QJsonDocument(out).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}

#include "app/StatusLine.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

using namespace Qt::StringLiterals;

TLinkState::Kind TLinkState::kindFor(const TStructSetting &settings) const
{
    const bool same = port == settings.PortSett.Name && speed == settings.PortSett.Speed && numKkt == settings.NumKKT;
    return same ? kind : Kind::Unchecked;
}

TStatusLine::TStatusLine(QStatusBar *bar)
    : QObject(bar)
    , m_port(new QLabel(bar))
    , m_link(new QLabel(bar))
    , m_file(new QLabel(bar))
    , m_note(new QLabel(bar))
{
    m_port->setObjectName(u"StatusPort"_s);
    m_link->setObjectName(u"StatusLink"_s);
    m_file->setObjectName(u"StatusFile"_s);
    m_note->setObjectName(u"StatusNote"_s);
    for (QLabel *label : { m_port, m_link, m_file })
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    bar->addWidget(m_port);
    bar->addWidget(m_link);
    bar->addWidget(m_file, 1);
    bar->addPermanentWidget(m_note);
}

void TStatusLine::note(const QString &text)
{
    m_note->setText(text);
}

void TStatusLine::show(const TStructSetting &settings, const TLinkState &link, const QString &configFile)
{
    m_port->setText(PortText(settings));
    m_link->setText(LinkText(settings, link));
    m_file->setText(FileText(configFile));
    m_file->setToolTip(QDir::toNativeSeparators(configFile));
}

QString TStatusLine::PortText(const TStructSetting &settings)
{
    if (settings.PortSett.Name.isEmpty())
        return u"Порт ККТ не выбран"_s;
    return u"Порт %1, %2 бод, ККТ № %3"_s.arg(settings.PortSett.Name).arg(settings.PortSett.Speed).arg(settings.NumKKT);
}

QString TStatusLine::LinkText(const TStructSetting &settings, const TLinkState &link)
{
    switch (link.kindFor(settings)) {
    case TLinkState::Kind::Up:
        return u"Связь есть (%1)"_s.arg(link.at.toString(u"HH:mm"_s));
    case TLinkState::Kind::Failed:
        return u"Нет связи (%1)"_s.arg(link.at.toString(u"HH:mm"_s));
    case TLinkState::Kind::Unchecked:
        break;
    }
    return u"Связь не проверена"_s;
}

QString TStatusLine::FileText(const QString &configFile)
{
    return configFile.isEmpty() ? u"Конфигурация не загружена"_s
                                : u"Конфигурация: %1"_s.arg(QFileInfo(configFile).fileName());
}

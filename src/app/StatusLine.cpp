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

namespace {
void SetText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setToolTip(text);
}
} // namespace

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
    // A text longer than the room there is (a larger font, a long file name)
    // is cut at its end and given whole as the tip, instead of widening the
    // window past the screen; the bar is as tall as its font needs.
    for (QLabel *label : { m_port, m_link, m_file, m_note }) {
        label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 4);
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    // The framed label's height (its text, a frame on each side) below the
    // bar's own spacing above its items; never under the designed 19.
    bar->setMinimumHeight(qMax(19, m_port->fontMetrics().height() + 9));
    bar->addWidget(m_port);
    bar->addWidget(m_link);
    bar->addWidget(m_file, 1);
    bar->addPermanentWidget(m_note);
}

void TStatusLine::note(const QString &text)
{
    SetText(m_note, text);
}

void TStatusLine::show(const TStructSetting &settings, const TLinkState &link, const QString &configFile)
{
    SetText(m_port, PortText(settings));
    SetText(m_link, LinkText(settings, link));
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

#include "app/StartHint.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TStartHint::TStartHint(QWidget *parent)
    : QWidget(parent)
    , m_text(new QLabel(this))
    , m_button(new QPushButton(u"Связь с ККТ…"_s, this))
    , m_gsm(new QPushButton(u"Параметры GSM"_s, this))
    , m_set102(new QPushButton(u"Параметры 102"_s, this))
{
    setObjectName(u"StartHint"_s);
    m_text->setObjectName(u"StartHintText"_s);
    m_text->setWordWrap(true);
    // One line where there is room for it; wrapped on a narrow screen.
    m_text->setMinimumWidth(qMin(m_text->fontMetrics().averageCharWidth() * 60, 420));
    m_text->setMaximumWidth(m_text->fontMetrics().averageCharWidth() * 110);
    m_button->setObjectName(u"StartHintButton"_s);
    connect(m_button, &QPushButton::clicked, this, &TStartHint::openConnection);
    m_gsm->setObjectName(u"StartHintGsm"_s);
    m_set102->setObjectName(u"StartHintSet102"_s);
    connect(m_gsm, &QPushButton::clicked, this, &TStartHint::openGsm);
    connect(m_set102, &QPushButton::clicked, this, &TStartHint::openSet102);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_text);
    row->addWidget(m_button);
    row->addWidget(m_set102);
    row->addWidget(m_gsm);
    row->addStretch(1);
    auto *column = new QVBoxLayout(this);
    column->addStretch(1);
    column->addLayout(row);
    column->addStretch(2);
}

void TStartHint::describe(bool firstStart, bool programming)
{
    if (programming)
        m_text->setText(u"Откройте «Программирование» → «Параметры 102» или «Параметры GSM», чтобы прочитать "
                        "или записать параметры ККТ."_s);
    else if (firstStart)
        m_text->setText(u"Сначала выберите порт ККТ и скорость: «Настройки» → «Связь с ККТ» "
                        "(кнопка «Найти ККТ» найдёт их сама), затем «Применить»."_s);
    else
        m_text->setText(u"Чтобы открыть меню «Программирование», проверьте связь в «Связь с ККТ» "
                        "и нажмите «Применить»."_s);
    m_button->setVisible(!programming);
    m_gsm->setVisible(programming);
    m_set102->setVisible(programming);
}

QString TStartHint::text() const
{
    return m_text->text();
}

#include "app/pages/Shape.h"

#include <QPainter>

TShape::TShape(QWidget *parent)
    : QWidget(parent)
{ }

void TShape::setBrushColor(const QColor &color)
{
    if (m_brush == color)
        return;
    m_brush = color;
    update();
}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(m_brush);
    painter.drawEllipse(rect().adjusted(0, 0, -1, -1));
}

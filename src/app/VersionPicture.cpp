#include "app/VersionPicture.h"

#include "app/BoxLook.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace {
using BoxLook::kNavy;
const QColor kSteel(96, 110, 140);

void DrawReceipt(QPainter &p, const QRectF &r)
{
    QPainterPath paper;
    paper.moveTo(r.bottomLeft());
    paper.lineTo(r.topLeft());
    // A torn edge at the top.
    const int teeth = 6;
    const qreal step = r.width() / teeth;
    for (int i = 0; i < teeth; ++i) {
        paper.lineTo(r.left() + step * (i + 0.5), r.top() - 3);
        paper.lineTo(r.left() + step * (i + 1), r.top());
    }
    paper.lineTo(r.bottomRight());
    p.setPen(QPen(kSteel, 1));
    p.setBrush(Qt::white);
    p.drawPath(paper);
    p.setPen(QPen(QColor(170, 170, 190), 1));
    for (qreal y = r.top() + 6; y < r.bottom() - 2; y += 5)
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
}

void DrawRegister(QPainter &p, const QRectF &body)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(body, 6, 6);
    // Display.
    const QRectF display(body.left() + 8, body.top() + 7, body.width() * 0.55, 16);
    p.setBrush(QColor(40, 160, 90));
    p.drawRoundedRect(display, 2, 2);
    p.setPen(Qt::white);
    QFont font(u"DejaVu Sans Mono"_s);
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(display.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, u"0.00"_s);
    // Keys.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 225, 240));
    const qreal keyTop = display.bottom() + 6;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 5; ++col)
            p.drawRoundedRect(QRectF(body.left() + 8 + col * 12, keyTop + row * 9, 9, 6), 1.5, 1.5);
}

void DrawAntenna(QPainter &p, const QPointF &foot)
{
    const QPointF tip(foot.x(), foot.y() - 26);
    p.setPen(QPen(kNavy, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(foot, tip);
    p.setBrush(QColor(230, 60, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(tip, 3.5, 3.5);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        p.setPen(QPen(QColor(230, 60, 40, 255 - i * 55), 2));
        const QRectF arc(tip.x() - 6 * i, tip.y() - 6 * i, 12 * i, 12 * i);
        p.drawArc(arc, -40 * 16, 80 * 16);
        p.drawArc(arc, 140 * 16, 80 * 16);
    }
}
} // namespace

QPixmap DrawVersionPicture(const QSize &size)
{
    QPixmap picture(size);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF body(20, 30, 104, 54);
    DrawReceipt(p, QRectF(body.left() + 18, 8, 42, 26));
    DrawRegister(p, body);
    DrawAntenna(p, QPointF(body.right() - 16, body.top()));

    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kNavy);
    p.drawText(
        QRectF(body.right() + 4, body.top() + 10, size.width() - body.right() - 6, 20), Qt::AlignCenter, u"GSM"_s);
    return picture;
}

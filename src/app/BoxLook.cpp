#include "app/BoxLook.h"

#include <QWidget>

void SetBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    // A box of fixed colours brings its own text colour: the user's palette
    // may be dark, with light text that a white box would swallow.
    palette.setColor(QPalette::WindowText, BoxLook::kText);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void SetFontPixels(QWidget *widget, int pixels, bool bold)
{
    QFont font = widget->font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    widget->setFont(font);
}

#include "app/KktApplication.h"

#include "ui/Prompts.h"

#include <QFont>

using namespace Qt::StringLiterals;

KktApplication::KktApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The windows are laid out to the pixel for an 8-point interface font.
    QFont interfaceFont = font();
    interfaceFont.setPointSize(8);
    setFont(interfaceFont);
}

bool KktApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowException(e);
    } catch (...) {
        Prompts::instance().error(activeWindow(), u"Неизвестная ошибка."_s);
    }
    // The error was the command's answer to this event; nobody else is to take it.
    event->accept();
    return true;
}

void KktApplication::ShowException(const std::exception &e, QWidget *parent)
{
    Prompts::instance().error(parent ? parent : activeWindow(), QString::fromUtf8(e.what()));
}

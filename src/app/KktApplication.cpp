#include "app/KktApplication.h"

#include "ui/Prompts.h"

#include <exception>

using namespace Qt::StringLiterals;

KktApplication::KktApplication(int &argc, char **argv) : QApplication(argc, argv) { }

bool KktApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowException(e);
    } catch (...) {
        Prompts::instance().error(activeWindow(), u"Неизвестная ошибка."_s);
    }
    return false;
}

void KktApplication::ShowException(const std::exception &e)
{
    Prompts::instance().error(activeWindow(), QString::fromUtf8(e.what()));
}

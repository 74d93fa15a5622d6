#include "app/KktApplication.h"

#include "ui/Prompts.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

KktApplication::KktApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The windows are laid out to the pixel for an 8-point interface font.
    QFont interfaceFont = font();
    interfaceFont.setPointSize(8);
    setFont(interfaceFont);
    // Debian keeps them in qt6-translations-l10n.
    LoadQtTranslations(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool KktApplication::LoadQtTranslations(const QString &folder)
{
    // The program speaks Russian whatever the system's language.
    auto *translator = new QTranslator(this);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), u"qtbase"_s, u"_"_s, folder)) {
        delete translator;
        return false;
    }
    installTranslator(translator);
    return true;
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

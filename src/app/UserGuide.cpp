#include "app/UserGuide.h"

#include "ui/Prompts.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace UserGuide {
namespace {
const QString kPage = u"guide.html"_s;
} // namespace

QStringList Places(const QString &appFolder)
{
    const QDir app(appFolder);
    return { QDir::cleanPath(app.filePath(u"../share/doc/kktconf/"_s + kPage)),
        QDir::cleanPath(app.filePath(u"doc/"_s + kPage)), u"/usr/share/doc/kktconf/"_s + kPage };
}

QString Find(const QString &appFolder)
{
    for (const QString &place : Places(appFolder))
        if (QFileInfo(place).isFile())
            return place;
    return {};
}

void Open(QWidget *parent, const QString &appFolder)
{
    const QString page = Find(appFolder);
    if (page.isEmpty()) {
        QStringList places;
        for (const QString &place : Places(appFolder))
            places << QDir::toNativeSeparators(place);
        Prompts::instance().information(parent,
            u"ВНИМАНИЕ!\r\nРуководство пользователя не найдено.\r\nОно должно быть в одном из мест:\r\n"_s
                + places.join(u"\r\n"_s));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        Prompts::instance().information(parent,
            u"ВНИМАНИЕ!\r\nНе удалось открыть руководство пользователя \"%1\": в системе не выбрана программа "
            u"для просмотра страниц HTML. Откройте этот файл в браузере."_s.arg(QDir::toNativeSeparators(page)));
}

void AddMenu(QMenuBar *bar, QWidget *window)
{
    QMenu *help = bar->addMenu(u"Справка"_s);
    help->setObjectName(u"HelpMenu"_s);
    help->menuAction()->setObjectName(u"HelpMenu"_s);
    auto *guide = new QAction(u"Руководство"_s, help);
    guide->setObjectName(u"ActionGuide"_s);
    guide->setShortcut(QKeySequence::HelpContents);
    // F1 from anywhere in the window, the grids' editors included.
    guide->setShortcutContext(Qt::WindowShortcut);
    window->addAction(guide);
    help->addAction(guide);
    QObject::connect(
        guide, &QAction::triggered, window, [window] { Open(window, QCoreApplication::applicationDirPath()); });
}
} // namespace UserGuide

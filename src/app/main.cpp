#include "app/KktApplication.h"
#include "app/MainForm.h"
#include "app/SessionEnd.h"
#include "config/HeapTuning.h"

#include <QIcon>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    KeepFreedMemory();
    KktApplication app(argc, argv);
    // The desktop entry the window belongs to, and our own icon: the theme's
    // when installed, else the one built in.
    QGuiApplication::setDesktopFileName(u"ru.kktconf.kktconf"_s);
    QIcon builtIn;
    for (int size : { 16, 32, 48, 64, 256 })
        builtIn.addFile(u":/icons/kktconf-%1.png"_s.arg(size));
    QApplication::setWindowIcon(QIcon::fromTheme(u"kktconf"_s, builtIn));
    TFormMain FormMain;
    // A kill, a logout or a closed terminal: settings and unsaved edits kept, no question asked.
    TSessionEnd sessionEnd;
    FormMain.WatchSessionEnd(sessionEnd);
    FormMain.show();
    return app.exec();
}

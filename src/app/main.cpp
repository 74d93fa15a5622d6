#include "app/KktApplication.h"
#include "app/MainForm.h"

#include <QTimer>

int main(int argc, char *argv[])
{
    KktApplication app(argc, argv);
    TFormMain FormMain;
    FormMain.show();
    // Hook for scripts/screenshots.sh: open the connection settings once the window is up.
    if (qEnvironmentVariableIsSet("KKTCONF_SCREENSHOT_DIALOG"))
        QTimer::singleShot(500, &FormMain, &TFormMain::N4Click);
    return app.exec();
}

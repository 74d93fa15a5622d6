#include "app/KktApplication.h"
#include "app/MainForm.h"
#include "config/HeapTuning.h"

int main(int argc, char *argv[])
{
    KeepFreedMemory();
    KktApplication app(argc, argv);
    TFormMain FormMain;
    FormMain.show();
    return app.exec();
}

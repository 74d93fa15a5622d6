#include "app/KktApplication.h"
#include "app/MainForm.h"

int main(int argc, char *argv[])
{
    KktApplication app(argc, argv);
    TFormMain FormMain;
    FormMain.show();
    return app.exec();
}

#include "app/service/ServiceWindow.h"

ServiceWindow::ServiceWindow(
    const QString &objectName, const QString &caption, const QSize &clientSize, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setFixedSize(clientSize);
    setAttribute(Qt::WA_QuitOnClose, false);
}

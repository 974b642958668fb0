#include "WM_GETOBJECT_Filter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.installNativeEventFilter(new WM_GETOBJECT_Filter);
    app.exec();
    return 0;
}

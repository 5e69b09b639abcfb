// The program's entry: hands control to the Qt event loop, which runs until the
// last window has been unloaded.
#include "main/form1.h"
#include "toolkit/toolkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(toolkit::applicationTitle());

    toolkit::form<Form1>().Show();
    return app.exec();
}

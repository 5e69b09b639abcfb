// The program's entry: runs the start-up procedure, then hands control to the
// Qt event loop, which runs until the last window has been unloaded.
#include "about/startup.h"
#include "toolkit/toolkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(toolkit::applicationTitle());

    startUp();
    return app.exec();
}

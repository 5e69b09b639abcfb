// The program's entry: answers --help and --version, runs the start-up
// procedure, then hands control to the Qt event loop, which runs until the
// last window has been unloaded.
#include "about/startup.h"
#include "commandline.h"
#include "toolkit/toolkit.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    const bool every = asksForEverySolution(argc, argv);

    auto displayGuard = std::make_unique<DisplayGuard>();
    QApplication app(argc, argv);
    displayGuard.reset();
    QApplication::setApplicationName(QString::fromStdString(toolkit::applicationTitle()));

    if (every)
        startWithEverySolution();
    else
        startUp();
    return app.exec();
}

// The program's entry on Windows: runs the start-up procedure, then the
// message loop, which runs until the last window has been unloaded. The
// manifest in its resource asks for per-monitor DPI awareness and version 6
// of the common controls. A GUI program has no console to answer --help or
// --version on.
#include "about/startup.h"
#include "toolkit/win32/eventloop.h"

int main()
{
    startUp();
    return toolkit::win32::runEventLoop();
}

// The program's entry on Windows: runs the start-up procedure, then the
// message loop, which runs until the last window has been unloaded. A GUI
// program has no console to answer --help or --version on.
#include "about/startup.h"
#include "toolkit/win32/eventloop.h"

#include <windows.h>

int main()
{
    // The manifest asks for per-monitor density awareness; this covers a
    // copy started without it, and fails harmlessly where it is set.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    startUp();
    return toolkit::win32::runEventLoop();
}

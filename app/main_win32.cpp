// The program's entry on Windows: runs the start-up procedure, then the
// message loop, which runs until the last window has been unloaded. The
// manifest in its resource asks for per-monitor DPI awareness and version 6
// of the common controls. A GUI program has no console to answer --help or
// --version on.
#include "about/startup.h"
#include "toolkit/win32/eventloop.h"

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace {

// Whether the only argument asks for the every-solution window, as the
// Start menu's second shortcut does: --every, or /every in Windows' manner,
// in any case. Anything else starts the program as usual.
bool everySolutionAsked()
{
    int count = 0;
    LPWSTR *arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return false;
    bool asked = false;
    if (count == 2) {
        const std::wstring_view argument = arguments[1];
        for (const std::wstring_view option : {L"--every", L"/every"})
            asked = asked || CompareStringOrdinal(
                                 argument.data(), static_cast<int>(argument.size()), option.data(),
                                 static_cast<int>(option.size()), TRUE) == CSTR_EQUAL;
    }
    LocalFree(arguments);
    return asked;
}

} // namespace

int main()
{
    if (everySolutionAsked())
        startWithEverySolution();
    else
        startUp();
    return toolkit::win32::runEventLoop();
}

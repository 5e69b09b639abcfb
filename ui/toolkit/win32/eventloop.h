// The program's message loop on Windows, for its entry point.
#pragma once

namespace toolkit::win32 {

// Runs until the last window has been unloaded; the exit status.
int runEventLoop();

} // namespace toolkit::win32

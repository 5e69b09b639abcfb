// The program's message loop on Windows, for its entry point, and the one
// dispatcher every queued message goes through, for the loop and for the
// test input alike.
#pragma once

#include <windows.h>

namespace toolkit::win32 {

// Runs until the last window has been unloaded; the exit status.
int runEventLoop();

// One message of the queue, the way the event loop handles it: keyboard
// navigation in the program's windows first (Tab, Shift+Tab, Enter), then
// the window procedure of the window or control it is for.
void dispatch(MSG &message);

// The window that runs the work posted to the event loop, from any thread.
// Made on the windows' thread by the first call, which initialize() makes.
HWND tasksWindow();

} // namespace toolkit::win32

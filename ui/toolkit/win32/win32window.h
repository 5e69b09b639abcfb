// What the backend's test input needs from the windows it made: their
// handles, their controls by handle, and the message dispatch of the event
// loop, so that test input takes the same way as the user's.
#pragma once

#include "toolkit/toolkit.h"

#include <windows.h>

namespace toolkit::win32 {

HWND windowHandle(const Form &form);
HWND controlHandle(const Control &control);
Control *controlOf(const Form &form, HWND handle);
// The density the window is laid out for, in dots per inch.
int dpiOf(const Form &form);
// The font the control draws its text in.
HFONT fontOf(const Control &control);

// One message of the queue, the way the event loop handles it: keyboard
// navigation in the program's windows first (Tab, Shift+Tab, Enter).
void dispatch(MSG &message);

// Starts what the backend needs before the first window: the common
// controls, the window classes.
void initialize();

} // namespace toolkit::win32

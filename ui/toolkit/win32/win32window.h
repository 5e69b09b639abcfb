// What the backend's test input needs from the windows it made: their
// handles and their controls by handle; and what the event loop's dispatcher
// needs to know of them.
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
// The id of the window's command, by its index in the design, in the context
// menu of its control.
UINT commandId(std::size_t command);

// Whether a top-level window is one of the program's windows, which the
// dialog manager navigates.
bool isFormWindow(HWND handle);

// Starts what the backend needs before the first window: the common
// controls, the window classes.
void initialize();

} // namespace toolkit::win32

// The page's side of a loaded window, for this backend's test input and its
// own tests: each window and control is known to the page by an id.
#pragma once

#include "toolkit/toolkit.h"

#include <string>

namespace toolkit::web {

// The id under which the page knows a loaded window, and a control's index
// in its window's table.
int windowId(const Form &form);
int windowId(const Control &control);
int controlIndex(const Control &control);
// The element ids: the window's designed name, and "window-control".
std::string elementId(const Form &form);
std::string elementId(const Form &form, const Control &control);

// Marks the program as the page's: from now on, unloading the last window
// ends it, and the page says so. Tests, which open and close windows
// themselves, never call it.
void runInPage();

// Hands the answer that job `job` has from the page to whoever started it,
// if it still stands (job.cpp).
void answerJob(int job);

} // namespace toolkit::web

// The Qt widgets behind a window and its controls, for this backend's own
// tests of how it draws, and for its test input.
#pragma once

#include "toolkit/toolkit.h"

#include <QIcon>

class QWidget;

namespace toolkit::qt {

// The top-level widget of a loaded window.
QWidget *widget(const Form &form);
// The widget of a control.
QWidget *widget(const Control &control);
// The control of a loaded window that `widget` is, if any.
Control *controlOf(const Form &form, const QWidget *widget);

// The program icon, built in.
QIcon applicationIcon();

} // namespace toolkit::qt

// Fonts for the Qt backend: the designed faces where they are installed (on
// Windows), the nearest installed faces elsewhere.
#pragma once

#include "toolkit/toolkit.h"

#include <QFont>
#include <QStringList>

namespace toolkit::qt {

// A designed font: its faces, then the stand-ins of its kind, those that are
// installed, the first of them drawing and the others filling in characters
// it lacks.
QFont font(const Font &font);

// The windows' default font: the classic 8-point dialog font their layouts
// were drawn for, whatever font the desktop uses, so every designed box holds
// its text.
QFont defaultFont();

} // namespace toolkit::qt

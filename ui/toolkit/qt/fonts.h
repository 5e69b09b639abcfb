// Fonts for the Qt backend: the designed faces where they are installed (on
// Windows), the nearest installed faces elsewhere.
#pragma once

#include "toolkit/toolkit.h"

#include <QFont>
#include <QStringList>

namespace toolkit::qt {

// A font in the first of `faces` that is installed, the others that are
// installed following it for characters it lacks. Faces that are missing are
// left out once and for all, so no font look-up ever asks for them again.
QFont fontFromFaces(const QStringList &faces, double points, int weight = 400);

// A designed font, its faces followed by the installed faces that stand in
// for them.
QFont font(const Font &font);

// The windows' default font: the classic 8-point dialog font their layouts
// were drawn for, whatever font the desktop uses, so every designed box holds
// its text.
QFont defaultFont();

} // namespace toolkit::qt

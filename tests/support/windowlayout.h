// The properties of a window's layout that every backend keeps at every
// screen density, checked on the window as drawn.
#pragma once

#include "toolkit/toolkit.h"

// Checks the loaded window `form` as it is on the screen: its client area is
// its designed size at the window's scale; every control stands where its
// design puts it, inside its window and its frame (a frame's border may be cut
// off by the window's edge, as far as its design has it and no further); no
// two controls overlap unless one is a frame around the other; and every text
// is whole in the font it is drawn in.
void checkLayout(const toolkit::Form &form);

// Fonts on the page: each designed face followed by the faces that stand in
// for it on the systems browsers run on.
#pragma once

#include "toolkit/toolkit.h"

#include <string>

namespace toolkit::web {

// A CSS font-family list for a designed font.
std::string fontFamily(const Font &font);

// The windows' default font: the 8-point dialog font their layouts were drawn
// for, whatever the browser's own default is.
const Font &defaultFont();

} // namespace toolkit::web

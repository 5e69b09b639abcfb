// Fonts by their designed faces, or the nearest installed stand-in, at the
// screen's density.
#pragma once

#include "handles.h"
#include "toolkit/toolkit.h"

#include <string>
#include <string_view>

namespace toolkit::win32 {

// The font of controls whose table gives none: the classic dialog font.
const Font &defaultFont();

// The face GDI is asked for: the first designed face that is installed as an
// outline font and has every character of `text`, else such a stand-in of its
// kind, else one with Chinese for a Western design with Chinese text, else
// the first installed face, else the designed face itself, for GDI's own
// mapper. Font linking would fill the gaps on Windows, but not for every
// control, weight or version of Wine: a face that has the characters does.
std::wstring installedFace(const Font &font, std::wstring_view text = {});

// Whether the face has a glyph for every visible character of `text`.
bool covers(const std::wstring &face, Charset charset, std::wstring_view text);

// Whether `face` is installed as an outline font covering `charset`.
bool isInstalled(const std::wstring &face, Charset charset);

BYTE gdiCharset(Charset charset);

UniqueFont createFont(const Font &font, double points, int dpi, std::wstring_view text = {});

} // namespace toolkit::win32

// The designed faces first, then, by the kind of face the design asks for,
// the faces that Windows, macOS and iOS, Linux and Android have, and the
// browser's generic family last. The browser takes the first that is
// installed and has the character, so Chinese text falls through to a
// Chinese face of the same kind.
#include "fonts.h"

#include "toolkit/backend.h"

namespace toolkit::web {

namespace {

// clang-format off
constexpr std::string_view sansStandIns[] = {
    "Microsoft Sans Serif", "Tahoma",                        // Windows
    "Helvetica Neue", "Helvetica",                           // macOS, iOS
    "Liberation Sans", "Arial", "DejaVu Sans",               // Linux
    "Roboto", "Noto Sans",                                   // Android
    // Chinese, for the characters the faces above lack, in the same order.
    "Microsoft YaHei", "SimSun", "PingFang SC", "Hiragino Sans GB",
    "Noto Sans CJK SC", "WenQuanYi Zen Hei", "Droid Sans Fallback"};
// Brush-written faces first, as the designed clerical script is one.
constexpr std::string_view clericalStandIns[] = {
    "STLiti", "KaiTi",                                       // Windows
    "Libian SC", "Baoli SC", "STKaiti", "Kaiti SC",          // macOS, iOS
    "AR PL UKai CN", "WenQuanYi Zen Hei",                    // Linux
    "Noto Serif CJK SC", "Noto Sans CJK SC"};                // Android
// clang-format on
constexpr backend::StandIns standIns[] = {
    {FaceKind::Sans, sansStandIns},
    {FaceKind::Clerical, clericalStandIns},
};

// The browser's own family of each kind, where no face above is installed.
std::string_view genericFamily(FaceKind kind)
{
    switch (kind) {
    case FaceKind::Sans:
        break;
    case FaceKind::Clerical:
        return "serif";
    }
    return "sans-serif";
}

} // namespace

std::string fontFamily(const Font &font)
{
    std::string family;
    for (const std::string_view face : backend::candidateFaces(font, standIns)) {
        family += '"';
        family += face;
        family += "\", ";
    }
    return family += genericFamily(font.kind);
}

const Font &defaultFont()
{
    static constexpr std::string_view faces[] = {"MS Sans Serif"};
    static const Font font{faces, FaceKind::Sans, 8};
    return font;
}

} // namespace toolkit::web

// The designed faces first, then, by the kind of face the design asks for,
// the faces that Windows, macOS and iOS, Linux and Android have, and the
// browser's generic family last. The browser takes the first that is
// installed and has the character, so Chinese text falls through to a
// Chinese face of the same kind.
#include "fonts.h"

#include <string_view>

namespace toolkit::web {

namespace {

struct StandIns {
    Charset kind;
    std::string_view faces;
};

// clang-format off
constexpr StandIns standIns[] = {
    {Charset::Western,
     // Windows; macOS, iOS; Linux; Android; then the Chinese faces of each.
     "\"Microsoft Sans Serif\", Tahoma, "
     "\"Helvetica Neue\", Helvetica, "
     "\"Liberation Sans\", Arial, \"DejaVu Sans\", "
     "Roboto, \"Noto Sans\", "
     "\"Microsoft YaHei\", SimSun, \"PingFang SC\", \"Hiragino Sans GB\", "
     "\"Noto Sans CJK SC\", \"WenQuanYi Zen Hei\", \"Droid Sans Fallback\", sans-serif"},
    {Charset::SimplifiedChinese,
     // Brush-written faces first, as the designed clerical script is one.
     "STLiti, \"Libian SC\", \"Baoli SC\", KaiTi, STKaiti, \"Kaiti SC\", "
     "\"AR PL UKai CN\", \"Noto Serif CJK SC\", \"Noto Sans CJK SC\", "
     "\"WenQuanYi Zen Hei\", serif"},
};
// clang-format on

} // namespace

std::string fontFamily(const Font &font)
{
    std::string family;
    for (const std::string_view face : font.faces) {
        family += '"';
        family += face;
        family += "\", ";
    }
    for (const StandIns &row : standIns) {
        if (row.kind == font.charset)
            family += row.faces;
    }
    return family;
}

const Font &defaultFont()
{
    static constexpr std::string_view faces[] = {"MS Sans Serif"};
    static const Font font{faces, 8};
    return font;
}

} // namespace toolkit::web

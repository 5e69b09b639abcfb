// Font faces as designed where installed. Where not, a stand-in of the same
// kind: "MS Sans Serif" is a bitmap font on current Windows (only a few sizes,
// none between), and "隶书" comes only with some Office versions; Wine has
// neither.
#include "fonts.h"

#include "toolkit/backend.h"
#include "unicode.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace toolkit::win32 {

namespace {

// The stand-ins of each kind of face, nearest first.
constexpr std::string_view sansStandIns[] = {"Microsoft Sans Serif", "Tahoma", "Arial",
                                             "Liberation Sans", "DejaVu Sans"};
// Brush-written faces first, as the designed clerical script is one.
constexpr std::string_view clericalStandIns[] = {
    "STLiti", "KaiTi", "楷体", "AR PL UKai CN", "Microsoft YaHei", "SimSun", "WenQuanYi Zen Hei"};
constexpr backend::StandIns standIns[] = {
    {FaceKind::Sans, sansStandIns},
    {FaceKind::Clerical, clericalStandIns},
};

// Faces with Chinese, for a text that no face of the design's kind has
// whole (a Western design with Chinese in it): the face a Chinese Windows
// draws such texts in first.
const std::vector<std::wstring> &facesWithChinese()
{
    static const std::vector<std::wstring> faces{L"SimSun", L"Microsoft YaHei",
                                                 L"WenQuanYi Zen Hei", L"AR PL UKai CN"};
    return faces;
}

int CALLBACK noteOutlineFont(const LOGFONTW *, const TEXTMETRICW *, DWORD fontType, LPARAM found)
{
    // A bitmap font comes in a few sizes only: texts set smaller to fit would
    // not get smaller.
    if (!(fontType & RASTER_FONTTYPE)) {
        *reinterpret_cast<bool *>(found) = true;
        return 0;
    }
    return 1;
}

} // namespace

const Font &defaultFont()
{
    static constexpr std::string_view faces[] = {"MS Shell Dlg", "Microsoft Sans Serif"};
    static const Font font{faces, FaceKind::Sans, 8};
    return font;
}

BYTE gdiCharset(Charset charset)
{
    return charset == Charset::SimplifiedChinese ? GB2312_CHARSET : ANSI_CHARSET;
}

bool isInstalled(const std::wstring &face, Charset charset)
{
    static std::map<std::pair<std::wstring, Charset>, bool> known;
    const auto key = std::make_pair(face, charset);
    if (const auto found = known.find(key); found != known.end())
        return found->second;

    LOGFONTW wanted{};
    wanted.lfCharSet = gdiCharset(charset);
    if (face.size() >= LF_FACESIZE)
        return known[key] = false;
    face.copy(wanted.lfFaceName, face.size());
    bool found = false;
    const WindowDc dc = windowDc(nullptr);
    EnumFontFamiliesExW(dc.get(), &wanted, noteOutlineFont, reinterpret_cast<LPARAM>(&found), 0);
    return known[key] = found;
}

bool covers(const std::wstring &face, Charset charset, std::wstring_view text)
{
    std::wstring drawn;
    for (const wchar_t c : text) {
        if (c > L' ')
            drawn.push_back(c);
    }
    if (drawn.empty())
        return true;
    LOGFONTW wanted{};
    wanted.lfHeight = -16;
    wanted.lfCharSet = gdiCharset(charset);
    face.copy(wanted.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    const UniqueFont font(CreateFontIndirectW(&wanted));
    const WindowDc dc = windowDc(nullptr);
    const SelectObjectGuard selected(dc.get(), font.get());
    std::vector<WORD> glyphs(drawn.size());
    if (GetGlyphIndicesW(dc.get(), drawn.c_str(), static_cast<int>(drawn.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return false;
    return std::find(glyphs.begin(), glyphs.end(), 0xFFFF) == glyphs.end();
}

std::wstring installedFace(const Font &font, std::wstring_view text)
{
    std::vector<std::wstring> candidates;
    for (const std::string_view face : backend::candidateFaces(font, standIns))
        candidates.push_back(widen(face));
    std::optional<std::wstring> firstInstalled;
    for (const std::wstring &face : candidates) {
        if (!isInstalled(face, font.charset))
            continue;
        if (covers(face, font.charset, text))
            return face;
        if (!firstInstalled)
            firstInstalled = face;
    }
    // No face of its kind has every character: one that has them, where the
    // font at hand would leave gaps in the text.
    for (const std::wstring &face : facesWithChinese()) {
        if (isInstalled(face, Charset::Western) && covers(face, font.charset, text))
            return face;
    }
    if (firstInstalled)
        return *firstInstalled;
    return candidates.empty() ? std::wstring() : candidates.front();
}

UniqueFont createFont(const Font &font, double points, int dpi, std::wstring_view text)
{
    static std::map<std::tuple<std::vector<std::string>, FaceKind, Charset, std::wstring>,
                    std::wstring>
        faces;
    auto &face = faces[{std::vector<std::string>(font.faces.begin(), font.faces.end()), font.kind,
                        font.charset, std::wstring(text)}];
    if (face.empty())
        face = installedFace(font, text);
    // A negative height asks for the character height, which is what a point
    // size measures.
    const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
    return UniqueFont(CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                                  gdiCharset(font.charset), OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

} // namespace toolkit::win32

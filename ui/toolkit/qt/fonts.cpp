// Designed faces and their stand-ins.
#include "fonts.h"

#include "toolkit/backend.h"

#include <QFontDatabase>
#include <QHash>

#include <optional>

namespace toolkit::qt {

namespace {

// The stand-ins of each kind of face, nearest first.
constexpr std::string_view sansStandIns[] = {"Microsoft Sans Serif", "Liberation Sans", "Arial",
                                             "DejaVu Sans", "WenQuanYi Zen Hei"};
// Brush-written CJK faces first, as the designed clerical script is one.
constexpr std::string_view clericalStandIns[] = {"STLiti", "AR PL UKai CN", "KaiTi",
                                                 "WenQuanYi Zen Hei"};
constexpr backend::StandIns standIns[] = {
    {FaceKind::Sans, sansStandIns},
    {FaceKind::Clerical, clericalStandIns},
};

// What Qt is told to look for where none of the faces is installed either;
// nothing, for a kind its style hints do not name.
std::optional<QFont::StyleHint> styleHint(FaceKind kind)
{
    switch (kind) {
    case FaceKind::Sans:
        return QFont::SansSerif;
    case FaceKind::Clerical:
        break;
    }
    return std::nullopt;
}

// A font in the first of `faces` that is installed, the others that are
// installed following it for characters it lacks. Faces that are missing are
// left out once and for all, so no font look-up ever asks for them again.
QFont fontFromFaces(const QStringList &faces, double points, int weight)
{
    static QHash<QStringList, QStringList> installed;
    auto known = installed.constFind(faces);
    if (known == installed.cend()) {
        QStringList found;
        for (const QString &face : faces) {
            if (QFontDatabase::hasFamily(face))
                found << face;
        }
        known = installed.insert(faces, found);
    }
    QFont font;
    if (!known->isEmpty())
        font.setFamilies(*known);
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    return font;
}

} // namespace

QFont font(const Font &designed)
{
    QStringList faces;
    for (const std::string_view face : backend::candidateFaces(designed, standIns))
        faces << QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
    QFont font = fontFromFaces(faces, designed.points, designed.weight);
    if (const auto hint = styleHint(designed.kind))
        font.setStyleHint(*hint);
    return font;
}

QFont defaultFont()
{
    static constexpr std::string_view faces[] = {"MS Sans Serif"};
    return font(Font{faces, FaceKind::Sans, 8});
}

} // namespace toolkit::qt

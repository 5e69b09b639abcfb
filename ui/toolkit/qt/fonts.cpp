// Designed faces and their stand-ins.
#include "fonts.h"

#include <QFontDatabase>
#include <QHash>

namespace toolkit::qt {

namespace {

// The sans face the windows were drawn with, and its nearest relatives.
const QStringList &sansFaces()
{
    static const QStringList faces{
        QStringLiteral("MS Sans Serif"),   QStringLiteral("Microsoft Sans Serif"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
        QStringLiteral("DejaVu Sans"),     QStringLiteral("WenQuanYi Zen Hei")};
    return faces;
}

// The calligraphic face of the version label, then the calligraphic CJK faces
// that stand in where it is missing (anywhere but on Windows).
const QStringList &calligraphicFaces()
{
    static const QStringList faces{QStringLiteral("隶书"),   QStringLiteral("LiSu"),
                                   QStringLiteral("STLiti"), QStringLiteral("AR PL UKai CN"),
                                   QStringLiteral("KaiTi"),  QStringLiteral("WenQuanYi Zen Hei")};
    return faces;
}

} // namespace

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

QFont font(const Font &designed)
{
    QStringList faces;
    for (const std::string_view face : designed.faces)
        faces << QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
    const bool sans = sansFaces().contains(faces.value(0));
    const QStringList &standIns = sans ? sansFaces() : calligraphicFaces();
    if (sans || standIns.contains(faces.value(0))) {
        for (const QString &face : standIns) {
            if (!faces.contains(face))
                faces << face;
        }
    }
    QFont font = fontFromFaces(faces, designed.points, designed.weight);
    if (sans)
        font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont defaultFont()
{
    static constexpr std::string_view faces[] = {"MS Sans Serif"};
    return font(Font{faces, FaceKind::Sans, 8});
}

} // namespace toolkit::qt

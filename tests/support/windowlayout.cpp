// The layout properties of the windows, written once for every backend and
// every screen density. Everything expected is worked out from the window's
// own design, so the checks hold for any layout a window is given.
#include "windowlayout.h"

#include "toolkit/testing.h"

#include <doctest/doctest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

using toolkit::ControlKind;
using toolkit::ControlSpec;
using toolkit::Twips;
using toolkit::testing::PixelBox;

namespace toolkit::testing {

doctest::String toString(const PixelBox &box)
{
    std::ostringstream text;
    text << '{' << box.left << ", " << box.top << ", " << box.width << " x " << box.height << '}';
    return text.str().c_str();
}

} // namespace toolkit::testing

namespace {

template <typename Box> auto right(const Box &box)
{
    return box.left + box.width;
}

template <typename Box> auto bottom(const Box &box)
{
    return box.top + box.height;
}

bool overlap(const PixelBox &a, const PixelBox &b)
{
    return a.left < right(b) && b.left < right(a) && a.top < bottom(b) && b.top < bottom(a);
}

bool contains(const PixelBox &outer, const PixelBox &inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && right(inner) <= right(outer) &&
           bottom(inner) <= bottom(outer);
}

// A control's designed box from the top left corner of the window's client
// area, where a control in a frame is designed from the frame's.
Twips inWindow(const toolkit::Form &form, const ControlSpec &control)
{
    Twips place = control.place;
    if (!control.container.empty()) {
        const Twips &frame = form.design().controls[form.indexOf(control.container)].place;
        place.left += frame.left;
        place.top += frame.top;
    }
    return place;
}

// Twips in device pixels at a scale: 15 twips to a pixel at 96 DPI.
double devicePixels(int twips, double scale)
{
    return twips / 15.0 * scale;
}

// Each edge of a drawn box within a pixel at 96 DPI of its design: the
// backends round each step to whole pixels.
void checkPlace(const PixelBox &box, const Twips &designed, double scale)
{
    const auto off = [&](int pixels, int twips) {
        return std::abs(pixels - devicePixels(twips, scale));
    };
    CHECK(off(box.left, designed.left) <= scale);
    CHECK(off(box.top, designed.top) <= scale);
    CHECK(off(right(box), right(designed)) <= scale);
    CHECK(off(bottom(box), bottom(designed)) <= scale);
}

// How far beyond each side of a bound a box may reach, in device pixels.
struct Reach {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

void checkInside(const PixelBox &box, const PixelBox &bound, const Reach &reach = {})
{
    CHECK(box.left >= bound.left - reach.left);
    CHECK(box.top >= bound.top - reach.top);
    CHECK(right(box) <= right(bound) + reach.right);
    CHECK(bottom(box) <= bottom(bound) + reach.bottom);
}

// A frame may be cut off by its window's edge, where its design has it so
// (its border only: what stands in it is held inside the window); as far as
// designed, give or take rounding.
Reach designedOverhang(const ControlSpec &frame, const Twips &designed,
                       const toolkit::FormSpec &window, double scale)
{
    if (frame.kind != ControlKind::Frame)
        return {};
    const auto beyond = [&](int twips) {
        return twips > 0 ? devicePixels(twips, scale) + scale : 0.0;
    };
    return {beyond(-designed.left), beyond(-designed.top), beyond(right(designed) - window.width),
            beyond(bottom(designed) - window.height)};
}

} // namespace

void checkLayout(const toolkit::Form &form)
{
    namespace testing = toolkit::testing;
    const toolkit::FormSpec &design = form.design();
    const double scale = testing::scale(form);
    CAPTURE(design.name);
    CAPTURE(scale);

    // The designed client area, whole pixels rounded either way.
    const PixelBox client = testing::clientArea(form);
    CHECK(std::abs(client.width - devicePixels(design.width, scale)) < 1);
    CHECK(std::abs(client.height - devicePixels(design.height, scale)) < 1);

    std::vector<PixelBox> boxes;
    for (std::size_t i = 0; i < design.controls.size(); ++i)
        boxes.push_back(testing::box(form.controlAt(i)));
    const auto framed = [&](std::size_t outer, std::size_t inner) {
        return design.controls[outer].kind == ControlKind::Frame &&
               contains(boxes[outer], boxes[inner]);
    };

    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const ControlSpec &control = design.controls[i];
        const Twips designed = inWindow(form, control);
        CAPTURE(control.name);
        CAPTURE(boxes[i]);
        checkPlace(boxes[i], designed, scale);
        checkInside(boxes[i], client, designedOverhang(control, designed, design, scale));
        if (!control.container.empty())
            checkInside(boxes[i], boxes[form.indexOf(control.container)]);
        for (std::size_t j = i + 1; j < design.controls.size(); ++j) {
            if (!overlap(boxes[i], boxes[j]))
                continue;
            CAPTURE(design.controls[j].name);
            CAPTURE(boxes[j]);
            CHECK((framed(i, j) || framed(j, i)));
        }

        // Whole: no line of the text wider than the room inside the box.
        const toolkit::Control &drawn = form.controlAt(i);
        const std::string text = drawn.text();
        if (text.empty())
            continue;
        CAPTURE(text);
        CHECK(testing::textWidth(drawn) <= testing::innerWidth(drawn));
    }
}

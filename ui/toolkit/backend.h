// What a backend implements: the windows and controls of its toolkit, built
// from a window's table, and the few application-wide calls. Exactly one
// backend is linked into a program; the windows never include this file.
#pragma once

#include "shell.h"
#include "toolkit.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit::backend {

// A loaded window: the native window and its controls, in table order.
class Window
{
public:
    virtual ~Window() = default;

    virtual void show() = 0;
    // Hides the window at once; the object is destroyed later.
    virtual void hide() = 0;
    virtual NativeHandle handle() const = 0;
    virtual Control &control(std::size_t index) = 0;
    virtual Timer &timer(std::size_t index) = 0;
    // Starts the timers, which then report through Form::raiseTimer.
    virtual void startTimers() = 0;
};

// Creates the native window of `form` and its controls from form.design(), with
// the events routed to the form. The window is not shown yet.
std::unique_ptr<Window> createWindow(Form &form);

// Runs `task` once control is back in the event loop. Any thread may post.
void post(std::function<void()> task);

// Starts work away from the windows (see toolkit::startJob). The desktops'
// backends share one on threads (threadjob.cpp).
std::unique_ptr<Job> startJob(const Work &work, std::string request,
                              std::function<void(std::string answer)> done);

// Ends the event loop, if one is running: the last window has gone.
void quit();

// The real warning box and shell request, and the version numbers.
void showWarning(std::string_view title, std::string_view prompt);
// Only ever asked for an http, https or mailto address, the scheme written out.
bool openDocument(const ShellRequest &request);
AppVersion versionNumbers();

// The scheme of an address, in lower case, or nothing for a host name with or
// without a port ("www.example.com", "localhost:8000/path").
std::string schemeOf(std::string_view address);

// A backend's installed faces that stand in for one kind of designed face,
// nearest first. Each backend keeps one table of these, a row for every kind.
struct StandIns {
    FaceKind kind;
    std::span<const std::string_view> faces;
};

// The faces a backend tries for `font`, in order: the designed faces, then the
// stand-ins of the font's kind in `table`, each face once. The backend draws
// in the first of them that is installed (and has the text's characters,
// where it checks).
std::vector<std::string_view> candidateFaces(const Font &font, std::span<const StandIns> table);

// The point size at which a text fits a box `width` wide: the designed size
// where it fits, else the largest size, in steps of half a point down from
// the designed one and no smaller than the first step at or below 6 points,
// at which it fits (or that smallest step). `advance(points)` measures the
// text at a size; each measurement is a font to load, so the search starts
// where the width, near enough in proportion to the size, says the answer
// lies, and corrects by single steps.
double fittedPoints(double designed, double width, const std::function<double(double)> &advance);

// The point size of each control of `design` once shrinkToFit and fitGroup are
// applied, given the designed size of each control's font, the width of each
// control's box and a measure of its text at a size, both in one unit.
std::vector<double> fittedSizes(const FormSpec &design, const std::vector<double> &designed,
                                const std::function<double(std::size_t)> &width,
                                const std::function<double(std::size_t, double)> &advance);

} // namespace toolkit::backend

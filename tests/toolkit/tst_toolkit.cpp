// Tests of the toolkit interface, run against the backend of the build:
// windows that load once and unload later, single instances, events that
// reach their handlers, text round trips, the warning box's stand-in, the
// version numbers, the fitting of texts and the program's windows as drawn.
#include "about/frmabout.h"
#include "main/form1.h"
#include "messageboxrecorder.h"
#include "printers.h"
#include "quaddlefacts.h"
#include "shellrecorder.h"
#include "toolkit/backend.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"
#include "windowlayout.h"

#include <doctest/doctest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace toolkit;

namespace {

constexpr ControlSpec probeControls[] = {
    // Takes pointer moves of its own, which are not the window's.
    {.kind = ControlKind::Label,
     .name = "Tracker",
     .text = "moves",
     .place = {1500, 0, 1500, 600},
     .tabIndex = 0},
    {.kind = ControlKind::Label,
     .name = "Link",
     .text = "link",
     .place = {1500, 700, 1500, 300},
     .tabIndex = 1},
    {.kind = ControlKind::TextBox,
     .name = "Entry",
     .text = "",
     .place = {0, 1050, 1400, 330},
     .tabIndex = 2},
    {.kind = ControlKind::MultiLineTextBox,
     .name = "Box",
     .text = "first\r\nsecond",
     .place = {1500, 1050, 1400, 400},
     .tabIndex = 3},
    {.kind = ControlKind::CommandButton,
     .name = "Button",
     .text = "button",
     .place = {0, 600, 600, 400},
     .tabIndex = 4},
    {.kind = ControlKind::Frame,
     .name = "Group",
     .text = "",
     .place = {700, 600, 700, 400},
     .tabIndex = 5},
    {.kind = ControlKind::CommandButton,
     .name = "Inner",
     .text = "in",
     .place = {60, 100, 580, 260},
     .tabIndex = 6,
     .container = "Group"},
};
constexpr TimerSpec probeTimers[] = {{"Tick", 50}};

constexpr FormSpec probeLayout{
    .name = "Probe",
    .caption = "Probe",
    .width = 3000,
    .height = 1500,
    .controls = probeControls,
    .timers = probeTimers,
};

class ProbeForm : public Form
{
public:
    ProbeForm()
        : Form(probeLayout)
    {
        bind<ProbeForm>(handlers);
    }

    int loads = 0;
    int backgroundMoves = 0;
    int linkClicks = 0;
    int linkMoves = 0;
    int innerClicks = 0;
    int ticks = 0;
    bool timerRunningAtLoad = false;

    void Link_Click() { ++linkClicks; }
    void Link_MouseMove() { ++linkMoves; }
    void Inner_Click() { ++innerClicks; }
    void Tick_Timer() { ++ticks; }

protected:
    void Form_Load() override
    {
        ++loads;
        timerRunningAtLoad = timer("Tick").running();
    }
    void Form_MouseMove() override { ++backgroundMoves; }

private:
    static constexpr Handler<ProbeForm> handlers[] = {
        {"Link", Event::Click, &ProbeForm::Link_Click},
        {"Link", Event::MouseMove, &ProbeForm::Link_MouseMove},
        {"Inner", Event::Click, &ProbeForm::Inner_Click},
        {"Tick", Event::Timer, &ProbeForm::Tick_Timer},
    };
};

// The program-wide probe, shown; unloaded when the test ends, also a failed one.
struct ShownProbe {
    ProbeForm &form = toolkit::form<ProbeForm>();
    ShownProbe() { form.Show(); }
    ~ShownProbe()
    {
        if (formExists<ProbeForm>())
            toolkit::form<ProbeForm>().Unload();
        testing::waitUntil([] { return !formExists<ProbeForm>(); });
    }
};

} // namespace

TEST_CASE("Show loads a window once, timers running before Form_Load")
{
    ProbeForm &form = toolkit::form<ProbeForm>();
    CHECK_FALSE(form.isLoaded());
    form.Show();
    form.Show();
    CHECK(form.loads == 1);
    CHECK(form.timerRunningAtLoad);
    CHECK(form.timer("Tick").interval() == 50);
    CHECK(testing::isVisible(form));
    CHECK(testing::caption(form) == "Probe");
    CHECK(form.hWnd() != 0);
    form.Unload();
    CHECK(testing::waitUntil([] { return !formExists<ProbeForm>(); }));
}

TEST_CASE("Unload destroys the instance; the next use creates it afresh")
{
    ProbeForm *first = &toolkit::form<ProbeForm>();
    CHECK(&toolkit::form<ProbeForm>() == first);
    first->Show();
    first->Unload();
    CHECK(testing::waitUntil([] { return !formExists<ProbeForm>(); }));

    ProbeForm &second = toolkit::form<ProbeForm>();
    CHECK(formExists<ProbeForm>());
    CHECK(second.loads == 0);
    second.Show();
    CHECK(second.loads == 1);
    second.Unload();
    // Unloading twice before the window has gone is harmless.
    second.Unload();
    CHECK(testing::waitUntil([] { return !formExists<ProbeForm>(); }));
}

TEST_CASE("a window that is not program-wide may be destroyed while it unloads")
{
    const std::function<void(Form &)> unloads[] = {
        [](Form &form) { form.Unload(); },
        [](Form &form) { testing::closeFromWindowSystem(form); },
    };
    for (const auto &unload : unloads) {
        auto form = std::make_unique<ProbeForm>();
        form->Show();
        unload(*form);
        form.reset();
        // Runs the deferred unload, which must find the window gone with its form.
        testing::processEvents();
    }
}

TEST_CASE("the window system's close command unloads")
{
    ShownProbe probe;
    testing::closeFromWindowSystem(probe.form);
    CHECK(testing::waitUntil([] { return !formExists<ProbeForm>(); }));
}

TEST_CASE("timer ticks reach their handler")
{
    ShownProbe probe;
    CHECK(testing::waitUntil([&] { return probe.form.ticks >= 2; }));
}

TEST_CASE("pointer moves: over a control to that control, over the background to the window")
{
    ShownProbe probe;
    testing::moveMouseOver(probe.form.control("Tracker"));
    testing::processEvents();
    CHECK(probe.form.backgroundMoves == 0);
    testing::moveMouseOver(probe.form.control("Link"));
    testing::processEvents();
    CHECK(probe.form.linkMoves >= 1);
    CHECK(probe.form.backgroundMoves == 0);
    testing::moveMouseOverBackground(probe.form, 500, 300);
    testing::processEvents();
    CHECK(probe.form.backgroundMoves >= 1);
}

TEST_CASE("label clicks: one per click, one per double-click")
{
    ShownProbe probe;
    testing::click(probe.form.control("Link"));
    testing::processEvents();
    CHECK(probe.form.linkClicks == 1);
    testing::doubleClick(probe.form.control("Link"));
    testing::processEvents();
    CHECK(probe.form.linkClicks == 2);
}

TEST_CASE("texts round-trip: UTF-8, CR LF between the lines of a multi-line box")
{
    ShownProbe probe;
    const std::vector<std::string> texts{
        "", "(8-5)*9-3", "A\r\nC", "\r\nB", "请输入一个1－13的数！", "Ver:1.0.0\r\n第二行"};
    for (const std::string &text : texts) {
        CAPTURE(text);
        Control &box = probe.form.control("Box");
        box.setText(text);
        CHECK(box.text() == text);
        Control &label = probe.form.control("Link");
        label.setText(text.substr(0, text.find('\r')));
        CHECK(label.text() == text.substr(0, text.find('\r')));
    }
    CHECK(probe.form.control("Entry").text().empty());
}

TEST_CASE("colours are kept as set")
{
    ShownProbe probe;
    Control &label = probe.form.control("Link");
    for (const Color color : {Color{0, 0, 255}, Color{0, 0, 0}, Color{255, 0, 0}}) {
        label.setForeColor(color);
        CHECK(label.foreColor() == color);
    }
}

TEST_CASE("every kind of control reports the enabled state last set")
{
    ShownProbe probe;
    for (const char *name : {"Link", "Entry", "Box", "Button", "Group"}) {
        CAPTURE(std::string(name));
        Control &control = probe.form.control(name);
        CHECK(control.enabled());
        control.setEnabled(false);
        CHECK_FALSE(control.enabled());
        control.setEnabled(true);
        CHECK(control.enabled());
    }
}

TEST_CASE("a disabled label takes no clicks and no pointer moves until it is enabled again")
{
    ShownProbe probe;
    Control &link = probe.form.control("Link");
    link.setEnabled(false);
    testing::click(link);
    testing::moveMouseOver(link);
    testing::processEvents();
    CHECK(probe.form.linkClicks == 0);
    CHECK(probe.form.linkMoves == 0);
    CHECK(probe.form.backgroundMoves == 0);
    link.setEnabled(true);
    testing::click(link);
    testing::processEvents();
    CHECK(probe.form.linkClicks == 1);
}

TEST_CASE("a disabled frame disables what it holds, which takes its own state back with the frame")
{
    struct Step {
        const char *control;
        bool set;
        bool innerEnabled; // and clickable
    };
    const Step steps[] = {{"Group", false, false}, {"Inner", true, false},  {"Group", true, true},
                          {"Inner", false, false}, {"Group", false, false}, {"Group", true, false},
                          {"Inner", true, true}};
    ShownProbe probe;
    Control &inner = probe.form.control("Inner");
    int clicks = 0;
    for (const Step &step : steps) {
        CAPTURE(std::string(step.control));
        CAPTURE(step.set);
        probe.form.control(step.control).setEnabled(step.set);
        CHECK(inner.enabled() == step.innerEnabled);
        testing::click(inner);
        testing::processEvents();
        clicks += step.innerEnabled ? 1 : 0;
        CHECK(probe.form.innerClicks == clicks);
    }
}

TEST_CASE("the warning box closes on the press of Enter and Escape, on the release of Space")
{
    struct Row {
        testing::Key key;
        testing::ClosedOn closed;
    };
    const Row rows[] = {{testing::Key::Return, testing::ClosedOn::Press},
                        {testing::Key::Escape, testing::ClosedOn::Press},
                        {testing::Key::Space, testing::ClosedOn::Release}};
    ShownProbe probe;
    for (const Row &row : rows) {
        CAPTURE(static_cast<int>(row.key));
        CHECK(testing::answerWarningWithKey(row.key) == row.closed);
    }
}

TEST_CASE("the recorder stands in for the warning box, titled with the application's title")
{
    MessageBoxRecorder recorder;
    MsgBoxWarning("one");
    MsgBoxWarning("二");
    CHECK(recorder.prompts() == std::vector<std::string>{"one", "二"});
    CHECK(recorder.titles() == std::vector<std::string>{"Quaddle", "Quaddle"});
}

TEST_CASE("the shell is asked to open web pages and e-mail only, the scheme in any case")
{
    struct Row {
        std::string address;
        std::string document; // as the shell is asked to open it; none if refused
    };
    const Row rows[] = {
        {"https://www.veltaro.example/a?b#c", "https://www.veltaro.example/a?b#c"},
        {"HTTP://www.veltaro.example", "HTTP://www.veltaro.example"},
        {"MailTo:support@veltaro.example", "MailTo:support@veltaro.example"},
        // Without a scheme an address is a web page, never a file or a program.
        {"localhost:8000/", "http://localhost:8000/"},
        {"calc.exe", "http://calc.exe"},
        {"", ""},
        {"javascript:alert(1)", ""},
        {"file:///etc/passwd", ""},
        {"C:\\Windows\\System32\\calc.exe", ""},
        {"ms-settings:", ""},
        {"https+x://www.veltaro.example", ""},
    };
    for (const Row &row : rows) {
        CAPTURE(row.address);
        ShellRecorder shell;
        CHECK(ShellExecute(7, "open", row.address, "", "", swShow) == !row.document.empty());
        std::vector<std::string> asked;
        for (const ShellRequest &request : shell.requests())
            asked.push_back(request.file);
        CHECK(asked == (row.document.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{row.document}));
    }
}

TEST_CASE("version numbers from the program's version record")
{
    // The build's own numbers: a test program has no version record of its own.
    const AppVersion version = appVersion();
    CHECK(version.major == quaddle::versionMajor);
    CHECK(version.minor == quaddle::versionMinor);
    CHECK(version.revision == quaddle::versionPatch);
}

TEST_CASE("a text too wide for its box is set just small enough, in half points")
{
    // A text whose width grows with its size, as every font's does.
    struct Row {
        std::string name;
        double designed;
        double widthPerPoint;
        double box;
        double fitted;
    };
    const Row rows[] = {
        {"fits as designed", 13.5, 10, 135, 13.5},
        {"one step smaller", 13.5, 10, 134.9, 13},
        {"several steps", 24, 10, 200, 20},
        {"not below the first step at or below 6 points", 13.5, 10, 10, 6},
        {"bold title", 24, 14.2, 217, 15},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        int measured = 0;
        const double points = backend::fittedPoints(row.designed, row.box, [&](double size) {
            ++measured;
            return size * row.widthPerPoint;
        });
        CHECK(points == row.fitted);
        // Half a point larger would not fit, unless it is the designed size.
        if (points < row.designed && points > 6)
            CHECK((points + 0.5) * row.widthPerPoint > row.box);
        CHECK(measured <= 4); // from the estimate, not step by step
    }
}

TEST_CASE("a group of texts shares the smallest fitted size")
{
    std::vector<ControlSpec> controls;
    for (const char *name : {"a", "b", "c", "d"}) {
        controls.push_back({.kind = ControlKind::Label,
                            .name = name,
                            .text = name,
                            .place = {0, 0, 1500, 300},
                            .tabIndex = 0,
                            .shrinkToFit = true,
                            .fitGroup = std::string(name) == "d" ? 0 : 1});
    }
    const FormSpec design{
        .name = "Group", .caption = "", .width = 3000, .height = 1000, .controls = controls};
    // "b" is twice as wide as the others; "d" is wide but on its own.
    const std::vector<double> widths{5, 10, 5, 10};
    const std::vector<double> sizes = backend::fittedSizes(
        design, {12, 12, 12, 12}, [](std::size_t) { return 100.0; },
        [&](std::size_t i, double points) { return points * widths[i]; });
    CHECK(sizes == std::vector<double>{10, 10, 10, 10});

    controls[1].fitGroup = 0;
    const std::vector<double> apart = backend::fittedSizes(
        design, {12, 12, 12, 12}, [](std::size_t) { return 100.0; },
        [&](std::size_t i, double points) { return points * widths[i]; });
    CHECK(apart == std::vector<double>{12, 10, 12, 10});
}

// A window of the program as it is first shown, checked and unloaded again.
template <typename Window> void checkDrawn()
{
    Window &window = toolkit::form<Window>();
    window.Show();
    testing::processEvents();
    // A run at another density says which it asked the screen for.
    if (const char *asked = std::getenv("QUADDLE_TEST_SCALE"))
        CHECK(testing::scale(window) == std::stod(asked));
    checkLayout(window);
    window.Unload();
    CHECK(testing::waitUntil([] { return !formExists<Window>(); }));
}

TEST_CASE("the windows as drawn: their size, every control in place, none over another, every "
          "text whole")
{
    struct Row {
        std::string name;
        void (*check)();
    };
    for (const Row &row :
         {Row{"Form1", checkDrawn<Form1>}, Row{"frmAbout", checkDrawn<frmAbout>}}) {
        CAPTURE(row.name);
        row.check();
    }
}

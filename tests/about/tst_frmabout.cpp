// Tests of start-up and the About window through the toolkit interface:
// countdown, version, texts and colours, hover colouring, link requests,
// hand-over to the main window and early closing.
#include "about/frmabout.h"
#include "about/startup.h"
#include "form1driver.h"
#include "main/form1.h"
#include "printers.h"
#include "quaddlefacts.h"
#include "shellrecorder.h"
#include "toolkit/testing.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using toolkit::Color;
using toolkit::formExists;
namespace testing = toolkit::testing;

namespace {

constexpr Color black{0, 0, 0};
constexpr Color blue{0, 0, 255};

// Start-up as the program runs it, with the shell recorded; every window
// unloaded when the test ends, also a failed one.
struct Started {
    ShellRecorder shell;
    frmAbout &about;

    Started()
        : about((startUp(), toolkit::form<frmAbout>()))
    {}
    ~Started()
    {
        if (formExists<frmAbout>())
            toolkit::form<frmAbout>().Unload();
        if (formExists<Form1>())
            toolkit::form<Form1>().Unload();
        testing::waitUntil([] { return !formExists<frmAbout>() && !formExists<Form1>(); });
    }

    toolkit::Control &control(std::string_view name) const { return about.control(name); }
    std::string text(std::string_view name) const { return control(name).text(); }
    void tick(int times) const
    {
        for (int i = 0; i < times; ++i)
            about.Timer1_Timer();
    }
};

} // namespace

TEST_CASE("start-up opens the About window alone, counting down from 9 with OK disabled")
{
    Started app;
    CHECK(testing::isVisible(app.about));
    CHECK_FALSE(formExists<Form1>());
    CHECK(testing::caption(app.about).empty());
    // The build's own version, not the designed "Ver:1.0.1".
    CHECK(app.text("lblVersion") == std::string("Ver:") + quaddle::versionText);
    CHECK(app.text("labTime") == " 9");
    CHECK_FALSE(app.control("cmdOk").enabled());
    const toolkit::Control *focus = testing::focusedControl(app.about);
    REQUIRE(focus);
    CHECK(std::string(focus->design().name) == "txtPromo2");
    CHECK(app.about.timer("Timer1").running());
    CHECK(app.about.timer("Timer1").interval() == 1000);
}

TEST_CASE("the window's texts and colours")
{
    Started app;
    CHECK(app.text("Label1") == std::string(maker::name) + "软件欢迎您");
    CHECK(app.text("labWeb") == std::string("Web:") + maker::webAddress);
    CHECK(app.text("labEmail") == std::string("Email:") + maker::emailAddress);
    CHECK(app.text("labQQ") == std::string("QQ:") + maker::qqNumber);
    CHECK(app.text("lbl") == "欢迎使用我们的软件，本工作室接受软件定制");
    CHECK(app.text("cmdOk") == "知道了");
    for (const std::string promo : {"txtPromo1", "txtPromo2"}) {
        CAPTURE(promo);
        CHECK(app.text(promo).find("\r\n") != std::string::npos);
    }
    CHECK(app.control("labTime").foreColor() == Color{255, 0, 0});
    CHECK(app.control("labWeb").foreColor() == black);
    CHECK(app.control("labEmail").foreColor() == black);
}

TEST_CASE("the countdown")
{
    struct Row {
        int ticks;
        const char *shown;
        bool okEnabled;
    };
    const Row rows[] = {
        {0, " 9", false},
        {1, " 9", false},
        {2, " 8", false},
        {5, " 5", false},
        {9, " 1", false},
        {10, " 1", true},
        {11, " 1", true},
        // Past the 32,767 ticks (nine hours) a 16-bit count would overflow at.
        {70000, " 1", true},
    };
    for (const Row &row : rows) {
        CAPTURE(row.ticks);
        Started app;
        app.tick(row.ticks);
        CHECK(app.text("labTime") == row.shown);
        CHECK(app.control("cmdOk").enabled() == row.okEnabled);
    }
}

TEST_CASE("hover colouring: links turn blue, the window's background turns both black")
{
    struct Row {
        std::string name;
        std::vector<std::string> path; // what the pointer moves over, in order
        Color web;
        Color email;
    };
    const Row rows[] = {
        {"nothing yet", {}, black, black},
        {"onto web", {"labWeb"}, blue, black},
        {"onto email", {"labEmail"}, black, blue},
        {"web, background, email", {"labWeb", "frmAbout", "labEmail"}, black, blue},
        {"web then email keeps both blue", {"labWeb", "labEmail"}, blue, blue},
        {"background turns both black", {"labWeb", "labEmail", "frmAbout"}, black, black},
        {"other controls change nothing",
         {"labWeb", "labQQ", "lbl", "Frame1", "txtPromo1", "cmdOk", "Label1", "lblVersion",
          "labTime"},
         blue,
         black},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Started app;
        for (const std::string &name : row.path) {
            // The window's background at its top left corner holds no control.
            if (name == "frmAbout")
                testing::moveMouseOverBackground(app.about, 30, 30);
            else
                testing::moveMouseOver(app.about.control(name));
            testing::processEvents();
        }
        CHECK(app.control("labWeb").foreColor() == row.web);
        CHECK(app.control("labEmail").foreColor() == row.email);
    }
}

TEST_CASE("the links ask the shell to open the web page or a new e-mail, once a click")
{
    struct Row {
        std::string label;
        std::string document;
    };
    const Row rows[] = {
        {"labWeb", std::string("http://") + maker::webAddress},
        {"Label1", std::string("http://") + maker::webAddress}, // the welcome line
        {"labEmail", std::string("mailto:") + maker::emailAddress},
    };
    for (const Row &row : rows) {
        CAPTURE(row.label);
        SUBCASE("click")
        {
            Started app;
            testing::click(app.control(row.label));
            testing::processEvents();
            const toolkit::ShellRequest expected{app.about.hWnd(), "open", row.document, "", "", 5};
            REQUIRE(app.shell.requests().size() == 1);
            CHECK(app.shell.requests().front() == expected);
            // A link works in every state before the window goes, and does nothing else.
            CHECK(testing::isVisible(app.about));
            CHECK_FALSE(formExists<Form1>());
        }
        SUBCASE("double-click")
        {
            Started app;
            testing::doubleClick(app.control(row.label));
            testing::processEvents();
            CHECK(app.shell.requests().size() == 1);
        }
    }
}

TEST_CASE("the other labels ask nothing of the shell")
{
    Started app;
    for (const std::string name : {"labQQ", "lbl", "lblVersion", "labTime"}) {
        CAPTURE(name);
        testing::click(app.control(name));
        testing::processEvents();
    }
    CHECK(app.shell.requests().empty());
}

TEST_CASE("OK hands over to the main window once the countdown has ended")
{
    Started app;
    app.tick(10);
    testing::click(app.control("cmdOk"));
    REQUIRE(formExists<Form1>());
    Form1 &main = toolkit::form<Form1>();
    CHECK(testing::isVisible(main));
    CHECK(testing::waitUntil([] { return !formExists<frmAbout>(); }));
    const Form1Driver driver(main);
    CHECK(driver.resultText().empty());
    CHECK(driver.entries() == std::vector<std::string>{"3", "5", "9", "8"});
}

TEST_CASE("OK does nothing before the countdown ends, by mouse or keyboard")
{
    Started app;
    app.tick(9);
    testing::click(app.control("cmdOk"));
    // Tab walks the promotional boxes and passes the disabled button by.
    for (const char *expected : {"txtPromo1", "txtPromo2", "txtPromo1"}) {
        testing::pressKey(app.about, testing::Key::Tab);
        const toolkit::Control *focus = testing::focusedControl(app.about);
        REQUIRE(focus);
        CHECK(std::string(focus->design().name) == expected);
    }
    testing::pressKey(app.about, testing::Key::Return);
    testing::processEvents();
    CHECK(formExists<frmAbout>());
    CHECK(testing::isVisible(app.about));
    CHECK_FALSE(formExists<Form1>());
}

TEST_CASE("closing the About window early ends without a main window")
{
    Started app;
    app.tick(3);
    testing::closeFromWindowSystem(app.about);
    CHECK(testing::waitUntil([] { return !formExists<frmAbout>(); }));
    CHECK_FALSE(formExists<Form1>());
}

// Tests of the main window through the toolkit interface, with real clicks
// and keys: opening, focus and tab order, the Calculate command end to end
// with its warnings, and closing.
#include "form1driver.h"
#include "main/form1.h"
#include "messageboxrecorder.h"
#include "modQuaddle.h"
#include "printers.h"
#include "quaddlefacts.h"
#include "toolkit/testing.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using toolkit::formExists;
namespace testing = toolkit::testing;
using Texts = std::vector<std::string>;

namespace {

const std::string crlf = "\r\n";
const std::string emptyWarning = "请输入数字！";
const std::string rangeWarning = "请输入一个1－13的数！";

std::string lines(const Texts &texts)
{
    std::string joined;
    for (std::size_t i = 0; i < texts.size(); ++i)
        joined += (i == 0 ? "" : crlf) + texts[i];
    return joined;
}

// The main window as the program first shows it, warnings recorded, the
// operand store as at start; unloaded when the test ends, also a failed one.
struct Shown {
    MessageBoxRecorder boxes;
    Form1 &form;
    Form1Driver driver;

    Shown()
        : form((modQuaddle::Num.fill(0.0f), modQuaddle::clearResults(), toolkit::form<Form1>()))
        , driver(form)
    {
        form.Show();
    }
    ~Shown()
    {
        if (formExists<Form1>())
            toolkit::form<Form1>().Unload();
        testing::waitUntil([] { return !formExists<Form1>(); });
    }

    void click(const char *name) const
    {
        testing::click(form.control(name));
        testing::processEvents();
    }
    std::string focused() const
    {
        const toolkit::Control *focus = testing::focusedControl(form);
        return focus ? std::string(focus->design().name) : "";
    }
};

} // namespace

TEST_CASE("the window opens ready: entries 3 5 9 8, an empty result box, focus on Calculate")
{
    Shown window;
    CHECK(testing::caption(window.form) == std::string("Quaddle ") + maker::webAddress);
    CHECK(window.driver.resultText().empty()); // never "Text1"
    CHECK(window.driver.entries() == Texts{"3", "5", "9", "8"});
    CHECK(window.focused() == "cmdJiSuan");
    CHECK(window.form.control("cmdJiSuan").text() == "计算");
    CHECK(window.form.control("cmdExit").text() == "退出");
    CHECK(window.form.control("Label1").text() == "请输入4个数:");
    CHECK(window.form.control("Label2").text() == "计算结果:");
}

TEST_CASE("Tab walks the tab order and wraps; Shift+Tab walks it back")
{
    Shown window;
    // On the page, its command's link comes last: no control of the window.
    Texts forward{"TxtNum1", "TxtNum2", "TxtNum3", "TxtNum4", "Text1", "cmdExit", "cmdJiSuan"};
    if (testing::commandsTakeFocus())
        forward.insert(forward.end() - 1, "");
    Texts visited;
    for (std::size_t i = 0; i < forward.size(); ++i) {
        testing::pressKey(window.form, testing::Key::Tab);
        visited.push_back(window.focused());
    }
    CHECK(visited == forward);

    Texts back;
    for (std::size_t i = 0; i < forward.size() - 4; ++i) {
        testing::pressKey(window.form, testing::Key::BackTab);
        back.push_back(window.focused());
    }
    CHECK(back == Texts(forward.rbegin() + 1, forward.rbegin() + 1 + back.size()));
}

TEST_CASE("Calculate: warnings in box order, then the solutions one per line")
{
    struct Row {
        std::string name;
        Texts entries;
        Texts warnings;
        std::string result;
    };
    const Row rows[] = {
        {"3 5 9 8",
         {"3", "5", "9", "8"},
         {},
         lines({"(8-5)*9-3", "9*3-(8-5)", "5+9*3-8", "5-(8-9*3)"})},
        {"only the third shape", {"1", "4", "5", "6"}, {}, crlf + "6/(5/4-1)"},
        {"no solution", {"1", "1", "1", "1"}, {}, ""},
        {"3 3 8 8 misses in single precision", {"3", "3", "8", "8"}, {}, ""},
        {"fractions",
         {"2.5", "2.5", "4", "1"},
         {},
         lines({"(1+2.5+2.5)*4", "4*(1+2.5+2.5)", "4*(1+2.5+2.5)"})},
        {"entries as typed: 7, 10, 13, 12",
         {" 7", "1e1", "&HD", "1 2"},
         {},
         lines({"(13+7)*12/10", "12/10*(13+7)", "12*(13+7)/10", "12/(10/(13+7))"})},
        {"two empty boxes, in box order", {"3", "", "9", ""}, {emptyWarning, emptyWarning}, ""},
        // At the first click a rejected box takes part as 0.
        {"empty fourth box searches with 0",
         {"3", "5", "9", ""},
         {emptyWarning},
         lines({"(0+5)*3+9", "0+9+5*3", "0+5*3+9", "0+9+5*3"})},
        {"each kind of warning",
         {"", "abc", "14", "0.99"},
         {emptyWarning, rangeWarning, rangeWarning, rangeWarning},
         ""},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Shown window;
        window.driver.setEntries(row.entries);
        window.click("cmdJiSuan");
        CHECK(window.boxes.prompts() == row.warnings);
        for (const std::string &title : window.boxes.titles())
            CHECK(title == "Quaddle");
        CHECK(window.driver.resultText() == row.result);
    }
}

TEST_CASE("a rejected entry keeps the number stored before")
{
    Shown window;
    window.click("cmdJiSuan");
    const std::string first = window.driver.resultText();
    CHECK_FALSE(first.empty());

    window.driver.entry(1).setText("abc");
    window.click("cmdJiSuan");
    CHECK(window.boxes.prompts() == Texts{rangeWarning});
    CHECK(modQuaddle::Num[1] == 3.0f);
    CHECK(window.driver.resultText() == first);
}

TEST_CASE("each result replaces the one before")
{
    Shown window;
    window.click("cmdJiSuan");
    CHECK_FALSE(window.driver.resultText().empty());
    window.driver.setEntries({"1", "1", "1", "1"});
    window.click("cmdJiSuan");
    CHECK(window.driver.resultText().empty());
}

TEST_CASE("typing into an entry box and pressing Enter calculates")
{
    Shown window;
    window.driver.setEntries({"1", "", "5", "6"});
    testing::pressKey(window.form, testing::Key::Tab);
    testing::pressKey(window.form, testing::Key::Tab);
    REQUIRE(window.focused() == "TxtNum2");
    testing::typeText(window.form, "4");
    CHECK(window.driver.entry(2).text() == "4");
    testing::pressKey(window.form, testing::Key::Return);
    testing::processEvents();
    CHECK(window.driver.resultText() == crlf + "6/(5/4-1)");
    CHECK(window.boxes.prompts().empty());
}

TEST_CASE("the focused buttons take Space and Enter")
{
    Shown window;
    testing::pressKey(window.form, testing::Key::Space);
    testing::processEvents();
    CHECK_FALSE(window.driver.resultText().empty());
    window.form.control("Text1").setText("");
    testing::pressKey(window.form, testing::Key::Return);
    testing::processEvents();
    CHECK_FALSE(window.driver.resultText().empty());

    testing::pressKey(window.form, testing::Key::BackTab);
    if (testing::commandsTakeFocus())
        testing::pressKey(window.form, testing::Key::BackTab);
    REQUIRE(window.focused() == "cmdExit");
    testing::pressKey(window.form, testing::Key::Return);
    CHECK(testing::waitUntil([] { return !formExists<Form1>(); }));
}

TEST_CASE("Escape does nothing")
{
    Shown window;
    testing::pressKey(window.form, testing::Key::Escape);
    testing::pressKey(window.form, testing::Key::Tab);
    testing::pressKey(window.form, testing::Key::Escape);
    testing::processEvents();
    CHECK(formExists<Form1>());
    CHECK(testing::isVisible(window.form));
    CHECK(window.driver.resultText().empty());
}

TEST_CASE("the result box takes typing, and the next calculation overwrites it")
{
    Shown window;
    for (int i = 0; i < 5; ++i)
        testing::pressKey(window.form, testing::Key::Tab);
    REQUIRE(window.focused() == "Text1");
    testing::typeText(window.form, "notes");
    CHECK(window.driver.resultText() == "notes");
    window.click("cmdJiSuan");
    CHECK(window.driver.resultText().find("notes") == std::string::npos);
}

TEST_CASE("Exit and the window system's close command unload the window")
{
    SUBCASE("Exit")
    {
        Shown window;
        window.click("cmdExit");
        CHECK(testing::waitUntil([] { return !formExists<Form1>(); }));
    }
    SUBCASE("close command")
    {
        Shown window;
        testing::closeFromWindowSystem(window.form);
        CHECK(testing::waitUntil([] { return !formExists<Form1>(); }));
    }
}

// The every-solution window through real input on this backend: the answer
// follows the entries with the search's own solutions; a bad entry is named
// beside them and nothing typed is lost; the main window's command opens it.
#include "every/everyanswer.h"
#include "every/frmevery.h"
#include "everysolution.h"
#include "main/form1.h"
#include "toolkit/testing.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace testing = toolkit::testing;
using modQuaddle::Rational;

namespace {

struct Shown {
    frmEvery &form = toolkit::form<frmEvery>();

    Shown()
    {
        form.Show();
        settle();
    }
    ~Shown()
    {
        for (auto *window : {static_cast<toolkit::Form *>(&toolkit::form<frmEvery>()),
                             static_cast<toolkit::Form *>(&toolkit::form<Form1>())})
            window->Unload();
        testing::waitUntil(
            [] { return !toolkit::formExists<frmEvery>() && !toolkit::formExists<Form1>(); });
    }
    // Six cards take a second or so; the window answers meanwhile.
    void settle() const
    {
        CHECK(testing::waitUntil([&] { return !form.searching(); }, 60000));
    }
    std::string text(const char *name) const { return form.control(name).text(); }
    // Pastes over the entry `tabs` presses of Tab from the hand's.
    void enter(int tabs, const std::string &text) const
    {
        for (int k = 0; k < tabs; ++k)
            testing::pressKey(form, testing::Key::Tab);
        testing::pasteText(form, text);
        for (int k = 0; k < tabs; ++k)
            testing::pressKey(form, testing::Key::BackTab);
    }
};

} // namespace

TEST_CASE("the answer follows the entries: every solution, exactly, or 'no solution' in words")
{
    struct Row {
        std::string hand;
        std::string target;
        std::vector<modQuaddle::HandNumber> numbers;
        Rational targetValue;
    };
    const Row rows[] = {
        {"3 3 8 8", "24", {{3, "3"}, {3, "3"}, {8, "8"}, {8, "8"}}, 24},
        {"1 1 1 1", "24", {{1, "1"}, {1, "1"}, {1, "1"}, {1, "1"}}, 24},
        {"a,j，q k", "24", {{1, "1"}, {11, "11"}, {12, "12"}, {13, "13"}}, 24},
        {"2.5 4 6",
         "-1/2",
         {{Rational::fraction(5, 2), "2.5"}, {4, "4"}, {6, "6"}},
         Rational::fraction(-1, 2)},
        {"13", "13", {{13, "13"}}, 13},
    };
    Shown window;
    for (const Row &row : rows) {
        CAPTURE(row.hand);
        window.enter(1, row.target);
        window.enter(0, row.hand);
        window.settle();
        const std::vector<std::string> solutions =
            modQuaddle::FindEverySolution(row.numbers, row.targetValue);
        std::string lines;
        for (const std::string &line : solutions)
            lines += (lines.empty() ? "" : "\r\n") + line;
        CHECK(window.text("lblAnswer") ==
              (solutions.empty() ? "无解。"
                                 : "共有" + std::to_string(solutions.size()) + "种解法："));
        CHECK(window.text("TxtSolutions") == (solutions.empty() ? "无解" : lines));
    }
    window.enter(1, "24");
    window.enter(0, "3 3 8 8");
    window.settle();
    CHECK(window.text("TxtSolutions") == "8/(3-8/3)");
}

TEST_CASE("six cards typed one key at a time: the last hand's answer, the typing kept")
{
    Shown window;
    window.enter(0, " ");
    testing::typeText(window.form, "1 2 3 4 5 6");
    CHECK(window.text("TxtHand") == " 1 2 3 4 5 6");
    CHECK(window.form.searching());
    CHECK(window.text("lblAnswer") == "正在计算…");
    window.settle();
    CHECK(window.text("lblAnswer") == "共有2553种解法：");
}

TEST_CASE("a bad entry is named beside the entries, and what was typed stays")
{
    // Longer than a desktop's text box takes unless told otherwise (32,767
    // characters), short enough for a box that lays its whole line out again
    // at each change, as Wine's does, to take in seconds.
    const std::string longEntry(1 << 16, '7');
    const struct {
        std::string hand;
        std::string target;
        std::string problem;
    } rows[] = {
        {"", "24", "请输入1至6个数。"},
        {"1 2 3 4 5 6 7", "24", "最多6个数，这里有7个。"},
        {"3 14 8", "24", "第2个数“14”不是1－13的数或A、J、Q、K。"},
        {"0 1", "24", "第1个数“0”不是1－13的数或A、J、Q、K。"},
        {"-1", "24", "第1个数“-1”不是1－13的数或A、J、Q、K。"},
        {"1e5 &HD", "24", "第1个数“1e5”不是1－13的数或A、J、Q、K。"},
        {"x", "24", "第1个数“x”不是1－13的数或A、J、Q、K。"},
        {"1." + std::string(40, '5'), "24", "第1个数“1.5555…”位数太多。"},
        {longEntry, "24", "第1个数“777777…”不是1－13的数或A、J、Q、K。"},
        {"3 3 8 8", "", "请输入目标数。"},
        {"3 3 8 8", "1/0", "目标“1/0”不是整数、小数或分数。"},
        {"3 3 8 8", "1" + std::string(40, '0'), "目标“100000…”位数太多。"},
    };
    Shown window;
    for (const auto &row : rows) {
        CAPTURE(row.problem);
        window.enter(1, row.target);
        window.enter(0, row.hand);
        CHECK(window.text("lblAnswer") == row.problem);
        CHECK(window.text("TxtHand") == row.hand);
        CHECK(window.text("TxtTarget") == row.target);
        CHECK_FALSE(window.form.searching());
    }
    // The reading alone takes a pasted megabyte in time linear in it.
    CHECK(every::readEntries(std::string(1 << 20, '7'), "24").problem ==
          "第1个数“777777…”不是1－13的数或A、J、Q、K。");
}

TEST_CASE("the main window's command opens the list of its four entries; Close closes it")
{
    Shown window;
    window.form.Unload();
    testing::waitUntil([] { return !toolkit::formExists<frmEvery>(); });
    Form1 &main = toolkit::form<Form1>();
    main.Show();
    main.control("TxtNum1").setText("3");
    main.control("TxtNum2").setText("8");
    testing::chooseCommand(main, "mnuEvery");
    testing::processEvents();
    REQUIRE(toolkit::formExists<frmEvery>());
    frmEvery &every = toolkit::form<frmEvery>();
    CHECK(testing::isVisible(every));
    CHECK(every.control("TxtHand").text() == "3 8 9 8");
    CHECK(testing::waitUntil([&] { return !every.searching(); }, 10000));
    CHECK(every.control("lblAnswer").text() == "共有3种解法：");
    testing::click(every.control("cmdClose"));
    CHECK(testing::waitUntil([] { return !toolkit::formExists<frmEvery>(); }));
    CHECK(testing::isVisible(main));
}

// The main window and its Calculate command.
#include "form1.h"

#include "calculate.h"
#include "every/frmevery.h"
#include "modQuaddle.h"
#include "quaddlefacts.h"

#include <array>
#include <string>

namespace {

using toolkit::ControlKind;

constexpr char blank[] = " ";

// No font or colour of its own anywhere: the toolkit's defaults throughout.
constexpr toolkit::ControlSpec controls[] = {
    {.kind = ControlKind::Label,
     .name = "Label1",
     .text = "请输入4个数:",
     .place = {135, 90, 1755, 345},
     .tabIndex = 5},
    {.kind = ControlKind::TextBox,
     .name = "TxtNum1",
     .text = "3",
     .place = {405, 495, 600, 330},
     .tabIndex = 1,
     .accessibleName = "第1个数",
     .numeric = true},
    {.kind = ControlKind::TextBox,
     .name = "TxtNum2",
     .text = "5",
     .place = {1110, 495, 600, 330},
     .tabIndex = 2,
     .accessibleName = "第2个数",
     .numeric = true},
    {.kind = ControlKind::TextBox,
     .name = "TxtNum3",
     .text = "9",
     .place = {1815, 495, 600, 330},
     .tabIndex = 3,
     .accessibleName = "第3个数",
     .numeric = true},
    {.kind = ControlKind::TextBox,
     .name = "TxtNum4",
     .text = "8",
     .place = {2520, 495, 600, 330},
     .tabIndex = 4,
     .accessibleName = "第4个数",
     .numeric = true},
    {.kind = ControlKind::Label,
     .name = "Label2",
     .text = "计算结果:",
     .place = {135, 990, 1035, 255},
     .tabIndex = 6},
    {.kind = ControlKind::MultiLineTextBox,
     .name = "Text1",
     .text = "Text1",
     .place = {390, 1320, 2655, 1020},
     .tabIndex = 7,
     .accessibleName = "计算结果:"},
    {.kind = ControlKind::CommandButton,
     .name = "cmdJiSuan",
     .text = "计算",
     .place = {465, 2640, 885, 345},
     .tabIndex = 0},
    {.kind = ControlKind::CommandButton,
     .name = "cmdExit",
     .text = "退出",
     .place = {2010, 2640, 885, 345},
     .tabIndex = 8},
};

// Beside the designed controls, so that the window looks as designed.
constexpr toolkit::CommandSpec commands[] = {
    {.name = "mnuEvery", .text = "列出所有解法…", .control = "Text1"},
};

constexpr toolkit::FormSpec layout{
    .name = "Form1",
    .caption = toolkit::joined<quaddle::applicationTitle, blank, maker::webAddress>,
    .width = 3465,
    .height = 3090,
    .controls = controls,
    // Enter in an entry box calculates, as the button would.
    .defaultButton = "cmdJiSuan",
    .commands = commands,
};

constexpr toolkit::Handler<Form1> handlers[] = {
    {"cmdJiSuan", toolkit::Event::Click, &Form1::cmdJiSuan_Click},
    {"cmdExit", toolkit::Event::Click, &Form1::cmdExit_Click},
    {"mnuEvery", toolkit::Event::Click, &Form1::mnuEvery_Click},
};

} // namespace

Form1::Form1()
    : toolkit::Form(layout)
{
    bind<Form1>(handlers);
}

void Form1::Form_Load()
{
    Text1->setText("");
}

void Form1::cmdJiSuan_Click()
{
    const std::array entries{TxtNum1, TxtNum2, TxtNum3, TxtNum4};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        // A rejected entry leaves its number in the store as it was.
        const calculate::EntryCheck entry = calculate::checkEntry(entries[k]->text());
        if (entry.value)
            modQuaddle::Num[k + 1] = *entry.value;
        else
            toolkit::MsgBoxWarning(entry.warning);
    }

    modQuaddle::clearResults();
    modQuaddle::FindSolutions();
    Text1->setText(calculate::resultText());
}

void Form1::cmdExit_Click()
{
    Unload();
}

void Form1::mnuEvery_Click()
{
    const std::array entries{TxtNum1, TxtNum2, TxtNum3, TxtNum4};
    std::string hand;
    for (const toolkit::ControlRef &entry : entries) {
        if (!hand.empty())
            hand += ' ';
        hand += entry->text();
    }
    toolkit::form<frmEvery>().showHand(hand);
}

// The every-solution window.
#include "frmevery.h"

#include "every/everyanswer.h"
#include "quaddlefacts.h"

namespace {

using toolkit::ControlKind;

constexpr char caption[] = " 所有解法";

constexpr toolkit::ControlSpec controls[] = {
    {.kind = ControlKind::Label,
     .name = "Label1",
     .text = "请输入1至6个数(1－13或A、J、Q、K):",
     .place = {135, 90, 4530, 300},
     .tabIndex = 5},
    {.kind = ControlKind::TextBox,
     .name = "TxtHand",
     .text = "3 3 8 8",
     .place = {135, 420, 3030, 330},
     .tabIndex = 0,
     .accessibleName = "手中的数"},
    {.kind = ControlKind::Label,
     .name = "Label2",
     .text = "目标:",
     .place = {3300, 465, 600, 300},
     .tabIndex = 6},
    {.kind = ControlKind::TextBox,
     .name = "TxtTarget",
     .text = "24",
     .place = {3900, 420, 765, 330},
     .tabIndex = 1,
     .accessibleName = "目标"},
    // What is wrong with the entries, that the search is under way, or how
    // many solutions there are.
    {.kind = ControlKind::Label,
     .name = "lblAnswer",
     .text = "",
     .place = {135, 855, 4530, 300},
     .tabIndex = 7},
    {.kind = ControlKind::ScrollingTextBox,
     .name = "TxtSolutions",
     .text = "",
     .place = {135, 1200, 4530, 3300},
     .tabIndex = 2,
     .accessibleName = "所有解法"},
    {.kind = ControlKind::CommandButton,
     .name = "cmdClose",
     .text = "关闭",
     .place = {3780, 4665, 885, 345},
     .tabIndex = 3},
};

constexpr toolkit::FormSpec layout{
    .name = "frmEvery",
    .caption = toolkit::joined<quaddle::applicationTitle, caption>,
    .width = 4800,
    .height = 5145,
    .controls = controls,
};

constexpr toolkit::Handler<frmEvery> handlers[] = {
    {"TxtHand", toolkit::Event::Change, &frmEvery::TxtHand_Change},
    {"TxtTarget", toolkit::Event::Change, &frmEvery::TxtTarget_Change},
    {"cmdClose", toolkit::Event::Click, &frmEvery::cmdClose_Click},
};

} // namespace

frmEvery::frmEvery()
    : toolkit::Form(layout)
{
    bind<frmEvery>(handlers);
}

void frmEvery::Form_Load()
{
    answer();
}

void frmEvery::showHand(std::string_view hand)
{
    Show();
    if (TxtHand->text() != hand) {
        TxtHand->setText(hand);
        answer();
    }
}

void frmEvery::TxtHand_Change()
{
    answer();
}

void frmEvery::TxtTarget_Change()
{
    answer();
}

void frmEvery::cmdClose_Click()
{
    Unload();
}

void frmEvery::answer()
{
    m_search.reset();
    const every::Reading reading = every::readEntries(TxtHand->text(), TxtTarget->text());
    if (!reading.request.empty()) {
        // The last answer stays until the new one comes, so that a quick
        // search does not flicker.
        lblAnswer->setText("正在计算…");
        m_search =
            toolkit::startJob(every::searchWork, reading.request, [this](std::string answer) {
                m_search.reset();
                const every::Shown shown = every::showAnswer(answer);
                lblAnswer->setText(shown.count);
                TxtSolutions->setText(shown.lines);
            });
        return;
    }
    lblAnswer->setText(reading.problem);
    TxtSolutions->setText("");
}

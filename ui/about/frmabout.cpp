// The About window and its countdown.
#include "frmabout.h"

#include "main/form1.h"
#include "quaddlefacts.h"
#include "toolkit/shell.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using toolkit::Color;
using toolkit::ControlKind;
using toolkit::Font;

constexpr int countdownTicks = 10; // OK becomes usable at this tick

constexpr Color background{255, 192, 255};
// Everything here is drawn on designed backgrounds, so the text has a designed
// colour too: the desktop's own may be light, on a dark theme.
constexpr Color textColor{0, 0, 0};
constexpr Color linkColor = textColor;
constexpr Color linkHighlight{0, 0, 255};

constexpr std::string_view sans[] = {"MS Sans Serif"};
constexpr std::string_view calligraphic[] = {"隶书", "LiSu"};
constexpr Font titleFont{sans, 24, 700};
constexpr Font countdownFont{sans, 24};
constexpr Font textFont{sans, 13.5};
constexpr Font promotionFont{sans, 12};
constexpr Font versionFont{calligraphic, 15, 400, toolkit::Charset::SimplifiedChinese};

// The contact row reads as one line: its labels share one fitted size.
constexpr int contactRow = 1;

constexpr char welcome[] = "软件欢迎您";
constexpr char web[] = "Web:";
constexpr char email[] = "Email:";
constexpr char qq[] = "QQ:";

constexpr std::string_view promoNotebook = "Veltaro记账本\r\n"
                                           "简单好用的家庭记账软件：\r\n"
                                           "收入支出一目了然，\r\n"
                                           "每月自动生成统计图表。\r\n";
constexpr std::string_view promoClock = "Veltaro小闹钟\r\n"
                                        "桌面上的贴心提醒：\r\n"
                                        "定时、倒计时、生日提醒，\r\n"
                                        "一个也不会忘记。\r\n";

// A promotional box is named, to a screen reader, by its product's name.
constexpr std::string_view firstLine(std::string_view text)
{
    return text.substr(0, text.find('\r'));
}

// The maker's name and addresses here are longer than the ones the layout was
// drawn for: every label shrinks its text to fit its box where it must.
constexpr toolkit::ControlSpec controls[] = {
    {.kind = ControlKind::Label,
     .name = "Label1",
     .text = toolkit::joined<maker::name, welcome>,
     .place = {2370, 45, 3255, 555},
     .tabIndex = 4,
     .font = titleFont,
     .foreColor = linkColor,
     // The welcome line opens the web page too, so it is a link as well.
     .handCursor = true,
     .shrinkToFit = true},
    {.kind = ControlKind::Label,
     .name = "lblVersion",
     .text = "Ver:1.0.1",
     .place = {6030, 375, 1710, 300},
     .tabIndex = 2,
     .font = versionFont,
     .shrinkToFit = true},
    {.kind = ControlKind::Label,
     .name = "labEmail",
     .text = toolkit::joined<email, maker::emailAddress>,
     .place = {3120, 795, 3180, 360},
     .tabIndex = 1,
     .font = textFont,
     .foreColor = linkColor,
     .handCursor = true,
     .shrinkToFit = true,
     .fitGroup = contactRow},
    {.kind = ControlKind::Label,
     .name = "labWeb",
     .text = toolkit::joined<web, maker::webAddress>,
     .place = {150, 810, 2805, 360},
     .tabIndex = 3,
     .font = textFont,
     .foreColor = linkColor,
     .handCursor = true,
     .shrinkToFit = true,
     .fitGroup = contactRow},
    {.kind = ControlKind::Label,
     .name = "labQQ",
     .text = toolkit::joined<qq, maker::qqNumber>,
     .place = {6465, 810, 1725, 360},
     .tabIndex = 0,
     .font = textFont,
     .shrinkToFit = true,
     .fitGroup = contactRow},
    // Reaches 90 twips beyond the right edge: its right border is cut off.
    {.kind = ControlKind::Frame,
     .name = "Frame1",
     .text = "",
     .place = {105, 1185, 8775, 2010},
     .tabIndex = 5,
     .backColor = background},
    {.kind = ControlKind::MultiLineTextBox,
     .name = "txtPromo2",
     .text = promoNotebook,
     .place = {135, 195, 4200, 1665},
     .tabIndex = 6,
     .container = "Frame1",
     .font = promotionFont,
     .backColor = background,
     .accessibleName = firstLine(promoNotebook)},
    {.kind = ControlKind::MultiLineTextBox,
     .name = "txtPromo1",
     .text = promoClock,
     .place = {4440, 195, 4200, 1665},
     .tabIndex = 7,
     .container = "Frame1",
     .font = promotionFont,
     .backColor = background,
     .accessibleName = firstLine(promoClock)},
    // A small square badge for the countdown digits.
    {.kind = ControlKind::Label,
     .name = "labTime",
     .text = " 9",
     .place = {270, 3300, 555, 555},
     .tabIndex = 9,
     .font = countdownFont,
     .foreColor = Color{255, 0, 0},
     .backColor = Color{192, 192, 255},
     .align = toolkit::Align::Center,
     .shrinkToFit = true},
    {.kind = ControlKind::Label,
     .name = "lbl",
     .text = "欢迎使用我们的软件，本工作室接受软件定制",
     .place = {990, 3315, 6360, 345},
     .tabIndex = 8,
     .font = textFont,
     .shrinkToFit = true},
    {.kind = ControlKind::CommandButton,
     .name = "cmdOk",
     .text = "知道了",
     .place = {7410, 3345, 1050, 450},
     .tabIndex = 10,
     .enabled = false},
};

constexpr toolkit::TimerSpec timers[] = {{"Timer1", 1000}};

constexpr toolkit::FormSpec layout{
    .name = "frmAbout",
    .caption = "",
    .width = 8790,
    .height = 3915,
    .backColor = background,
    .foreColor = textColor,
    .controls = controls,
    .timers = timers,
};

constexpr toolkit::Handler<frmAbout> handlers[] = {
    {"Timer1", toolkit::Event::Timer, &frmAbout::Timer1_Timer},
    {"cmdOk", toolkit::Event::Click, &frmAbout::cmdOk_Click},
    {"labWeb", toolkit::Event::Click, &frmAbout::labWeb_Click},
    {"Label1", toolkit::Event::Click, &frmAbout::Label1_Click},
    {"labEmail", toolkit::Event::Click, &frmAbout::labEmail_Click},
    {"labWeb", toolkit::Event::MouseMove, &frmAbout::labWeb_MouseMove},
    {"labEmail", toolkit::Event::MouseMove, &frmAbout::labEmail_MouseMove},
};

} // namespace

frmAbout::frmAbout()
    : toolkit::Form(layout)
{
    bind<frmAbout>(handlers);
}

void frmAbout::Form_Load()
{
    const toolkit::AppVersion version = toolkit::appVersion();
    char text[48];
    std::snprintf(text, sizeof text, "Ver:%d.%d.%d", version.major, version.minor,
                  version.revision);
    lblVersion->setText(text);
}

void frmAbout::Timer1_Timer()
{
    m_tickCount = std::min(m_tickCount + 1, countdownTicks);
    if (m_tickCount >= countdownTicks)
        cmdOk->setEnabled(true);
    else
        labTime->setText(' ' + std::to_string(countdownTicks - m_tickCount));
}

void frmAbout::cmdOk_Click()
{
    // The main window is up before this one goes, so the program always has a window.
    toolkit::form<Form1>().Show();
    Unload();
}

void frmAbout::labWeb_Click()
{
    toolkit::ShellExecute(hWnd(), "open", maker::webAddress, "", "", toolkit::swShow);
}

void frmAbout::Label1_Click()
{
    labWeb_Click();
}

void frmAbout::labEmail_Click()
{
    toolkit::ShellExecute(hWnd(), "open", std::string("mailto:") + maker::emailAddress, "", "",
                          toolkit::swShow);
}

void frmAbout::labWeb_MouseMove()
{
    labWeb->setForeColor(linkHighlight);
}

void frmAbout::labEmail_MouseMove()
{
    labEmail->setForeColor(linkHighlight);
}

void frmAbout::Form_MouseMove()
{
    labWeb->setForeColor(linkColor);
    labEmail->setForeColor(linkColor);
}

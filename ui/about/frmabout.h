// The About window shown at start-up: the maker's welcome line, version and
// contact links, two promotional boxes, and a ten-second countdown before its
// OK button hands over to the main window.
#pragma once

#include "toolkit/toolkit.h"

class frmAbout : public toolkit::Form
{
public:
    frmAbout();

    // One countdown step; Timer1 calls it every second.
    void Timer1_Timer();

    void cmdOk_Click();
    void labWeb_Click();
    void Label1_Click();
    void labEmail_Click();
    void labWeb_MouseMove();
    void labEmail_MouseMove();

protected:
    void Form_Load() override;
    void Form_MouseMove() override;

private:
    toolkit::ControlRef lblVersion{*this, "lblVersion"};
    toolkit::ControlRef labEmail{*this, "labEmail"};
    toolkit::ControlRef labWeb{*this, "labWeb"};
    toolkit::ControlRef labTime{*this, "labTime"};
    toolkit::ControlRef cmdOk{*this, "cmdOk"};

    // Ticks of Timer1 since the window loaded. It stops at the tick that
    // enables OK, since nothing changes after that: the window can stay open
    // for any length of time without the count overflowing.
    int m_tickCount = 0;
};

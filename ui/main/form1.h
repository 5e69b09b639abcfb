// The main window: four entry boxes, Calculate and Exit, and the result box.
#pragma once

#include "toolkit/toolkit.h"

class Form1 : public toolkit::Form
{
public:
    Form1();

    // The Calculate command: check the four entries, warning about each bad
    // one, store the good ones, search, and show the solutions one per line.
    void cmdJiSuan_Click();
    void cmdExit_Click();
    // Opens the window that lists every solution of the four entries.
    void mnuEvery_Click();

protected:
    void Form_Load() override;

private:
    toolkit::ControlRef TxtNum1{*this, "TxtNum1"};
    toolkit::ControlRef TxtNum2{*this, "TxtNum2"};
    toolkit::ControlRef TxtNum3{*this, "TxtNum3"};
    toolkit::ControlRef TxtNum4{*this, "TxtNum4"};
    toolkit::ControlRef Text1{*this, "Text1"};
};

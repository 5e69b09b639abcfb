// Drives the main window through its own controls, by their designed names:
// the tests, the fuzz target and the click benchmark all use it.
#pragma once

#include "toolkit/toolkit.h"

#include <string>
#include <vector>

class Form1;

class Form1Driver
{
public:
    explicit Form1Driver(Form1 &form);

    // Entry box k, 1 to 4.
    toolkit::Control &entry(int k) const;

    // Sets the four entries; texts past the given ones are left empty.
    void setEntries(const std::vector<std::string> &texts) const;
    std::vector<std::string> entries() const;

    // Runs the Calculate command as a click on the button would.
    void calculate() const;
    // The result box's text, lines separated by CR LF.
    std::string resultText() const;

private:
    Form1 &m_form;
};

// The window that lists every distinct solution of a hand of one to six cards
// for any target, in exact arithmetic. The answer follows the entries as they
// are typed; the search runs away from the window, and a new entry abandons
// the search of the last.
#pragma once

#include "toolkit/toolkit.h"

#include <memory>
#include <string_view>

class frmEvery : public toolkit::Form
{
public:
    frmEvery();

    // Shows the window with `hand` in its hand entry, the target as it was.
    void showHand(std::string_view hand);

    void TxtHand_Change();
    void TxtTarget_Change();
    void cmdClose_Click();

    // Whether a search is under way.
    bool searching() const { return m_search != nullptr; }

protected:
    void Form_Load() override;

private:
    void answer();

    toolkit::ControlRef TxtHand{*this, "TxtHand"};
    toolkit::ControlRef TxtTarget{*this, "TxtTarget"};
    toolkit::ControlRef lblAnswer{*this, "lblAnswer"};
    toolkit::ControlRef TxtSolutions{*this, "TxtSolutions"};
    std::unique_ptr<toolkit::Job> m_search;
};

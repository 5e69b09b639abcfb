// What the window that lists every solution reads from its entries and what
// it shows: the hand and the target checked, with what is wrong said in the
// window's words; the search, run away from the window; its answer as lines.
// No window here, so it is tested and fuzzed without a toolkit.
#pragma once

#include "toolkit/toolkit.h"

#include <stop_token>
#include <string>
#include <string_view>

namespace every {

// The entries as read: a request for search(), or what is wrong with them.
struct Reading {
    std::string request; // empty when something is wrong
    std::string problem; // what is wrong, for the line beside the entries
};

// Reads a hand of one to six cards, separated by spaces or commas, each a
// number from 1 to 13 (decimals as written) or A, J, Q or K in either case,
// and a target: a whole number, a decimal or a fraction.
Reading readEntries(std::string_view hand, std::string_view target);

// Every distinct solution for a request that readEntries made: the answer
// that showAnswer reads. Gives up soon after `stop` is requested.
std::string search(std::string_view request, std::stop_token stop = {});

// The search as work away from the window, by the name the page's worker
// knows it by.
inline constexpr toolkit::Work searchWork{"every", search};

// An answer as the window shows it: the line that counts the solutions, and
// the solutions one a line (CR LF between), or "no solution" in words.
struct Shown {
    std::string count;
    std::string lines;
};
Shown showAnswer(std::string_view answer);

} // namespace every

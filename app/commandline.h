// What the program does before it needs a display: --help and --version, and
// a plain message instead of Qt's abort when no display can be opened.
#pragma once

#include <optional>

// Answers --help (-h) and --version (-V) when one is the only argument:
// prints to standard output and gives the exit status. Anything else is left
// to the window, which takes no command line of its own.
std::optional<int> answerCommandLine(int argc, char *argv[]);

// Whether the one argument is --every: the program opens the list of every
// solution at once, instead of the About window.
bool asksForEverySolution(int argc, char *argv[]);

// While it lives, a failure to open the display ends the program with one
// line on standard error and exit status 1. Qt's other start-up messages are
// passed on unchanged.
class DisplayGuard
{
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;
};

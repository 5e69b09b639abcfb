// quaddle-solve as a function, so that it can run in-process (the fuzz target
// runs it on arguments and standard input of its own, writing into memory).
#pragma once

#include <cstdio>
#include <ostream>

// The exit status for output that could not be written.
inline constexpr int quaddleSolveWriteError = 4;

// Runs quaddle-solve on `argv` (its arguments start at argv[1]), reading hands
// from `in`, writing to `out` and messages to `err`; returns the exit status.
// getopt_long may reorder `argv`. Never exits: every fault is a message and a
// status.
int runQuaddleSolve(int argc, char *argv[], std::FILE *in, std::ostream &out, std::ostream &err);

// quaddle-solve's entry point: the program itself is runQuaddleSolve.
#include "quaddlesolve.h"

#include <cstdio>
#include <iostream>

int main(int argc, char *argv[])
{
    std::ios::sync_with_stdio(false);
    const int status = runQuaddleSolve(argc, argv, stdin, std::cout, std::cerr);
    // std::cout writes straight to the file; should stdio hold anything for
    // it all the same, that must be written too.
    if (status != quaddleSolveWriteError && std::fflush(stdout) != 0) {
        std::cerr << "quaddle-solve: write error\n";
        return quaddleSolveWriteError;
    }
    return status;
}

// libFuzzer target: the whole of quaddle-solve, run in-process on fuzzed
// arguments and standard input, writing into memory. The input is its
// arguments one a line, then an empty line, then standard input:
//
//     --every
//     --target=10
//     -
//
//     1 2 3 4
//
// A crash, a hang, a leak or memory without bound on any input shows here;
// and whatever it writes is checked to be safe on a terminal.
#include "fuzzcheck.h"
#include "quaddlesolve.h"

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using fuzzcheck::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> arguments{"quaddle-solve"};
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.empty())
            break;
        // As the system passes it: a C string ends at its first NUL.
        arguments.emplace_back(line.substr(0, line.find('\0')));
    }
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    std::string input(rest);
    std::FILE *in =
        input.empty() ? std::fopen("/dev/null", "r") : fmemopen(input.data(), input.size(), "r");
    require(in != nullptr, "cannot open the input");
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        runQuaddleSolve(static_cast<int>(arguments.size()), argv.data(), in, out, err);
    std::fclose(in);

    // Memory never refuses a write, so there is no status 4 here.
    require(status >= 0 && status <= 3, "exit status");
    const std::string written = out.str();
    const std::string messages = err.str();
    require(messages.empty() == (status <= 1), "a message exactly when something failed", messages);
    require(!fuzzcheck::hasControl(written, true), "control characters in the output", written);
    require(!fuzzcheck::hasControl(messages, true), "control characters in a message", messages);
    require(written.empty() || written.back() == '\n', "the output ends in mid-line", written);
    for (std::size_t start = 0; start < messages.size();) {
        const std::size_t end = messages.find('\n', start);
        require(end != std::string::npos && messages.compare(start, 15, "quaddle-solve: ") == 0,
                "a message is not one line from quaddle-solve", messages);
        start = end + 1;
    }
    return 0;
}

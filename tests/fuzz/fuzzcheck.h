// What the fuzz targets share: a failed check stops the run with a message,
// and libFuzzer keeps the input that made it fail.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzzcheck {

inline void require(bool holds, const char *what, std::string_view input = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    if (!input.empty())
        std::fprintf(stderr, "on: '%.*s'\n", static_cast<int>(input.size()), input.data());
    std::abort();
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether a text could ever reach a terminal's control sequences.
inline bool hasControl(std::string_view text, bool newlinesAllowed)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && !(newlinesAllowed && c == '\n')) || byte == 0x7f)
            return true;
    }
    return false;
}

} // namespace fuzzcheck

// How the window and its search speak: a request is the target on its first
// line, then a card on each line, all as the search reads them back (checked
// already, so that reading them again cannot fail); an answer is "solved" on
// its first line and the solutions after it, one a line, or "overflow".
#pragma once

#include <string_view>
#include <vector>

namespace every::protocol {

inline constexpr char newline = '\n';
inline constexpr std::string_view solved = "solved";
inline constexpr std::string_view overflowed = "overflow";

inline std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const std::size_t end = text.find(newline);
        result.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return result;
}

} // namespace every::protocol

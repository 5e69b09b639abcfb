// The parts of the Calculate command that do not need a window: checking one
// entry and joining the result slots into the text of the result box.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calculate {

// The warnings, exactly as the user reads them.
inline constexpr std::string_view emptyEntryMessage = "请输入数字！"; // the box is empty
inline constexpr std::string_view outOfRangeMessage =
    "请输入一个1－13的数！"; // the entry does not read as a number from 1 to 13

// An entry that is not empty and reads as a number from 1 to 13, both
// included, compared in double precision before rounding, is accepted and
// stored as the nearest float. Otherwise the warning to show.
struct EntryCheck {
    std::optional<float> value;
    std::string_view warning;
};
EntryCheck checkEntry(std::string_view text);

// strResult1, then each non-empty one of strResult2 to strResult4, each
// preceded by a carriage return and line feed.
std::string resultText();

} // namespace calculate

// libFuzzer target: arbitrary bytes as the every-solution window's two
// entries (the hand, a line feed, the target), through their reading and,
// for a hand that reads, the search and the answer as the window shows it.
// Whatever is typed or pasted gives either a request or a short word about
// what is wrong, and a request always searches.
#include "every/everyanswer.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

using fuzzcheck::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t newline = std::min(input.find('\n'), input.size());
    const std::string_view hand = input.substr(0, newline);
    const std::string_view target = input.substr(std::min(newline + 1, input.size()));

    const every::Reading reading = every::readEntries(hand, target);
    require(reading.request.empty() != reading.problem.empty(),
            "neither a request nor a problem, or both", input);
    // A word beside the entries, however much was pasted: six characters
    // of what was typed at most, escaped.
    require(reading.problem.size() < 200, "a problem too long for its line", reading.problem);
    require(!fuzzcheck::hasControl(reading.problem, false), "a control character in a problem",
            reading.problem);
    if (reading.request.empty())
        return 0;
    // Five and six cards take too long for a fuzz run; four are the window's
    // everyday hand.
    if (std::count(reading.request.begin(), reading.request.end(), '\n') > 4)
        return 0;
    const every::Shown shown = every::showAnswer(every::search(reading.request));
    require(!shown.count.empty(), "an answer without its count", input);
    require(!shown.lines.empty() || shown.count == "数太大，无法精确计算。",
            "an empty list of solutions", input);
    return 0;
}

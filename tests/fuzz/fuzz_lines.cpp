// libFuzzer target: arbitrary bytes as standard input, through the line
// reader: lines of any length, any bytes, with or without an end of line at
// the end. Every line comes back as it was split here, and no line kept is
// longer than the limit.
#include "fuzzcheck.h"
#include "input.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

using fuzzcheck::require;

namespace {

struct Line {
    std::string text;
    bool tooLong = false;
};

// The input split at each '\n', with a last line only where something
// follows the last end of line, and one '\r' dropped from each line's end.
std::vector<Line> splitLines(std::string_view input)
{
    std::vector<Line> lines;
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        std::string_view line = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        // The limit holds for the line as it comes, its '\r' included.
        if (line.size() > input::maxLineLength) {
            lines.push_back({std::string(), true});
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back({std::string(line), false});
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    // fmemopen wants at least one byte; an empty input is a file with nothing in it.
    std::string buffer(bytes);
    std::FILE *file = size ? fmemopen(buffer.data(), size, "r") : std::fopen("/dev/null", "r");
    require(file != nullptr, "cannot open the input");

    const std::vector<Line> expected = splitLines(bytes);
    input::LineReader reader(file);
    std::string line;
    std::size_t count = 0;
    while (reader.next(line)) {
        require(count < expected.size(), "more lines than the input has");
        require(line.size() <= input::maxLineLength, "a line beyond the limit was kept");
        require(reader.tooLong() == expected[count].tooLong, "too long, or not");
        require(line == expected[count].text, "a line is not as it was written", line);
        ++count;
    }
    require(count == expected.size(), "lines were lost");
    require(!reader.failed(), "reading a file in memory failed");
    require(!reader.next(line) && line.empty(), "lines after the end");
    std::fclose(file);
    return 0;
}

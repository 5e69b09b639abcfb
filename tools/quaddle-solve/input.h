// Lines from standard input in bounded memory.
#pragma once

#include <cstdio>
#include <string>

namespace input {

// Lines longer than this are reported, not read: no hand is anywhere near it.
inline constexpr std::size_t maxLineLength = 4096;

class LineReader
{
public:
    explicit LineReader(std::FILE *file)
        : m_file(file)
    {}

    // The next line without its end, in `line`; false at the end of the input.
    // A line longer than maxLineLength leaves `line` empty, sets tooLong() and
    // is skipped to its end without being kept.
    bool next(std::string &line);
    bool tooLong() const { return m_tooLong; }
    // Whether reading failed, as opposed to reaching the end.
    bool failed() const { return std::ferror(m_file) != 0; }

private:
    std::FILE *m_file;
    bool m_tooLong = false;
};

} // namespace input

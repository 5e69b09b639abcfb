#include "input.h"

namespace input {

bool LineReader::next(std::string &line)
{
    line.clear();
    m_tooLong = false;
    int c = std::getc(m_file);
    if (c == EOF)
        return false;
    for (; c != EOF && c != '\n'; c = std::getc(m_file)) {
        if (m_tooLong)
            continue;
        if (line.size() == maxLineLength) {
            m_tooLong = true;
            line.clear();
            line.shrink_to_fit();
            continue;
        }
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

} // namespace input

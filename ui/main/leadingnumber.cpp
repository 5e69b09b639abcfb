// The leading-number conversion of the entry boxes.
#include "leadingnumber.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <string_view>

namespace {

// Counts can grow with the text; saturating them keeps every sum defined.
constexpr long long countLimit = 1'000'000'000'000LL;

long long saturatingAdd(long long a, long long b)
{
    const long long sum = a + b; // |a|, |b| <= 2 * countLimit: cannot overflow
    return std::max(-countLimit, std::min(countLimit, sum));
}

// Reads the text one character at a time, passing over blanks, tabs and line
// feeds. At the end of the text it yields NUL, which no number contains.
class Cursor
{
public:
    explicit Cursor(std::string_view text)
        : m_text(text)
    {}

    char peek()
    {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }
    void next() { ++m_pos; }

private:
    static bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c, int base)
{
    int value = -1;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

double wholeNumber(Cursor &cursor, int base)
{
    double value = 0.0;
    for (int digit; (digit = digitValue(cursor.peek(), base)) >= 0; cursor.next())
        value = value * base + digit; // reaches infinity, never overflows
    return value;
}

double decimalNumber(Cursor &cursor)
{
    bool negative = false;
    if (const char sign = cursor.peek(); sign == '+' || sign == '-') {
        negative = sign == '-';
        cursor.next();
    }

    // The digits, without blanks, for from_chars; and where the first
    // significant digit stands, to tell an overflow from an underflow.
    std::string digits;
    bool point = false;
    bool significant = false;
    long long magnitude = 0; // decimal exponent of the first significant digit, plus one
    for (char c = cursor.peek();; cursor.next(), c = cursor.peek()) {
        if (isDigit(c)) {
            digits += c;
            significant = significant || c != '0';
            if (significant && !point)
                magnitude = saturatingAdd(magnitude, 1);
            else if (!significant && point)
                magnitude = saturatingAdd(magnitude, -1);
        } else if (c == '.' && !point) {
            digits += '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits.empty() || digits == ".")
        return 0.0;

    if (const char e = cursor.peek(); e == 'e' || e == 'E') {
        cursor.next();
        std::string exponent = "e";
        if (const char sign = cursor.peek(); sign == '+' || sign == '-') {
            exponent += sign;
            cursor.next();
        }
        long long exponentValue = 0;
        for (char c = cursor.peek(); isDigit(c); cursor.next(), c = cursor.peek()) {
            exponent += c;
            exponentValue = std::min(countLimit, exponentValue * 10 + (c - '0'));
        }
        if (exponent.size() > 1 && isDigit(exponent.back())) {
            digits += exponent;
            magnitude =
                saturatingAdd(magnitude, exponent[1] == '-' ? -exponentValue : exponentValue);
        }
    }

    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

} // namespace

double leadingNumber(std::string_view text)
{
    Cursor cursor(text);
    if (cursor.peek() != '&')
        return decimalNumber(cursor);

    cursor.next();
    const char prefix = cursor.peek();
    cursor.next();
    if (prefix == 'H' || prefix == 'h')
        return wholeNumber(cursor, 16);
    if (prefix == 'O' || prefix == 'o')
        return wholeNumber(cursor, 8);
    return 0.0;
}

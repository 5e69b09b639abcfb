// The leading-number conversion of the entry boxes.
#include "leadingnumber.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

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
    explicit Cursor(QStringView text)
        : m_text(text)
    {}

    char16_t peek()
    {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos].unicode()))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos].unicode() : u'\0';
    }
    void next() { ++m_pos; }

private:
    static bool isSkipped(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

    QStringView m_text;
    qsizetype m_pos = 0;
};

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c, int base)
{
    int value = -1;
    if (isDigit(c))
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
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
    if (const char16_t sign = cursor.peek(); sign == u'+' || sign == u'-') {
        negative = sign == u'-';
        cursor.next();
    }

    // The digits, without blanks, for from_chars; and where the first
    // significant digit stands, to tell an overflow from an underflow.
    std::string digits;
    bool point = false;
    bool significant = false;
    long long magnitude = 0; // decimal exponent of the first significant digit, plus one
    for (char16_t c = cursor.peek();; cursor.next(), c = cursor.peek()) {
        if (isDigit(c)) {
            digits += static_cast<char>(c);
            significant = significant || c != u'0';
            if (significant && !point)
                magnitude = saturatingAdd(magnitude, 1);
            else if (!significant && point)
                magnitude = saturatingAdd(magnitude, -1);
        } else if (c == u'.' && !point) {
            digits += '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits.empty() || digits == ".")
        return 0.0;

    if (const char16_t e = cursor.peek(); e == u'e' || e == u'E') {
        cursor.next();
        std::string exponent = "e";
        if (const char16_t sign = cursor.peek(); sign == u'+' || sign == u'-') {
            exponent += static_cast<char>(sign);
            cursor.next();
        }
        long long exponentValue = 0;
        for (char16_t c = cursor.peek(); isDigit(c); cursor.next(), c = cursor.peek()) {
            exponent += static_cast<char>(c);
            exponentValue = std::min(countLimit, exponentValue * 10 + (c - u'0'));
        }
        if (exponent.size() > 1 && isDigit(static_cast<char16_t>(exponent.back()))) {
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

double leadingNumber(QStringView text)
{
    Cursor cursor(text);
    if (cursor.peek() != u'&')
        return decimalNumber(cursor);

    cursor.next();
    const char16_t prefix = cursor.peek();
    cursor.next();
    if (prefix == u'H' || prefix == u'h')
        return wholeNumber(cursor, 16);
    if (prefix == u'O' || prefix == u'o')
        return wholeNumber(cursor, 8);
    return 0.0;
}

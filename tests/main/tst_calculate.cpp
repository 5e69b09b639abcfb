// Tests of what the Calculate command does without a window: the leading-number
// conversion, the check of one entry, and the joining of the result slots.
#include "main/calculate.h"
#include "main/leadingnumber.h"
#include "modQuaddle.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const double inf = std::numeric_limits<double>::infinity();

// A UTF-8 literal as the bytes a text box hands over.
std::string u8str(const char8_t *text)
{
    return reinterpret_cast<const char *>(text);
}

struct NumberRow {
    std::string name;
    std::string text;
    double value;
};

void checkLeadingNumbers(const std::vector<NumberRow> &rows)
{
    for (const NumberRow &row : rows) {
        CAPTURE(row.name);
        CHECK(leadingNumber(row.text) == row.value);
    }
}

} // namespace

TEST_CASE("leading number of a typed text")
{
    checkLeadingNumbers({
        {"1", "1", 1.0},
        {"13", "13", 13.0},
        {"leading blank", " 7", 7.0},
        {"trailing letters", "7abc", 7.0},
        {"exponent", "1e1", 10.0},
        {"capital exponent, signed", "25E-1", 2.5},
        {"hex", "&HD", 13.0},
        {"hex 14", "&HE", 14.0},
        {"blank inside", "1 2", 12.0},
        {"tabs and line feeds anywhere", "\t1\n2 . 5", 12.5},
        {"blank inside exponent", "1e 1", 10.0},
        {"blank inside hex prefix", "& H D", 13.0},
        {"negative", "-5", -5.0},
        {"plus", "+7", 7.0},
        {"zero", "0", 0.0},
        {"letters", "abc", 0.0},
        {"lone blank", " ", 0.0},
        {"lone minus", "-", 0.0},
        {"lone point", ".", 0.0},
        {"leading point", ".5", 0.5},
        {"trailing point", "5.", 5.0},
        {"second point stops", "1.2.3", 1.2},
        {"comma is no decimal point", "1,5", 1.0},
        {"e without digits", "2e", 2.0},
        {"e with sign only", "2e+", 2.0},
        {"d is no exponent", "1d1", 1.0},
        {"two signs", "--5", 0.0},
        {"lowercase hex", "&h1f", 31.0},
        {"octal", "&O17", 15.0},
        {"lowercase octal", "&o7", 7.0},
        {"8 is no octal digit", "&O8", 0.0},
        {"hex is unsigned", "&HFFFF", 65535.0},
        {"ampersand alone", "&", 0.0},
        {"other prefix", "&X1", 0.0},
        {"sign before hex", "-&HD", 0.0},
        {"carriage return is not skipped", "\r7", 0.0},
        {"no-break space is not skipped", u8str(u8"\u00A07"), 0.0},
        {"full-width digit", u8str(u8"\uFF17"), 0.0},
        {"right-to-left mark", u8str(u8"\u200F7"), 0.0},
        {"emoji after number", u8str(u8"7\U0001F600"), 7.0},
        {"NUL ends the number",
         std::string("7\0"
                     "8",
                     3),
         7.0},
        {"beyond double range", "1e999", inf},
        {"beyond double range, negative", "-1e400", -inf},
        {"below double range", "1e-999", 0.0},
        {"huge exponent digits", "1e99999999999999999999999", inf},
        {"12.99999999", "12.99999999", 12.99999999},
        {"13.0000001", "13.0000001", 13.0000001},
    });
}

TEST_CASE("leading number of huge texts, in linear time")
{
    checkLeadingNumbers({
        {"10,000 digits", std::string("1") + std::string(9999, '0'), inf},
        {"10,000 leading zeros", std::string(10000, '0') + "7", 7.0},
        {"10,000 zeros after the point", std::string("0.") + std::string(10000, '0') + "1", 0.0},
        {"many digits, small exponent", std::string("1") + std::string(10000, '0') + "e-10000",
         1.0},
        {"300 hex digits", std::string("&H") + std::string(300, 'F'), inf},
        {"a pasted megabyte of digits", std::string(1 << 20, '7'), inf},
        {"a pasted megabyte of blanks", std::string(1 << 20, ' ') + "7", 7.0},
        {"a pasted megabyte of text", "8" + std::string(1 << 20, 'x'), 8.0},
    });
}

TEST_CASE("check of one entry")
{
    struct Row {
        std::string name;
        std::string text;
        bool accepted;
        float stored;
        std::string_view warning;
    };
    const std::string_view range = calculate::outOfRangeMessage;
    const Row rows[] = {
        {"1", "1", true, 1.0f, ""},
        {"13", "13", true, 13.0f, ""},
        {"2.5", "2.5", true, 2.5f, ""},
        {"1.1 as the nearest float", "1.1", true, 1.1f, ""},
        {"12.99999999 stored as 13", "12.99999999", true, 13.0f, ""},
        {"&HD", "&HD", true, 13.0f, ""},
        {"empty", "", false, 0.0f, calculate::emptyEntryMessage},
        {"0.99", "0.99", false, 0.0f, range},
        {"13.01", "13.01", false, 0.0f, range},
        {"13.0000001 though it rounds to 13", "13.0000001", false, 0.0f, range},
        {"0.99999999 though it rounds to 1", "0.99999999", false, 0.0f, range},
        {"&HE", "&HE", false, 0.0f, range},
        {"-5", "-5", false, 0.0f, range},
        {"abc", "abc", false, 0.0f, range},
        {"lone blank", " ", false, 0.0f, range},
        {"beyond double range", "1e999", false, 0.0f, range},
        {"hex too long for any integer", "&H" + std::string(40, 'F'), false, 0.0f, range},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const calculate::EntryCheck entry = calculate::checkEntry(row.text);
        CHECK(entry.value.has_value() == row.accepted);
        if (row.accepted && entry.value)
            CHECK(*entry.value == row.stored);
        CHECK(entry.warning == row.warning);
    }
}

TEST_CASE("result text from the slots")
{
    struct Row {
        std::string name;
        std::vector<std::string> slots;
        std::string text;
    };
    const Row rows[] = {
        {"all empty", {"", "", "", "", ""}, ""},
        {"gaps", {"A", "", "C", "", ""}, "A\r\nC"},
        {"only the second", {"", "B", "", "", ""}, "\r\nB"},
        {"four", {"A", "B", "C", "D", ""}, "A\r\nB\r\nC\r\nD"},
        {"fifth is not shown", {"", "", "", "", "E"}, ""},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        modQuaddle::clearResults();
        for (int shape = 1; shape <= 5; ++shape)
            modQuaddle::resultSlot(shape) = row.slots.at(shape - 1);
        CHECK(calculate::resultText() == row.text);
    }
}

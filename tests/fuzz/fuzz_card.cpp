// libFuzzer target: arbitrary bytes as one card value, through the card
// reader, the exact value and the escaping of texts for messages. The reader
// is checked against the rule it documents, worked out here on the digits.
#include "cards.h"
#include "fuzzcheck.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using fuzzcheck::isDigit;
using fuzzcheck::require;

namespace {

// The digits of a plain decimal (no sign, no exponent, at most one point,
// at least one digit), split at the point; nothing for any other text.
struct Decimal {
    std::string_view whole;
    std::string_view decimals;
};

std::optional<Decimal> plainDecimal(std::string_view text)
{
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    for (const std::string_view part : {whole, decimals}) {
        for (const char c : part) {
            if (!isDigit(c))
                return std::nullopt;
        }
    }
    if (whole.empty() && decimals.empty())
        return std::nullopt;
    return Decimal{whole, decimals};
}

// Whether the decimal is from 1 to 13, exactly as written.
bool inCardRange(const Decimal &decimal)
{
    std::string_view whole = decimal.whole;
    while (!whole.empty() && whole.front() == '0')
        whole.remove_prefix(1);
    if (whole.size() > 2)
        return false;
    int value = 0;
    for (const char c : whole)
        value = value * 10 + (c - '0');
    const bool fractionZero = decimal.decimals.find_first_not_of('0') == std::string_view::npos;
    return (value >= 1 && value < 13) || (value == 13 && fractionZero);
}

std::optional<int> faceValue(std::string_view token)
{
    if (token.size() != 1)
        return std::nullopt;
    switch (token.front()) {
    case 'A':
    case 'a':
        return 1;
    case 'J':
    case 'j':
        return 11;
    case 'Q':
    case 'q':
        return 12;
    case 'K':
    case 'k':
        return 13;
    }
    return std::nullopt;
}

void checkCard(std::string_view token)
{
    const std::optional<cards::Card> card = cards::parseCard(token);
    const std::optional<int> face = faceValue(token);
    const std::optional<Decimal> decimal = plainDecimal(token);
    const bool card13 = face || (decimal && inCardRange(*decimal));
    require(card.has_value() == card13,
            card ? "read a text that is no card value" : "did not read a card value", token);
    if (!card)
        return;

    // The tidy text reads back to itself and to the same single-precision value.
    const std::string &text = card->text;
    require(!text.empty() && text.front() != '.' && text.back() != '.', "untidy text", text);
    require(text.size() == 1 || text[0] != '0' || text[1] == '.', "leading zero", text);
    const std::optional<cards::Card> again = cards::parseCard(text);
    require(again && again->text == text && again->single == card->single,
            "the text does not read back to the same card", text);

    // Single precision: the nearest float, or its neighbour where the
    // reading through double rounds twice, as the window's does.
    float nearest = 0;
    if (face) {
        nearest = static_cast<float>(*face);
    } else {
        std::from_chars(token.data(), token.data() + token.size(), nearest,
                        std::chars_format::fixed);
    }
    require(card->single == nearest || card->single == std::nextafter(nearest, 0.0f) ||
                card->single == std::nextafter(nearest, 14.0f),
            "single precision is not the value", token);

    // The exact value is the decimal as written; texts of up to 36 digits
    // always fit the exact arithmetic.
    std::size_t digits = 0;
    for (const char c : text)
        digits += isDigit(c) ? 1 : 0;
    std::optional<modQuaddle::Rational> exact;
    try {
        exact = cards::exactValue(*card);
    } catch (const std::overflow_error &) {
        require(digits > 36, "a short card value overflowed", text);
        return;
    }
    if (digits <= 36) {
        __int128 num = 0;
        __int128 den = 1;
        const std::size_t point = text.find('.');
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (k == point)
                continue;
            num = num * 10 + (text[k] - '0');
            if (point != std::string::npos && k > point)
                den *= 10;
        }
        // Both sides below 10^38 times a denominator that divides 10^36.
        const bool lowest = den % exact->denominator() == 0;
        require(lowest && exact->numerator() * (den / exact->denominator()) == num,
                "exact value is not the decimal as written", text);
    }
    const auto whole = exact->numerator() / exact->denominator();
    const bool fraction = exact->numerator() % exact->denominator() != 0;
    require((whole >= 1 && whole < 13) || (whole == 13 && !fraction), "exact value outside 1 to 13",
            text);
}

void checkPrintable(std::string_view text)
{
    const std::string shown = cards::printable(text);
    require(!fuzzcheck::hasControl(shown, false), "a control character is shown", shown);
    require(fuzzcheck::hasControl(text, false) ? shown.size() > text.size() : shown == text,
            "a printable text is changed", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view token(reinterpret_cast<const char *>(data), size);
    checkCard(token);
    checkPrintable(token);
    return 0;
}

// Reading what the user types: card values, targets, and texts safe to echo.
#pragma once

#include "rational.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cards {

// A card value from 1 to 13 as the user wrote it.
struct Card {
    std::string text; // a plain decimal as written, tidied ("02." is "2"); faces as 1, 11, 12, 13
    float single = 0; // as the window stores it: the nearest float
};

// A number from 1 to 13 in plain decimal notation (no sign, no exponent), or
// one of the card faces A, J, Q and K in either case. Nothing for any other text.
std::optional<Card> parseCard(std::string_view token);

// The card's value exactly as written: 1.1 is 11/10. Throws
// std::overflow_error for more digits than the exact arithmetic holds.
modQuaddle::Rational exactValue(const Card &card);

// The words of a hand typed on one line: what stands between spaces or
// commas, the full-width ones of a Chinese keyboard included.
std::vector<std::string_view> splitHand(std::string_view line);

// A target: a whole number, a decimal or a fraction such as 1/2, with an
// optional minus sign. Nothing for any other text.
std::optional<modQuaddle::Rational> parseTarget(std::string_view text);

// The target as JSON: a number when it is whole, else its fraction as a string.
std::string targetJson(const modQuaddle::Rational &target);

// `text` for a message on the terminal: control characters written as \xNN,
// so no input can drive the terminal.
std::string printable(std::string_view text);

} // namespace cards

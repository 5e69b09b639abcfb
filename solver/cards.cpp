#include "cards.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace cards {

std::optional<Card> parseCard(std::string_view token)
{
    if (token.size() == 1) {
        const char *face = nullptr;
        switch (std::toupper(static_cast<unsigned char>(token.front()))) {
        case 'A':
            face = "1";
            break;
        case 'J':
            face = "11";
            break;
        case 'Q':
            face = "12";
            break;
        case 'K':
            face = "13";
            break;
        }
        if (face)
            return Card{face, static_cast<float>(std::atoi(face))};
    }
    // Digits with at most one point; nothing else, so no sign, exponent,
    // "inf" or hexadecimal gets through.
    std::size_t points = 0;
    std::size_t digits = 0;
    for (const char c : token) {
        if (c == '.')
            ++points;
        else if (std::isdigit(static_cast<unsigned char>(c)))
            ++digits;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    // The range by the digits as written: a double would round
    // 13.0000000000000000001 to 13 and 0.99999999999999999999 to 1, and the
    // exact modes would then count with a card outside it.
    const std::string_view decimals =
        points ? token.substr(token.find('.') + 1) : std::string_view();
    std::string_view whole = token.substr(0, token.size() - decimals.size() - points);
    while (!whole.empty() && whole.front() == '0')
        whole.remove_prefix(1);
    int wholeValue = 0;
    for (const char c : whole.substr(0, 3))
        wholeValue = wholeValue * 10 + (c - '0');
    const bool fractionZero = decimals.find_first_not_of('0') == std::string_view::npos;
    if (!((wholeValue >= 1 && wholeValue < 13) || (wholeValue == 13 && fractionZero)))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(token.data(), token.data() + token.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != token.data() + token.size())
        return std::nullopt;

    // Tidy the text: no leading zeros, a digit before the point, none after
    // a bare point.
    std::string text(token);
    while (text.size() > 1 && text[0] == '0' && text[1] != '.')
        text.erase(0, 1);
    if (text.front() == '.')
        text.insert(0, "0");
    if (text.back() == '.')
        text.pop_back();
    return Card{text, static_cast<float>(value)};
}

modQuaddle::Rational exactValue(const Card &card)
{
    // The text has been checked to be a plain decimal, so only its length
    // can fail here.
    return modQuaddle::Rational::parse(card.text).value();
}

std::vector<std::string_view> splitHand(std::string_view line)
{
    // Separators, each as its UTF-8 bytes: the ASCII ones, then the
    // ideographic space and the full-width and ideographic commas.
    static constexpr std::string_view separators[] = {" ", "\t", ",", "\u3000", "\uff0c", "\u3001"};
    std::vector<std::string_view> words;
    std::size_t start = 0;
    std::size_t at = 0;
    while (at < line.size()) {
        std::size_t length = 0;
        for (const std::string_view separator : separators) {
            if (line.substr(at, separator.size()) == separator)
                length = separator.size();
        }
        if (length == 0) {
            ++at;
            continue;
        }
        if (at > start)
            words.push_back(line.substr(start, at - start));
        at += length;
        start = at;
    }
    if (at > start)
        words.push_back(line.substr(start));
    return words;
}

std::optional<modQuaddle::Rational> parseTarget(std::string_view text)
{
    try {
        return modQuaddle::Rational::parse(text);
    } catch (const std::overflow_error &) {
        return std::nullopt;
    }
}

std::string targetJson(const modQuaddle::Rational &target)
{
    const std::string text = target.toString();
    return target.denominator() == 1 ? text : '"' + text + '"';
}

std::string printable(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace cards

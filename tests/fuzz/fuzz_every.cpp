// libFuzzer target: the distinct-solution search on small hands (two to four
// numbers from 1 to 13, whole or with one or two decimals) and small targets
// of every kind, against the brute force of the solver's tests: the same solutions,
// each once. For four numbers, the exact search of the five slots must find
// something exactly when there is a solution.
#include "bruteforce.h"
#include "cards.h"
#include "everysolution.h"
#include "exactsearch.h"
#include "fuzzcheck.h"
#include "modQuaddle.h"

#include <cstdint>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using fuzzcheck::require;

namespace {

std::vector<std::string> words(std::string_view text)
{
    std::istringstream stream{std::string(text)};
    std::vector<std::string> tokens;
    for (std::string token; stream >> token;)
        tokens.push_back(std::move(token));
    return tokens;
}

// The number of decimals a card's tidy text has.
std::size_t decimals(const std::string &text)
{
    const std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : text.size() - point - 1;
}

} // namespace

// The input is a hand and, after '=', a target (24 without one), as text:
// "3 3 8 8", "1 3 4 6 = 1/2", "2.5 2.50 Q = -7.5". Inputs outside the hands
// this target is for (two to four cards with at most two decimals, a target
// with small numerator and denominator) are passed over.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::size_t equals = text.find('=');
    const std::vector<std::string> tokens = words(text.substr(0, equals));
    const std::vector<std::string> targetTokens = equals == std::string_view::npos
                                                      ? std::vector<std::string>{"24"}
                                                      : words(text.substr(equals + 1));
    if (tokens.size() < 2 || tokens.size() > 4 || targetTokens.size() != 1)
        return 0;

    // Through the readers quaddle-solve uses, as it passes them on.
    std::vector<std::string> texts;
    std::vector<modQuaddle::HandNumber> numbers;
    for (const std::string &token : tokens) {
        const std::optional<cards::Card> card = cards::parseCard(token);
        if (!card || decimals(card->text) > 2)
            return 0;
        texts.push_back(card->text);
        numbers.push_back({cards::exactValue(*card), card->text});
    }
    const std::string &targetWritten = targetTokens.front();
    const std::optional<modQuaddle::Rational> target = cards::parseTarget(targetWritten);
    if (!target || target->numerator() > 100000 || target->numerator() < -100000 ||
        target->denominator() > 10000 || decimals(targetWritten) > 4 || targetWritten.size() > 12)
        return 0;
    const std::vector<std::string> found = modQuaddle::FindEverySolution(numbers, *target);

    bruteforce::Trees trees;
    std::vector<int> leaves;
    for (const std::string &text : texts)
        leaves.push_back(trees.leaf(bruteforce::parseNumber(text)));
    const bruteforce::Fraction goal = bruteforce::parseNumber(targetWritten);
    std::set<std::string> expected;
    bruteforce::everyExpression(trees, leaves, goal, expected);

    std::set<std::string> foundKeys;
    for (const std::string &text : found) {
        const int tree = bruteforce::TreeParser(text, trees).parse();
        require(trees[tree].value == goal, "a solution does not make the target", text);
        require(foundKeys.insert(trees.key(tree)).second, "a solution written twice", text);
    }
    require(foundKeys == expected, "not the brute force's solutions");

    if (numbers.size() == 4) {
        modQuaddle::ExactHand hand;
        for (std::size_t k = 0; k < 4; ++k) {
            hand.values[k] = numbers[k].value;
            hand.texts[k] = numbers[k].text;
        }
        modQuaddle::clearResults();
        modQuaddle::FindSolutionsExact(hand, *target);
        bool filled = false;
        for (int shape = 1; shape <= 5; ++shape)
            filled = filled || !modQuaddle::resultSlot(shape).empty();
        require(filled == !found.empty(), "the slots and the distinct solutions disagree");
    }
    return 0;
}

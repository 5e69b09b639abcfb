// quaddle-solve: the windowed program's search on the command line, for one
// hand, a file of hands or all 1,820 hands, in single precision or exactly.
#include "exactsearch.h"
#include "hands.h"
#include "modQuaddle.h"
#include "quaddlefacts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int exitSolved = 0;
constexpr int exitNoSolution = 1;
constexpr int exitBadInput = 2;
constexpr int exitOverflow = 3;

const char usage[] = R"(Usage: quaddle-solve [OPTIONS] A B C D
       quaddle-solve [OPTIONS]            (hands from standard input)
       quaddle-solve [OPTIONS] --all

Finds how to combine four card values with + - * / and brackets into 24,
one solution for each of the five ways of bracketing, as Quaddle does.

A card value is a number from 1 to 13 (decimals such as 2.5 are allowed) or
one of the card faces A, J, Q and K (either case) for 1, 11, 12 and 13.

For one hand, each bracket shape that has a solution is printed as
"<shape> <text>", shapes 1 to 5 in order, or "no solution".
Hands from standard input, one per line (blank lines and lines starting with
'#' are skipped), and --all print one line per hand:
  A B C D | <shape 1> | <shape 2> | <shape 3> | <shape 4> | <shape 5>
with "-" for a shape without a solution.

Options:
  --exact    test "equals 24" in exact rational arithmetic instead of single
             precision (same order, same texts; finds e.g. 8/(3-8/3))
  --all      solve all 1,820 hands of whole numbers 1 to 13 and end with
             a summary line
  --json     print one JSON object per hand and line:
               {"hand":[3,5,9,8],"slots":["(8-5)*9-3",...,null]}
             and, after --all, {"hands":1820,"solvable":1361,"unsolvable":459}
  -h, --help     show this help
  -V, --version  show the version

Exit status: 0 solved (or every line read), 1 no solution for the one hand,
2 bad arguments or input lines, 3 the exact arithmetic overflowed.
)";

using modQuaddle::Hand;
using Slots = std::array<std::string, 5>;

struct Options {
    bool exact = false;
    bool all = false;
    bool json = false;
};

class BadInput : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A card value as the window accepts it: from 1 to 13 in double precision,
// stored as the nearest float; or a card face.
std::optional<float> cardValue(std::string_view token)
{
    if (token.size() == 1) {
        switch (std::toupper(static_cast<unsigned char>(token.front()))) {
        case 'A':
            return 1.0f;
        case 'J':
            return 11.0f;
        case 'Q':
            return 12.0f;
        case 'K':
            return 13.0f;
        }
    }
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(token.data(), token.data() + token.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != token.data() + token.size())
        return std::nullopt;
    if (!(value >= 1.0 && value <= 13.0))
        return std::nullopt;
    return static_cast<float>(value);
}

Hand parseHand(const std::vector<std::string> &tokens)
{
    if (tokens.size() < 4)
        throw BadInput("expected four card values, got " + std::to_string(tokens.size()));
    if (tokens.size() > 4)
        throw BadInput("expected four card values, got a fifth: '" + tokens[4] + "'");
    Hand hand;
    for (std::size_t k = 0; k < 4; ++k) {
        const std::optional<float> value = cardValue(tokens[k]);
        if (!value)
            throw BadInput("'" + tokens[k] + "' is not a card value (1 to 13, or A, J, Q, K)");
        hand[k] = *value;
    }
    return hand;
}

Slots solve(const Hand &hand, const Options &options)
{
    std::copy(hand.begin(), hand.end(), modQuaddle::Num.begin() + 1);
    modQuaddle::clearResults();
    if (options.exact)
        modQuaddle::FindSolutionsExact();
    else
        modQuaddle::FindSolutions();
    Slots result;
    for (std::size_t k = 0; k < result.size(); ++k)
        result[k] = modQuaddle::resultSlot(static_cast<int>(k) + 1);
    return result;
}

bool solvable(const Slots &slots)
{
    for (const std::string &slot : slots) {
        if (!slot.empty())
            return true;
    }
    return false;
}

std::string handText(const Hand &hand, const char *separator)
{
    std::string text;
    for (std::size_t k = 0; k < hand.size(); ++k)
        text += (k ? separator : "") + modQuaddle::NumberText(hand[k]);
    return text;
}

// Solution texts hold only digits, '.', operators and brackets, so they need
// no escaping in JSON.
std::string jsonLine(const Hand &hand, const Slots &slots)
{
    std::string line = "{\"hand\":[" + handText(hand, ",") + "],\"slots\":[";
    for (std::size_t k = 0; k < slots.size(); ++k)
        line += (k ? "," : "") + (slots[k].empty() ? std::string("null") : '"' + slots[k] + '"');
    return line + "]}";
}

std::string handLine(const Hand &hand, const Slots &slots, const Options &options)
{
    if (options.json)
        return jsonLine(hand, slots);
    std::string line = handText(hand, " ");
    for (const std::string &slot : slots)
        line += " | " + (slot.empty() ? std::string("-") : slot);
    return line;
}

int solveOne(const Hand &hand, const Options &options)
{
    const Slots slots = solve(hand, options);
    if (options.json) {
        std::cout << jsonLine(hand, slots) << '\n';
    } else if (!solvable(slots)) {
        std::cout << "no solution\n";
    } else {
        for (std::size_t k = 0; k < slots.size(); ++k) {
            if (!slots[k].empty())
                std::cout << k + 1 << ' ' << slots[k] << '\n';
        }
    }
    return solvable(slots) ? exitSolved : exitNoSolution;
}

int solveAll(const Options &options)
{
    int hands = 0;
    int solved = 0;
    for (const Hand &hand : modQuaddle::allHands()) {
        const Slots slots = solve(hand, options);
        ++hands;
        solved += solvable(slots) ? 1 : 0;
        std::cout << handLine(hand, slots, options) << '\n';
    }
    if (options.json)
        std::cout << "{\"hands\":" << hands << ",\"solvable\":" << solved
                  << ",\"unsolvable\":" << hands - solved << "}\n";
    else
        std::cout << hands << " hands, " << solved << " solvable, " << hands - solved
                  << " unsolvable\n";
    return exitSolved;
}

int solveLines(std::istream &in, const Options &options)
{
    int status = exitSolved;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string token; words >> token;)
            tokens.push_back(token);
        if (tokens.empty() || tokens.front().front() == '#')
            continue;
        try {
            const Hand hand = parseHand(tokens);
            std::cout << handLine(hand, solve(hand, options), options) << '\n';
        } catch (const BadInput &error) {
            std::cout.flush();
            std::cerr << "quaddle-solve: line " << number << ": " << error.what() << '\n';
            status = exitBadInput;
        }
    }
    return status;
}

int run(int argc, char *argv[])
{
    Options options;
    std::vector<std::string> numbers;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool looksLikeNumber =
            arg.size() > 1 && arg[0] == '-' && std::isdigit(static_cast<unsigned char>(arg[1]));
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" || looksLikeNumber) {
            numbers.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--exact") {
            options.exact = true;
        } else if (arg == "--all") {
            options.all = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << usage;
            return exitSolved;
        } else if (arg == "-V" || arg == "--version") {
            std::cout << "quaddle-solve " << quaddle::versionText << '\n';
            return exitSolved;
        } else {
            throw BadInput("unknown option '" + std::string(arg) + "' (see quaddle-solve --help)");
        }
    }

    if (options.all) {
        if (!numbers.empty())
            throw BadInput("--all takes no card values, got '" + numbers.front() + "'");
        return solveAll(options);
    }
    if (numbers.empty())
        return solveLines(std::cin, options);
    return solveOne(parseHand(numbers), options);
}

} // namespace

int main(int argc, char *argv[])
{
    std::ios::sync_with_stdio(false);
    try {
        return run(argc, argv);
    } catch (const BadInput &error) {
        std::cerr << "quaddle-solve: " << error.what() << '\n';
        return exitBadInput;
    } catch (const std::overflow_error &error) {
        std::cout.flush();
        std::cerr << "quaddle-solve: " << error.what() << '\n';
        return exitOverflow;
    }
}

// Tests of the search for every distinct solution, against a brute force of
// its own (bruteforce.h): every expression of the numbers, in exact
// fractions, told apart by the rules of "the same" applied to whole trees.
#include "bruteforce.h"
#include "everysolution.h"
#include "hands.h"
#include "printers.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

using exact::Fraction;
using namespace bruteforce;

namespace {

using Texts = std::vector<std::string>;

std::vector<modQuaddle::HandNumber> handNumbers(const Texts &texts)
{
    std::vector<modQuaddle::HandNumber> numbers;
    for (const std::string &text : texts)
        numbers.push_back({*modQuaddle::Rational::parse(text), text});
    return numbers;
}

// A hand of whole numbers as a user types it.
Texts handTexts(const modQuaddle::Hand &hand)
{
    Texts texts;
    for (const float number : hand)
        texts.push_back(std::to_string(static_cast<int>(number)));
    return texts;
}

std::string joined(const Texts &texts)
{
    std::string text;
    for (const std::string &item : texts) {
        if (!text.empty())
            text += ' ';
        text += item;
    }
    return text;
}

} // namespace

TEST_CASE("FindEverySolution on examples worked by hand")
{
    struct Row {
        std::string name;
        Texts hand;
        std::string target;
        Texts solutions;
    };
    const Row rows[] = {
        {"1 2 3 4", {"1", "2", "3", "4"}, "24", {"(1+2+3)*4", "(1+3)*(2+4)", "1*2*3*4", "2*3*4/1"}},
        {"3 3 8 8", {"3", "3", "8", "8"}, "24", {"8/(3-8/3)"}},
        {"1 1 1 1", {"1", "1", "1", "1"}, "24", {}},
        {"decimals as written",
         {"1.1", "10", "13", "1"},
         "24",
         {"(1.1*10+13)*1", "(1.1*10+13)/1", "1*1.1*10+13", "1*13+1.1*10", "1.1*10+13/1",
          "1.1*10/1+13"}},
        {"one number", {"13"}, "13", {"13"}},
        {"fraction target", {"1", "2"}, "1/2", {"1/2"}},
        {"negative target", {"1", "2", "3"}, "-3", {"(1-2)*3", "3/(1-2)"}},
        {"zero target", {"2", "2"}, "0", {"2-2"}},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const Texts found = modQuaddle::FindEverySolution(handNumbers(row.hand),
                                                          *modQuaddle::Rational::parse(row.target));
        CHECK(found.size() == row.solutions.size());
        // The spelling of each solution is the program's choice; the solution is not.
        Trees trees;
        std::set<std::string> foundKeys;
        std::set<std::string> expectedKeys;
        for (const std::string &text : found)
            foundKeys.insert(trees.key(TreeParser(text, trees).parse()));
        for (const std::string &text : row.solutions)
            expectedKeys.insert(trees.key(TreeParser(text, trees).parse()));
        CHECK(foundKeys == expectedKeys);
    }
}

// Each rule of "the same", and each pair that stays different, as two hands'
// worth of expressions written out: the brute force's key must agree.
TEST_CASE("The same solution and different solutions")
{
    struct Row {
        std::string name;
        std::string first;
        std::string second;
        bool same;
    };
    const Row rows[] = {
        {"a+b = b+a", "2+3", "3+2", true},
        {"a*b = b*a", "2*3", "3*2", true},
        {"(a+b)+c = a+(b+c)", "(2+3)+4", "2+(3+4)", true},
        {"a-(b-c) = a-b+c", "9-(5-2)", "9-5+2", true},
        {"a-(b+c) = a-b-c", "9-(5+2)", "9-5-2", true},
        {"a/(b/c) = a*c/b", "8/(4/2)", "8*2/4", true},
        {"a/(b*c) = a/b/c", "8/(4*2)", "8/4/2", true},
        {"equal cards swap", "3-3", "3-3", true},
        {"1*x and x/1 differ", "1*5", "5/1", false},
        {"no distributing", "2*(3+4)", "2*3+2*4", false},
        {"signs are not moved", "(5-2)*(4-3)", "(2-5)*(3-4)", false},
        {"a-b and b-a differ", "5-2", "2-5", false},
    };
    const auto digits = [](const std::string &text) {
        Texts numbers;
        for (const char c : text) {
            if (std::isdigit(static_cast<unsigned char>(c)))
                numbers.emplace_back(1, c);
        }
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Trees trees;
        const std::string a = trees.key(TreeParser(row.first, trees).parse());
        const std::string b = trees.key(TreeParser(row.second, trees).parse());
        CHECK((a == b) == row.same);

        // Where both use the same numbers for the same value, the program lists
        // them as one solution or as two, as the rules say.
        const Fraction value = trees[TreeParser(row.first, trees).parse()].value;
        if (digits(row.first) != digits(row.second) ||
            !(trees[TreeParser(row.second, trees).parse()].value == value))
            continue;
        std::set<std::string> keys;
        for (const std::string &text :
             modQuaddle::FindEverySolution(handNumbers(digits(row.first)),
                                           modQuaddle::Rational::fraction(value.num, value.den)))
            keys.insert(trees.key(TreeParser(text, trees).parse()));
        CHECK(keys.count(a) == 1);
        CHECK(keys.count(b) == 1);
    }
}

TEST_CASE("FindEverySolution agrees with the brute force")
{
    struct Row {
        std::string name;
        Texts hand;
        std::string target;
    };
    // A spread of the 1,820 four-card hands, then other targets and counts.
    std::vector<Row> rows;
    const std::vector<modQuaddle::Hand> all = modQuaddle::allHands();
    for (std::size_t k = 0; k < all.size(); k += 7) {
        const Texts hand = handTexts(all[k]);
        rows.push_back({joined(hand), hand, "24"});
    }
    rows.insert(rows.end(), {
                                {"target 10", {"1", "2", "3", "4"}, "10"},
                                {"target 1/2", {"1", "3", "4", "6"}, "1/2"},
                                {"target -3", {"1", "2", "5", "7"}, "-3"},
                                {"target 0", {"2", "3", "5", "10"}, "0"},
                                {"decimals", {"2.5", "2.5", "4", "1"}, "24"},
                                {"two numbers", {"4", "6"}, "24"},
                                {"three numbers", {"2", "3", "4"}, "24"},
                                {"five numbers", {"1", "2", "3", "4", "5"}, "24"},
                                {"five with repeats", {"2", "2", "3", "3", "12"}, "24"},
                            });
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const Fraction goal = parseNumber(row.target);
        Trees trees;
        std::vector<int> leaves;
        for (const std::string &number : row.hand)
            leaves.push_back(trees.leaf(parseNumber(number)));
        std::set<std::string> expected;
        everyExpression(trees, leaves, goal, expected);

        const Texts found = modQuaddle::FindEverySolution(handNumbers(row.hand),
                                                          *modQuaddle::Rational::parse(row.target));
        std::set<std::string> foundKeys;
        for (const std::string &text : found) {
            CAPTURE(text);
            const int tree = TreeParser(text, trees).parse();
            CHECK(trees[tree].value == goal);
            const bool writtenOnce = foundKeys.insert(trees.key(tree)).second;
            CHECK(writtenOnce);
        }
        CHECK(foundKeys.size() == expected.size());
        CHECK(foundKeys == expected);
    }
}

TEST_CASE("Counts over all hands")
{
    std::size_t solvable = 0;
    std::size_t solutions = 0;
    for (const modQuaddle::Hand &hand : modQuaddle::allHands()) {
        const std::size_t count =
            modQuaddle::FindEverySolution(handNumbers(handTexts(hand))).size();
        solvable += count ? 1 : 0;
        solutions += count;
    }
    CHECK(solvable == 1362);
    CHECK(solutions == 4469);
}

TEST_CASE("FindEverySolution refuses no numbers and too many")
{
    CHECK_THROWS_AS(modQuaddle::FindEverySolution({}), std::invalid_argument);
    CHECK_THROWS_AS(modQuaddle::FindEverySolution(handNumbers(Texts(7, "1"))),
                    std::invalid_argument);
}

TEST_CASE("FindEverySolution gives up, with nothing, once asked to stop")
{
    std::stop_source stop;
    stop.request_stop();
    CHECK(modQuaddle::FindEverySolution(handNumbers({"3", "3", "8", "8"}), 24, stop.get_token())
              .empty());
    // Asked or not, a search that is not stopped finds what it finds.
    CHECK(modQuaddle::FindEverySolution(handNumbers({"3", "3", "8", "8"}), 24,
                                        std::stop_source().get_token()) == Texts{"8/(3-8/3)"});
}

// quaddle-solve: the windowed program's search on the command line, for one
// hand, a file of hands or all 1,820 hands, in single precision or exactly;
// and every distinct solution of one to six numbers for any target.
#include "quaddlesolve.h"

#include "cards.h"
#include "everysolution.h"
#include "exactsearch.h"
#include "hands.h"
#include "input.h"
#include "modQuaddle.h"
#include "quaddlefacts.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int exitSolved = 0;
constexpr int exitNoSolution = 1;
constexpr int exitBadInput = 2;
constexpr int exitOverflow = 3;
constexpr int exitWriteError = quaddleSolveWriteError;

const char usage[] = R"(Usage: quaddle-solve [OPTIONS] A B C D
       quaddle-solve [OPTIONS] [-]          (hands from standard input)
       quaddle-solve [OPTIONS] --all
       quaddle-solve --every [OPTIONS] A [B ...]   (one to six numbers)

Finds how to combine four card values with + - * / and brackets into 24,
one solution for each of the five ways of bracketing, as Quaddle does; or,
with --every, each distinct solution once.

A card value is a number from 1 to 13 (decimals such as 2.5 are allowed) or
one of the card faces A, J, Q and K (either case) for 1, 11, 12 and 13.

For one hand, each bracket shape that has a solution is printed as
"<shape> <text>", shapes 1 to 5 in order, or "no solution".
Hands from standard input, one per line (blank lines and lines starting with
'#' are skipped), and --all print one line per hand:
  A B C D | <shape 1> | <shape 2> | <shape 3> | <shape 4> | <shape 5>
with "-" for a shape without a solution.

Options:
  -e, --exact     test "equals 24" in exact rational arithmetic instead of
                  single precision, with decimals exactly as written (1.1 is
                  11/10); same order and slots, finds e.g. 8/(3-8/3)
  -E, --every     print each distinct solution once, one a line, in exact
                  arithmetic, for one to six numbers; solutions that differ
                  only in the order of + or * operands, or in how chains of
                  + - or * / are bracketed, are the same. With standard input
                  or --all: "A B C D | <solution> | <solution> ..." or
                  "A B C D | -", and --all ends with the number of solutions
  -t, --target=T  make T instead of 24, with --exact or --every: a whole
                  number, a decimal or a fraction such as 1/2 or -3
  -a, --all       solve all 1,820 hands of whole numbers 1 to 13 and end with
                  a summary line
  -j, --json      print one JSON object per hand and line:
                    {"hand":[3,5,9,8],"slots":["(8-5)*9-3",...,null]}
                    {"hand":[1,2,3,4],"target":24,"solutions":["(1+2+3)*4",...]}
                  and, after --all, {"hands":1820,"solvable":1361,...}
  -h, --help      show this help
  -V, --version   show the version

Exit status: 0 solved (or every line read), 1 no solution for the one hand,
2 bad arguments or input lines, 3 the exact arithmetic overflowed, 4 the
output could not be written.
)";

enum class Mode { Window, Exact, Every };

struct Options {
    Mode mode = Mode::Window;
    bool all = false;
    bool json = false;
    modQuaddle::Rational target = 24;
};

class BadInput : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using Hand = std::vector<cards::Card>;
using Slots = std::array<std::string, 5>;

// What one hand gives: the five slots, or with --every the solutions.
struct Answer {
    Slots slots;
    std::vector<std::string> solutions;

    bool solved() const
    {
        return !solutions.empty() ||
               std::any_of(slots.begin(), slots.end(), [](const auto &s) { return !s.empty(); });
    }
};

std::string quoted(std::string_view token)
{
    return "'" + cards::printable(token) + "'";
}

Hand parseHand(const std::vector<std::string> &tokens, const Options &options)
{
    Hand hand;
    for (const std::string &token : tokens) {
        const std::optional<cards::Card> card = cards::parseCard(token);
        if (!card)
            throw BadInput(quoted(token) + " is not a card value (1 to 13, or A, J, Q, K)");
        hand.push_back(*card);
    }
    if (options.mode == Mode::Every) {
        if (hand.empty() || hand.size() > modQuaddle::everySolutionMaxNumbers)
            throw BadInput("expected one to six card values, got " + std::to_string(hand.size()));
    } else if (hand.size() < 4) {
        throw BadInput("expected four card values, got " + std::to_string(hand.size()));
    } else if (hand.size() > 4) {
        throw BadInput("expected four card values, got a fifth: " + quoted(tokens[4]));
    }
    return hand;
}

Answer solve(const Hand &hand, const Options &options)
{
    Answer answer;
    if (options.mode == Mode::Every) {
        std::vector<modQuaddle::HandNumber> numbers;
        for (const cards::Card &card : hand)
            numbers.push_back({cards::exactValue(card), card.text});
        answer.solutions = modQuaddle::FindEverySolution(numbers, options.target);
        return answer;
    }

    for (std::size_t k = 0; k < 4; ++k)
        modQuaddle::Num[k + 1] = hand[k].single;
    modQuaddle::clearResults();
    if (options.mode == Mode::Exact) {
        modQuaddle::ExactHand exact;
        for (std::size_t k = 0; k < 4; ++k) {
            exact.values[k] = cards::exactValue(hand[k]);
            exact.texts[k] = hand[k].text;
        }
        modQuaddle::FindSolutionsExact(exact, options.target);
    } else {
        modQuaddle::FindSolutions();
    }
    for (std::size_t k = 0; k < answer.slots.size(); ++k)
        answer.slots[k] = modQuaddle::resultSlot(static_cast<int>(k) + 1);
    return answer;
}

// The hand as the output writes it: in single precision as the window
// stores it, in the exact modes as written.
std::string handText(const Hand &hand, const Options &options, const char *separator)
{
    std::string text;
    for (std::size_t k = 0; k < hand.size(); ++k) {
        text += k ? separator : "";
        text +=
            options.mode == Mode::Window ? modQuaddle::NumberText(hand[k].single) : hand[k].text;
    }
    return text;
}

// Solution texts hold only digits, '.', operators and brackets, so they need
// no escaping in JSON.
std::string jsonLine(const Hand &hand, const Answer &answer, const Options &options)
{
    std::string line = "{\"hand\":[" + handText(hand, options, ",") + "],";
    if (options.mode == Mode::Every) {
        line += "\"target\":" + cards::targetJson(options.target) + ",\"solutions\":[";
        for (std::size_t k = 0; k < answer.solutions.size(); ++k)
            line += (k ? ",\"" : "\"") + answer.solutions[k] + '"';
    } else {
        line += "\"slots\":[";
        for (std::size_t k = 0; k < answer.slots.size(); ++k)
            line += (k ? "," : "") +
                    (answer.slots[k].empty() ? std::string("null") : '"' + answer.slots[k] + '"');
    }
    return line + "]}";
}

std::string handLine(const Hand &hand, const Answer &answer, const Options &options)
{
    if (options.json)
        return jsonLine(hand, answer, options);
    std::string line = handText(hand, options, " ");
    if (options.mode == Mode::Every) {
        if (answer.solutions.empty())
            return line + " | -";
        for (const std::string &solution : answer.solutions)
            line += " | " + solution;
        return line;
    }
    for (const std::string &slot : answer.slots)
        line += " | " + (slot.empty() ? std::string("-") : slot);
    return line;
}

int solveOne(const Hand &hand, const Options &options, std::ostream &out)
{
    const Answer answer = solve(hand, options);
    if (options.json) {
        out << jsonLine(hand, answer, options) << '\n';
    } else if (!answer.solved()) {
        out << "no solution\n";
    } else if (options.mode == Mode::Every) {
        for (const std::string &solution : answer.solutions)
            out << solution << '\n';
    } else {
        for (std::size_t k = 0; k < answer.slots.size(); ++k) {
            if (!answer.slots[k].empty())
                out << k + 1 << ' ' << answer.slots[k] << '\n';
        }
    }
    return answer.solved() ? exitSolved : exitNoSolution;
}

int solveAll(const Options &options, std::ostream &out)
{
    std::size_t hands = 0;
    std::size_t solved = 0;
    std::size_t solutions = 0;
    for (const modQuaddle::Hand &numbers : modQuaddle::allHands()) {
        Hand hand;
        for (const float number : numbers)
            hand.push_back(*cards::parseCard(std::to_string(static_cast<int>(number))));
        const Answer answer = solve(hand, options);
        ++hands;
        solved += answer.solved() ? 1 : 0;
        solutions += answer.solutions.size();
        out << handLine(hand, answer, options) << '\n';
        if (!out)
            break;
    }
    const bool every = options.mode == Mode::Every;
    if (options.json) {
        out << "{\"hands\":" << hands << ",\"solvable\":" << solved
            << ",\"unsolvable\":" << hands - solved;
        if (every)
            out << ",\"solutions\":" << solutions;
        out << "}\n";
    } else {
        out << hands << " hands, " << solved << " solvable, " << hands - solved << " unsolvable";
        if (every)
            out << ", " << solutions << " solutions";
        out << '\n';
    }
    return exitSolved;
}

std::vector<std::string> words(const std::string &line)
{
    std::vector<std::string> tokens;
    std::string token;
    for (const char c : line) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!token.empty())
                tokens.push_back(std::move(token));
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty())
        tokens.push_back(std::move(token));
    return tokens;
}

void reportLine(std::ostream &out, std::ostream &err, std::size_t number,
                const std::string &message)
{
    out.flush();
    err << "quaddle-solve: line " << number << ": " << message << '\n';
}

int solveLines(std::FILE *file, const Options &options, std::ostream &out, std::ostream &err)
{
    int status = exitSolved;
    input::LineReader reader(file);
    std::string line;
    for (std::size_t number = 1; reader.next(line) && out; ++number) {
        if (reader.tooLong()) {
            reportLine(out, err, number,
                       "longer than " + std::to_string(input::maxLineLength) +
                           " characters, skipped");
            status = exitBadInput;
            continue;
        }
        const std::vector<std::string> tokens = words(line);
        if (tokens.empty() || tokens.front().front() == '#')
            continue;
        try {
            const Hand hand = parseHand(tokens, options);
            out << handLine(hand, solve(hand, options), options) << '\n';
        } catch (const BadInput &error) {
            reportLine(out, err, number, error.what());
            status = exitBadInput;
        }
    }
    if (reader.failed())
        throw BadInput("cannot read standard input");
    return status;
}

int run(int argc, char *argv[], std::FILE *in, std::ostream &out, std::ostream &err)
{
    static const option longOptions[] = {
        {"exact", no_argument, nullptr, 'e'},        {"every", no_argument, nullptr, 'E'},
        {"target", required_argument, nullptr, 't'}, {"all", no_argument, nullptr, 'a'},
        {"json", no_argument, nullptr, 'j'},         {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},      {nullptr, 0, nullptr, 0}};

    Options options;
    bool exact = false;
    bool every = false;
    std::optional<std::string> target;
    opterr = 0; // the messages are ours
    // Zero makes getopt start afresh (glibc and MinGW-w64), so the program
    // can run more than once in one process, as the fuzz target runs it.
    optind = 0;
    int option = 0;
    while ((option = getopt_long(argc, argv, ":eEt:ajhV", longOptions, nullptr)) != -1) {
        switch (option) {
        case 'e':
            exact = true;
            break;
        case 'E':
            every = true;
            break;
        case 't':
            target = optarg;
            break;
        case 'a':
            options.all = true;
            break;
        case 'j':
            options.json = true;
            break;
        case 'h':
            out << usage;
            return exitSolved;
        case 'V':
            out << "quaddle-solve " << quaddle::versionText << '\n';
            return exitSolved;
        case ':':
            throw BadInput("option " + quoted(argv[optind - 1]) + " needs a value");
        default: {
            const std::string name = optopt ? std::string("-") + char(optopt) : argv[optind - 1];
            throw BadInput("unknown option " + quoted(name) + " (see quaddle-solve --help)");
        }
        }
    }
    if (exact && every)
        throw BadInput("--exact and --every do not go together (--every is always exact)");
    options.mode = every ? Mode::Every : exact ? Mode::Exact : Mode::Window;
    if (target) {
        if (options.mode == Mode::Window)
            throw BadInput("--target needs --exact or --every");
        const std::optional<modQuaddle::Rational> value = cards::parseTarget(*target);
        if (!value)
            throw BadInput(quoted(*target) + " is not a target (a number such as 10, 2.5 or 1/2)");
        options.target = *value;
    }

    std::vector<std::string> numbers(argv + optind, argv + argc);
    const bool fromInput = numbers.empty() || (numbers.size() == 1 && numbers.front() == "-");
    if (options.all) {
        if (!numbers.empty())
            throw BadInput("--all takes no card values, got " + quoted(numbers.front()));
        return solveAll(options, out);
    }
    if (fromInput)
        return solveLines(in, options, out, err);
    return solveOne(parseHand(numbers, options), options, out);
}

// Everything written has reached its file, or the one message says it has not.
int finish(int status, std::ostream &out, std::ostream &err)
{
    out.flush();
    if (!out) {
        err << "quaddle-solve: write error\n";
        return exitWriteError;
    }
    return status;
}

} // namespace

int runQuaddleSolve(int argc, char *argv[], std::FILE *in, std::ostream &out, std::ostream &err)
{
    try {
        return finish(run(argc, argv, in, out, err), out, err);
    } catch (const BadInput &error) {
        out.flush();
        err << "quaddle-solve: " << error.what() << '\n';
        return exitBadInput;
    } catch (const std::overflow_error &error) {
        out.flush();
        err << "quaddle-solve: " << error.what() << '\n';
        return exitOverflow;
    }
}

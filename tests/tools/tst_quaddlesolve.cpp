// quaddle-solve run in-process: its arguments, the hands it reads, what it
// writes and the status it returns. What only a real process shows (the exit
// status main() hands on, the real standard input, a write that fails) is
// checked in cli/.
#include "modQuaddle.h"
#include "quaddlesolve.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Run {
    std::string out;
    std::string err;
    int status;
};

using FilePtr = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

Run solve(std::vector<std::string> arguments, const std::string &input = {})
{
    arguments.insert(arguments.begin(), "quaddle-solve");
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // A real file, as the program reads standard input through stdio; a
    // temporary one because not every C library can read from memory.
    FilePtr in(std::tmpfile(), &std::fclose);
    REQUIRE(in);
    REQUIRE(std::fwrite(input.data(), 1, input.size(), in.get()) == input.size());
    std::rewind(in.get());

    std::ostringstream out;
    std::ostringstream err;
    const int status =
        runQuaddleSolve(static_cast<int>(arguments.size()), argv.data(), in.get(), out, err);
    return {out.str(), err.str(), status};
}

std::vector<std::string> split(const std::string &text, const std::string &separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

// The lines of an output that ends in a line feed.
std::vector<std::string> lines(const std::string &out)
{
    std::vector<std::string> parts = split(out, "\n");
    if (parts.back().empty())
        parts.pop_back();
    return parts;
}

bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

TEST_CASE("one hand from the arguments")
{
    struct Row {
        const char *name;
        std::vector<std::string> arguments;
        std::string out;
        int status;
    };
    const std::string version = QUADDLE_PROJECT_VERSION;
    const Row rows[] = {
        {"only one shape", {"1", "4", "5", "6"}, "3 6/(5/4-1)\n", 0},
        {"3 3 8 8 misses in single precision", {"3", "3", "8", "8"}, "no solution\n", 1},
        {"3 3 8 8 exactly", {"--exact", "3", "3", "8", "8"}, "4 8/(3-8/3)\n", 0},
        {"options after the numbers", {"3", "3", "8", "8", "--exact"}, "4 8/(3-8/3)\n", 0},
        {"decimals",
         {"2.5", "2.5", "4", "1"},
         "1 (1+2.5+2.5)*4\n3 4*(1+2.5+2.5)\n4 4*(1+2.5+2.5)\n5 (1+2.5+2.5)*4\n",
         0},
        {"just below 13 is a card, counted as written",
         {"--every", "--target=12.99999999999999999999", "12.99999999999999999999"},
         "12.99999999999999999999\n",
         0},
        // 12.99999999 is 13 in single precision, but not exactly.
        {"just below 13 is not 13 exactly",
         {"-e", "-t", "13", "12.99999999", "1", "1", "1"},
         "no solution\n",
         1},
        {"no distinct solution", {"-E", "1", "1", "1", "1"}, "no solution\n", 1},
        {"JSON",
         {"--json", "1", "4", "5", "6"},
         R"j({"hand":[1,4,5,6],"slots":[null,null,"6/(5/4-1)",null,null]})j"
         "\n",
         0},
        {"JSON with a fraction as target",
         {"-E", "--json", "--target", "1/2", "1", "2"},
         R"({"hand":[1,2],"target":"1/2","solutions":["1/2"]})"
         "\n",
         0},
        {"version", {"--version"}, "quaddle-solve " + version + "\n", 0},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const Run run = solve(row.arguments);
        CHECK(run.out == row.out);
        CHECK(run.err == "");
        CHECK(run.status == row.status);
    }
}

TEST_CASE("every distinct solution: how many")
{
    struct Row {
        const char *name;
        std::vector<std::string> arguments;
        std::size_t solutions;
    };
    const Row rows[] = {
        {"3 5 9 8", {"-E", "3", "5", "9", "8"}, 2},
        {"3 3 8 8", {"-E", "3", "3", "8", "8"}, 1},
        {"faces", {"-E", "a", "2", "3", "4"}, 4},
        {"target 10", {"-E", "--target=10", "1", "2", "3", "4"}, 18},
        {"two numbers", {"-E", "4", "6"}, 1},
        {"five numbers", {"-E", "1", "2", "3", "4", "5"}, 93},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const Run run = solve(row.arguments);
        CHECK(lines(run.out).size() == row.solutions);
        CHECK(run.err == "");
        CHECK(run.status == 0);
    }
}

TEST_CASE("bad arguments: one line that names the fault, nothing else")
{
    struct Row {
        const char *name;
        std::vector<std::string> arguments;
        std::string named;
    };
    const Row rows[] = {
        {"0", {"0", "5", "9", "8"}, "'0'"},
        {"14", {"3", "14", "9", "8"}, "'14'"},
        {"13.01", {"3", "5", "13.01", "8"}, "'13.01'"},
        // Beyond the range in a digit that a double rounds away.
        {"above 13 in the last digit",
         {"3", "5", "13.000000000000000000001", "8"},
         "'13.000000000000000000001'"},
        {"below 1 in the last digit",
         {"0.99999999999999999999", "5", "9", "8"},
         "'0.99999999999999999999'"},
        {"decimal below 1 in exact arithmetic",
         {"-e", "-t", "23.1", "1.1", "10", "13", "0.1"},
         "'0.1'"},
        {"negative", {"3", "5", "9", "-8"}, "'-8'"},
        {"letters", {"3", "abc", "9", "8"}, "'abc'"},
        {"trailing letters", {"3", "5", "9", "8x"}, "'8x'"},
        {"two-letter face", {"3", "5", "9", "KK"}, "'KK'"},
        {"exponent", {"1e1", "5", "9", "8"}, "'1e1'"},
        {"infinity", {"inf", "5", "9", "8"}, "'inf'"},
        {"fifth number", {"3", "5", "9", "8", "7"}, "'7'"},
        {"--all with numbers", {"--all", "3", "5", "9", "8"}, "'3'"},
        {"target without --every", {"--target", "10", "3", "5", "9", "8"}, "--target"},
        {"target without value", {"3", "5", "9", "8", "-t"}, "'-t'"},
        {"bad target", {"-E", "-t", "1.5.2", "3", "5"}, "'1.5.2'"},
        {"zero denominator", {"-E", "--target=1/0", "3", "5"}, "'1/0'"},
        {"--exact with --every", {"-eE", "3", "5"}, "--every"},
        {"seven numbers", {"-E", "1", "2", "3", "4", "5", "6", "7"}, "got 7"},
        {"control characters escaped", {"3", "5", "9", "\x1b[2J"}, "'\\x1b[2J'"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const Run run = solve(row.arguments);
        CHECK(run.status == 2);
        CHECK(run.out == "");
        CHECK(startsWith(run.err, "quaddle-solve: "));
        CHECK(run.err.find(row.named) != std::string::npos);
        CHECK(lines(run.err).size() == 1);
        CHECK(run.err.back() == '\n');
    }
}

TEST_CASE("card faces are their numbers")
{
    const Run faces = solve({"a", "J", "q", "K"});
    CHECK(faces.status == 0);
    CHECK(faces.out == solve({"1", "11", "12", "13"}).out);
}

TEST_CASE("in exact arithmetic a decimal counts as written")
{
    const Run run = solve({"-e", "--target=12.99999999", "12.99999999", "1", "1", "1"});
    CHECK(run.status == 0);
    CHECK(run.out.find("12.99999999") != std::string::npos);
    CHECK(run.out.find("13") == std::string::npos);
}

TEST_CASE("hands from standard input")
{
    SUBCASE("blank lines, comments, spaces, tabs and faces")
    {
        const Run run = solve({}, "3 5 9 8\n\n# a comment\n  1\t1 1 1  \nQ q 12 12\n");
        CHECK(run.status == 0);
        CHECK(run.err == "");
        const std::vector<std::string> out = lines(run.out);
        REQUIRE(out.size() == 3);
        CHECK(out[0] == "3 5 9 8 | (8-5)*9-3 | 9*3-(8-5) | 5+9*3-8 | 5-(8-9*3) | 9*(8-5)-3");
        CHECK(out[1] == "1 1 1 1 | - | - | - | - | -");
        CHECK(startsWith(out[2], "12 12 12 12 | "));
    }
    SUBCASE("JSON keeps decimals")
    {
        const Run run = solve({"--json"}, "2.5 2.5 4 1\n");
        CHECK(run.status == 0);
        CHECK(startsWith(run.out, R"({"hand":[2.5,2.5,4,1],)"));
    }
}

TEST_CASE("bad lines of standard input are reported and skipped")
{
    struct Row {
        const char *name;
        std::vector<std::string> arguments;
        std::string input;
        std::string out;
        std::string err;
    };
    const std::string notACard = " is not a card value (1 to 13, or A, J, Q, K)\n";
    const Row rows[] = {
        {"a bad line between good ones",
         {},
         "1 4 5 6\n3 5 nine 8\n3 5 9\n1 1 1 1\n",
         "1 4 5 6 | - | - | 6/(5/4-1) | - | -\n1 1 1 1 | - | - | - | - | -\n",
         "quaddle-solve: line 2: 'nine'" + notACard +
             "quaddle-solve: line 3: expected four card values, got 3\n"},
        {"bad token named", {}, "foo\n", "", "quaddle-solve: line 1: 'foo'" + notACard},
        {"control characters escaped",
         {},
         "1 \x1b]0;owned\x07 3 4\n",
         "",
         "quaddle-solve: line 1: '\\x1b]0;owned\\x07'" + notACard},
        {"long line skipped, the rest read",
         {"-E", "-"},
         std::string(1 << 20, '1') + "\n3 3 8 8\n",
         "3 3 8 8 | 8/(3-8/3)\n",
         "quaddle-solve: line 1: longer than 4096 characters, skipped\n"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const Run run = solve(row.arguments, row.input);
        CHECK(run.out == row.out);
        CHECK(run.err == row.err);
        CHECK(run.status == 2);
    }
}

TEST_CASE("--all prints for each hand the slots the window's search leaves")
{
    const Run run = solve({"--all"});
    REQUIRE(run.status == 0);
    const std::vector<std::string> out = lines(run.out);
    REQUIRE(out.size() == 1821);
    int solvable = 0;
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        CAPTURE(out[i]);
        const std::vector<std::string> fields = split(out[i], " | ");
        REQUIRE(fields.size() == 6);
        const std::vector<std::string> hand = split(fields[0], " ");
        REQUIRE(hand.size() == 4);
        for (std::size_t k = 0; k < 4; ++k)
            modQuaddle::Num[k + 1] = std::stof(hand[k]);
        modQuaddle::clearResults();
        modQuaddle::FindSolutions();
        bool solved = false;
        for (int k = 0; k < 5; ++k) {
            const std::string window = modQuaddle::resultSlot(k + 1);
            CHECK(fields[static_cast<std::size_t>(k) + 1] == (window.empty() ? "-" : window));
            solved = solved || !window.empty();
        }
        solvable += solved ? 1 : 0;
    }
    CHECK(out.back() == "1820 hands, " + std::to_string(solvable) + " solvable, " +
                            std::to_string(1820 - solvable) + " unsolvable");
}

TEST_CASE("--json --all: one JSON object per hand, then the counts")
{
    const Run run = solve({"--json", "--all"});
    REQUIRE(run.status == 0);
    const std::vector<std::string> out = lines(run.out);
    REQUIRE(out.size() == 1821);
    const std::string slot = R"((null|"[0-9.()+*/-]+"))";
    const std::regex handLine(R"(\{"hand":\[\d+(,\d+){3}\],"slots":\[)" + slot + "(," + slot +
                              R"(){4}\]\})");
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        CAPTURE(out[i]);
        CHECK(std::regex_match(out[i], handLine));
    }
    CHECK(out.back() == R"({"hands":1820,"solvable":1361,"unsolvable":459})");
}

TEST_CASE("--help")
{
    const Run run = solve({"--help"});
    CHECK(run.status == 0);
    CHECK(startsWith(run.out, "Usage: quaddle-solve"));
    CHECK(run.out.find("--exact") != std::string::npos);
}

// How doctest prints the standard containers our tests compare, so that a
// failed check shows both sides instead of "{?}".
#pragma once

#include <doctest/doctest.h>

#include <set>
#include <string>
#include <vector>

namespace quaddle_doctest {

template <typename Container> doctest::String listText(const Container &texts)
{
    std::string text = "{";
    const char *separator = "";
    for (const std::string &item : texts) {
        text += separator;
        text += '"';
        text += item;
        text += '"';
        separator = ", ";
    }
    return (text + "}").c_str();
}

} // namespace quaddle_doctest

namespace doctest {

template <> struct StringMaker<std::vector<std::string>> {
    static String convert(const std::vector<std::string> &texts)
    {
        return quaddle_doctest::listText(texts);
    }
};

template <> struct StringMaker<std::set<std::string>> {
    static String convert(const std::set<std::string> &texts)
    {
        return quaddle_doctest::listText(texts);
    }
};

} // namespace doctest

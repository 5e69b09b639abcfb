// Reads the number at the start of an entry text, the way the Calculate
// command understands what the user typed. Texts are UTF-8: any character
// beyond ASCII ends a number.
#pragma once

#include <string_view>

// The number that `text` begins with, or 0 when it does not begin with one.
//
// - Blanks, tabs and line feeds are skipped wherever they stand: " 7" and "1 2"
//   read as 7 and 12. Nothing else is skipped: a carriage return, a
//   non-breaking or a full-width space ends the number.
// - An optional '+' or '-', then decimal digits with at most one '.' (always
//   the decimal point, whatever the locale; ',' never is one), then an
//   optional exponent: 'E' or 'e', an optional sign and at least one digit.
//   Only ASCII digits count: full-width digits end the number. An 'e' not
//   followed by digits ends it too ("2e" is 2).
// - "&H" and "&O", either letter in either case, introduce a hexadecimal or
//   octal whole number, read without a sign and without any width limit:
//   "&HD" is 13 and "&HFFFF" is 65535. "&" followed by anything else is 0.
// - Reading stops at the first character that cannot continue the number.
// - A number beyond the double range reads as plus or minus infinity, one too
//   small for it as 0; a hexadecimal or octal number too long for any integer
//   grows towards infinity. Either way it lies outside any sensible range,
//   and nothing overflows.
//
// Linear in the length of the text, whatever the text holds.
double leadingNumber(std::string_view text);

// Text and number helpers shared by both programs: the blank/NUL trimming every reader of a
// fixed-length or registry text applies, banker's rounding, and lenient decimal parsing.
// Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Cuts the text at its first NUL character, then removes leading and trailing blanks (' ').
std::string TrimNull(std::string_view text);

// Removes leading and trailing blanks only.
std::string TrimBlanks(std::string_view text);

// Rounds to the nearest integer; a value exactly halfway goes to the even neighbour
// (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -2.5 -> -2). Values beyond the int64 range saturate.
int64_t RoundHalfEven(double value);

// Reads a decimal number from the front of the text the way a lenient "value of text" does:
// leading blanks skipped, optional sign, digits with an optional fraction and exponent;
// reading stops at the first character that cannot belong to the number. Empty or
// non-numeric text gives 0.
double ParseLeadingNumber(std::string_view text);

// ASCII upper case; other bytes unchanged.
std::string ToUpperAscii(std::string_view text);

// A fixed-length text field: the text left-aligned, cut to width, padded with blanks.
std::string PadFixedText(std::string_view text, std::size_t width);

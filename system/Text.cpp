// Text and number helpers shared by both programs. Everything here must behave the same on
// every machine, so nothing depends on the C locale (no strtod, no toupper).
#include "system/Text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// What the lenient reader skips in front of a number: blanks, tabs and line breaks.
bool IsLeadingSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

}  // namespace

std::string TrimNull(std::string_view text) {
    // Fixed-length fields that were never assigned hold NULs; registry strings written by
    // other programs carry their terminator. Both end the text for every reader.
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    return TrimBlanks(text);
}

std::string TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string();
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

int64_t RoundHalfEven(double value) {
    // Not std::nearbyint: that follows the current FP rounding mode, which a printer driver
    // or a plug-in loaded into the process may have changed.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (std::isnan(value)) return 0;
    if (value >= kTwoTo63) return std::numeric_limits<int64_t>::max();
    if (value < -kTwoTo63) return std::numeric_limits<int64_t>::min();

    double whole = std::floor(value);
    const double fraction = value - whole;  // exact: whole and value share the exponent range
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    // Doubles at or above 2^52 have no fraction, so whole + 1 never reaches 2^63 here.
    return static_cast<int64_t>(whole);
}

double ParseLeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsLeadingSpace(text[pos])) ++pos;

    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    // Scan the longest prefix that forms digits[.digits][e[sign]digits] ourselves, so words
    // such as "inf" or "nan", which from_chars would accept, read as 0 like any other text.
    std::string number;
    int integerDigits = 0;        // significant digits before the point
    int leadingFractionZeros = 0; // zeros right after the point while no digit was significant
    bool significant = false;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        if (text[pos] != '0') significant = true;
        if (significant) ++integerDigits;
        number += text[pos];
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        number += '.';
        for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
                if (text[pos] != '0') significant = true;
            if (!significant) ++leadingFractionZeros;
            number += text[pos];
        }
    }
    long long exponent = 0;
    // The old BASIC readers also take "D" as the exponent letter ("1D3" = 1000).
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
        std::size_t look = pos + 1;
        bool expNegative = false;
        if (look < text.size() && (text[look] == '+' || text[look] == '-')) {
            expNegative = text[look] == '-';
            ++look;
        }
        if (look < text.size() && IsDigit(text[look])) {
            for (; look < text.size() && IsDigit(text[look]); ++look) {
                if (exponent < 100000) exponent = exponent * 10 + (text[look] - '0');
            }
            if (expNegative) exponent = -exponent;
            number += 'e';
            number += std::to_string(exponent);
        }
        // An exponent letter without digits ends the number in front of it ("12e" = 12).
    }
    // No digit at all, or only zeros: the result is 0 whatever follows.
    if (!significant) return negative ? -0.0 : 0.0;

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Decide overflow or underflow from the decimal magnitude of the first significant digit.
        const long long magnitude =
            (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& ch : upper) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    }
    return upper;
}

std::string PadFixedText(std::string_view text, std::size_t width) {
    std::string fixed(text.substr(0, width));
    fixed.resize(width, ' ');
    return fixed;
}

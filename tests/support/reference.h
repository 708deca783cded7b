#pragma once
// Independent references for the fuzz targets: a plain reading of the number grammar, the C
// library's correctly rounded conversions for values and digits, and a direct integer reader.
// They are written apart from numtext on purpose, so a fault in one is not copied into the other.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace reference {

using Real = long double;

// Stops the run so libFuzzer records the input; the message says which property failed.
[[noreturn]] inline void fail(const char* property, std::string_view text)
{
    std::fprintf(stderr, "property failed: %s\ninput (%zu bytes): '%.*s'\n", property, text.size(),
                 static_cast<int>(text.size() < 200 ? text.size() : 200), text.data());
    std::abort();
}

inline void check(bool condition, const char* property, std::string_view text)
{
    if (!condition)
        fail(property, text);
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

inline std::string quoted(std::string_view text, const char* kind)
{
    return "'" + std::string(text) + "' is not a valid " + kind + " value";
}

// Whether an exception's message is the expected one. what() ends at an embedded NUL of the
// quoted text, so both are compared as C strings.
inline bool sameMessage(const char* what, const std::string& expected)
{
    return std::strcmp(what, expected.c_str()) == 0;
}

// The parts of a text that the real grammar accepts: blanks, sign, digits with one optional
// separator, an optional exponent whose reading stops at the digit that reaches 500, blanks.
struct RealParts {
    bool negative = false;
    std::string digits; // integer and fraction digits together, leading zeros dropped
    long long fractionDigits = 0;
    long long exponent = 0;
};

inline std::optional<RealParts> splitReal(std::string_view text, char separator)
{
    RealParts parts;
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    if (text[i] == '+' || text[i] == '-')
        parts.negative = text[i++] == '-';
    const std::size_t mantissaStart = i;
    std::string all;
    while (i < text.size() && isDigit(text[i]))
        all += text[i++];
    if (i < text.size() && text[i] == separator) {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            all += text[i++];
            ++parts.fractionDigits;
        }
    }
    if (i == mantissaStart)
        return std::nullopt; // neither a digit nor the separator
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool minus = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            minus = text[i++] == '-';
        long long e = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            if (e >= 500)
                return std::nullopt; // a digit after the one that reached 500 is not read
            e = e * 10 + (text[i] - '0');
        }
        parts.exponent = minus ? -e : e;
    }
    if (text.find_first_not_of(' ', i) != std::string_view::npos)
        return std::nullopt;
    const std::size_t firstSignificant = all.find_first_not_of('0');
    parts.digits = firstSignificant == std::string::npos ? std::string() : all.substr(firstSignificant);
    return parts;
}

// glibc's strtold is correctly rounded for any number of digits and any exponent.
inline Real strtoReal(const std::string& text) { return std::strtold(text.c_str(), nullptr); }

// The written form of a real: glibc's correctly rounded 18 significant digits, then the 16th digit
// alone decides the 15th; fixed notation for decimal exponents -3..15, scientific otherwise.
inline std::string writeReal(Real value, char separator)
{
    if (!(std::fabs(value) >= std::numeric_limits<Real>::min()))
        return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17Le", value); // d.ddddddddddddddddde±x
    const char* p = buffer;
    std::string out;
    if (*p == '-') {
        out += '-';
        ++p;
    }
    std::string digits = std::string(1, p[0]) + std::string(p + 2, 14);
    int exp10 = std::atoi(p + 20) + 1;
    if (p[16] >= '5') {
        int i = 14;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
            digits[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
// GCC 12 at -O2 and above warns that the string's copy may overlap itself (-Wrestrict) when a
// literal is put before a temporary string: a known false positive of its inlined
// basic_string::insert (GCC bug 105651), not a fault here.
#if defined(__GNUC__) && !defined(__clang__) // clang has no -Wrestrict
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
            digits = "1" + digits.substr(0, 14);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
            ++exp10;
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const auto count = static_cast<int>(digits.size());
    const std::string sep(1, separator);
    if (exp10 >= -3 && exp10 <= 15) {
        if (exp10 <= 0) {
// The same -Wrestrict false positive of GCC 12 as above.
#if defined(__GNUC__) && !defined(__clang__) // clang has no -Wrestrict
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
            out += "0" + sep + std::string(static_cast<std::size_t>(-exp10), '0') + digits;
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
        } else {
            for (int i = 0; i < exp10; ++i)
                out += i < count ? digits[static_cast<std::size_t>(i)] : '0';
            if (count > exp10)
                out += sep + digits.substr(static_cast<std::size_t>(exp10));
        }
    } else {
        out += digits[0];
        if (count > 1)
            out += sep + digits.substr(1);
// The same -Wrestrict false positive of GCC 12 as above.
#if defined(__GNUC__) && !defined(__clang__) // clang has no -Wrestrict
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
        out += "E" + std::to_string(exp10 - 1);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    }
    return out;
}

// The 32-bit integer a text stands for, or none: blanks, sign, then decimal digits in range or
// a hexadecimal prefix with at most eight significant digits taken as a bit pattern.
inline std::optional<std::int32_t> readInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::string_view rest = text.substr(i);
    bool hex = false;
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        hex = true;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        hex = true;
        rest.remove_prefix(2);
    }
    if (rest.empty())
        return std::nullopt;
    for (const char c : rest)
        if (!(hex ? isHexDigit(c) : isDigit(c)))
            return std::nullopt;
    const std::size_t first = rest.find_first_not_of('0');
    const std::string significant = first == std::string_view::npos ? "0" : std::string(rest.substr(first));
    if (hex) {
        if (significant.size() > 8)
            return std::nullopt;
        std::uint32_t pattern = static_cast<std::uint32_t>(std::strtoul(significant.c_str(), nullptr, 16));
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    if (significant.size() > 10)
        return std::nullopt;
    const long long magnitude = std::strtoll(significant.c_str(), nullptr, 10);
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace reference

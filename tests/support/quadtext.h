#pragma once
// Display text of a value known in quadruple precision, for tests that check 15-digit answers
// against a reference computed far more precisely than the program computes.

#include <quadmath.h>

#include <algorithm>
#include <cstdlib>
#include <string>

__extension__ typedef __float128 Quad;

// The display text of a value known to about 34 digits, by the writing rule of the number text:
// 18 significant digits rounded to nearest, then 15 by the 16th digit, trailing zeros removed,
// fixed notation for decimal exponents -3 … 15 (of 0.d1d2… × 10^E), scientific otherwise.
inline std::string referenceText(Quad value, char separator)
{
    if (value == 0) {
        return "0";
    }
    char buf[64];
    quadmath_snprintf(buf, sizeof buf, "%.17Qe", fabsq(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 17);
    int e = std::atoi(buf + 20) + 1;
    if (digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && digits[std::size_t(i)] == '9') {
            digits[std::size_t(i--)] = '0';
        }
        if (i < 0) {
            digits = "1";
            ++e;
        } else {
            ++digits[std::size_t(i)];
        }
    }
    digits.resize(std::min<std::size_t>(digits.size(), 15));
    digits.erase(digits.find_last_not_of('0') + 1);

    std::string text = value < 0 ? "-" : "";
    const int n = int(digits.size());
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            text += "0";
            text += separator;
            text.append(std::size_t(-e), '0');
            text += digits;
        } else {
            text += digits.substr(0, std::size_t(std::min(e, n)));
            if (e > n) {
                text.append(std::size_t(e - n), '0');
            } else if (e < n) {
                text += separator;
                text += digits.substr(std::size_t(e));
            }
        }
    } else {
        text += digits[0];
        if (n > 1) {
            text += separator;
            text += digits.substr(1);
        }
        text += 'E';
        text += std::to_string(e - 1);
    }
    return text;
}

#pragma once
// Numbers in Russian words: an amount of money in rubles and kopecks, as payment documents write
// it, and a number itself with up to six decimals. The text is read exactly, digit by digit, so
// rounding to kopecks or to millionths never suffers a binary fraction's error. Called by the
// "Копировать прописью" and "Копировать словами" items of the windows' context menus.

#include <stdexcept>
#include <string>
#include <string_view>

namespace words {

// Why a text cannot be written in words; what() is the message the error box shows.
class WordsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest whole part written in words: 999 триллионов 999 миллиардов ... 999.
inline constexpr unsigned long long kMaxWhole = 999'999'999'999'999ULL;
inline constexpr int kMaxDecimals = 6; // десятых … миллионных

// "Сто двадцать три рубля 45 копеек" for "123,45": the value rounded half away from zero to
// kopecks, negative values beginning with "Минус". text is a number as the windows write it
// (separator the decimal separator, blanks between digit groups allowed, an exponent allowed).
// Throws WordsError for a text that is not a number or beyond kMaxWhole.
std::string money(std::string_view text, char separator);

// "сто двадцать три целых сорок пять сотых" for "123,45", rounded half away from zero to
// kMaxDecimals decimals. Throws as money() does.
std::string number(std::string_view text, char separator);

// Whether number() rounds text: it has more than kMaxDecimals significant decimals. False for a
// text that is not a number.
bool roundsNumber(std::string_view text, char separator);

// Whole numbers in words, lower case: "двадцать одна" with Gender::Feminine.
enum class Gender { Masculine, Feminine };
std::string whole(unsigned long long value, Gender gender);

} // namespace words

#include "words/words.h"

#include <algorithm>
#include <array>
#include <optional>

namespace words {

namespace {

// A decimal read exactly: value = digits × 10^exponent, digits without leading zeros ("" is 0).
struct Decimal {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

// Blanks between digit groups: the space, the no-break space and the narrow no-break space.
std::size_t blankLength(std::string_view text, std::size_t at)
{
    for (std::string_view blank :
         {std::string_view(" "), std::string_view("\xC2\xA0"), std::string_view("\xE2\x80\xAF")})
        if (text.substr(at, blank.size()) == blank)
            return blank.size();
    return 0;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

WordsError notANumber(std::string_view text)
{
    return WordsError("«" + std::string(text) + "» не число: словами пишутся только числа");
}

std::optional<Decimal> tryParse(std::string_view original, char separator)
{
    std::string text;
    for (std::size_t i = 0; i < original.size();) {
        if (const std::size_t blank = blankLength(original, i)) {
            i += blank;
            continue;
        }
        text += original[i++];
    }
    Decimal d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        d.negative = text[i++] == '-';
    std::size_t mantissaDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits)
        d.digits += text[i];
    if (i < text.size() && text[i] == separator) {
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits) {
            d.digits += text[i];
            --d.exponent;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            negativeExponent = text[i++] == '-';
        long exponent = 0;
        std::size_t exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++exponentDigits)
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000L); // far beyond any limit
        if (exponentDigits == 0)
            return std::nullopt;
        d.exponent += negativeExponent ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    const std::size_t first = d.digits.find_first_not_of('0');
    d.digits.erase(0, first == std::string::npos ? d.digits.size() : first);
    return d;
}

Decimal parse(std::string_view text, char separator)
{
    if (auto d = tryParse(text, separator))
        return *d;
    throw notANumber(text);
}

// A number split at the decimal point after rounding: the whole part and exactly `decimals`
// digits of fraction.
struct Rounded {
    bool negative = false;
    unsigned long long whole = 0;
    std::string fraction;
};

const WordsError& tooLarge()
{
    static const WordsError error("Словами пишутся числа до 999 триллионов, это число больше");
    return error;
}

// value rounded half away from zero to decimals places.
Rounded round(const Decimal& d, int decimals)
{
    const long wholeDigits = static_cast<long>(d.digits.size()) + d.exponent;
    if (!d.digits.empty() && wholeDigits > 15)
        throw tooLarge();
    // The digits of |value| × 10^decimals, truncated, and whether the dropped part is a half or more.
    const long shift = d.exponent + decimals;
    std::string scaled;
    bool up = false;
    if (shift >= 0) {
        scaled = d.digits + std::string(static_cast<std::size_t>(shift), '0');
    } else {
        const auto drop = static_cast<std::size_t>(-shift);
        if (drop <= d.digits.size()) {
            scaled = d.digits.substr(0, d.digits.size() - drop);
            up = d.digits[d.digits.size() - drop] >= '5';
        }
    }
    if (up) {
        std::size_t i = scaled.size();
        while (i > 0 && scaled[i - 1] == '9')
            scaled[--i] = '0';
        if (i == 0)
            scaled.insert(scaled.begin(), '1');
        else
            ++scaled[i - 1];
    }
    const auto places = static_cast<std::size_t>(decimals);
    if (scaled.size() < places + 1)
        scaled.insert(0, places + 1 - scaled.size(), '0');
    const std::string wholeText = scaled.substr(0, scaled.size() - places);
    if (wholeText.size() > 15)
        throw tooLarge();
    Rounded r;
    r.whole = std::stoull(wholeText);
    r.fraction = scaled.substr(scaled.size() - places);
    r.negative = d.negative && scaled.find_first_not_of('0') != std::string::npos;
    return r;
}

enum class Form { One, Few, Many };

// The form of a noun after a count: 1, 21 рубль; 2–4, 22 рубля; 0, 5–20, 11–14 рублей.
Form formAfter(unsigned long long count)
{
    const unsigned long long lastTwo = count % 100;
    if (lastTwo >= 11 && lastTwo <= 14)
        return Form::Many;
    switch (count % 10) {
    case 1:
        return Form::One;
    case 2:
    case 3:
    case 4:
        return Form::Few;
    default:
        return Form::Many;
    }
}

struct Noun {
    const char* one;
    const char* few;
    const char* many;
    const char* word(unsigned long long count) const
    {
        switch (formAfter(count)) {
        case Form::One:
            return one;
        case Form::Few:
            return few;
        case Form::Many:
            break;
        }
        return many;
    }
};

constexpr std::array<const char*, 20> kUnits{
    "",           "один",        "два",        "три",          "четыре",
    "пять",       "шесть",       "семь",       "восемь",       "девять",
    "десять",     "одиннадцать", "двенадцать", "тринадцать",   "четырнадцать",
    "пятнадцать", "шестнадцать", "семнадцать", "восемнадцать", "девятнадцать"};
constexpr std::array<const char*, 10> kTens{
    "",          "",           "двадцать",  "тридцать",    "сорок",
    "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"};
constexpr std::array<const char*, 10> kHundreds{"",        "сто",      "двести",  "триста",    "четыреста",
                                                "пятьсот", "шестьсот", "семьсот", "восемьсот", "девятьсот"};

void append(std::string& out, std::string_view word)
{
    if (word.empty())
        return;
    if (!out.empty())
        out += ' ';
    out += word;
}

// 1–999 in words, one and two agreeing with gender.
void appendTriad(std::string& out, unsigned value, Gender gender)
{
    append(out, kHundreds[value / 100]);
    const unsigned rest = value % 100;
    if (rest < 20) {
        const bool feminine = gender == Gender::Feminine;
        append(out, feminine && rest == 1 ? "одна" : feminine && rest == 2 ? "две" : kUnits[rest]);
        return;
    }
    append(out, kTens[rest / 10]);
    appendTriad(out, rest % 10, gender);
}

struct Scale {
    unsigned long long size;
    Gender gender;
    Noun noun;
};

constexpr std::array<Scale, 4> kScales{{
    {1'000'000'000'000ULL, Gender::Masculine, {"триллион", "триллиона", "триллионов"}},
    {1'000'000'000ULL, Gender::Masculine, {"миллиард", "миллиарда", "миллиардов"}},
    {1'000'000ULL, Gender::Masculine, {"миллион", "миллиона", "миллионов"}},
    {1'000ULL, Gender::Feminine, {"тысяча", "тысячи", "тысяч"}},
}};

// The first letter of a phrase in upper case (every phrase begins with a Cyrillic letter).
std::string capitalized(std::string text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    auto& second = reinterpret_cast<unsigned char&>(text[1]);
    if (lead == 0xD0 && second >= 0xB0 && second <= 0xBF) { // а … п
        second = static_cast<unsigned char>(second - 0x20);
    } else if (lead == 0xD1 && second >= 0x80 && second <= 0x8F) { // р … я
        text[0] = static_cast<char>(0xD0);
        second = static_cast<unsigned char>(second + 0x20);
    }
    return text;
}

constexpr Noun kRuble{"рубль", "рубля", "рублей"};
constexpr Noun kKopeck{"копейка", "копейки", "копеек"};
constexpr Noun kWholes{"целая", "целых", "целых"};
constexpr std::array<Noun, kMaxDecimals + 1> kFractions{{
    {"", "", ""},
    {"десятая", "десятых", "десятых"},
    {"сотая", "сотых", "сотых"},
    {"тысячная", "тысячных", "тысячных"},
    {"десятитысячная", "десятитысячных", "десятитысячных"},
    {"стотысячная", "стотысячных", "стотысячных"},
    {"миллионная", "миллионных", "миллионных"},
}};

} // namespace

std::string whole(unsigned long long value, Gender gender)
{
    if (value == 0)
        return "ноль";
    std::string out;
    for (const Scale& scale : kScales) {
        const auto count = static_cast<unsigned>(value / scale.size % 1000);
        if (count != 0) {
            appendTriad(out, count, scale.gender);
            append(out, scale.noun.word(count));
        }
    }
    appendTriad(out, static_cast<unsigned>(value % 1000), gender);
    return out;
}

std::string money(std::string_view text, char separator)
{
    const Rounded r = round(parse(text, separator), 2);
    std::string out = r.negative ? "минус" : "";
    append(out, whole(r.whole, Gender::Masculine));
    append(out, kRuble.word(r.whole));
    append(out, r.fraction);
    append(out, kKopeck.word(std::stoull(r.fraction)));
    return capitalized(out);
}

std::string number(std::string_view text, char separator)
{
    Rounded r = round(parse(text, separator), kMaxDecimals);
    const std::size_t significant = r.fraction.find_last_not_of('0');
    r.fraction.erase(significant == std::string::npos ? 0 : significant + 1);
    std::string out = r.negative ? "минус" : "";
    if (r.fraction.empty()) {
        append(out, whole(r.whole, Gender::Masculine));
        return out;
    }
    const unsigned long long numerator = std::stoull(r.fraction);
    append(out, whole(r.whole, Gender::Feminine));
    append(out, kWholes.word(r.whole));
    append(out, whole(numerator, Gender::Feminine));
    append(out, kFractions[r.fraction.size()].word(numerator));
    return out;
}

bool roundsNumber(std::string_view text, char separator)
{
    const std::optional<Decimal> d = tryParse(text, separator);
    if (!d)
        return false;
    const std::size_t significant = d->digits.find_last_not_of('0');
    const long trailingZeros =
        significant == std::string::npos ? 0 : static_cast<long>(d->digits.size() - 1 - significant);
    return d->exponent + trailingZeros < -kMaxDecimals;
}

} // namespace words

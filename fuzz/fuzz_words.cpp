// libFuzzer target: amounts and numbers in Russian words. Every whole value up to 999 триллионов,
// with any kopecks and any six decimals, in either sign, is written as a non-empty phrase of
// words separated by single blanks; any other text either gives such a phrase or is refused
// with words::WordsError.
//
// Input: the first byte picks the form. Low bit 0: the next eight bytes are a whole value (taken
// modulo 10^15) and the next four a fraction (modulo 10^6), bit 1 the sign. Low bit 1: the rest
// is a text, read with ',' as separator.

#include "support/reference.h"
#include "words/words.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

void checkPhrase(const std::string& phrase, std::string_view input)
{
    reference::check(!phrase.empty(), "a non-empty phrase", input);
    reference::check(phrase.find("  ") == std::string::npos, "no doubled blanks", input);
    reference::check(phrase.front() != ' ' && phrase.back() != ' ', "no blank at either end", input);
}

std::uint64_t readNumber(const std::uint8_t* data, std::size_t size, std::size_t from, std::size_t count)
{
    std::uint64_t value = 0;
    for (std::size_t i = from; i < from + count; ++i)
        value = value << 8 | (i < size ? data[i] : 0);
    return value;
}

void spell(const std::string& text, std::string_view input, bool mustSucceed)
{
    try {
        checkPhrase(words::money(text, ','), input);
        checkPhrase(words::number(text, ','), input);
    } catch (const words::WordsError&) {
        reference::check(!mustSucceed, "every value up to 999 триллионов is written", input);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if ((data[0] & 1) != 0) {
        spell(std::string(input.substr(1)), input, false);
        return 0;
    }
    const std::uint64_t whole = readNumber(data, size, 1, 8) % (words::kMaxWhole + 1);
    const std::uint64_t fraction = readNumber(data, size, 9, 4) % 1'000'000;
    std::string text = (data[0] & 2) != 0 ? "-" : "";
    text += std::to_string(whole);
    if (fraction != 0) {
        const std::string digits = std::to_string(fraction);
        text += ',' + std::string(6 - digits.size(), '0') + digits;
    }
    // Kopecks that round up may carry past the largest whole value: that alone may be refused.
    spell(text, input, whole != words::kMaxWhole || fraction < 995'000);
    reference::check(words::whole(whole, words::Gender::Feminine).find("  ") == std::string::npos,
                     "no doubled blanks", input);
    return 0;
}

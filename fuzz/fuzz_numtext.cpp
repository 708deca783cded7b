// libFuzzer target for number text: arbitrary bytes go to textToReal and textToInt, which must
// either accept them or throw CalcError with the text quoted; every accepted real is written with
// both separators and must read back to the same text. Not part of the CMake build:
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc/numtext \
//       fuzz/fuzz_numtext.cpp src/numtext/numtext.cpp -o fuzz_numtext
//   ./fuzz_numtext -max_len=64 -max_total_time=60

#include "numtext.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool quotesText(const numtext::CalcError& e, std::string_view text, std::string_view kind)
{
    const std::string expected = "'" + std::string(text) + "' is not a valid " + std::string(kind) + " value";
    return std::strcmp(e.what(), expected.c_str()) == 0; // what() ends at an embedded NUL
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char separator : {',', '.'}) {
        numtext::setDecimalSeparator(separator);
        try {
            const numtext::Real value = numtext::textToReal(text);
            check(!std::isnan(value) && !std::isinf(value));
            const std::string written = numtext::realToText(value);
            const std::string again = numtext::realToText(numtext::textToReal(written));
            check(again == written);
        } catch (const numtext::CalcError& e) {
            check(quotesText(e, text, "floating point"));
        }
    }
    try {
        const std::int32_t value = numtext::textToInt(text);
        check(numtext::textToInt(numtext::intToText(value)) == value);
    } catch (const numtext::CalcError& e) {
        check(quotesText(e, text, "integer"));
    }
    return 0;
}

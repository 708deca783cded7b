// libFuzzer target: realToText after textToReal. Every value read from the bytes (with either
// separator), and the extended value whose ten bytes open the input, is written as the reference
// writes it, never as "INF" or "NAN", the same with both separators, and the written text reads
// back to the same text. The one exception is a value whose 15 digits round down below the
// smallest normal real: the text reads back as a denormal, which is written as 0.

#include "numtext/numtext.h"
#include "support/reference.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using reference::check;
using reference::Real;

std::string swapSeparators(std::string text)
{
    for (char& c : text)
        c = c == ',' ? '.' : c == '.' ? ',' : c;
    return text;
}

void checkWriting(Real value, std::string_view input)
{
    numtext::setDecimalSeparator(',');
    const std::string comma = numtext::realToText(value);
    check(comma == reference::writeReal(value, ','), "written as the reference", input);
    check(comma.find("INF") == std::string::npos && comma.find("NAN") == std::string::npos,
          "finite value written with digits", input);
    for (const char separator : {',', '.'}) {
        numtext::setDecimalSeparator(separator);
        const std::string written = numtext::realToText(value);
        check(written == (separator == ',' ? comma : swapSeparators(comma)), "separator only differs", input);
        Real again = 0;
        try {
            again = numtext::textToReal(written);
        } catch (const numtext::CalcError&) {
            reference::fail("written text reads back", input);
        }
        if (std::fabs(again) < std::numeric_limits<Real>::min())
            check(std::fabs(value) < std::numeric_limits<Real>::min() * (1 + 1e-14L),
                  "only the bottom of the range reads back as a denormal", input);
        else
            check(numtext::realToText(again) == written, "written text reads back to the same text", input);
    }
}

// Ten bytes as an x87 extended value, with the explicit integer bit made consistent with the
// exponent so that the value is a valid number; infinities and NaNs are left out.
bool rawReal(const std::uint8_t* data, std::size_t size, Real& value)
{
    if (size < 10)
        return false;
    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;
    std::memcpy(&significand, data, 8);
    std::memcpy(&signAndExponent, data + 8, 2);
    const unsigned exponent = signAndExponent & 0x7FFFu;
    if (exponent == 0x7FFFu)
        return false;
    const std::uint64_t integerBit = std::uint64_t(1) << 63;
    significand = exponent == 0 ? significand & ~integerBit : significand | integerBit;
    unsigned char bytes[sizeof(Real)] = {};
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &signAndExponent, 2);
    std::memcpy(&value, bytes, sizeof(Real));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char separator : {',', '.'}) {
        numtext::setDecimalSeparator(separator);
        try {
            const Real value = numtext::textToReal(text);
            checkWriting(value, text);
        } catch (const numtext::CalcError&) {
            // Refusals are the concern of the reading target.
        }
    }
    Real raw = 0;
    if (rawReal(data, size, raw))
        checkWriting(raw, text);
    return 0;
}

// libFuzzer target: textToReal on any bytes, with either separator. The text is accepted exactly
// when the grammar allows it and the digits and the scaled value stay inside the extended range;
// an accepted value agrees with the C library's correctly rounded reading to within the rounding
// of the digit accumulator; a refused text raises only the conversion message quoting it.

#include "numtext/numtext.h"
#include "support/reference.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

using reference::check;
using reference::Real;

constexpr Real kMax = std::numeric_limits<Real>::max();
constexpr Real kMin = std::numeric_limits<Real>::min();

// Relative error the reading may carry: one rounding per accumulated digit beyond the 19 an
// integer holds exactly, one for the power of ten, one or two for the scaling.
Real tolerance(const std::string& digits)
{
    const Real steps = static_cast<Real>(digits.size() > 19 ? digits.size() - 19 : 0) + 4;
    return steps * std::numeric_limits<Real>::epsilon();
}

void checkReading(std::string_view text, char separator)
{
    numtext::setDecimalSeparator(separator);
    const auto parts = reference::splitReal(text, separator);
    std::optional<Real> value;
    try {
        value = numtext::textToReal(text);
    } catch (const numtext::CalcError& e) {
        check(reference::sameMessage(e.what(), reference::quoted(text, "floating point")),
              "message quotes the text", text);
    }
    if (!parts) {
        check(!value, "text outside the grammar is refused", text);
        return;
    }
    // Overflow is decided on the accumulated digits and on the scaled value; texts within a few
    // units of the top of the range may round either way and are not judged.
    const Real digitsValue = parts->digits.empty() ? 0 : reference::strtoReal(parts->digits);
    if (std::isinf(digitsValue)) {
        check(!value, "digits beyond the extended range are refused", text);
        return;
    }
    if (digitsValue > kMax * (1 - 1e-15L))
        return;
    const long long power = parts->exponent - parts->fractionDigits;
    const Real exact =
        parts->digits.empty() ? 0 : reference::strtoReal(parts->digits + "e" + std::to_string(power));
    if (std::isinf(exact)) {
        check(!value, "value beyond the extended range is refused", text);
        return;
    }
    if (exact > kMax * (1 - 1e-15L))
        return;
    check(value.has_value(), "text within the grammar and the range is read", text);
    check(std::isfinite(*value), "reading is finite", text);
    check(std::signbit(*value) == parts->negative, "sign follows the text", text);
    const Real magnitude = std::fabs(*value);
    if (exact >= kMin * 0x1p64L)
        check(std::fabs(magnitude - exact) <= tolerance(parts->digits) * exact, "value is close", text);
    else
        check(magnitude <= kMin * 0x1p65L, "underflow stays tiny", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkReading(text, ',');
    checkReading(text, '.');
    return 0;
}

// libFuzzer target: textToInt on any bytes agrees with a direct reading of the integer grammar,
// refuses everything else with the conversion message quoting the text, and every value it gives
// reads back from its own decimal text.

#include "numtext/numtext.h"
#include "support/reference.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using reference::check;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto expected = reference::readInt(text);
    try {
        const std::int32_t value = numtext::textToInt(text);
        check(expected.has_value(), "refused by the reference", text);
        check(value == *expected, "same value as the reference", text);
        check(numtext::textToInt(numtext::intToText(value)) == value, "decimal text reads back", text);
    } catch (const numtext::CalcError& e) {
        check(!expected.has_value(), "accepted by the reference", text);
        check(reference::sameMessage(e.what(), reference::quoted(text, "integer")), "message quotes the text",
              text);
    }
    return 0;
}

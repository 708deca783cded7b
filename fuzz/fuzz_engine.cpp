// libFuzzer target: the calculator engine driven by a sequence of key presses, pasted display
// texts and typed characters, in every angle unit and function variant, with either separator.
// Every key returns or raises numtext::CalcError with one of the system's own messages (the
// conversion messages quoting the display or the memory); no text the engine writes holds an
// infinity or a NaN unless the user pasted one; the operands it keeps stay finite.
//
// Input: the first byte picks the separator (low bit: ',' or '.'); then each byte is one step,
// its value modulo kStepCount picking a key of calc::kKeys or one of four further steps. Steps
// that need more take the following bytes: "paste" a length byte and that many bytes of text,
// "type" one character, "unit" and "variant" one byte each. fuzz/make_corpus.py writes the same encoding from
// key scripts.

#include "calc/engine.h"
#include "support/reference.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using calc::AngleUnit;
using calc::Engine;
using calc::Variant;
using reference::check;

struct State {
    Engine engine;
    std::string display = "0";
    AngleUnit unit = AngleUnit::Degrees;
    Variant variant = Variant::None;
};

// Byte values below the key count press that key (the order of calc::Key); the next four are
// the steps that take operands.
constexpr unsigned kPaste = calc::kKeys.size();
constexpr unsigned kType = kPaste + 1;
constexpr unsigned kUnit = kPaste + 2;
constexpr unsigned kVariant = kPaste + 3;
constexpr unsigned kStepCount = kPaste + 4;

bool showsNonNumber(const std::string& text)
{
    return text.find("INF") != std::string::npos || text.find("NAN") != std::string::npos;
}

bool isOwnMessage(const char* message, const State& s)
{
    for (const char* own : {numtext::kInvalidOp, numtext::kDivByZero, numtext::kOverflow,
                            numtext::kIntDivByZero, numtext::kIntOverflow})
        if (std::strcmp(message, own) == 0)
            return true;
    // A conversion names the text it could not read: the display, or the memory for M+ and M-.
    for (const std::string* read : {&s.display, &s.engine.memoryText()})
        for (const char* kind : {"floating point", "integer"})
            if (reference::sameMessage(message, reference::quoted(*read, kind)))
                return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    numtext::setDecimalSeparator((data[0] & 1) != 0 ? '.' : ',');
    State s;
    std::size_t i = 1;
    auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const unsigned step = next() % kStepCount;
        if (step == kPaste) {
            const std::size_t length = next();
            const std::size_t available = size - i < length ? size - i : length;
            s.display.assign(input.substr(i, available));
            i += available;
            continue;
        }
        if (step == kType) {
            // The display's keyboard filter: digits and backspace pass, everything else is dropped.
            const char32_t c = next();
            if (calc::acceptsTypedChar(c)) {
                if (c == 8) {
                    if (!s.display.empty())
                        s.display.pop_back();
                } else {
                    s.display += static_cast<char>(c);
                }
            }
            continue;
        }
        if (step == kUnit) {
            s.unit = static_cast<AngleUnit>(next() % 3);
            continue;
        }
        if (step == kVariant) {
            s.variant = static_cast<Variant>(next() % 3);
            continue;
        }
        const bool pastedNonNumber = showsNonNumber(s.display) || showsNonNumber(s.engine.memoryText());
        try {
            s.display = s.engine.press(calc::kKeys[step].key, s.display, s.unit, s.variant);
        } catch (const numtext::CalcError& e) {
            // The window keeps its display; the error box shows the message.
            check(isOwnMessage(e.what(), s), "only the system's own messages", input);
        }
        if (!pastedNonNumber)
            check(!showsNonNumber(s.display) && !showsNonNumber(s.engine.memoryText()),
                  "no infinity or NaN is written", input);
        check(std::isfinite(s.engine.firstNum()) && std::isfinite(s.engine.secondNum()) &&
                  std::isfinite(s.engine.resultNum()),
              "kept operands stay finite", input);
    }
    return 0;
}

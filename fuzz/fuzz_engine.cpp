// libFuzzer target: the calculator engine driven by a sequence of key presses, pasted display
// texts and typed characters, in every angle unit and function variant, with either separator.
// Every key returns or raises numtext::CalcError with one of the system's own messages (the
// conversion messages quoting the display or the memory); no text the engine writes holds an
// infinity or a NaN unless the user pasted one; the operands it keeps stay finite.
//
// Input: the first byte picks the separator (low bit: ',' or '.'); then each byte is one step,
// its value modulo kStepCount indexing kSteps. Steps that need more take the following bytes:
// "paste" a length byte and that many bytes of text, "type" one character, "unit" and
// "variant" one byte each. fuzz/make_corpus.py writes the same encoding from key scripts.

#include "engine.h"
#include "reference.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using calc::AngleUnit;
using calc::Engine;
using calc::Trig;
using calc::Variant;
using reference::check;

struct State {
    Engine engine;
    std::string display = "0";
    AngleUnit unit = AngleUnit::Degrees;
    Variant variant = Variant::None;
};

using Press = std::string (*)(State&);

// clang-format off
// The order is the encoding: keep it in step with KEYS in make_corpus.py.
constexpr std::array<Press, 43> kKeys{{
    [](State& s) { return s.engine.digit(s.display, '0'); },
    [](State& s) { return s.engine.digit(s.display, '1'); },
    [](State& s) { return s.engine.digit(s.display, '2'); },
    [](State& s) { return s.engine.digit(s.display, '3'); },
    [](State& s) { return s.engine.digit(s.display, '4'); },
    [](State& s) { return s.engine.digit(s.display, '5'); },
    [](State& s) { return s.engine.digit(s.display, '6'); },
    [](State& s) { return s.engine.digit(s.display, '7'); },
    [](State& s) { return s.engine.digit(s.display, '8'); },
    [](State& s) { return s.engine.digit(s.display, '9'); },
    [](State& s) { return s.engine.comma(s.display); },
    [](State& s) { return s.engine.sign(s.display); },
    [](State& s) { return s.engine.pi(s.display); },
    [](State& s) { return s.engine.clear(s.display); },
    [](State& s) { return s.engine.binary(s.display, calc::kAdd); },
    [](State& s) { return s.engine.binary(s.display, calc::kSub); },
    [](State& s) { return s.engine.binary(s.display, calc::kMul); },
    [](State& s) { return s.engine.binary(s.display, calc::kDiv); },
    [](State& s) { return s.engine.equals(s.display); },
    [](State& s) { return s.engine.sqrtKey(s.display); },
    [](State& s) { return s.engine.sqrKey(s.display); },
    [](State& s) { return s.engine.power(s.display); },
    [](State& s) { return s.engine.fact(s.display); },
    [](State& s) { return s.engine.ln(s.display); },
    [](State& s) { return s.engine.log(s.display); },
    [](State& s) { return s.engine.trunc(s.display); },
    [](State& s) { return s.engine.rnd(s.display); },
    [](State& s) { return s.engine.trig(s.display, Trig::Sin, s.unit, s.variant); },
    [](State& s) { return s.engine.trig(s.display, Trig::Cos, s.unit, s.variant); },
    [](State& s) { return s.engine.trig(s.display, Trig::Tg, s.unit, s.variant); },
    [](State& s) { return s.engine.trig(s.display, Trig::Cot, s.unit, s.variant); },
    [](State& s) { return s.engine.trig(s.display, Trig::Sec, s.unit, s.variant); },
    [](State& s) { return s.engine.intBinary(s.display, calc::kIntMod); },
    [](State& s) { return s.engine.intBinary(s.display, calc::kIntDiv); },
    [](State& s) { return s.engine.intBinary(s.display, calc::kIntXor); },
    [](State& s) { return s.engine.intBinary(s.display, calc::kIntOr); },
    [](State& s) { return s.engine.intBinary(s.display, calc::kIntAnd); },
    [](State& s) { return s.engine.notKey(s.display); },
    [](State& s) { return s.engine.memoryStore(s.display); },
    [](State& s) { return s.engine.memoryRecall(s.display); },
    [](State& s) { return s.engine.memoryClear(s.display); },
    [](State& s) { return s.engine.memoryAdd(s.display); },
    [](State& s) { return s.engine.memorySub(s.display); },
}};
// clang-format on

constexpr unsigned kPaste = kKeys.size();
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
            s.display = kKeys[step](s);
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

#pragma once
// Calculator engine: the state of the main window's pocket calculator and its keys. press() takes
// a key and the display text and returns the new display text; a key that does nothing returns
// the text unchanged. Failures throw numtext::CalcError at the failing step,
// so state changed before that step stays changed and the window keeps its display.
// Called by TfmCalc's click handlers; tests and the fuzz target drive it with key sequences.

#include "numtext/numtext.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace calc {

using numtext::Real;

enum class AngleUnit { Degrees = 0, Radians = 1, Grads = 2 };
enum class Variant { Arc = 0, Hyp = 1, None = 2 };
enum class Trig { Sin, Cos, Tg, Cot, Sec };

// The keys of the keypad. The order is the fuzz target's byte encoding (fuzz/make_corpus.py
// reads kKeys below): new keys go at the end.
// clang-format off
enum class Key : unsigned char {
    D0, D1, D2, D3, D4, D5, D6, D7, D8, D9,
    Comma, Sign, Pi, Clear, Add, Sub, Mul, Divide, Equals,
    Sqrt, Sqr, Power, Fact, Ln, Log, Trunc, Rnd,
    Sin, Cos, Tg, Cot, Sec,
    Mod, IntDiv, Xor, Or, And, Not,
    MemoryStore, MemoryRecall, MemoryClear, MemoryAdd, MemorySub,
};
// clang-format on

struct KeyInfo {
    Key key;
    std::string_view caption; // as the key shows it
};

// Every key with its caption, in the order of Key.
// clang-format off
inline constexpr std::array<KeyInfo, 43> kKeys{{
    {Key::D0, "0"}, {Key::D1, "1"}, {Key::D2, "2"}, {Key::D3, "3"}, {Key::D4, "4"},
    {Key::D5, "5"}, {Key::D6, "6"}, {Key::D7, "7"}, {Key::D8, "8"}, {Key::D9, "9"},
    {Key::Comma, ","}, {Key::Sign, "+\\-"}, {Key::Pi, "Pi"}, {Key::Clear, "С"},
    {Key::Add, "+"}, {Key::Sub, "--"}, {Key::Mul, "*"}, {Key::Divide, "/"}, {Key::Equals, "="},
    {Key::Sqrt, "Sqrt"}, {Key::Sqr, "Sqr"}, {Key::Power, "X^y"}, {Key::Fact, "Fact"},
    {Key::Ln, "Ln"}, {Key::Log, "Log"}, {Key::Trunc, "Trunc"}, {Key::Rnd, "Rnd"},
    {Key::Sin, "Sin"}, {Key::Cos, "Cos"}, {Key::Tg, "tg"}, {Key::Cot, "Cot"}, {Key::Sec, "Sec"},
    {Key::Mod, "Mod"}, {Key::IntDiv, "Div"}, {Key::Xor, "Xor"}, {Key::Or, "Or"}, {Key::And, "And"},
    {Key::Not, "Not"}, {Key::MemoryStore, "MS"}, {Key::MemoryRecall, "MR"}, {Key::MemoryClear, "MC"},
    {Key::MemoryAdd, "M+"}, {Key::MemorySub, "M-"},
}};
// clang-format on

// The key with caption, or nothing.
const KeyInfo* findKey(std::string_view caption);

// Codes kept in pendingOp.
inline constexpr char kNoOp = '\0';
inline constexpr char kCleared = 'N';
inline constexpr char kAdd = '+';
inline constexpr char kSub = '-';
inline constexpr char kMul = '*';
inline constexpr char kDiv = '/';
inline constexpr char kPow = '^';
inline constexpr char kIntMod = 'm';
inline constexpr char kIntDiv = 'd';
inline constexpr char kIntXor = 'x';
inline constexpr char kIntOr = 'o';
inline constexpr char kIntAnd = 'a';

inline constexpr std::string_view kMarker = "Нельзя такой операнд";

// π at extended precision, the nearest 80-bit value.
inline constexpr Real kPi = 3.141592653589793238462643383279502884L;

// Whether a character typed into the display passes the keyboard filter: digits and backspace.
bool acceptsTypedChar(char32_t c);

// A calculation a key completed: "=" with an operation pending, or a function key given an
// operand. Numbers are texts as the display shows them.
struct Calculation {
    Key key = Key::Equals;
    char op = kNoOp;    // "=": the operation completed
    std::string first;  // "=": the kept first operand; a function key: the display
    std::string second; // "=": the display
    AngleUnit unit = AngleUnit::Degrees;
    Variant variant = Variant::None;
    std::string result; // the display the key wrote
    std::string error;  // the message of the failure, empty when the calculation succeeded
};

class Engine {
public:
    // Receives every calculation press() completes, a failed one before its error leaves
    // press(). It must not throw.
    using Tape = std::function<void(const Calculation&)>;
    void setTape(Tape tape) { m_tape = std::move(tape); }

    // display := key(display): the one entry point the window and the tests use. The angle unit
    // and the variant are read by the trigonometric keys only.
    std::string press(Key key, std::string_view display, AngleUnit unit = AngleUnit::Degrees,
                      Variant variant = Variant::None);

    // Entry and arithmetic.
    std::string digit(std::string_view display, char d) const;
    std::string comma(std::string_view display) const;
    std::string sign(std::string_view display) const;
    std::string pi(std::string_view display) const;
    std::string clear(std::string_view display);
    std::string binary(std::string_view display, char op); // kAdd, kSub, kMul, kDiv
    std::string equals(std::string_view display);

    // Scientific functions.
    std::string sqrtKey(std::string_view display);
    std::string sqrKey(std::string_view display);
    std::string power(std::string_view display); // "X^y": starts a pending kPow
    std::string fact(std::string_view display);
    std::string ln(std::string_view display);
    std::string log(std::string_view display);
    std::string trunc(std::string_view display);
    std::string rnd(std::string_view display);
    std::string trig(std::string_view display, Trig key, AngleUnit unit, Variant variant);

    // Integer operations and memory.
    std::string intBinary(std::string_view display, char op); // kIntMod … kIntAnd
    std::string notKey(std::string_view display);
    std::string memoryStore(std::string_view display);
    std::string memoryRecall(std::string_view display) const;
    std::string memoryClear(std::string_view display);
    std::string memoryAdd(std::string_view display);
    std::string memorySub(std::string_view display);

    char pendingOp() const { return m_pendingOp; }
    double firstNum() const { return m_firstNum; }
    double secondNum() const { return m_secondNum; }
    double resultNum() const { return m_resultNum; }
    std::int32_t firstInt() const { return m_firstInt; }
    std::int32_t secondInt() const { return m_secondInt; }
    std::int32_t resultInt() const { return m_resultInt; }
    const std::string& memoryText() const { return m_memoryText; }
    bool memoryIndicator() const { return m_memoryIndicator; } // Panel1 shows "M"

private:
    std::string dispatch(Key key, std::string_view display, AngleUnit unit, Variant variant);
    std::optional<Calculation> startCalculation(Key key, std::string_view display) const;
    std::string integerEquals(std::string_view display);
    std::string realEquals(std::string_view display);
    std::string memoryCombine(std::string_view display, Real (*combine)(Real shown, Real stored));

    char m_pendingOp = kNoOp;
    double m_firstNum = 0;
    double m_secondNum = 0;
    double m_resultNum = 0;
    std::int32_t m_firstInt = 0;
    std::int32_t m_secondInt = 0;
    std::int32_t m_resultInt = 0;
    std::string m_memoryText;
    bool m_memoryIndicator = false;
    Tape m_tape;
};

} // namespace calc

#pragma once
// Calculator engine: the state of the main window's pocket calculator and one method per key.
// Each key method takes the display text and returns the new display text; a key that does
// nothing returns the text unchanged. Failures throw numtext::CalcError at the failing step,
// so state changed before that step stays changed and the window keeps its display.
// Called by TfmCalc's click handlers; tests drive it with key sequences.

#include "numtext.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

using numtext::Real;

enum class AngleUnit { Degrees = 0, Radians = 1, Grads = 2 };
enum class Variant { Arc = 0, Hyp = 1, None = 2 };
enum class Trig { Sin, Cos, Tg, Cot, Sec };

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

class Engine {
public:
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
};

} // namespace calc

#include "calc/engine.h"

#include <cmath>
#include <optional>

namespace calc {

using numtext::CalcError;

namespace {

// The guard shared by most keys: an empty display or the bare "0" means nothing was entered.
// "0,0", "00" and "-0" are real entries.
bool nothingEntered(std::string_view display) { return display.empty() || display == "0"; }

bool isMarker(std::string_view display) { return display == kMarker; }

// The entry checks of the function keys that refuse the marker: nothing entered leaves the
// display as it is, the marker empties it. Empty when the key goes on to read the display.
std::optional<std::string> entryCheck(std::string_view display)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    if (isMarker(display)) {
        return std::string();
    }
    return std::nullopt;
}

bool hasSeparator(std::string_view display)
{
    return display.find(numtext::decimalSeparator()) != std::string_view::npos;
}

// Every real read from the display is kept as a double; a text beyond the double range fails here.
double readDouble(std::string_view text) { return numtext::toDouble(numtext::textToReal(text)); }

// 2^63: beyond it the sine and cosine are taken as 0.
constexpr Real kTrigLimit = 9223372036854775808.0L;

Real sine(Real x) { return std::fabs(x) >= kTrigLimit ? 0.0L : std::sin(x); }

Real cosine(Real x) { return std::fabs(x) >= kTrigLimit ? 0.0L : std::cos(x); }

// √(1 − x²) as √((1 − x)(1 + x)): for a double x both factors are exact in extended precision, so
// the root keeps its accuracy as |x| approaches 1, where 1 − x·x would cancel away most digits.
Real cosOfArcSine(Real x)
{
    if (std::fabs(x) > 1.0L) {
        throw CalcError(numtext::kInvalidOp);
    }
    return std::sqrt((1.0L - x) * (1.0L + x));
}

Real angleToRadians(Real x, AngleUnit unit)
{
    switch (unit) {
    case AngleUnit::Degrees:
        return numtext::div(numtext::mul(kPi, x), 180.0L);
    case AngleUnit::Grads:
        return numtext::div(numtext::mul(kPi, x), 200.0L);
    case AngleUnit::Radians:
        break;
    }
    return x;
}

Real radiansToAngle(Real x, AngleUnit unit)
{
    switch (unit) {
    case AngleUnit::Degrees:
        return numtext::div(numtext::mul(x, 180.0L), kPi);
    case AngleUnit::Grads:
        return numtext::div(numtext::mul(x, 200.0L), kPi);
    case AngleUnit::Radians:
        break;
    }
    return x;
}

// Power of "X^y" and "=". The cases and their errors are decided first; the value itself comes
// from powl, whose error stays below one extended unit even for exponents near 2^31, where repeated
// squaring would lose several of the displayed digits. Underflow gives 0 or a denormal silently.
Real raise(Real base, Real exponent)
{
    if (exponent == 0.0L) {
        return 1.0L;
    }
    if (base == 0.0L) {
        if (exponent > 0.0L) {
            return 0.0L;
        }
        throw CalcError(numtext::kDivByZero);
    }
    const bool integerExponent = exponent == std::trunc(exponent) && std::fabs(exponent) <= 2147483647.0L;
    if (base < 0.0L && !integerExponent) {
        throw CalcError(numtext::kInvalidOp);
    }
    return numtext::checked(std::pow(base, exponent));
}

// n! for n >= 13, kept as an unevaluated sum hi + lo of two extended values: fma recovers each
// product's rounding error exactly, so after hundreds of factors the sum is still far more precise
// than one extended value and the final rounding is the only one that reaches the display.
Real bigFactorial(std::int32_t n)
{
    Real hi = 1.0L;
    Real lo = 0.0L;
    for (std::int32_t i = 2; i <= n; ++i) {
        const Real factor = i;
        const Real product = numtext::mul(hi, factor); // fails at 1755!, the first beyond the range
        const Real error = std::fma(hi, factor, -product);
        lo = lo * factor + error;
        hi = product + lo;
        lo -= hi - product;
    }
    return numtext::add(hi, lo);
}

} // namespace

bool acceptsTypedChar(char32_t c) { return c == 8 || (c >= U'0' && c <= U'9'); }

static_assert(
    [] {
        for (std::size_t i = 0; i < kKeys.size(); ++i) {
            if (static_cast<std::size_t>(kKeys[i].key) != i) {
                return false;
            }
        }
        return true;
    }(),
    "kKeys lists the keys in the order of Key");

const KeyInfo* findKey(std::string_view caption)
{
    for (const KeyInfo& info : kKeys) {
        if (info.caption == caption) {
            return &info;
        }
    }
    return nullptr;
}

std::string Engine::press(Key key, std::string_view display, AngleUnit unit, Variant variant)
{
    std::optional<Calculation> calculation;
    if (m_tape) {
        calculation = startCalculation(key, display);
    }
    if (!calculation) {
        return dispatch(key, display, unit, variant);
    }
    calculation->unit = unit;
    calculation->variant = variant;
    try {
        calculation->result = dispatch(key, display, unit, variant);
    } catch (const CalcError& e) {
        // Recorded on the tape, then reported as any failure is.
        calculation->error = e.what();
        m_tape(*calculation);
        throw;
    }
    m_tape(*calculation);
    return calculation->result;
}

std::optional<Calculation> Engine::startCalculation(Key key, std::string_view display) const
{
    Calculation c;
    c.key = key;
    c.first = display;
    switch (key) {
    case Key::Equals:
        if (nothingEntered(display)) {
            return std::nullopt;
        }
        c.op = m_pendingOp;
        c.second = display;
        switch (m_pendingOp) {
        case kAdd:
        case kSub:
        case kMul:
        case kDiv:
        case kPow:
            c.first = numtext::realToText(m_firstNum);
            return c;
        case kIntMod:
        case kIntDiv:
        case kIntXor:
        case kIntOr:
        case kIntAnd:
            c.first = numtext::intToText(m_firstInt);
            return c;
        default:
            return std::nullopt; // nothing pending: no calculation, the last result is shown again
        }
    case Key::Sqrt:
    case Key::Sqr:
    case Key::Fact:
    case Key::Ln:
    case Key::Rnd:
        return entryCheck(display) ? std::nullopt : std::optional(c);
    case Key::Log:
    case Key::Trunc:
    case Key::Not:
        return nothingEntered(display) ? std::nullopt : std::optional(c);
    case Key::Sin:
        return display.empty() ? std::nullopt : std::optional(c);
    case Key::Cos:
    case Key::Tg:
    case Key::Cot:
    case Key::Sec:
        return display.empty() || isMarker(display) ? std::nullopt : std::optional(c);
    default:
        return std::nullopt; // entry, operators and memory complete no calculation
    }
}

std::string Engine::dispatch(Key key, std::string_view display, AngleUnit unit, Variant variant)
{
    switch (key) {
    case Key::D0:
    case Key::D1:
    case Key::D2:
    case Key::D3:
    case Key::D4:
    case Key::D5:
    case Key::D6:
    case Key::D7:
    case Key::D8:
    case Key::D9:
        return digit(display, static_cast<char>('0' + static_cast<int>(key) - static_cast<int>(Key::D0)));
    case Key::Comma:
        return comma(display);
    case Key::Sign:
        return sign(display);
    case Key::Pi:
        return pi(display);
    case Key::Clear:
        return clear(display);
    case Key::Add:
        return binary(display, kAdd);
    case Key::Sub:
        return binary(display, kSub);
    case Key::Mul:
        return binary(display, kMul);
    case Key::Divide:
        return binary(display, kDiv);
    case Key::Equals:
        return equals(display);
    case Key::Sqrt:
        return sqrtKey(display);
    case Key::Sqr:
        return sqrKey(display);
    case Key::Power:
        return power(display);
    case Key::Fact:
        return fact(display);
    case Key::Ln:
        return ln(display);
    case Key::Log:
        return log(display);
    case Key::Trunc:
        return trunc(display);
    case Key::Rnd:
        return rnd(display);
    case Key::Sin:
        return trig(display, Trig::Sin, unit, variant);
    case Key::Cos:
        return trig(display, Trig::Cos, unit, variant);
    case Key::Tg:
        return trig(display, Trig::Tg, unit, variant);
    case Key::Cot:
        return trig(display, Trig::Cot, unit, variant);
    case Key::Sec:
        return trig(display, Trig::Sec, unit, variant);
    case Key::Mod:
        return intBinary(display, kIntMod);
    case Key::IntDiv:
        return intBinary(display, kIntDiv);
    case Key::Xor:
        return intBinary(display, kIntXor);
    case Key::Or:
        return intBinary(display, kIntOr);
    case Key::And:
        return intBinary(display, kIntAnd);
    case Key::Not:
        return notKey(display);
    case Key::MemoryStore:
        return memoryStore(display);
    case Key::MemoryRecall:
        return memoryRecall(display);
    case Key::MemoryClear:
        return memoryClear(display);
    case Key::MemoryAdd:
        return memoryAdd(display);
    case Key::MemorySub:
        return memorySub(display);
    }
    return std::string(display);
}

std::string Engine::digit(std::string_view display, char d) const
{
    if (display == "0") {
        // A leading zero is replaced, and a second one is not added.
        return d == '0' ? std::string(display) : std::string(1, d);
    }
    return std::string(display) + d;
}

std::string Engine::comma(std::string_view display) const
{
    if (display.empty() || hasSeparator(display)) {
        return std::string(display);
    }
    return std::string(display) + numtext::decimalSeparator();
}

std::string Engine::sign(std::string_view display) const
{
    if (nothingEntered(display) || display.find('-') != std::string_view::npos) {
        return std::string(display);
    }
// GCC 12 at -O2 and above warns that the string's copy may overlap itself (-Wrestrict) when a
// literal is put before a temporary string: a known false positive of its inlined
// basic_string::insert (GCC bug 105651), not a fault here.
#if defined(__GNUC__) && !defined(__clang__) // clang has no -Wrestrict
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
    return "-" + std::string(display);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
}

std::string Engine::pi(std::string_view /*display*/) const { return numtext::realToText(kPi); }

std::string Engine::clear(std::string_view /*display*/)
{
    m_pendingOp = kCleared;
    m_firstNum = 0;
    m_secondNum = 0;
    m_resultNum = 0;
    return "0";
}

std::string Engine::binary(std::string_view display, char op)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    m_pendingOp = op; // stays pending even when the display cannot be read
    m_firstNum = readDouble(display);
    return {};
}

std::string Engine::equals(std::string_view display)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    switch (m_pendingOp) {
    case kIntMod:
    case kIntDiv:
    case kIntXor:
    case kIntOr:
    case kIntAnd:
        return integerEquals(display);
    default:
        return realEquals(display);
    }
}

std::string Engine::integerEquals(std::string_view display)
{
    m_secondInt = numtext::textToInt(display);
    switch (m_pendingOp) {
    case kIntMod:
        m_resultInt = numtext::intMod(m_firstInt, m_secondInt);
        break;
    case kIntDiv:
        m_resultInt = numtext::intDiv(m_firstInt, m_secondInt);
        break;
    case kIntXor:
        m_resultInt = m_firstInt ^ m_secondInt;
        break;
    case kIntOr:
        m_resultInt = m_firstInt | m_secondInt;
        break;
    default:
        m_resultInt = m_firstInt & m_secondInt;
        break;
    }
    return numtext::intToText(m_resultInt);
}

std::string Engine::realEquals(std::string_view display)
{
    m_secondNum = readDouble(display);
    const Real a = m_firstNum;
    const Real b = m_secondNum;
    switch (m_pendingOp) {
    case kAdd:
        m_resultNum = numtext::toDouble(numtext::add(a, b));
        break;
    case kSub:
        m_resultNum = numtext::toDouble(numtext::sub(a, b));
        break;
    case kMul:
        m_resultNum = numtext::toDouble(numtext::mul(a, b));
        break;
    case kDiv:
        m_resultNum = numtext::toDouble(numtext::div(a, b));
        break;
    case kPow:
        m_resultNum = numtext::toDouble(raise(a, b));
        break;
    default:
        break; // nothing pending: the previous result is shown again
    }
    return numtext::realToText(m_resultNum);
}

std::string Engine::sqrtKey(std::string_view display)
{
    if (const auto early = entryCheck(display)) {
        return *early;
    }
    m_firstNum = readDouble(display);
    if (m_firstNum < 0) {
        throw CalcError(numtext::kInvalidOp);
    }
    return numtext::realToText(std::sqrt(static_cast<Real>(m_firstNum)));
}

std::string Engine::sqrKey(std::string_view display)
{
    if (const auto early = entryCheck(display)) {
        return *early;
    }
    m_firstNum = readDouble(display);
    return numtext::realToText(numtext::mul(m_firstNum, m_firstNum));
}

std::string Engine::power(std::string_view display)
{
    if (const auto early = entryCheck(display)) {
        return *early;
    }
    m_firstNum = readDouble(display);
    m_pendingOp = kPow;
    return {};
}

std::string Engine::fact(std::string_view display)
{
    if (const auto early = entryCheck(display)) {
        return *early;
    }
    if (hasSeparator(display)) {
        return std::string(kMarker);
    }
    m_firstInt = numtext::textToInt(display);
    if (m_firstInt <= 12) {
        // Up to 12! the product fits the 32-bit integer exactly; zero and negatives give 1.
        std::int32_t product = 1;
        for (std::int32_t i = 1; i <= m_firstInt; ++i) {
            product *= i;
        }
        return numtext::intToText(product);
    }
    return numtext::realToText(bigFactorial(m_firstInt));
}

std::string Engine::ln(std::string_view display)
{
    if (const auto early = entryCheck(display)) {
        return *early;
    }
    m_firstNum = readDouble(display);
    if (m_firstNum == 0) {
        throw CalcError(numtext::kDivByZero);
    }
    if (m_firstNum < 0) {
        throw CalcError(numtext::kInvalidOp);
    }
    return numtext::realToText(std::log(static_cast<Real>(m_firstNum)));
}

std::string Engine::log(std::string_view display)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    m_firstNum = readDouble(display);
    if (m_firstNum < 0) {
        return std::string(kMarker);
    }
    if (m_firstNum == 0) {
        throw CalcError(numtext::kDivByZero);
    }
    return numtext::realToText(std::log10(static_cast<Real>(m_firstNum)));
}

std::string Engine::trunc(std::string_view display)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    m_firstNum = readDouble(display);
    return numtext::intToText(numtext::truncReal(m_firstNum));
}

std::string Engine::rnd(std::string_view display)
{
    if (const auto early = entryCheck(display)) {
        return *early;
    }
    m_firstNum = readDouble(display);
    return numtext::intToText(numtext::roundReal(m_firstNum));
}

std::string Engine::trig(std::string_view display, Trig key, AngleUnit unit, Variant variant)
{
    // The trigonometric keys take "0" as an operand; only "Sin" reads the marker as a number.
    if (display.empty()) {
        return std::string(display);
    }
    if (key != Trig::Sin && isMarker(display)) {
        return {};
    }
    m_firstNum = readDouble(display);

    const bool plainFunction = key == Trig::Sin || key == Trig::Cos || key == Trig::Tg;
    if (plainFunction && variant == Variant::Hyp) {
        // The hyperbolic functions take a plain number, not an angle.
        const Real x = m_firstNum;
        switch (key) {
        case Trig::Sin:
            return numtext::realToText(numtext::checked(std::sinh(x)));
        case Trig::Cos:
            return numtext::realToText(numtext::checked(std::cosh(x)));
        default:
            return numtext::realToText(std::tanh(x));
        }
    }
    if (plainFunction && variant == Variant::Arc) {
        // The inverse functions take a plain number and give an angle in the selected unit.
        const Real x = m_firstNum;
        Real radians = 0;
        switch (key) {
        case Trig::Sin:
            radians = std::atan2(x, cosOfArcSine(x));
            break;
        case Trig::Cos:
            radians = std::atan2(cosOfArcSine(x), x);
            break;
        default:
            radians = std::atan2(x, 1.0L);
            break;
        }
        return numtext::realToText(radiansToAngle(radians, unit));
    }

    m_firstNum = numtext::toDouble(angleToRadians(m_firstNum, unit));
    const Real x = m_firstNum;
    switch (key) {
    case Trig::Sin:
        return numtext::realToText(sine(x));
    case Trig::Cos:
        return numtext::realToText(cosine(x));
    case Trig::Tg:
        return numtext::realToText(numtext::checked(std::tan(x)));
    case Trig::Cot:
        return numtext::realToText(numtext::div(1.0L, std::tan(x)));
    case Trig::Sec:
        return numtext::realToText(numtext::div(1.0L, cosine(x)));
    }
    return std::string(display);
}

std::string Engine::intBinary(std::string_view display, char op)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    m_pendingOp = op; // set even when the display holds a fraction and the key goes no further
    if (hasSeparator(display)) {
        return std::string(display);
    }
    m_firstInt = numtext::textToInt(display);
    return {};
}

std::string Engine::notKey(std::string_view display)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    m_firstInt = numtext::textToInt(display);
    return numtext::intToText(~m_firstInt);
}

std::string Engine::memoryStore(std::string_view display)
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    m_memoryText = display;
    m_memoryIndicator = true;
    return std::string(display);
}

std::string Engine::memoryRecall(std::string_view /*display*/) const { return m_memoryText; }

std::string Engine::memoryClear(std::string_view display)
{
    m_memoryText.clear();
    m_memoryIndicator = false;
    return std::string(display);
}

std::string Engine::memoryAdd(std::string_view display)
{
    return memoryCombine(display, [](Real shown, Real stored) { return numtext::add(stored, shown); });
}

std::string Engine::memorySub(std::string_view display)
{
    return memoryCombine(display, [](Real shown, Real stored) { return numtext::sub(stored, shown); });
}

std::string Engine::memoryCombine(std::string_view display, Real (*combine)(Real shown, Real stored))
{
    if (nothingEntered(display)) {
        return std::string(display);
    }
    // The display is read before the memory, so a bad display is the error reported; the memory
    // changes only once the new value exists.
    const Real shown = readDouble(display);
    const Real stored = readDouble(m_memoryText);
    m_memoryText = numtext::realToText(numtext::toDouble(combine(shown, stored)));
    return std::string(display);
}

} // namespace calc

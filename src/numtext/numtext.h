#pragma once
// Number text: every window turns control text into numbers and numbers back into text through
// these conversions, so all of them read and write numbers the same way. The checked arithmetic
// helpers below are the only way later code does real and integer arithmetic: they raise the
// user-visible error instead of producing an infinity, a NaN or a trapped integer division.
// Called by the calculator engine and by every tool window's core.

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace numtext {

using Real = long double; // 80-bit extended
static_assert(std::numeric_limits<Real>::digits == 64, "Real must have a 64-bit significand");

// Every failure of a conversion or of checked arithmetic; what() is the exact user-visible
// message (UTF-8) without the closing full stop the error box adds. A message that quotes text
// holding a NUL character ends there as what() reads it; message() is the whole of it.
class CalcError : public std::runtime_error {
public:
    explicit CalcError(const std::string& message)
        : std::runtime_error(message)
        , m_message(std::make_shared<const std::string>(message))
    {
    }
    explicit CalcError(const char* message)
        : CalcError(std::string(message))
    {
    }
    std::string_view message() const noexcept { return *m_message; }

private:
    std::shared_ptr<const std::string> m_message; // shared, so copying the error cannot throw
};

inline constexpr const char* kInvalidOp = "Invalid floating point operation";
inline constexpr const char* kDivByZero = "Floating point division by zero";
inline constexpr const char* kOverflow = "Floating point overflow";
inline constexpr const char* kIntDivByZero = "Division by zero";
inline constexpr const char* kIntOverflow = "Integer overflow";

Real textToReal(std::string_view text); // throws "'<text>' is not a valid floating point value"
std::string realToText(Real value);     // general format, 15 significant digits
// Checked arithmetic never lets an infinity or a NaN through; should one arrive anyway,
// realToText writes "INF", "-INF" or "NAN" rather than digits.
std::int32_t textToInt(std::string_view text); // throws "'<text>' is not a valid integer value"
std::optional<std::int32_t> tryTextToInt(std::string_view text); // empty where textToInt throws
std::string intToText(std::int64_t value);
std::int64_t truncReal(Real value); // towards zero; kInvalidOp outside the int64 range
std::int64_t roundReal(Real value); // halves to even; kInvalidOp outside the int64 range
double toDouble(Real value);        // nearest double; kOverflow beyond the double range
char decimalSeparator();
void setDecimalSeparator(char separator);

// The two conversions that depend on the separator, with the separator given: the ones above
// pass the process-wide separator the main window reads from the locale. Cores and tests that
// know their separator call these and leave the global alone.
Real textToReal(std::string_view text, char separator);
std::string realToText(Real value, char separator);

// Checked real arithmetic in extended precision. Each raises kInvalidOp, kDivByZero or
// kOverflow where the plain operation would give a NaN or an infinity; underflow is silent.
Real checked(Real value); // kOverflow for an infinity, kInvalidOp for a NaN
Real add(Real a, Real b);
Real sub(Real a, Real b);
Real mul(Real a, Real b);
Real div(Real a, Real b);

// 32-bit integer division and remainder, truncated towards zero: kIntDivByZero, kIntOverflow.
std::int32_t intDiv(std::int32_t a, std::int32_t b);
std::int32_t intMod(std::int32_t a, std::int32_t b);

} // namespace numtext

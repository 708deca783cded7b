#pragma once
// Loan arithmetic: the interest part of one payment of a loan repaid in equal payments, and the
// number of payments that repay a loan, both in extended precision, with the three computations
// they rest on; and the loan window's two calculations, from the boxes' text to the text shown.
// An intermediate beyond the extended range raises numtext's "Floating point overflow", so no
// infinity or NaN reaches an answer. Called by UnitKred, which keeps the checks for empty boxes.

#include "numtext/numtext.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace loan {

enum class PaymentTime { EndOfPeriod, StartOfPeriod };

// A financial function called outside its domain; what() is the function's own name.
struct EInvalidArgument : std::exception {
    explicit EInvalidArgument(const char* function) noexcept
        : m_function(function)
    {
    }
    const char* what() const noexcept override { return m_function; }

private:
    const char* m_function;
};

// Interest part, as money paid out (negative for a positive loan), of payment `period` of
// `periods` equal payments. "InterestPayment" when rate <= -1, period < 1 or period > periods.
numtext::Real interestPayment(numtext::Real rate, int period, int periods, numtext::Real presentValue,
                              numtext::Real futureValue, PaymentTime time);
// Number of payments `payment` (money received positive, paid out negative) that take
// presentValue to -futureValue. "NumberOfPeriods" when rate <= -1, when the payment exactly
// offsets the interest, or when the loan can never reach the future value.
numtext::Real numberOfPeriods(numtext::Real rate, numtext::Real payment, numtext::Real presentValue,
                              numtext::Real futureValue, PaymentTime time);

// ln(1 + x) for x > -1, to full precision for x near 0 of either sign.
numtext::Real lnOnePlus(numtext::Real x);

// The compound factor (1 + x)^m for x > -1, together with its excess over 1, which carries the
// digits that the factor alone loses when x is small.
struct Compound {
    numtext::Real factor; // (1 + x)^m
    numtext::Real excess; // (1 + x)^m - 1
};
Compound compound(numtext::Real x, int m);

// The annuity factor: what `periods` payments of 1 amount to, with the compound factor over them.
struct Annuity {
    numtext::Real factor;
    Compound growth; // (1 + rate)^periods
};
Annuity annuity(numtext::Real rate, int periods, PaymentTime time);

// "Списание": the boxes loan amount, rate in per cent per month, number of months and month
// number, converted in that order; the interest part of that month's payment, as shown.
std::string writeOff(std::string_view amount, std::string_view ratePercent, std::string_view months,
                     std::string_view month, PaymentTime time);

// "Продолжительность": the boxes rate in per cent per month, loan amount and monthly payment,
// converted in that order; the number of months that repay the loan, as shown. Empty when the
// loan is never repaid: the payment is 0 or less, or does not exceed the interest on the debt
// of the first period.
std::optional<std::string> duration(std::string_view ratePercent, std::string_view amount,
                                    std::string_view payment, PaymentTime time);

} // namespace loan

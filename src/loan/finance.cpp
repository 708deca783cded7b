#include "loan/finance.h"

#include <cmath>
#include <cstdint>

namespace loan {

namespace {

using numtext::Real;

// Below this magnitude the rate is small enough that the powers of 1 + rate are taken through
// the logarithm, where nothing has to form 1 + rate first.
constexpr Real kSmallRate = 0.000061L;

constexpr const char* kInterestPayment = "InterestPayment";
constexpr const char* kNumberOfPeriods = "NumberOfPeriods";

// A real carried with the rounding error of its last operation, so that binary powering, whose
// squarings double the error of the base each time, still ends within one rounding of the exact
// power: value = hi + lo with |lo| at most half a unit in the last place of hi.
struct Wide {
    Real hi;
    Real lo;
};

Wide exactSum(Real a, Real b)
{
    const Real s = numtext::add(a, b);
    const Real bPart = s - a;
    return {s, (a - (s - bPart)) + (b - bPart)};
}

Wide product(const Wide& a, const Wide& b)
{
    const Real p = numtext::mul(a.hi, b.hi);
    const Real error = std::fma(a.hi, b.hi, -p) + (a.hi * b.lo + a.lo * b.hi);
    const Real hi = numtext::add(p, error);
    return {hi, error - (hi - p)};
}

// The payment as it weighs at the end of its period: grown by one period's interest when it is
// made at the start.
Real grownPayment(Real rate, Real payment, PaymentTime time)
{
    return time == PaymentTime::StartOfPeriod ? numtext::checked(std::fma(payment, rate, payment)) : payment;
}

// T = PV × r + P', the change of the debt over one period. It is often the small difference
// between the interest and a payment that barely covers it, so its parts are formed without
// rounding before they meet: a fused multiply-add at the end, and at the start
// PV × r + P × (1 + r) = (PV + P) × r + P with PV + P carried exactly.
Real netChange(Real rate, Real payment, Real presentValue, PaymentTime time)
{
    if (time == PaymentTime::EndOfPeriod)
        return numtext::checked(std::fma(presentValue, rate, payment));
    const Wide owed = exactSum(presentValue, payment);
    return numtext::add(numtext::checked(std::fma(owed.hi, rate, payment)), owed.lo * rate);
}

// The rate as the window keeps it: the typed per cent divided by 100, stored as a double.
double rateOf(std::string_view ratePercent)
{
    return numtext::toDouble(numtext::div(numtext::textToReal(ratePercent), 100));
}

} // namespace

Real lnOnePlus(Real x) { return numtext::checked(std::log1p(x)); }

Compound compound(Real x, int m)
{
    if (m == 0 || x == 0)
        return {1, 0};
    if (std::fabs(x) < kSmallRate) {
        const Real t = numtext::mul(static_cast<Real>(m), lnOnePlus(x));
        return {numtext::checked(std::exp(t)), numtext::checked(std::expm1(t))};
    }
    // Binary powering over the bits of |m| from the lowest; the base is squared only while
    // higher bits remain, so it overflows only where the result would.
    Wide result{1, 0};
    Wide base = exactSum(1, x);
    auto bits = static_cast<std::uint32_t>(m < 0 ? -static_cast<std::int64_t>(m) : m);
    for (;;) {
        if ((bits & 1U) != 0)
            result = product(result, base);
        bits >>= 1;
        if (bits == 0)
            break;
        base = product(base, base);
    }
    // hi - 1 is exact wherever the excess is small, so the excess keeps all its digits.
    const Compound power{result.hi, (result.hi - 1) + result.lo};
    if (m < 0)
        return {numtext::div(1, power.factor), numtext::div(-power.excess, power.factor)};
    return power;
}

Annuity annuity(Real rate, int periods, PaymentTime time)
{
    if (rate == 0)
        return {static_cast<Real>(periods), {1, 0}};
    const Compound growth = compound(rate, periods);
    Real factor = numtext::div(growth.excess, rate);
    if (time == PaymentTime::StartOfPeriod)
        factor = numtext::mul(factor, numtext::add(1, rate));
    return {factor, growth};
}

Real interestPayment(Real rate, int period, int periods, Real presentValue, Real futureValue,
                     PaymentTime time)
{
    if (!(rate > -1) || period < 1 || period > periods)
        throw EInvalidArgument(kInterestPayment);
    // Paid at the start of the first period, before any interest has accrued.
    if (time == PaymentTime::StartOfPeriod && period == 1)
        return 0;
    const Compound before = compound(rate, period - 1);
    const Annuity annuityFactor = annuity(rate, periods, time);
    // Cn - Ck as Ck × ((1 + r)^(n - k + 1) - 1): two nearby factors are not subtracted.
    const Compound remaining = compound(rate, periods - period + 1);
    const Real owed = numtext::mul(numtext::mul(presentValue, before.factor), remaining.excess);
    return numtext::div(numtext::sub(numtext::mul(futureValue, before.excess), owed), annuityFactor.factor);
}

Real numberOfPeriods(Real rate, Real payment, Real presentValue, Real futureValue, PaymentTime time)
{
    if (!(rate > -1))
        throw EInvalidArgument(kNumberOfPeriods);
    const Real change = netChange(rate, payment, presentValue, time);
    if (change == 0)
        throw EInvalidArgument(kNumberOfPeriods);
    const Real owed = numtext::add(presentValue, futureValue);
    if (rate == 0)
        return numtext::div(-owed, change);
    const Real x = numtext::div(numtext::mul(-owed, rate), change);
    if (!(x > -1))
        throw EInvalidArgument(kNumberOfPeriods);
    // Near X = -1 the sum 1 + X has lost the digits that the ratio it stands for,
    // (P' - FV × r) ÷ T, still has.
    Real lnGrowth = 0;
    if (x < -0.5L) {
        const Real growth = numtext::div(
            numtext::checked(std::fma(-futureValue, rate, grownPayment(rate, payment, time))), change);
        if (!(growth > 0))
            throw EInvalidArgument(kNumberOfPeriods);
        lnGrowth = numtext::checked(std::log(growth));
    } else {
        lnGrowth = lnOnePlus(x);
    }
    return numtext::div(lnGrowth, lnOnePlus(rate));
}

std::string writeOff(std::string_view amount, std::string_view ratePercent, std::string_view months,
                     std::string_view month, PaymentTime time)
{
    const Real presentValue = numtext::textToReal(amount);
    const double rate = rateOf(ratePercent);
    const std::int32_t periods = numtext::textToInt(months);
    const std::int32_t period = numtext::textToInt(month);
    return numtext::realToText(
        numtext::toDouble(interestPayment(rate, period, periods, presentValue, 0, time)));
}

std::optional<std::string> duration(std::string_view ratePercent, std::string_view amount,
                                    std::string_view payment, PaymentTime time)
{
    const double rate = rateOf(ratePercent);
    const Real presentValue = numtext::textToReal(amount);
    const Real perMonth = numtext::textToReal(payment);
    // The debt never shrinks when the payment does not exceed the first period's interest. At a
    // rate of -100 % or below there is no interest to speak of, and the function itself refuses.
    if (rate > -1 && (!(perMonth > 0) || netChange(rate, -perMonth, presentValue, time) >= 0))
        return std::nullopt;
    return numtext::realToText(numtext::toDouble(numberOfPeriods(rate, -perMonth, presentValue, 0, time)));
}

} // namespace loan

#include "loan/schedule.h"

#include "numtext/numtext.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace loan {

namespace {

using numtext::Real;
__extension__ typedef unsigned __int128 U128;

constexpr const char* kColumns[] = {"№", "Платёж", "Проценты", "Основной долг", "Остаток"};
constexpr int kRateDigits = 19; // as many decimal digits as a 64-bit word always holds

// A number as typed, digit by digit: digits × 10^power, digits without leading zeros.
struct Decimal {
    std::string digits;
    std::int64_t power = 0;
    Real value = 0; // the same number as numtext reads it
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal digits of text, which numtext has accepted: blanks, a sign, digits around the
// separator and an exponent. Reading them again keeps a rate like 0,1 exact, where the binary
// value would move the ties of half a kopeck.
Decimal decimalOf(std::string_view text)
{
    Decimal d;
    d.value = numtext::textToReal(text);
    const char separator = numtext::decimalSeparator();
    std::size_t i = text.find_first_not_of(" +-");
    bool fraction = false;
    for (; i < text.size() && (isDigit(text[i]) || text[i] == separator); ++i) {
        if (text[i] == separator) {
            fraction = true;
            continue;
        }
        if (!d.digits.empty() || text[i] != '0')
            d.digits += text[i];
        if (fraction)
            --d.power;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        const bool negative = i + 1 < text.size() && text[i + 1] == '-';
        std::int64_t exponent = 0;
        for (++i; i < text.size() && text[i] != ' '; ++i)
            if (isDigit(text[i]))
                exponent = exponent * 10 + (text[i] - '0');
        d.power += negative ? -exponent : exponent;
    }
    return d;
}

// The first `keep` digits (all of them and zeros after when keep is larger), rounded half away
// from zero by the digits dropped. The caller has checked that the result fits.
std::uint64_t roundedDigits(const std::string& digits, std::int64_t keep)
{
    std::uint64_t result = 0;
    for (std::int64_t i = 0; i < keep; ++i)
        result =
            result * 10 + (i < std::int64_t(digits.size()) ? std::uint64_t(digits[std::size_t(i)] - '0') : 0);
    if (keep >= 0 && keep < std::int64_t(digits.size()) && digits[std::size_t(keep)] >= '5')
        ++result;
    return result;
}

// numerator ÷ denominator rounded half away from zero, for a non-negative numerator.
Kopecks roundedQuotient(U128 numerator, U128 denominator)
{
    const U128 quotient = numerator / denominator;
    return Kopecks(quotient + (2 * (numerator % denominator) >= denominator ? 1 : 0));
}

// The interest on balance for one month at rate, exactly, rounded half away from zero: the rate
// is digits × 10^exponent per cent (exponent <= 0), spread over 12 months when it is yearly.
Kopecks monthInterest(Kopecks balance, const Rate& rate)
{
    // Beyond 35 places the interest on the largest loan stays below a thousandth of a kopeck,
    // and the denominator would no longer fit in 128 bits.
    if (rate.digits == 0 || balance == 0 || rate.exponent < -35)
        return 0;
    U128 denominator = rate.kind == RateKind::PerYear ? 1200 : 100;
    for (int i = 0; i < -rate.exponent; ++i)
        denominator *= 10;
    return roundedQuotient(U128(balance) * rate.digits, denominator);
}

Real monthlyRate(const Rate& rate)
{
    const Real perCent = Real(rate.digits) * std::pow(10.0L, Real(rate.exponent));
    return perCent / (rate.kind == RateKind::PerYear ? 1200 : 100);
}

// The equal payment of an annuity, rounded half away from zero: amount × (1 + r)^n ÷ A, where
// the annuity factor A is what n payments of 1 grow to (one period more at the start).
Kopecks annuityPayment(Kopecks amount, int months, const Rate& rate, PaymentTime time)
{
    const Annuity factor = annuity(monthlyRate(rate), months, time);
    return Kopecks(std::round(numtext::div(numtext::mul(Real(amount), factor.growth.factor), factor.factor)));
}

Rate rateOf(std::string_view text, RateKind kind)
{
    const Decimal d = decimalOf(text);
    if (!(d.value >= 0 && d.value <= kMaxRatePercent))
        throw ScheduleError("Процентная ставка должна быть от 0 до " + std::to_string(kMaxRatePercent));
    Rate rate{0, 0, kind};
    if (d.digits.empty())
        return rate;
    const auto keep = std::min<std::int64_t>(std::int64_t(d.digits.size()), kRateDigits);
    rate.digits = roundedDigits(d.digits, keep);
    std::int64_t exponent = d.power + std::int64_t(d.digits.size()) - keep;
    for (; rate.digits % 10 == 0 && rate.digits != 0; rate.digits /= 10)
        ++exponent;
    for (; exponent > 0; --exponent) // at most 1000 %, so the digits stay small
        rate.digits *= 10;
    rate.exponent = int(std::max<std::int64_t>(exponent, -1000));
    return rate;
}

Kopecks amountOf(std::string_view text)
{
    const Decimal d = decimalOf(text);
    // Kopecks: the digits up to the second place after the point, rounded by the rest.
    const Kopecks amount = d.value > 0 && d.value < 1e12L
                               ? Kopecks(roundedDigits(d.digits, std::int64_t(d.digits.size()) + d.power + 2))
                               : 0;
    if (amount < 1 || amount > kMaxLoan)
        throw ScheduleError("Сумма кредита должна быть от " + moneyText(1, numtext::decimalSeparator()) +
                            " до " + moneyText(kMaxLoan, numtext::decimalSeparator()));
    return amount;
}

} // namespace

Schedule paymentSchedule(Kopecks amount, int months, const Rate& rate, PaymentKind kind, PaymentTime time)
{
    Schedule schedule;
    schedule.amount = amount;
    schedule.rows.reserve(std::size_t(months));
    const Kopecks equalPart = kind == PaymentKind::Annuity ? annuityPayment(amount, months, rate, time)
                                                           : (2 * amount + months) / (2 * Kopecks(months));
    Kopecks balance = amount;
    for (int month = 1; month <= months; ++month) {
        const bool nothingAccrued = month == 1 && time == PaymentTime::StartOfPeriod;
        const Kopecks interest = nothingAccrued ? 0 : monthInterest(balance, rate);
        Kopecks principal = kind == PaymentKind::Annuity ? equalPart - interest : equalPart;
        // The last month repays what is left; rounding up may repay a tiny loan early.
        principal = month == months ? balance : std::clamp<Kopecks>(principal, 0, balance);
        balance -= principal;
        schedule.rows.push_back({month, interest + principal, interest, principal, balance});
        schedule.totalPaid += interest + principal;
        schedule.overpayment += interest;
    }
    return schedule;
}

Schedule paymentSchedule(std::string_view amount, std::string_view months, std::string_view ratePercent,
                         RateKind rateKind, PaymentKind kind, PaymentTime time)
{
    const Kopecks loan = amountOf(amount);
    const std::int32_t term = numtext::textToInt(months);
    if (term < 1 || term > kMaxScheduleMonths)
        throw ScheduleError("Срок кредита должен быть от 1 до " + std::to_string(kMaxScheduleMonths) +
                            " месяцев");
    const Rate rate = rateOf(ratePercent, rateKind);
    return paymentSchedule(loan, term, rate, kind, time);
}

std::string moneyText(Kopecks value, char separator)
{
    std::string text = std::to_string(value / 100);
    text += separator;
    text += char('0' + value % 100 / 10);
    text += char('0' + value % 10);
    return text;
}

std::string scheduleText(const Schedule& schedule, char fieldSeparator, char decimalSeparator)
{
    std::string text;
    text.reserve(64 * (schedule.rows.size() + 1));
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        text += kColumns[i];
        text += i + 1 == std::size(kColumns) ? '\n' : fieldSeparator;
    }
    for (const ScheduleRow& row : schedule.rows) {
        text += std::to_string(row.number);
        for (const Kopecks money : {row.payment, row.interest, row.principal, row.balance}) {
            text += fieldSeparator;
            text += moneyText(money, decimalSeparator);
        }
        text += '\n';
    }
    return text;
}

} // namespace loan

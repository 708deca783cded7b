#pragma once
// Loan payment schedule as banks print it: month by month the payment, its interest and
// principal parts and the balance left, for annuity (equal payments) and differentiated (equal
// principal parts) loans. Money is whole kopecks: every payment and interest part is rounded
// half away from zero, the interest exactly from the rate as typed, and the last payment takes
// what rounding left, so the balance ends at 0. Called by the loan window's schedule tab, which
// keeps the checks for empty boxes; the annuity payment comes from finance.h's annuity factor.

#include "loan/finance.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace loan {

using Kopecks = std::int64_t;

enum class RateKind { PerMonth, PerYear }; // a yearly rate is spread evenly over 12 months
enum class PaymentKind { Annuity, Differentiated };

// An input no schedule can be made of; what() is the message the window shows.
class ScheduleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kMaxScheduleMonths = 1200;
inline constexpr Kopecks kMaxLoan = 99'999'999'999'999; // 999 999 999 999,99
inline constexpr int kMaxRatePercent = 1000;

// A rate in per cent as typed, exactly: digits × 10^exponent, per month or per year.
struct Rate {
    std::uint64_t digits = 0;
    int exponent = 0;
    RateKind kind = RateKind::PerMonth;
};

struct ScheduleRow {
    int number;
    Kopecks payment, interest, principal, balance; // payment = interest + principal
};

struct Schedule {
    Kopecks amount = 0;
    std::vector<ScheduleRow> rows;
    Kopecks totalPaid = 0;
    Kopecks overpayment = 0; // the interest paid: totalPaid - amount
};

// The rows of a loan of amount kopecks over months, each month's interest being the balance
// times the monthly rate, none in the first month when payments fall at its start. Once the
// loan is repaid (only tiny loans over long terms get there early), later rows are 0.
Schedule paymentSchedule(Kopecks amount, int months, const Rate& rate, PaymentKind kind, PaymentTime time);

// The window's boxes converted in their order (numtext's messages for text that is not a
// number; the amount is rounded to kopecks) and checked: 0,01 to kMaxLoan, 1 to 1200 months, a
// rate of 0 to 1000 %, else ScheduleError.
Schedule paymentSchedule(std::string_view amount, std::string_view months, std::string_view ratePercent,
                         RateKind rateKind, PaymentKind kind, PaymentTime time);

// Kopecks (not negative) as rubles with two decimals after separator, without digit grouping: "1234,05".
std::string moneyText(Kopecks value, char separator);

// The table as text with a header line: fields separated by fieldSeparator, lines by '\n'.
// With ';' and ',' it is what spreadsheets set to Russian read as a CSV file.
std::string scheduleText(const Schedule& schedule, char fieldSeparator, char decimalSeparator);

} // namespace loan

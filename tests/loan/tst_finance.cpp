// The loan arithmetic: the window's two calculations from the boxes' text, the two financial
// functions and the powers they rest on, and a sweep against a closed form in quadruple precision.

#include "finance.h"
#include "numtext/quadtext.h"

#include <QtTest>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

using loan::PaymentTime;
using numtext::Real;

Q_DECLARE_METATYPE(loan::PaymentTime)
Q_DECLARE_METATYPE(numtext::Real)

namespace {

constexpr PaymentTime kStart = PaymentTime::StartOfPeriod;
constexpr PaymentTime kEnd = PaymentTime::EndOfPeriod;

// What the user sees: the answer, "never repaid", or the class and message of the error.
template <typename F> QString outcome(F&& f)
{
    try {
        return QString::fromStdString(f());
    } catch (const loan::EInvalidArgument& e) {
        return QStringLiteral("EInvalidArgument: ") + QString::fromUtf8(e.what());
    } catch (const numtext::CalcError& e) {
        return QStringLiteral("CalcError: ") + QString::fromUtf8(e.what());
    }
}

const QString kNeverRepaid = QStringLiteral("never repaid");
const QString kInterestPayment = QStringLiteral("EInvalidArgument: InterestPayment");
const QString kNumberOfPeriods = QStringLiteral("EInvalidArgument: NumberOfPeriods");
const QString kOverflow = QStringLiteral("CalcError: Floating point overflow");

QString durationOutcome(const QString& rate, const QString& amount, const QString& payment, PaymentTime time)
{
    return outcome([&] {
        const auto months =
            loan::duration(rate.toStdString(), amount.toStdString(), payment.toStdString(), time);
        return months ? *months : kNeverRepaid.toStdString();
    });
}

// ---------------------------------------------------------------------------------------------
// The quadruple-precision reference: the closed forms of the interest part of an annuity payment
// and of the number of payments that repay a loan, evaluated with the power and logarithm of
// libquadmath. For the rates of the sweep (a double of at least 1e-9 in magnitude) 1 + r is exact
// in quadruple precision, so the reference is good to far more than the 64 bits checked.

Quad interestReference(Quad r, int k, int n, Quad pv, PaymentTime time)
{
    if (r == 0 || (time == kStart && k == 1))
        return 0;
    const Quad base = 1 + r;
    const Quad cn = powq(base, n);
    const Quad ck = powq(base, k - 1);
    const Quad ip = -pv * r * (cn - ck) / (cn - 1);
    return time == kStart ? ip / base : ip;
}

// Months of payment p (paid out, positive) that repay pv; empty when the loan is never repaid.
std::optional<Quad> monthsReference(Quad r, Quad pv, Quad p, PaymentTime time)
{
    const Quad paid = time == kStart ? p * (1 + r) : p;
    // The debt's change over the first period, rounded once, so that its sign is exact.
    const Quad change = time == kStart ? fmaq(pv - p, r, -p) : fmaq(pv, r, -p);
    if (p <= 0 || change >= 0)
        return std::nullopt;
    if (r == 0)
        return pv / p;
    return log1pq(pv * r / (paid - pv * r)) / log1pq(r);
}

// Text that reads back as exactly x: 17 significant digits with the decimal comma.
std::string exactText(double x)
{
    char buf[40];
    const auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 16).ptr;
    std::string text(buf, end);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string centsText(std::uint64_t cents)
{
    return std::to_string(cents / 100) + ',' + std::to_string(100 + cents % 100).substr(1);
}

double logUniform(std::mt19937_64& rng, double lo, double hi)
{
    std::uniform_real_distribution<double> exponent(std::log10(lo), std::log10(hi));
    return std::pow(10.0, exponent(rng));
}

// Rates per period over the whole useful range: tiny ones of either sign, a band around the
// magnitude 0.000061 below which the powers go through the logarithm, zero, negative rates down
// to nearly -100 % and positive ones up to 100 %.
double sweepRate(std::mt19937_64& rng, int i)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double sign = (rng() & 1) != 0 ? -1.0 : 1.0;
    switch (i % 6) {
    case 0:
        return sign * logUniform(rng, 1e-9, 1e-3);
    case 1:
        return sign * 0.000061 * (1 + 0.05 * (2 * unit(rng) - 1));
    case 2:
        return i % 12 == 2 ? 0.0 : -logUniform(rng, 1e-3, 0.9999);
    default:
        return logUniform(rng, 1e-3, 1.0);
    }
}

// A mismatch is tolerated only where the exact answer lies so close to the edge between two
// shown numbers that moving it by 2^-60 of itself changes the text: no computation at this
// precision can be sure of the last digit there. The answer is stored as a double, so the text
// expected is that of the double nearest the exact value. Against the exact value's own digits
// the text may differ where the exact value lies within one unit of the double's last place of
// such an edge; everything else fails. The extended result itself must lie within 2^-60.
struct Comparison {
    int compared = 0;
    int onEdge = 0;
    QStringList tolerated;
    QStringList unexplained;
    int differFromExactDigits = 0; // only where rounding to the stored double decides the digit
    int belowDoubleRange = 0;
    Quad worstError = 0; // of the extended result, relative
    std::string worstInput;

    static bool onEdgeOf(const std::string& text, Quad exact, Quad tolerance, bool toDouble)
    {
        const auto shown = [toDouble](Quad v) { return referenceText(toDouble ? Quad(double(v)) : v, ','); };
        return shown(exact * (1 - tolerance)) != text || shown(exact * (1 + tolerance)) != text;
    }

    void check(const std::string& input, const std::string& shown, Quad exact, Real computed)
    {
        ++compared;
        const Quad error = exact == 0 ? fabsq(Quad(computed)) : fabsq((Quad(computed) - exact) / exact);
        if (error > worstError) {
            worstError = error;
            worstInput = input;
        }
        // Answers below the double range are stored as 0, which the main check below expects.
        const bool belowDouble = exact != 0 && fabsq(exact) < std::numeric_limits<double>::min();
        belowDoubleRange += belowDouble ? 1 : 0;
        const std::string exactDigits = referenceText(exact, ',');
        if (!belowDouble && shown != exactDigits) {
            ++differFromExactDigits;
            if (!onEdgeOf(exactDigits, exact, ldexpq(1, -52), false))
                unexplained << QStringLiteral("%1: shown %2, exact value %3")
                                   .arg(QString::fromStdString(input), QString::fromStdString(shown),
                                        QString::fromStdString(exactDigits));
        }
        const std::string expected = referenceText(Quad(double(exact)), ',');
        const bool edge = onEdgeOf(expected, exact, ldexpq(1, -60), true);
        onEdge += edge ? 1 : 0;
        if (shown == expected)
            return;
        const QString line = QStringLiteral("%1: shown %2, exact as a double %3")
                                 .arg(QString::fromStdString(input), QString::fromStdString(shown),
                                      QString::fromStdString(expected));
        (edge ? tolerated : unexplained) << line;
    }

    void verify(const char* what) const
    {
        qInfo("%s: %d cases, %d on an edge, %d differ there, %d elsewhere; %d differ from the exact "
              "value's own digits next to an edge, %d below the double range; largest error of the extended "
              "result %.3g units of "
              "2^-64 (%s)",
              what, compared, onEdge, int(tolerated.size()), int(unexplained.size()), differFromExactDigits,
              belowDoubleRange, double(worstError * ldexpq(1, 64)), worstInput.c_str());
        for (const QString& line : tolerated)
            qInfo("tolerated %s", qPrintable(line));
        QVERIFY2(unexplained.isEmpty(), qPrintable(unexplained.join(QLatin1Char('\n'))));
        QVERIFY(worstError < ldexpq(1, -60));
    }
};

constexpr int kSweepCases = 6000;

} // namespace

class TestFinance : public QObject {
    Q_OBJECT

private slots:
    void init() { numtext::setDecimalSeparator(','); }

    // "Списание": amount, rate in per cent, months, month number, as typed.
    void writeOff_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("months");
        QTest::addColumn<QString>("month");
        QTest::addColumn<PaymentTime>("time");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("initial values, payments at the start") << "100000" << "20" << "36" << "17" << kStart << "-16254,8653206598";
        QTest::newRow("initial values, payments at the end") << "100000" << "20" << "36" << "17" << kEnd << "-19505,8383847917";
        QTest::newRow("1 %, month 1 at the end: the whole interest") << "100000" << "1" << "12" << "1" << kEnd << "-1000";
        QTest::newRow("1 %, month 12 at the end") << "100000" << "1" << "12" << "12" << kEnd << "-87,9690977013284";
        QTest::newRow("1 %, month 1 at the start: paid before interest") << "100000" << "1" << "12" << "1" << kStart << "0";
        QTest::newRow("1 %, month 2 at the start") << "100000" << "1" << "12" << "2" << kStart << "-912,030902298672";
        QTest::newRow("rate 0") << "100000" << "0" << "36" << "17" << kEnd << "0";
        QTest::newRow("month 0") << "100000" << "20" << "36" << "0" << kEnd << kInterestPayment;
        QTest::newRow("month 37 of 36") << "100000" << "20" << "36" << "37" << kStart << kInterestPayment;
        QTest::newRow("month 36 of 36") << "100000" << "20" << "36" << "36" << kEnd << "-3338,04274913335";
        QTest::newRow("rate -100 %") << "100000" << "-100" << "36" << "17" << kEnd << kInterestPayment;
        QTest::newRow("fractional rate 12,5") << "100000" << "12,5" << "36" << "17" << kStart << "-10204,4286405751";
        QTest::newRow("negative rate -50 %") << "100000" << "-50" << "36" << "5" << kEnd << "3124,99999931788";
        QTest::newRow("tiny rate 0,001 %, last month") << "100000" << "0,001" << "360" << "360" << kEnd << "-0,00278276683895948";
        QTest::newRow("tiny rate 0,001 %, month 2 at the start") << "100000" << "0,001" << "360" << "2" << kStart << "-0,997217233161041";
        QTest::newRow("rate 0,0061 % at the switch to powering") << "250000" << "0,0061" << "360" << "100" << kEnd << "-11,0895780812785";
        QTest::newRow("rate 0,0060999 % below the switch") << "250000" << "0,0060999" << "360" << "100" << kEnd << "-11,0893957394901";
        QTest::newRow("fractional month number") << "100000" << "20" << "36" << "1,5" << kEnd << "CalcError: '1,5' is not a valid integer value";
        QTest::newRow("amount converted before the rate") << "x" << "y" << "36" << "17" << kEnd << "CalcError: 'x' is not a valid floating point value";
        QTest::newRow("months converted before the month") << "100000" << "20" << "a" << "b" << kEnd << "CalcError: 'a' is not a valid integer value";
        QTest::newRow("compound factor beyond the extended range") << "100000" << "20" << "100000" << "1" << kEnd << kOverflow;
        QTest::newRow("answer beyond the double range") << "1E400" << "20" << "36" << "17" << kEnd << kOverflow;
        // clang-format on
    }

    void writeOff()
    {
        QFETCH(QString, amount);
        QFETCH(QString, rate);
        QFETCH(QString, months);
        QFETCH(QString, month);
        QFETCH(PaymentTime, time);
        QFETCH(QString, shown);
        QCOMPARE(outcome([&] {
                     return loan::writeOff(amount.toStdString(), rate.toStdString(), months.toStdString(),
                                           month.toStdString(), time);
                 }),
                 shown);
    }

    // "Продолжительность": rate in per cent, amount, payment, as typed.
    void duration_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("payment");
        QTest::addColumn<PaymentTime>("time");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("initial values, payments at the start") << "20" << "50000" << "5000" << kStart << kNeverRepaid;
        QTest::newRow("initial values, payments at the end") << "20" << "50000" << "5000" << kEnd << kNeverRepaid;
        QTest::newRow("rate 0, payments at the start") << "0" << "50000" << "5000" << kStart << "10";
        QTest::newRow("rate 0, payments at the end") << "0" << "50000" << "5000" << kEnd << "10";
        QTest::newRow("1 %, payments at the end") << "1" << "50000" << "5000" << kEnd << "10,5886444594232";
        QTest::newRow("1 %, payments at the start") << "1" << "50000" << "5000" << kStart << "10,4781450851168";
        QTest::newRow("payment 0") << "0" << "50000" << "0" << kEnd << kNeverRepaid;
        QTest::newRow("negative payment") << "20" << "50000" << "-5000" << kEnd << kNeverRepaid;
        QTest::newRow("payment that once made the debt's change 0") << "20" << "50000" << "-10000" << kEnd << kNeverRepaid;
        QTest::newRow("payment equal to the interest, at the end") << "25" << "50000" << "12500" << kEnd << kNeverRepaid;
        QTest::newRow("payment equal to the interest, at the start") << "25" << "50000" << "10000" << kStart << kNeverRepaid;
        QTest::newRow("at the start the payment first lowers the debt") << "20" << "50000" << "9000" << kStart << "14,2752712910725";
        QTest::newRow("rate -100 %") << "-100" << "50000" << "5000" << kEnd << kNumberOfPeriods;
        QTest::newRow("rate -100 % and no payment") << "-100" << "50000" << "0" << kStart << kNumberOfPeriods;
        QTest::newRow("fractional rate 12,5") << "12,5" << "50000" << "10000" << kEnd << "8,32742378854258";
        QTest::newRow("tiny rate 0,001 %") << "0,001" << "50000" << "500" << kEnd << "100,050533607686";
        QTest::newRow("rate 0,0061 % at the switch") << "0,0061" << "100000" << "1000" << kStart << "100,30316809505";
        QTest::newRow("rate 0,0060999 % below the switch") << "0,0060999" << "100000" << "1000" << kStart << "100,303163105022";
        QTest::newRow("negative rate -1 %") << "-1" << "50000" << "5000" << kEnd << "9,4832830657216";
        QTest::newRow("nothing owed") << "20" << "0" << "5000" << kEnd << "0";
        QTest::newRow("rate converted first") << "x" << "y" << "z" << kEnd << "CalcError: 'x' is not a valid floating point value";
        QTest::newRow("amount converted before the payment") << "1" << "y" << "z" << kEnd << "CalcError: 'y' is not a valid floating point value";
        QTest::newRow("rate beyond the double range") << "1E400" << "50000" << "5000" << kEnd << kOverflow;
        // clang-format on
    }

    void duration()
    {
        QFETCH(QString, rate);
        QFETCH(QString, amount);
        QFETCH(QString, payment);
        QFETCH(PaymentTime, time);
        QFETCH(QString, shown);
        QCOMPARE(durationOutcome(rate, amount, payment, time), shown);
    }

    // The functions called directly, with a future value and outside their domains.
    void interestPayment_data()
    {
        QTest::addColumn<Real>("rate");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("periods");
        QTest::addColumn<Real>("futureValue");
        QTest::addColumn<PaymentTime>("time");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("future value, at the end") << 0.125L << 5 << 12 << 20000.0L << kEnd << "-9597,29358393241";
        QTest::newRow("future value, at the start") << 0.125L << 5 << 12 << 20000.0L << kStart << "-8530,92763016214";
        QTest::newRow("future value, month 1 at the start") << 0.125L << 1 << 12 << 20000.0L << kStart << "0";
        QTest::newRow("no periods") << 0.125L << 1 << 0 << 0.0L << kEnd << kInterestPayment;
        QTest::newRow("rate below -100 %") << -1.5L << 1 << 12 << 0.0L << kStart << kInterestPayment;
        // clang-format on
    }

    void interestPayment()
    {
        QFETCH(Real, rate);
        QFETCH(int, period);
        QFETCH(int, periods);
        QFETCH(Real, futureValue);
        QFETCH(PaymentTime, time);
        QFETCH(QString, shown);
        QCOMPARE(outcome([&] {
                     return numtext::realToText(
                         loan::interestPayment(rate, period, periods, 100000, futureValue, time));
                 }),
                 shown);
    }

    void numberOfPeriods_data()
    {
        QTest::addColumn<Real>("rate");
        QTest::addColumn<Real>("payment");
        QTest::addColumn<Real>("futureValue");
        QTest::addColumn<PaymentTime>("time");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("balance left, at the end") << 0.125L << -20000.0L << -50000.0L << kEnd << "5,14620632922586";
        QTest::newRow("balance left, at the start") << 0.125L << -20000.0L << -50000.0L << kStart << "4,12205215357249";
        QTest::newRow("balance left, rate 0") << 0.0L << -5000.0L << -10000.0L << kStart << "18";
        QTest::newRow("payment offsets the interest") << 0.2L << -20000.0L << 0.0L << kEnd << kNumberOfPeriods;
        QTest::newRow("loan never reached") << 0.2L << -10000.0L << 0.0L << kEnd << kNumberOfPeriods;
        QTest::newRow("rate -100 %") << -1.0L << -5000.0L << 0.0L << kEnd << kNumberOfPeriods;
        // clang-format on
    }

    void numberOfPeriods()
    {
        QFETCH(Real, rate);
        QFETCH(Real, payment);
        QFETCH(Real, futureValue);
        QFETCH(PaymentTime, time);
        QFETCH(QString, shown);
        QCOMPARE(outcome([&] {
                     return numtext::realToText(
                         loan::numberOfPeriods(rate, payment, 100000, futureValue, time));
                 }),
                 shown);
    }

    // (1 + x)^m and (1 + x)^m - 1, as text.
    void compound_data()
    {
        QTest::addColumn<Real>("x");
        QTest::addColumn<int>("m");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("excess");
        // clang-format off
        QTest::newRow("exponent 0 gives exactly 1") << 0.5L << 0 << "1" << "0";
        QTest::newRow("negative exponent: the reciprocal") << 0.5L << -2 << "0,444444444444444" << "-0,555555555555556";
        QTest::newRow("small rate keeps every digit") << 1e-10L << 3 << "1,0000000003" << "3,0000000003E-10";
        QTest::newRow("small negative rate, negative exponent") << -1e-10L << -3 << "1,0000000003" << "3,0000000006E-10";
        QTest::newRow("small factor kept by the product") << -0.75L << 1000 << "8,70980981621722E-603" << "-1";
        QTest::newRow("largest power of 2: no square beyond the last bit") << 1.0L << 16383 << "5,94865747678616E4931" << "5,94865747678616E4931";
        QTest::newRow("beyond the extended range") << 1.0L << 16384 << kOverflow << kOverflow;
        // clang-format on
    }

    void compound()
    {
        QFETCH(Real, x);
        QFETCH(int, m);
        QFETCH(QString, factor);
        QFETCH(QString, excess);
        QCOMPARE(outcome([&] { return numtext::realToText(loan::compound(x, m).factor); }), factor);
        QCOMPARE(outcome([&] { return numtext::realToText(loan::compound(x, m).excess); }), excess);
    }

    void lnOnePlus_data()
    {
        QTest::addColumn<Real>("x");
        QTest::addColumn<QString>("shown");
        QTest::newRow("small negative") << -1e-10L << "-1,00000000005E-10";
        QTest::newRow("small positive") << 1e-10L << "9,9999999995E-11";
        QTest::newRow("large") << 1e100L << "230,258509299405";
    }

    void lnOnePlus()
    {
        QFETCH(Real, x);
        QFETCH(QString, shown);
        QCOMPARE(QString::fromStdString(numtext::realToText(loan::lnOnePlus(x))), shown);
    }

    void sweepWriteOff();
    void sweepDuration();
};

void TestFinance::sweepWriteOff()
{
    std::mt19937_64 rng(20240915);
    Comparison comparison;
    for (int i = 0; i < kSweepCases; ++i) {
        const double r = sweepRate(rng, i);
        const std::string rateText = exactText(r * 100);
        const std::string amountText = centsText(rng() % 1'000'000'000 + 10'000);
        const int n = std::max(1, int(logUniform(rng, 1, 1200)));
        const int k = i % 7 == 0 ? 1 : i % 7 == 1 ? n : int(rng() % std::uint64_t(n)) + 1;
        const PaymentTime time = (rng() & 1) != 0 ? kStart : kEnd;
        const std::string shown =
            loan::writeOff(amountText, rateText, std::to_string(n), std::to_string(k), time);
        // The same values the calculation converts the boxes to.
        const double rate = numtext::toDouble(numtext::textToReal(rateText) / 100);
        const Real pv = numtext::textToReal(amountText);
        const Real computed = loan::interestPayment(rate, k, n, pv, 0, time);
        const std::string input = rateText + " % " + amountText + " " + std::to_string(k) + "/" +
                                  std::to_string(n) + (time == kStart ? " start" : " end");
        comparison.check(input, shown, interestReference(rate, k, n, pv, time), computed);
    }
    comparison.verify("interest part");
    QCOMPARE(comparison.compared, kSweepCases);
}

void TestFinance::sweepDuration()
{
    std::mt19937_64 rng(20240916);
    Comparison comparison;
    int neverRepaid = 0;
    QStringList wrongDecision;
    for (int i = 0; i < kSweepCases; ++i) {
        const double r = sweepRate(rng, i);
        const std::string rateText = exactText(r * 100);
        const std::uint64_t cents = rng() % 1'000'000'000 + 10'000;
        const PaymentTime time = (rng() & 1) != 0 ? kStart : kEnd;
        // Payments from just above the first period's interest to many times it; one in eight
        // below it. Without interest to cover, a share of the loan.
        const double interest = r > 0 ? double(cents) * r / (time == kStart ? 1 + r : 1) : 0;
        const double factor = i % 8 == 0 ? 1 - logUniform(rng, 1e-4, 1) : 1 + logUniform(rng, 1e-3, 100);
        const double paymentCents = r > 0 ? interest * factor : double(cents) * logUniform(rng, 1e-4, 1);
        const std::string paymentText = centsText(std::uint64_t(std::llround(paymentCents)));
        const std::string amountText = centsText(cents);

        const auto shown = loan::duration(rateText, amountText, paymentText, time);
        const double rate = numtext::toDouble(numtext::textToReal(rateText) / 100);
        const Real pv = numtext::textToReal(amountText);
        const Real p = numtext::textToReal(paymentText);
        const std::optional<Quad> exact = monthsReference(rate, pv, p, time);
        const std::string input =
            rateText + " % " + amountText + " by " + paymentText + (time == kStart ? " start" : " end");
        if (!shown || !exact) {
            neverRepaid += shown ? 0 : 1;
            if (bool(shown) != bool(exact))
                wrongDecision << QString::fromStdString(input + (shown ? ": repaid" : ": never repaid"));
            continue;
        }
        comparison.check(input, *shown, *exact, loan::numberOfPeriods(rate, -p, pv, 0, time));
    }
    qInfo("%d never repaid", neverRepaid);
    QVERIFY2(wrongDecision.isEmpty(), qPrintable(wrongDecision.join(QLatin1Char('\n'))));
    comparison.verify("number of months");
    QVERIFY(neverRepaid > kSweepCases / 20);
}

QTEST_APPLESS_MAIN(TestFinance)
#include "tst_finance.moc"

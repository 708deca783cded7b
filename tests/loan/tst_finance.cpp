// The loan arithmetic: the window's two calculations from the boxes' text, the financial
// functions and powers called directly, and a sweep against closed forms in quadruple precision.

#include "loan/finance.h"
#include "support/quadtext.h"

#include <QtTest>

#include <charconv>
#include <functional>
#include <limits>
#include <optional>
#include <random>

using loan::PaymentTime;
using numtext::Real;
using Call = std::function<std::string()>;

Q_DECLARE_METATYPE(Call)

namespace {

constexpr PaymentTime kStart = PaymentTime::StartOfPeriod;
constexpr PaymentTime kEnd = PaymentTime::EndOfPeriod;
const QString kNeverRepaid = QStringLiteral("never repaid");
const QString kInterestPayment = QStringLiteral("EInvalidArgument: InterestPayment");
const QString kNumberOfPeriods = QStringLiteral("EInvalidArgument: NumberOfPeriods");
const QString kOverflow = QStringLiteral("CalcError: Floating point overflow");

// What the user sees: the answer, or the class and message of the error.
QString outcome(const Call& f)
{
    try {
        return QString::fromStdString(f());
    } catch (const loan::EInvalidArgument& e) {
        return QStringLiteral("EInvalidArgument: ") + QString::fromUtf8(e.what());
    } catch (const numtext::CalcError& e) {
        return QStringLiteral("CalcError: ") + QString::fromUtf8(e.what());
    }
}

Call text(const std::function<Real()>& f)
{
    return [f] { return numtext::realToText(f()); };
}

// Closed forms in quadruple precision, with libquadmath's power and logarithm. For the sweep's
// rates (doubles of at least 1e-9 in magnitude) 1 + r is exact here.
Quad interestReference(Quad r, int k, int n, Quad pv, PaymentTime time)
{
    if (r == 0 || (time == kStart && k == 1))
        return 0;
    const Quad cn = powq(1 + r, n);
    const Quad ip = -pv * r * (cn - powq(1 + r, k - 1)) / (cn - 1);
    return time == kStart ? ip / (1 + r) : ip;
}

// Months of payment p that repay pv; empty when the debt never shrinks (the sign of its change
// over the first period is exact with one rounding).
std::optional<Quad> monthsReference(Quad r, Quad pv, Quad p, PaymentTime time)
{
    const Quad change = time == kStart ? fmaq(pv - p, r, -p) : fmaq(pv, r, -p);
    if (p <= 0 || change >= 0)
        return std::nullopt;
    const Quad paid = time == kStart ? p * (1 + r) : p;
    return r == 0 ? pv / p : log1pq(pv * r / (paid - pv * r)) / log1pq(r);
}

double logUniform(std::mt19937_64& rng, double lo, double hi)
{
    return std::pow(10.0, std::uniform_real_distribution<double>(std::log10(lo), std::log10(hi))(rng));
}

// Tiny rates of either sign, a band around the magnitude 0.000061 where the powers change
// method, zero, negative rates down to nearly -100 % and positive ones up to 100 %; as the
// per cent text that reads back as exactly 100 × rate.
std::string sweepRate(std::mt19937_64& rng, int i)
{
    const double sign = (rng() & 1) != 0 ? -1.0 : 1.0;
    const double rates[] = {sign * logUniform(rng, 1e-9, 1e-3),
                            sign * logUniform(rng, 0.95 * 61e-6, 1.05 * 61e-6),
                            i % 12 == 2 ? 0.0 : -logUniform(rng, 1e-3, 0.9999), logUniform(rng, 1e-3, 1.0)};
    char buf[40];
    const auto end = std::to_chars(buf, buf + sizeof buf, 100 * rates[std::min(i % 6, 3)],
                                   std::chars_format::scientific, 16)
                         .ptr;
    std::string rate(buf, end);
    std::replace(rate.begin(), rate.end(), '.', ',');
    return rate;
}

std::string centsText(std::uint64_t cents)
{
    return std::to_string(cents / 100) + ',' + std::to_string(100 + cents % 100).substr(1);
}

// The answer is stored as a double, so the text expected is that of the double nearest the exact
// value. A mismatch is tolerated only where moving the exact value by 2^-60 of itself changes
// that text: no computation at this precision can be sure of the last digit there. Against the
// exact value's own digits, only values within a double's last place of such an edge may
// differ. The extended result itself must lie within 2^-60 of the exact value.
struct Sweep {
    int cases = 0, onEdge = 0, belowDouble = 0, differFromExact = 0;
    QStringList tolerated, failed;
    Quad worst = 0;

    static bool onEdgeOf(const std::string& text, Quad exact, int bits, bool asDouble)
    {
        const auto show = [asDouble](Quad v) { return referenceText(asDouble ? Quad(double(v)) : v, ','); };
        const Quad t = ldexpq(1, -bits);
        return show(exact * (1 - t)) != text || show(exact * (1 + t)) != text;
    }

    void check(const std::string& input, const std::string& shown, Quad exact, Real computed)
    {
        ++cases;
        worst = fmaxq(worst, exact == 0 ? fabsq(computed) : fabsq((computed - exact) / exact));
        const std::string line = input + ": shown " + shown + ", exact ";
        const std::string exactDigits = referenceText(exact, ',');
        const bool tiny = exact != 0 && fabsq(exact) < std::numeric_limits<double>::min(); // stored as 0
        belowDouble += tiny ? 1 : 0;
        if (!tiny && shown != exactDigits) {
            ++differFromExact;
            if (!onEdgeOf(exactDigits, exact, 52, false))
                failed << QString::fromStdString(line + exactDigits);
        }
        const std::string expected = referenceText(Quad(double(exact)), ',');
        const bool edge = onEdgeOf(expected, exact, 60, true);
        onEdge += edge ? 1 : 0;
        if (shown != expected)
            (edge ? tolerated : failed) << QString::fromStdString(line + expected);
    }

    void verify(const char* what) const
    {
        qInfo("%s: %d cases, %d on an edge, %d differ there, %d elsewhere; %d differ from the exact value's "
              "own digits next to an edge, %d below the double range; largest error of the extended result "
              "%.3g units of 2^-64",
              what, cases, onEdge, int(tolerated.size()), int(failed.size()), differFromExact, belowDouble,
              double(worst * ldexpq(1, 64)));
        for (const QString& line : tolerated)
            qInfo("tolerated %s", qPrintable(line));
        QVERIFY2(failed.isEmpty(), qPrintable(failed.join(QLatin1Char('\n'))));
        QVERIFY(worst < ldexpq(1, -60));
    }
};

constexpr int kSweepCases = 6000;

// The calculations from the boxes' text, written as "loan rate months month" and "rate loan payment".
QStringList boxes(const char* typed) { return QString::fromUtf8(typed).split(QLatin1Char(' ')); }

Call writeOffOf(const char* typed, PaymentTime time)
{
    const QStringList b = boxes(typed);
    return [=] {
        return loan::writeOff(b[0].toStdString(), b[1].toStdString(), b[2].toStdString(), b[3].toStdString(),
                              time);
    };
}

Call durationOf(const char* typed, PaymentTime time)
{
    const QStringList b = boxes(typed);
    return [=] {
        return loan::duration(b[0].toStdString(), b[1].toStdString(), b[2].toStdString(), time)
            .value_or(kNeverRepaid.toStdString());
    };
}

void addColumns()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QString>("shown");
}

} // namespace

class TestFinance : public QObject {
    Q_OBJECT

private slots:
    void init() { numtext::setDecimalSeparator(','); }

    void writeOff_data()
    {
        addColumns();
        // clang-format off
        QTest::newRow("initial values, payments at the start") << writeOffOf("100000 20 36 17", kStart) << "-16254,8653206598";
        QTest::newRow("initial values, payments at the end") << writeOffOf("100000 20 36 17", kEnd) << "-19505,8383847917";
        QTest::newRow("1 %, month 1 at the end: the whole interest") << writeOffOf("100000 1 12 1", kEnd) << "-1000";
        QTest::newRow("1 %, month 12 at the end") << writeOffOf("100000 1 12 12", kEnd) << "-87,9690977013284";
        QTest::newRow("1 %, month 1 at the start: paid before interest") << writeOffOf("100000 1 12 1", kStart) << "0";
        QTest::newRow("rate 0") << writeOffOf("100000 0 36 17", kEnd) << "0";
        QTest::newRow("month 0") << writeOffOf("100000 20 36 0", kEnd) << kInterestPayment;
        QTest::newRow("month 37 of 36") << writeOffOf("100000 20 36 37", kStart) << kInterestPayment;
        QTest::newRow("month 36 of 36") << writeOffOf("100000 20 36 36", kEnd) << "-3338,04274913335";
        QTest::newRow("rate -100 %") << writeOffOf("100000 -100 36 17", kEnd) << kInterestPayment;
        QTest::newRow("fractional rate 12,5") << writeOffOf("100000 12,5 36 17", kStart) << "-10204,4286405751";
        QTest::newRow("fractional month number") << writeOffOf("100000 20 36 1,5", kEnd) << "CalcError: '1,5' is not a valid integer value";
        QTest::newRow("loan converted before the rate") << writeOffOf("x y 36 17", kEnd) << "CalcError: 'x' is not a valid floating point value";
        QTest::newRow("compound factor beyond the extended range") << writeOffOf("100000 20 100000 1", kEnd) << kOverflow;
        QTest::newRow("answer beyond the double range") << writeOffOf("1E400 20 36 17", kEnd) << kOverflow;
        // clang-format on
    }
    void writeOff() { check(); }

    void duration_data()
    {
        addColumns();
        // clang-format off
        QTest::newRow("initial values, payments at the start") << durationOf("20 50000 5000", kStart) << kNeverRepaid;
        QTest::newRow("initial values, payments at the end") << durationOf("20 50000 5000", kEnd) << kNeverRepaid;
        QTest::newRow("rate 0") << durationOf("0 50000 5000", kEnd) << "10";
        QTest::newRow("1 %, payments at the end") << durationOf("1 50000 5000", kEnd) << "10,5886444594232";
        QTest::newRow("negative payment, at a rate below 0 too") << durationOf("-10 50000 -1000", kEnd) << kNeverRepaid;
        QTest::newRow("payment equal to the interest, at the end") << durationOf("25 50000 12500", kEnd) << kNeverRepaid;
        QTest::newRow("at the start the payment first lowers the debt") << durationOf("20 50000 9000", kStart) << "14,2752712910725";
        QTest::newRow("rate -100 %") << durationOf("-100 50000 5000", kEnd) << kNumberOfPeriods;
        QTest::newRow("rate -100 % comes before no payment") << durationOf("-100 50000 0", kStart) << kNumberOfPeriods;
        QTest::newRow("fractional rate 12,5") << durationOf("12,5 50000 10000", kEnd) << "8,32742378854258";
        QTest::newRow("loan converted before the payment") << durationOf("1 y z", kEnd) << "CalcError: 'y' is not a valid floating point value";
        // clang-format on
    }
    void duration() { check(); }

    // The functions and the compound factor called directly, where the window never calls them.
    void functions_data()
    {
        addColumns();
        using loan::compound;
        // clang-format off
        QTest::newRow("interest part with a future value") << text([] { return loan::interestPayment(0.125L, 5, 12, 100000, 20000, kEnd); }) << "-9597,29358393241";
        QTest::newRow("months with a balance left") << text([] { return loan::numberOfPeriods(0.125L, -20000, 100000, -50000, kEnd); }) << "5,14620632922586";
        QTest::newRow("payment that offsets the interest") << text([] { return loan::numberOfPeriods(0.2L, -10000, 50000, 0, kEnd); }) << kNumberOfPeriods;
        QTest::newRow("loan that payments never reach") << text([] { return loan::numberOfPeriods(0.2L, -5000, 50000, 0, kEnd); }) << kNumberOfPeriods;
        QTest::newRow("exponent 0 gives exactly 1") << text([] { return compound(0.5L, 0).factor; }) << "1";
        QTest::newRow("negative exponent: the reciprocal") << text([] { return compound(0.5L, -2).excess; }) << "-0,555555555555556";
        QTest::newRow("no square beyond the last bit") << text([] { return compound(1, 16383).factor; }) << "5,94865747678616E4931";
        QTest::newRow("power beyond the extended range") << text([] { return compound(1, 16384).factor; }) << kOverflow;
        // clang-format on
    }
    void functions() { check(); }

    void sweepWriteOff()
    {
        std::mt19937_64 rng(20240915);
        Sweep sweep;
        for (int i = 0; i < kSweepCases; ++i) {
            const std::string rate = sweepRate(rng, i);
            const std::string amount = centsText(rng() % 1'000'000'000 + 10'000);
            const int n = std::max(1, int(logUniform(rng, 1, 1200)));
            const int k = i % 7 == 0 ? 1 : i % 7 == 1 ? n : int(rng() % std::uint64_t(n)) + 1;
            const PaymentTime time = (rng() & 1) != 0 ? kStart : kEnd;
            // The values the calculation converts the boxes to.
            const double r = numtext::toDouble(numtext::textToReal(rate) / 100);
            const Real pv = numtext::textToReal(amount);
            sweep.check(rate + " % " + amount + " month " + std::to_string(k) + " of " + std::to_string(n) +
                            (time == kStart ? " start" : " end"),
                        loan::writeOff(amount, rate, std::to_string(n), std::to_string(k), time),
                        interestReference(r, k, n, pv, time), loan::interestPayment(r, k, n, pv, 0, time));
        }
        sweep.verify("interest part");
    }

    void sweepDuration()
    {
        std::mt19937_64 rng(20240916);
        Sweep sweep;
        int neverRepaid = 0;
        for (int i = 0; i < kSweepCases; ++i) {
            const std::string rate = sweepRate(rng, i);
            const std::uint64_t cents = rng() % 1'000'000'000 + 10'000;
            const PaymentTime time = (rng() & 1) != 0 ? kStart : kEnd;
            const double r = numtext::toDouble(numtext::textToReal(rate) / 100);
            // From just above the first period's interest to many times it, one in eight below it;
            // without interest, a share of the loan.
            const double interest = double(cents) * r / (time == kStart ? 1 + r : 1);
            const double share = i % 8 == 0 ? 1 - logUniform(rng, 1e-4, 1) : 1 + logUniform(rng, 1e-3, 100);
            const auto paid =
                std::uint64_t(std::llround(r > 0 ? interest * share : cents * logUniform(rng, 1e-4, 1)));
            const std::string amount = centsText(cents), payment = centsText(paid);
            const std::string input =
                rate + " % " + amount + " by " + payment + (time == kStart ? " start" : " end");

            const Real pv = numtext::textToReal(amount), p = numtext::textToReal(payment);
            const std::optional<std::string> shown = loan::duration(rate, amount, payment, time);
            const std::optional<Quad> exact = monthsReference(r, pv, p, time);
            QVERIFY2(shown.has_value() == exact.has_value(), input.c_str());
            if (shown)
                sweep.check(input, *shown, *exact, loan::numberOfPeriods(r, -p, pv, 0, time));
            neverRepaid += shown ? 0 : 1;
        }
        qInfo("%d never repaid", neverRepaid);
        QVERIFY(neverRepaid > kSweepCases / 20);
        sweep.verify("number of months");
    }

private:
    static void check()
    {
        QFETCH(Call, call);
        QFETCH(QString, shown);
        QCOMPARE(outcome(call), shown);
    }
};

QTEST_APPLESS_MAIN(TestFinance)
#include "tst_finance.moc"

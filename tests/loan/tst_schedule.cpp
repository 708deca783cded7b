// The payment schedule core: agreement to the kopeck with schedules computed independently in
// exact rationals by schedule_reference.py (its output is schedule_expected.inc), the invariants
// every schedule keeps, the inputs refused, inputs that must read alike, and the text written.

#include "loan/schedule.h"

#include <QtTest>

using loan::Kopecks;
using loan::PaymentKind;
using loan::PaymentTime;
using loan::RateKind;
using loan::ScheduleRow;

namespace {

struct Reference {
    const char* name;
    const char* amount;
    const char* months;
    const char* rate;
    RateKind rateKind;
    PaymentKind kind;
    PaymentTime time;
    Kopecks totalPaid;
    Kopecks overpayment;
    std::vector<ScheduleRow> rows; // all of them, or a few picked by number
};

const std::vector<Reference> kReferences = {
#include "schedule_expected.inc"
};

QString outcome(const char* amount, const char* months, const char* rate)
{
    try {
        const loan::Schedule s = loan::paymentSchedule(amount, months, rate, RateKind::PerMonth,
                                                       PaymentKind::Annuity, PaymentTime::EndOfPeriod);
        return QString::number(s.totalPaid);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

QString rowText(const ScheduleRow& r)
{
    return QStringLiteral("%1: %2 %3 %4 %5")
        .arg(r.number)
        .arg(r.payment)
        .arg(r.interest)
        .arg(r.principal)
        .arg(r.balance);
}

} // namespace

class TestSchedule : public QObject {
    Q_OBJECT

private slots:
    void init() { numtext::setDecimalSeparator(','); }

    void agreesWithExactReference_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < kReferences.size(); ++i)
            QTest::newRow(kReferences[i].name) << int(i);
    }

    // Every row shown by the reference, the totals, and what must hold of every schedule: each
    // payment its two parts, each balance the last one less the principal, nothing negative, the
    // principal parts summing to the loan and the balance ending at 0.
    void agreesWithExactReference()
    {
        QFETCH(int, index);
        const Reference& ref = kReferences[std::size_t(index)];
        const loan::Schedule s =
            loan::paymentSchedule(ref.amount, ref.months, ref.rate, ref.rateKind, ref.kind, ref.time);
        QCOMPARE(int(s.rows.size()), numtext::textToInt(ref.months));
        for (const ScheduleRow& expected : ref.rows)
            QCOMPARE(rowText(s.rows[std::size_t(expected.number - 1)]), rowText(expected));
        QCOMPARE(s.totalPaid, ref.totalPaid);
        QCOMPARE(s.overpayment, ref.overpayment);

        Kopecks balance = s.amount, paid = 0, interest = 0, principal = 0;
        for (const ScheduleRow& row : s.rows) {
            QCOMPARE(row.payment, row.interest + row.principal);
            QCOMPARE(row.balance, balance - row.principal);
            QVERIFY(row.interest >= 0 && row.principal >= 0 && row.balance >= 0);
            if (ref.kind == PaymentKind::Annuity && row.number < int(s.rows.size()) && row.balance > 0)
                QCOMPARE(row.payment, s.rows.front().payment); // equal until the last or an early end
            balance = row.balance;
            paid += row.payment;
            interest += row.interest;
            principal += row.principal;
        }
        QCOMPARE(balance, 0);
        QCOMPARE(principal, s.amount);
        QCOMPARE(paid, s.totalPaid);
        QCOMPARE(interest, s.overpayment);
    }

    // Conversion order amount, months, rate; the range of each checked as it is read.
    void refusesImpossibleInput_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("months");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("shown");
        const QString amount = QStringLiteral("Сумма кредита должна быть от 0,01 до 999999999999,99");
        const QString months = QStringLiteral("Срок кредита должен быть от 1 до 1200 месяцев");
        const QString rate = QStringLiteral("Процентная ставка должна быть от 0 до 1000");
        // clang-format off
        QTest::newRow("amount not a number, before bad months") << "1O0" << "x" << "1" << "'1O0' is not a valid floating point value";
        QTest::newRow("amount of blanks") << " " << "12" << "1" << "' ' is not a valid floating point value";
        QTest::newRow("amount 0") << "0" << "12" << "1" << amount;
        QTest::newRow("amount rounding to 0 kopecks") << "0,0049" << "12" << "1" << amount;
        QTest::newRow("negative amount") << "-100" << "12" << "1" << amount;
        QTest::newRow("amount a trillion") << "1E12" << "12" << "1" << amount;
        QTest::newRow("greatest amount") << "999999999999,99" << "1" << "0" << "99999999999999";
        QTest::newRow("fractional months, before a bad rate") << "100" << "1,5" << "x" << "'1,5' is not a valid integer value";
        QTest::newRow("months 0") << "100" << "0" << "1" << months;
        QTest::newRow("months 1201") << "100" << "1201" << "1" << months;
        QTest::newRow("rate not a number") << "100" << "12" << "1%" << "'1%' is not a valid floating point value";
        QTest::newRow("negative rate") << "100" << "12" << "-0,01" << rate;
        QTest::newRow("rate above 1000") << "100" << "12" << "1000,0001" << rate;
        QTest::newRow("negative zero rate") << "100" << "1" << "-0" << "10000";
        // clang-format on
    }

    void refusesImpossibleInput()
    {
        QFETCH(QString, amount);
        QFETCH(QString, months);
        QFETCH(QString, rate);
        QFETCH(QString, shown);
        QCOMPARE(outcome(amount.toUtf8().constData(), months.toUtf8().constData(), rate.toUtf8().constData()),
                 shown);
    }

    // Texts that name the same money or rate give the same schedule: the rate is read as the
    // decimal typed, with its exponent, and an amount is rounded to kopecks half away from zero.
    void readsTheNumberTyped_data()
    {
        QTest::addColumn<QStringList>("typed"); // amount, months, rate
        QTest::addColumn<QStringList>("same");
        // clang-format off
        QTest::newRow("exponent in the rate") << QStringList{"100000", "12", "1,2E-1"} << QStringList{"100000", "12", "0,12"};
        QTest::newRow("exponent in the amount") << QStringList{"1E5", "12", "1"} << QStringList{"100000", "12", "1"};
        QTest::newRow("half a kopeck rounds up") << QStringList{"100,005", "12", "1"} << QStringList{"100,01", "12", "1"};
        QTest::newRow("more rate digits than a word holds") << QStringList{"100000", "12", "1,00000000000000000000001"} << QStringList{"100000", "12", "1"};
        QTest::newRow("rate too small to earn a kopeck") << QStringList{"999999999999,99", "12", "1E-40"} << QStringList{"999999999999,99", "12", "0"};
        QTest::newRow("blanks and sign") << QStringList{" +100 ", "12", " 1 "} << QStringList{"100", "12", "1"};
        // clang-format on
    }

    void readsTheNumberTyped()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, same);
        auto text = [](const QStringList& boxes) {
            return QString::fromStdString(loan::scheduleText(
                loan::paymentSchedule(boxes[0].toStdString(), boxes[1].toStdString(), boxes[2].toStdString(),
                                      RateKind::PerMonth, PaymentKind::Annuity, PaymentTime::EndOfPeriod),
                '\t', ','));
        };
        QCOMPARE(text(typed), text(same));
    }

    void writesTheTable()
    {
        const loan::Schedule s = loan::paymentSchedule("1", "2", "1", RateKind::PerMonth,
                                                       PaymentKind::Annuity, PaymentTime::EndOfPeriod);
        QCOMPARE(QByteArray::fromStdString(loan::scheduleText(s, ';', ',')),
                 QByteArray("№;Платёж;Проценты;Основной долг;Остаток\n"
                            "1;0,51;0,01;0,50;0,50\n"
                            "2;0,51;0,01;0,50;0,00\n"));
        QCOMPARE(QString::fromStdString(loan::scheduleText(s, '\t', '.')).section(u'\n', 1, 1),
                 QStringLiteral("1\t0.51\t0.01\t0.50\t0.50"));
    }
};

QTEST_APPLESS_MAIN(TestSchedule)
#include "tst_schedule.moc"

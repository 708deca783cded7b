#include "numtext/numtext.h"
#include "support/reference.h"

#include <QTest>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>

using numtext::Real;

Q_DECLARE_METATYPE(numtext::Real)

namespace {

const QString kNoError = QStringLiteral("<no error>");

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const numtext::CalcError& e) {
        return QString::fromUtf8(e.what());
    }
    return kNoError;
}

std::string_view view(const QByteArray& text)
{
    return {text.constData(), static_cast<std::size_t>(text.size())};
}

// Exact and sign-aware: hex digits of the significand and the binary exponent.
QByteArray hex(Real value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%La", value);
    return buffer;
}

QByteArray swapSeparators(QByteArray text)
{
    for (char& c : text) {
        if (c == ',')
            c = '.';
        else if (c == '.')
            c = ',';
    }
    return text;
}

struct SeparatorCase {
    char separator;
    const char* name;
};
constexpr SeparatorCase kSeparators[] = {{',', "comma"}, {'.', "point"}};

// Reference for the written digits: glibc's correctly rounded 18 significant digits, then the
// 16th digit decides the 15th (the fuzz targets' own reference, shared).
std::string referenceText(Real value) { return reference::writeReal(value, ','); }

// glibc's correctly rounded "%.15Lg", in the same layout (comma, no "+", no exponent padding).
std::string correctlyRounded15(Real value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15Lg", value);
    std::string out;
    for (const char* p = buffer; *p != '\0'; ++p) {
        if (*p == '.') {
            out += ',';
        } else if (*p == 'e') {
            out += 'E';
            ++p;
            if (*p == '-')
                out += '-';
            ++p;
            while (*p == '0' && p[1] != '\0')
                ++p;
            out += p;
            break;
        } else {
            out += *p;
        }
    }
    return out;
}

} // namespace

class TestNumtext : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void readsReal_data();
    void readsReal();
    void rejectsReal_data();
    void rejectsReal();

    void writesReal_data();
    void writesReal();
    void writesSixteenthDigitRule_data();
    void writesSixteenthDigitRule();

    void readsInt_data();
    void readsInt();
    void rejectsInt_data();
    void rejectsInt();
    void writesInt_data();
    void writesInt();

    void truncatesAndRounds_data();
    void truncatesAndRounds();
    void storesAsDouble_data();
    void storesAsDouble();

    void checksRealArithmetic_data();
    void checksRealArithmetic();
    void checksIntDivision_data();
    void checksIntDivision();

    void writtenDigitsMatchReference();
    void writtenDoublesReadBackToSameText();
    void integersBelowTenToFifteenAreExact();
    void notationSwitchesAtBoundaries();
    void readsPowersOfTenCorrectlyRounded();
};

void TestNumtext::initTestCase()
{
    // The start-up code replaces it from the regional settings; until then it is a point.
    QCOMPARE(numtext::decimalSeparator(), '.');
}

// ---------------------------------------------------------------------------------------------
// Text to real. Rows are written with ","; for the point separator "," and "." swap roles.

void TestNumtext::readsReal_data()
{
    QTest::addColumn<char>("separator");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Real>("expected");

    struct Row {
        const char* name;
        const char* text;
        Real expected;
    };
    const Row rows[] = {
        {"blanks around 1,5", " 1,5 ", 1.5L},
        {"exponent 1,5E3", "1,5E3", 1500.0L},
        {"lower-case e with negative exponent", "1e-2", 0.01L},
        {"minus sign before the separator", "-,5", -0.5L},
        {"lone separator", ",", 0.0L},
        {"sign and separator only is negative zero", "-,", -0.0L},
        {"minus zero", "-0", -0.0L},
        {"trailing separator", "1,", 1.0L},
        {"exponent letter without digits", "1E", 1.0L},
        {"exponent sign without digits", "1E+", 1.0L},
        {"explicit plus sign", "+2,25", 2.25L},
        {"leading zeros", "007,50", 7.5L},
        {"fraction scales once", "0,001", 0.001L},
        {"fraction and exponent combine", "12,5e-1", 1.25L},
        {"1E500 is beyond the double range", "1E500", 1e500L},
        {"exponent 1000 is read whole", "1E1000", 1e1000L},
        {"largest power of ten", "1E4932", 1e4932L},
        {"fraction digits offset a large exponent", "0,1E4933", 1e4932L},
        {"zero times a huge power", "0E4999", 0.0L},
        // The integer of the digits times the rounded power: not always the nearest real.
        {"near the top of the range", "1,18973149535723E4932", 118973149535723.0L * 1e4918L},
        {"smallest normal real", "3,3621031431120935063E-4932", LDBL_MIN},
        {"underflow to a denormal", "1E-4940", 0x0.000000663278e62p-16385L},
        {"underflow to zero", "1E-4999", 0.0L},
        {"many fraction digits underflow", "0,000000000000000000000000000000000000000001E-4930", 0.0L},
        {"nineteen digits exact", "9223372036854775807", 9223372036854775807.0L},
        // Step-by-step rounding of the accumulator: one unit in the last place below the
        // correctly rounded value 0xc.77487fb61b9f077p+93.
        {"thirty digits accumulate with rounding", "123456789012345678901234567890",
         0xc.77487fb61b9f076p+93L},
    };
    for (const auto& sep : kSeparators) {
        for (const Row& row : rows) {
            QByteArray text = row.text;
            if (sep.separator == '.')
                text = swapSeparators(text);
            QTest::addRow("%s: %s", sep.name, row.name) << sep.separator << text << row.expected;
        }
    }
}

void TestNumtext::readsReal()
{
    QFETCH(char, separator);
    QFETCH(QByteArray, text);
    QFETCH(Real, expected);
    numtext::setDecimalSeparator(separator);
    Real value = 0;
    QCOMPARE(errorOf([&] { value = numtext::textToReal(view(text)); }), kNoError);
    QCOMPARE(hex(value), hex(expected));
    // The separator given outright wins over the process-wide one.
    numtext::setDecimalSeparator(separator == ',' ? '.' : ',');
    QCOMPARE(hex(numtext::textToReal(view(text), separator)), hex(expected));
}

void TestNumtext::rejectsReal_data()
{
    QTest::addColumn<char>("separator");
    QTest::addColumn<QByteArray>("text");

    const std::string manyNines(5000, '9');
    struct Row {
        const char* name;
        std::string text;
    };
    const Row rows[] = {
        {"point is an ordinary character", "1.5"},
        {"thousands blank", "1 000"},
        {"second separator", "1,5,2"},
        {"exponent without mantissa", "E5"},
        {"lone plus sign", "+"},
        {"lone minus sign", "-"},
        {"blank after the sign", "- 5"},
        {"empty text", ""},
        {"blanks only", "   "},
        {"leading tab", "\t1,5"},
        {"trailing tab", "1,5\t"},
        {"trailing letter", "2a"},
        {"second sign", "+-1"},
        {"second exponent sign", "1E+-2"},
        {"blank inside the exponent", "1E 5"},
        {"beyond the extended range", "1E4933"},
        {"product beyond the extended range", "10E4932"},
        {"exponent digit left over", "1E10000"},
        {"negative exponent digit left over", "1E-5000"},
        {"digits overflow the accumulator", manyNines},
        {"Cyrillic letters", "один"},
        {"minus sign character", "\u22121"},
        {"hexadecimal", "$10"},
        {"infinity spelled out", "INF"},
    };
    for (const auto& sep : kSeparators) {
        for (const Row& row : rows) {
            QByteArray text = QByteArray::fromStdString(row.text);
            if (sep.separator == '.')
                text = swapSeparators(text);
            QTest::addRow("%s: %s", sep.name, row.name) << sep.separator << text;
        }
    }
}

void TestNumtext::rejectsReal()
{
    QFETCH(char, separator);
    QFETCH(QByteArray, text);
    numtext::setDecimalSeparator(separator);
    const QString expected = QString::fromUtf8("'" + text + "' is not a valid floating point value");
    QCOMPARE(errorOf([&] { numtext::textToReal(view(text)); }), expected);
}

// ---------------------------------------------------------------------------------------------
// Real to text. Expected texts are written with ","; the point separator swaps it.

void TestNumtext::writesReal_data()
{
    QTest::addColumn<char>("separator");
    QTest::addColumn<Real>("value");
    QTest::addColumn<QByteArray>("expected");

    struct Row {
        const char* name;
        Real value;
        const char* text;
    };
    const Row rows[] = {
        {"zero", 0.0L, "0"},
        {"negative zero", -0.0L, "0"},
        {"12.5", 12.5L, "12,5"},
        {"100", 100.0L, "100"},
        {"-0.5", -0.5L, "-0,5"},
        {"0.0001 is the smallest fixed magnitude", 0.0001L, "0,0001"},
        {"0.00015", 0.00015L, "0,00015"},
        {"0.00001 is scientific", 0.00001L, "1E-5"},
        {"1.5e-7", 1.5e-7L, "1,5E-7"},
        {"one third", 1.0L / 3, "0,333333333333333"},
        {"two thirds", 2.0L / 3, "0,666666666666667"},
        {"0.1 + 0.2 as doubles", static_cast<Real>(0.1 + 0.2), "0,3"},
        {"10^15 - 1", 1e15L - 1, "999999999999999"},
        {"10^15 is scientific", 1e15L, "1E15"},
        {"-10^15", -1e15L, "-1E15"},
        {"double nearest 999999999999999.9", static_cast<Real>(999999999999999.9), "1E15"},
        {"double nearest 123456789012345678", static_cast<Real>(123456789012345678.0), "1,23456789012346E17"},
        {"10^100", 1e100L, "1E100"},
        {"10^512", 1e512L, "1E512"},
        {"just below 0.0001 stays scientific", 9.99999999999999e-5L, "9,99999999999999E-5"},
        {"rounding up reaches 0.0001", 9.9999999999999995e-5L, "0,0001"},
        {"16th digit 5 reaches 10^15", 999999999999999.5L, "1E15"},
        {"10^14 in full", 1e14L, "100000000000000"},
        {"1.5e15", 1.5e15L, "1,5E15"},
        {"fixed with fraction", 123.456L, "123,456"},
        {"fifteen digits in the fraction", 0.000123456789012345L, "0,000123456789012345"},
        {"largest normal real", LDBL_MAX, "1,18973149535723E4932"},
        {"smallest normal real", LDBL_MIN, "3,36210314311209E-4932"},
        {"extended denormal", LDBL_MIN / 2, "0"},
        {"smallest extended denormal", std::numeric_limits<Real>::denorm_min(), "0"},
        {"negative extended denormal", -LDBL_MIN / 4, "0"},
        {"double denormal is a normal real", std::numeric_limits<double>::denorm_min(),
         "4,94065645841247E-324"},
        {"infinity", std::numeric_limits<Real>::infinity(), "INF"},
        {"negative infinity", -std::numeric_limits<Real>::infinity(), "-INF"},
        {"NaN", std::numeric_limits<Real>::quiet_NaN(), "NAN"},
    };
    for (const auto& sep : kSeparators) {
        for (const Row& row : rows) {
            QByteArray text = row.text;
            if (sep.separator == '.')
                text = swapSeparators(text);
            QTest::addRow("%s: %s", sep.name, row.name) << sep.separator << row.value << text;
        }
    }
}

void TestNumtext::writesReal()
{
    QFETCH(char, separator);
    QFETCH(Real, value);
    QFETCH(QByteArray, expected);
    numtext::setDecimalSeparator(separator);
    QCOMPARE(QByteArray::fromStdString(numtext::realToText(value)), expected);
    numtext::setDecimalSeparator(separator == ',' ? '.' : ',');
    QCOMPARE(QByteArray::fromStdString(numtext::realToText(value, separator)), expected);
}

// Values where 18 digits followed by rounding at the 16th digit differ from rounding straight to
// 15 digits. Each row also shows that the correctly rounded text is different.
void TestNumtext::writesSixteenthDigitRule_data()
{
    QTest::addColumn<Real>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("999999999999999.4999") << 999999999999999.4999L << QByteArray("1E15");
    QTest::newRow("exact half of a double rounds up")
        << static_cast<Real>(763287067388048.5) << QByteArray("763287067388049");
    QTest::newRow("double 3.0507264393576649999e-27")
        << static_cast<Real>(0x1.e3682a9d59d38p-89) << QByteArray("3,05072643935767E-27");
    QTest::newRow("negative double, carry strips a zero")
        << static_cast<Real>(-0x1.f9304b89f5f68p+420) << QByteArray("-5,3433275870028E126");
    QTest::newRow("fixed notation 20.588662759945549999")
        << 0xa.4b594d232b6c156p+1L << QByteArray("20,5886627599456");
    QTest::newRow("small fixed 0.00054465444531872649999")
        << 0x8.ec7241efdc67466p-14L << QByteArray("0,000544654445318727");
    QTest::newRow("small scientific 6.652216126059284999e-5")
        << 0x8.b81d039f22c08acp-17L << QByteArray("6,65221612605929E-5");
    QTest::newRow("large 8.311378116472884999e20")
        << 0xb.4396ab08ba09b7bp+66L << QByteArray("8,31137811647289E20");
    // Integers whose 19th digit is an exact half: the 18 digits round to even, giving a 5 at the
    // 16th digit.
    QTest::newRow("19-digit integer ending 4995")
        << 2564989169851114995.0L << QByteArray("2,56498916985112E18");
    QTest::newRow("20-digit integer ending 49950")
        << 34543305788870649950.0L << QByteArray("3,45433057888707E19");
}

void TestNumtext::writesSixteenthDigitRule()
{
    QFETCH(Real, value);
    QFETCH(QByteArray, expected);
    numtext::setDecimalSeparator(',');
    QCOMPARE(QByteArray::fromStdString(numtext::realToText(value)), expected);
    QVERIFY(QByteArray::fromStdString(correctlyRounded15(value)) != expected);
}

// ---------------------------------------------------------------------------------------------
// Integers.

void TestNumtext::readsInt_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("leading blank") << QByteArray(" 42") << 42;
    QTest::newRow("several leading blanks then sign") << QByteArray("   -12") << -12;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("zero") << QByteArray("0") << 0;
    QTest::newRow("minus zero") << QByteArray("-0") << 0;
    QTest::newRow("leading zeros") << QByteArray("007") << 7;
    QTest::newRow("least value") << QByteArray("-2147483648") << INT32_MIN;
    QTest::newRow("greatest value") << QByteArray("2147483647") << INT32_MAX;
    QTest::newRow("dollar prefix") << QByteArray("$1F") << 31;
    QTest::newRow("x prefix lower-case digits") << QByteArray("x1f") << 31;
    QTest::newRow("X prefix") << QByteArray("X1F") << 31;
    QTest::newRow("0x prefix") << QByteArray("0x1F") << 31;
    QTest::newRow("0X prefix mixed digits") << QByteArray("0X1f") << 31;
    QTest::newRow("negated hexadecimal") << QByteArray("-$10") << -16;
    QTest::newRow("eight F digits are -1") << QByteArray("$FFFFFFFF") << -1;
    QTest::newRow("negated eight F digits") << QByteArray("-$FFFFFFFF") << 1;
    QTest::newRow("sign bit pattern") << QByteArray("$80000000") << INT32_MIN;
    QTest::newRow("negating the sign bit wraps") << QByteArray("-$80000000") << INT32_MIN;
    QTest::newRow("leading hexadecimal zeros do not count") << QByteArray("$0000000012345678") << 0x12345678;
}

void TestNumtext::readsInt()
{
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    std::int32_t value = 0;
    QCOMPARE(errorOf([&] { value = numtext::textToInt(view(text)); }), kNoError);
    QCOMPARE(value, expected);
}

void TestNumtext::rejectsInt_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("trailing blank") << QByteArray("42 ");
    QTest::newRow("one above the greatest") << QByteArray("2147483648");
    QTest::newRow("one below the least") << QByteArray("-2147483649");
    QTest::newRow("many digits") << QByteArray("99999999999999999999999");
    QTest::newRow("separator") << QByteArray("1,0");
    QTest::newRow("point") << QByteArray("1.0");
    QTest::newRow("exponent") << QByteArray("1e3");
    QTest::newRow("empty text") << QByteArray("");
    QTest::newRow("blanks only") << QByteArray("   ");
    QTest::newRow("lone sign") << QByteArray("-");
    QTest::newRow("blank after the sign") << QByteArray("- 1");
    QTest::newRow("two signs") << QByteArray("+-1");
    QTest::newRow("leading tab") << QByteArray("\t1");
    QTest::newRow("prefix without digits") << QByteArray("$");
    QTest::newRow("0x without digits") << QByteArray("0x");
    QTest::newRow("x without digits") << QByteArray("x");
    QTest::newRow("nine significant hexadecimal digits") << QByteArray("$123456789");
    QTest::newRow("letter beyond F") << QByteArray("$1G");
    QTest::newRow("sign after the prefix") << QByteArray("$-1");
    QTest::newRow("blank after the prefix") << QByteArray("$ 1");
    QTest::newRow("hexadecimal digit in decimal") << QByteArray("1F");
    QTest::newRow("Cyrillic digits word") << QByteArray("сорок");
}

void TestNumtext::rejectsInt()
{
    QFETCH(QByteArray, text);
    const QString expected = QString::fromUtf8("'" + text + "' is not a valid integer value");
    QCOMPARE(errorOf([&] { numtext::textToInt(view(text)); }), expected);
}

void TestNumtext::writesInt_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("zero") << qint64(0) << QByteArray("0");
    QTest::newRow("negative") << qint64(-7) << QByteArray("-7");
    QTest::newRow("no grouping") << qint64(1234567) << QByteArray("1234567");
    QTest::newRow("least 32-bit") << qint64(INT32_MIN) << QByteArray("-2147483648");
    QTest::newRow("least 64-bit") << qint64(INT64_MIN) << QByteArray("-9223372036854775808");
    QTest::newRow("greatest 64-bit") << qint64(INT64_MAX) << QByteArray("9223372036854775807");
}

void TestNumtext::writesInt()
{
    QFETCH(qint64, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(numtext::intToText(value)), expected);
}

// ---------------------------------------------------------------------------------------------
// Truncation, rounding and storing into a double.

void TestNumtext::truncatesAndRounds_data()
{
    QTest::addColumn<Real>("value");
    QTest::addColumn<QString>("truncated"); // decimal result or the error message
    QTest::addColumn<QString>("rounded");

    const QString invalid = QString::fromLatin1(numtext::kInvalidOp);
    const Real two63 = 9223372036854775808.0L;
    QTest::newRow("2.7") << 2.7L << "2"
                         << "3";
    QTest::newRow("-2.7") << -2.7L << "-2"
                          << "-3";
    QTest::newRow("0.5 to even 0") << 0.5L << "0"
                                   << "0";
    QTest::newRow("-0.5 to even 0") << -0.5L << "0"
                                    << "0";
    QTest::newRow("1.5 to even 2") << 1.5L << "1"
                                   << "2";
    QTest::newRow("2.5 to even 2") << 2.5L << "2"
                                   << "2";
    QTest::newRow("-2.5 to even -2") << -2.5L << "-2"
                                     << "-2";
    QTest::newRow("-3.5 to even -4") << -3.5L << "-3"
                                     << "-4";
    QTest::newRow("just below a half") << (0.5L - LDBL_EPSILON / 4) << "0"
                                       << "0";
    QTest::newRow("just above a half") << (0.5L + LDBL_EPSILON / 2) << "0"
                                       << "1";
    QTest::newRow("greatest int64") << (two63 - 1) << "9223372036854775807"
                                    << "9223372036854775807";
    QTest::newRow("least int64") << -two63 << "-9223372036854775808"
                                 << "-9223372036854775808";
    QTest::newRow("2^63 - 0.5 rounds out of range") << (two63 - 0.5L) << "9223372036854775807" << invalid;
    QTest::newRow("-2^63 + 0.5 rounds to even -2^63") << (-two63 + 0.5L) << "-9223372036854775807"
                                                      << "-9223372036854775808";
    QTest::newRow("2^63") << two63 << invalid << invalid;
    QTest::newRow("-2^63 - 1") << (-two63 - 1) << invalid << invalid;
    QTest::newRow("1E500") << 1e500L << invalid << invalid;
    QTest::newRow("infinity") << std::numeric_limits<Real>::infinity() << invalid << invalid;
    QTest::newRow("NaN") << std::numeric_limits<Real>::quiet_NaN() << invalid << invalid;
}

void TestNumtext::truncatesAndRounds()
{
    QFETCH(Real, value);
    QFETCH(QString, truncated);
    QFETCH(QString, rounded);
    auto outcome = [](const std::function<std::int64_t()>& f) {
        QString text;
        const QString error = errorOf([&] { text = QString::number(f()); });
        return error == kNoError ? text : error;
    };
    QCOMPARE(outcome([&] { return numtext::truncReal(value); }), truncated);
    QCOMPARE(outcome([&] { return numtext::roundReal(value); }), rounded);
}

void TestNumtext::storesAsDouble_data()
{
    QTest::addColumn<Real>("value");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("error");

    const QString overflow = QString::fromLatin1(numtext::kOverflow);
    const Real halfUlpAboveMax = static_cast<Real>(DBL_MAX) + std::ldexp(1.0L, 970);
    QTest::newRow("0.1 rounds to nearest") << 0.1L << 0.1 << kNoError;
    QTest::newRow("largest double") << static_cast<Real>(DBL_MAX) << DBL_MAX << kNoError;
    QTest::newRow("just below the overflow tie")
        << (halfUlpAboveMax - std::ldexp(1.0L, 961)) << DBL_MAX << kNoError;
    QTest::newRow("overflow tie rounds to infinity") << halfUlpAboveMax << 0.0 << overflow;
    QTest::newRow("1E500") << 1e500L << 0.0 << overflow;
    QTest::newRow("-1E500") << -1e500L << 0.0 << overflow;
    QTest::newRow("underflow to a denormal")
        << 5e-324L << std::numeric_limits<double>::denorm_min() << kNoError;
    QTest::newRow("underflow to zero") << 1e-400L << 0.0 << kNoError;
    QTest::newRow("NaN") << std::numeric_limits<Real>::quiet_NaN() << 0.0
                         << QString::fromLatin1(numtext::kInvalidOp);
}

void TestNumtext::storesAsDouble()
{
    QFETCH(Real, value);
    QFETCH(double, expected);
    QFETCH(QString, error);
    double stored = 0;
    QCOMPARE(errorOf([&] { stored = numtext::toDouble(value); }), error);
    QCOMPARE(stored, expected);
}

// ---------------------------------------------------------------------------------------------
// Checked arithmetic.

void TestNumtext::checksRealArithmetic_data()
{
    QTest::addColumn<char>("op"); // + - * / or c for checked(a)
    QTest::addColumn<Real>("a");
    QTest::addColumn<Real>("b");
    QTest::addColumn<Real>("expected");
    QTest::addColumn<QString>("error");

    const Real inf = std::numeric_limits<Real>::infinity();
    const Real nan = std::numeric_limits<Real>::quiet_NaN();
    const QString overflow = QString::fromLatin1(numtext::kOverflow);
    const QString invalid = QString::fromLatin1(numtext::kInvalidOp);
    const QString byZero = QString::fromLatin1(numtext::kDivByZero);
    QTest::newRow("sum") << '+' << 2.0L << 3.0L << 5.0L << kNoError;
    QTest::newRow("sum overflows") << '+' << LDBL_MAX << LDBL_MAX << 0.0L << overflow;
    QTest::newRow("difference overflows") << '-' << -LDBL_MAX << LDBL_MAX << 0.0L << overflow;
    QTest::newRow("difference of infinities") << '-' << inf << inf << 0.0L << invalid;
    QTest::newRow("product beyond double range is fine") << '*' << 1e300L << 1e300L << 1e600L << kNoError;
    QTest::newRow("product overflows") << '*' << 1e3000L << 1e3000L << 0.0L << overflow;
    QTest::newRow("product underflows silently") << '*' << 1e-3000L << 1e-3000L << 0.0L << kNoError;
    QTest::newRow("zero times infinity") << '*' << 0.0L << inf << 0.0L << invalid;
    QTest::newRow("quotient") << '/' << 1.0L << 4.0L << 0.25L << kNoError;
    QTest::newRow("non-zero by zero") << '/' << 1.0L << 0.0L << 0.0L << byZero;
    QTest::newRow("negative by negative zero") << '/' << -1.0L << -0.0L << 0.0L << byZero;
    QTest::newRow("zero by zero") << '/' << 0.0L << 0.0L << 0.0L << invalid;
    QTest::newRow("negative zero by zero") << '/' << -0.0L << 0.0L << 0.0L << invalid;
    QTest::newRow("quotient overflows") << '/' << 1e4000L << 1e-4000L << 0.0L << overflow;
    QTest::newRow("checked finite") << 'c' << 1.5L << 0.0L << 1.5L << kNoError;
    QTest::newRow("checked infinity") << 'c' << inf << 0.0L << 0.0L << overflow;
    QTest::newRow("checked negative infinity") << 'c' << -inf << 0.0L << 0.0L << overflow;
    QTest::newRow("checked NaN") << 'c' << nan << 0.0L << 0.0L << invalid;
}

void TestNumtext::checksRealArithmetic()
{
    QFETCH(char, op);
    QFETCH(Real, a);
    QFETCH(Real, b);
    QFETCH(Real, expected);
    QFETCH(QString, error);
    Real result = 0;
    QCOMPARE(errorOf([&] {
                 switch (op) {
                 case '+':
                     result = numtext::add(a, b);
                     break;
                 case '-':
                     result = numtext::sub(a, b);
                     break;
                 case '*':
                     result = numtext::mul(a, b);
                     break;
                 case '/':
                     result = numtext::div(a, b);
                     break;
                 default:
                     result = numtext::checked(a);
                     break;
                 }
             }),
             error);
    QCOMPARE(hex(result), hex(expected));
}

void TestNumtext::checksIntDivision_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<QString>("quotient"); // value or error message
    QTest::addColumn<QString>("remainder");

    const QString byZero = QString::fromLatin1(numtext::kIntDivByZero);
    const QString overflow = QString::fromLatin1(numtext::kIntOverflow);
    QTest::newRow("7 by 2") << 7 << 2 << "3"
                            << "1";
    QTest::newRow("-7 by 2 truncates towards zero") << -7 << 2 << "-3"
                                                    << "-1";
    QTest::newRow("7 by -2 remainder keeps the dividend's sign") << 7 << -2 << "-3"
                                                                 << "1";
    QTest::newRow("-7 by -2") << -7 << -2 << "3"
                              << "-1";
    QTest::newRow("zero dividend") << 0 << 5 << "0"
                                   << "0";
    QTest::newRow("least by 1") << INT32_MIN << 1 << "-2147483648"
                                << "0";
    QTest::newRow("least by -1 overflows") << INT32_MIN << -1 << overflow << overflow;
    QTest::newRow("by zero") << 5 << 0 << byZero << byZero;
    QTest::newRow("zero by zero") << 0 << 0 << byZero << byZero;
}

void TestNumtext::checksIntDivision()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(QString, quotient);
    QFETCH(QString, remainder);
    auto outcome = [](const std::function<std::int32_t()>& f) {
        QString text;
        const QString error = errorOf([&] { text = QString::number(f()); });
        return error == kNoError ? text : error;
    };
    QCOMPARE(outcome([&] { return numtext::intDiv(a, b); }), quotient);
    QCOMPARE(outcome([&] { return numtext::intMod(a, b); }), remainder);
}

// ---------------------------------------------------------------------------------------------
// Properties over many values, from a fixed seed.

void TestNumtext::writtenDigitsMatchReference()
{
    numtext::setDecimalSeparator(',');
    std::mt19937_64 rng(20240601);
    for (int n = 0; n < 200000; ++n) {
        Real value;
        if (n % 2 == 0) {
            // Any finite double.
            double d;
            do {
                const std::uint64_t bits = rng();
                std::memcpy(&d, &bits, sizeof d);
            } while (!std::isfinite(d));
            value = d;
        } else {
            // Any normal extended value: random significand, random exponent over the full range.
            const auto significand = static_cast<Real>(rng() | (std::uint64_t(1) << 63));
            value = std::ldexp(significand, static_cast<int>(rng() % 32765) - 16381 - 64);
            if (rng() & 1)
                value = -value;
        }
        const std::string written = numtext::realToText(value);
        const std::string reference = referenceText(value);
        if (written != reference)
            QFAIL(qPrintable(QStringLiteral("%1: wrote %2, expected %3")
                                 .arg(QString::fromLatin1(hex(value)), QString::fromStdString(written),
                                      QString::fromStdString(reference))));
    }
}

void TestNumtext::writtenDoublesReadBackToSameText()
{
    for (const auto& sep : kSeparators) {
        numtext::setDecimalSeparator(sep.separator);
        std::mt19937_64 rng(7);
        for (int n = 0; n < 100000; ++n) {
            double d;
            do {
                const std::uint64_t bits = rng();
                std::memcpy(&d, &bits, sizeof d);
            } while (!std::isfinite(d));
            const std::string text = numtext::realToText(d);
            const std::string again = numtext::realToText(numtext::textToReal(text));
            if (again != text)
                QFAIL(qPrintable(QStringLiteral("%1 read back as %2")
                                     .arg(QString::fromStdString(text), QString::fromStdString(again))));
        }
    }
}

void TestNumtext::integersBelowTenToFifteenAreExact()
{
    numtext::setDecimalSeparator(',');
    std::mt19937_64 rng(15);
    constexpr std::int64_t kLimit = 1'000'000'000'000'000;
    for (int n = 0; n < 100000; ++n) {
        // Spread over all magnitudes, not only 15-digit numbers.
        std::int64_t i = static_cast<std::int64_t>(rng() % kLimit);
        i /= static_cast<std::int64_t>(std::pow(10.0, static_cast<double>(rng() % 15)));
        if (rng() & 1)
            i = -i;
        const std::string expected = std::to_string(i);
        QCOMPARE(numtext::realToText(static_cast<Real>(i)), expected);
        QCOMPARE(numtext::textToReal(expected), static_cast<Real>(i));
    }
    QCOMPARE(numtext::realToText(static_cast<Real>(kLimit - 1)), std::string("999999999999999"));
}

void TestNumtext::notationSwitchesAtBoundaries()
{
    numtext::setDecimalSeparator(',');
    for (int k = -40; k <= 40; ++k) {
        for (const Real mantissa : {1.0L, 1.5L, 9.875L}) {
            const Real value = mantissa * std::pow(10.0L, static_cast<Real>(k));
            const std::string text = numtext::realToText(value);
            const bool scientific = text.find('E') != std::string::npos;
            QVERIFY2(scientific == (k < -4 || k >= 15), text.c_str());
        }
    }
}

void TestNumtext::readsPowersOfTenCorrectlyRounded()
{
    numtext::setDecimalSeparator(',');
    for (int k = 0; k <= 4932; ++k) {
        const std::string text = "1E" + std::to_string(k);
        const std::string reference = "1e" + std::to_string(k);
        QCOMPARE(hex(numtext::textToReal(text)), hex(std::strtold(reference.c_str(), nullptr)));
    }
    // Up to 10^27 the divisor is exact, so the quotient is the correctly rounded 10^-k.
    for (int k = 1; k <= 27; ++k) {
        const std::string text = "1E-" + std::to_string(k);
        const std::string reference = "1e-" + std::to_string(k);
        QCOMPARE(hex(numtext::textToReal(text)), hex(std::strtold(reference.c_str(), nullptr)));
    }
}

QTEST_APPLESS_MAIN(TestNumtext)
#include "tst_numtext.moc"

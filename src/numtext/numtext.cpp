#include "numtext/numtext.h"

#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>

namespace numtext {

namespace {

std::atomic<char> g_separator{'.'};

// ---------------------------------------------------------------------------------------------
// Powers of ten.
//
// Reading scales by 10^k rounded once to the real format; writing needs 10^k precise enough that
// the 18th significant digit comes out right. Both come from one table of 128-bit significands:
// 10^k = 10^(32a) * 10^b, the fine factors exact, the coarse ones built at compile time as powers
// of 10^32 and of 10^-32, rounding at bit 128 each step. The relative error stays below 2^-115
// over the whole range, far below the 2^-64 of the real format.

__extension__ typedef unsigned __int128 U128;

struct Wide {
    U128 mant; // top bit set
    int exp;   // value = mant * 2^exp
};

constexpr int kPowStep = 32;
constexpr int kCoarseCount = 156; // 10^(±32*156) covers ±4992; writing asks for at most ±4951
constexpr int kMaxRealPow = 4932; // 10^4932 is the last finite power of ten
constexpr U128 kTopBit = U128(1) << 127;

// Rounds the 256-bit number w (w[3] most significant) times 2^exp to a 128-bit significand,
// to nearest with ties to even.
constexpr Wide normalise(std::array<std::uint64_t, 4> w, int exp)
{
    int lz = 0;
    while (w[3] == 0) { // w is never zero
        w = {0, w[0], w[1], w[2]};
        lz += 64;
    }
    const int s = std::countl_zero(w[3]);
    if (s != 0) {
        for (int i = 3; i > 0; --i)
            w[i] = (w[i] << s) | (w[i - 1] >> (64 - s));
        w[0] <<= s;
    }
    lz += s;
    U128 mant = (U128(w[3]) << 64) | w[2];
    int e = exp - lz + 128;
    const bool half = (w[1] >> 63) != 0;
    const bool sticky = (w[1] << 1) != 0 || w[0] != 0;
    if (half && (sticky || (mant & 1) != 0)) {
        ++mant;
        if (mant == 0) {
            mant = kTopBit;
            ++e;
        }
    }
    return {mant, e};
}

constexpr Wide mulWide(const Wide& a, const Wide& b)
{
    const std::uint64_t a0 = static_cast<std::uint64_t>(a.mant),
                        a1 = static_cast<std::uint64_t>(a.mant >> 64);
    const std::uint64_t b0 = static_cast<std::uint64_t>(b.mant),
                        b1 = static_cast<std::uint64_t>(b.mant >> 64);
    const U128 p00 = U128(a0) * b0, p01 = U128(a0) * b1, p10 = U128(a1) * b0, p11 = U128(a1) * b1;
    const U128 mid = (p00 >> 64) + static_cast<std::uint64_t>(p01) + static_cast<std::uint64_t>(p10);
    const U128 high = p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64);
    return normalise({static_cast<std::uint64_t>(p00), static_cast<std::uint64_t>(mid),
                      static_cast<std::uint64_t>(high), static_cast<std::uint64_t>(high >> 64)},
                     a.exp + b.exp);
}

constexpr Wide mulTen(const Wide& a)
{
    const U128 lo = U128(static_cast<std::uint64_t>(a.mant)) * 10;
    const U128 hi = U128(static_cast<std::uint64_t>(a.mant >> 64)) * 10 + (lo >> 64);
    return normalise({0, static_cast<std::uint64_t>(lo), static_cast<std::uint64_t>(hi),
                      static_cast<std::uint64_t>(hi >> 64)},
                     a.exp - 64);
}

constexpr Wide divTen(const Wide& a)
{
    // Long division of mant * 2^128 by ten; a non-zero remainder only matters as a sticky bit.
    std::array<std::uint64_t, 4> q{};
    const std::array<std::uint64_t, 4> n{0, 0, static_cast<std::uint64_t>(a.mant),
                                         static_cast<std::uint64_t>(a.mant >> 64)};
    U128 rem = 0;
    for (int i = 3; i >= 0; --i) {
        const U128 cur = (rem << 64) | n[static_cast<std::size_t>(i)];
        q[static_cast<std::size_t>(i)] = static_cast<std::uint64_t>(cur / 10);
        rem = cur % 10;
    }
    if (rem != 0)
        q[0] |= 1;
    return normalise(q, a.exp - 128);
}

constexpr Wide kOne{kTopBit, -127};

constexpr std::array<Wide, kPowStep> kFinePowers = [] {
    std::array<Wide, kPowStep> t{};
    Wide p = kOne;
    for (auto& entry : t) {
        entry = p;
        p = mulTen(p);
    }
    return t;
}();

// Index kCoarseCount + a holds 10^(32a).
constexpr std::array<Wide, 2 * kCoarseCount + 1> kCoarsePowers = [] {
    std::array<Wide, 2 * kCoarseCount + 1> t{};
    const Wide upStep = mulTen(kFinePowers[kPowStep - 1]); // 10^32, exact
    Wide downStep = kOne;
    for (int j = 0; j < kPowStep; ++j)
        downStep = divTen(downStep);
    t[kCoarseCount] = kOne;
    Wide up = kOne, down = kOne;
    for (int a = 1; a <= kCoarseCount; ++a) {
        up = mulWide(up, upStep);
        down = mulWide(down, downStep);
        t[static_cast<std::size_t>(kCoarseCount + a)] = up;
        t[static_cast<std::size_t>(kCoarseCount - a)] = down;
    }
    return t;
}();

// 10^k for |k| <= kPowStep * kCoarseCount; exact while 5^k fits 128 bits (0 <= k <= 55).
Wide pow10Wide(int k)
{
    const int a = k >= 0 ? k / kPowStep : -((-k + kPowStep - 1) / kPowStep);
    const int b = k - a * kPowStep;
    const Wide& coarse = kCoarsePowers[static_cast<std::size_t>(a + kCoarseCount)];
    return b == 0 ? coarse : mulWide(coarse, kFinePowers[static_cast<std::size_t>(b)]);
}

// Powers of ten that the real format holds exactly: 10^27 = 5^27 * 2^27 and 5^27 < 2^64.
constexpr std::array<Real, 28> kExactPowers = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
    1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

// 10^k rounded to nearest in the real format, 0 <= k <= kMaxRealPow.
Real pow10Real(int k)
{
    if (k < static_cast<int>(kExactPowers.size()))
        return kExactPowers[static_cast<std::size_t>(k)];
    const Wide w = pow10Wide(k);
    std::uint64_t m = static_cast<std::uint64_t>(w.mant >> 64);
    const std::uint64_t low = static_cast<std::uint64_t>(w.mant);
    int e = w.exp + 64;
    const bool half = (low >> 63) != 0;
    if (half && ((low << 1) != 0 || (m & 1) != 0)) {
        if (++m == 0) {
            m = std::uint64_t(1) << 63;
            ++e;
        }
    }
    return std::ldexp(static_cast<Real>(m), e);
}

// ---------------------------------------------------------------------------------------------
// Writing: 18 significant digits.

constexpr std::uint64_t kTen17 = 100'000'000'000'000'000ULL;
constexpr std::uint64_t kTen18 = 1'000'000'000'000'000'000ULL;
constexpr std::uint64_t kTen15 = 1'000'000'000'000'000ULL;

// m * 2^(e-64) * 10^k split into its integer part and the two facts that decide rounding to an
// integer: whether the fraction is at least one half, and whether anything lies beyond that half.
struct Scaled {
    std::uint64_t intPart;
    bool half;
    bool sticky;
};

Scaled scaleExactByTenth(std::uint64_t m, int e, int j)
{
    // The only scalings where the value can lie exactly halfway between two 18-digit integers
    // while the power of ten is inexact (x = (2n+1) * 5^j * 2^(j-1) with x below 2^64 needs
    // j <= 2): divide exactly instead. Here 2^59 < x < 2^67, so x * 16 is an integer.
    const U128 x16 = U128(m) << (e - 60);
    const U128 divisor = U128(j == 1 ? 10 : 100) * 16;
    const U128 rem = x16 % divisor;
    return {static_cast<std::uint64_t>(x16 / divisor), 2 * rem >= divisor, 2 * rem > divisor};
}

Scaled scale(std::uint64_t m, int e, int k)
{
    if ((k == -1 || k == -2) && e >= 60 && e <= 67)
        return scaleExactByTenth(m, e, -k);
    const Wide p = pow10Wide(k);
    // 192-bit product m * p.mant, words w[0] (least) .. w[2].
    const U128 lo = U128(m) * static_cast<std::uint64_t>(p.mant);
    const U128 hi = U128(m) * static_cast<std::uint64_t>(p.mant >> 64) + (lo >> 64);
    const std::array<std::uint64_t, 3> w{static_cast<std::uint64_t>(lo), static_cast<std::uint64_t>(hi),
                                         static_cast<std::uint64_t>(hi >> 64)};
    // The value is product * 2^-sh; the integer part is below 2^64, so 64 < sh < 192.
    const int sh = 64 - e - p.exp;
    std::uint64_t intPart;
    if (sh >= 128)
        intPart = w[2] >> (sh - 128);
    else
        intPart = (w[2] << (128 - sh)) | (w[1] >> (sh - 64));
    const int hb = sh - 1;
    const bool half = ((w[static_cast<std::size_t>(hb / 64)] >> (hb % 64)) & 1) != 0;
    bool sticky = (w[static_cast<std::size_t>(hb / 64)] & ((std::uint64_t(1) << (hb % 64)) - 1)) != 0;
    for (int i = 0; i < hb / 64; ++i)
        sticky = sticky || w[static_cast<std::size_t>(i)] != 0;
    return {intPart, half, sticky};
}

char* writeUnsigned(char* out, std::uint64_t v)
{
    char tmp[20];
    int n = 0;
    do {
        tmp[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n > 0)
        *out++ = tmp[--n];
    return out;
}

[[noreturn]] void failText(std::string_view text, const char* what)
{
    std::string message;
    message.reserve(text.size() + 48);
    message += '\'';
    message += text;
    message += "' is not a valid ";
    message += what;
    message += " value";
    throw CalcError(message);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

char decimalSeparator() { return g_separator.load(std::memory_order_relaxed); }

void setDecimalSeparator(char separator) { g_separator.store(separator, std::memory_order_relaxed); }

// ---------------------------------------------------------------------------------------------

namespace {

// Both readers start alike: leading blanks (code 32 only), then one optional sign. Returns
// whether the sign was "-", with i left on the first character after it.
bool skipBlanksAndSign(std::string_view text, std::size_t& i)
{
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return text[i++] == '-';
    return false;
}

} // namespace

Real textToReal(std::string_view text) { return textToReal(text, decimalSeparator()); }

Real textToReal(std::string_view text, char sep)
{
    const std::size_t n = text.size();
    std::size_t i = 0;
    const bool negative = skipBlanksAndSign(text, i);

    // Digits are accumulated as acc = acc * 10 + digit, each step rounded in the real format.
    // While the integer stays below 2^64 every step is exact in both formats, so the integer
    // accumulator gives the same result faster; the real one takes over beyond that.
    constexpr std::uint64_t kNarrowLimit = (UINT64_MAX - 9) / 10;
    std::uint64_t narrow = 0;
    Real acc = 0;
    bool wide = false;
    auto addDigit = [&](char c) {
        const unsigned d = static_cast<unsigned>(c - '0');
        if (!wide) {
            if (narrow <= kNarrowLimit) {
                narrow = narrow * 10 + d;
                return;
            }
            acc = static_cast<Real>(narrow);
            wide = true;
        }
        acc = acc * 10;
        acc = acc + static_cast<Real>(d);
    };

    bool consumed = false;
    while (i < n && isDigit(text[i])) {
        addDigit(text[i++]);
        consumed = true;
    }
    std::int64_t fractionDigits = 0;
    if (i < n && text[i] == sep) {
        ++i;
        consumed = true;
        while (i < n && isDigit(text[i])) {
            addDigit(text[i++]);
            ++fractionDigits;
        }
    }
    if (!consumed)
        failText(text, "floating point");

    int exponent = 0;
    bool exponentNegative = false;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            exponentNegative = text[i++] == '-';
        // The digit that brings the exponent to 500 or more is the last one read.
        while (i < n && exponent < 500 && isDigit(text[i]))
            exponent = exponent * 10 + (text[i++] - '0');
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        failText(text, "floating point");

    Real value = wide ? acc : static_cast<Real>(narrow);
    if (std::isinf(value))
        failText(text, "floating point");
    const std::int64_t power = (exponentNegative ? -exponent : exponent) - fractionDigits;
    if (value != 0 && power > 0) {
        // The digits form an integer of at least 1, so a power above 10^4932 always overflows.
        if (power > kMaxRealPow)
            failText(text, "floating point");
        value *= pow10Real(static_cast<int>(power));
        if (std::isinf(value))
            failText(text, "floating point");
    } else if (value != 0 && power < 0) {
        // Divide once; a divisor beyond the real range is applied in finite steps, and the
        // quotient then underflows towards 0, which is accepted.
        std::int64_t q = -power;
        while (q > kMaxRealPow && value != 0) {
            value /= pow10Real(kMaxRealPow);
            q -= kMaxRealPow;
        }
        if (value != 0)
            value /= pow10Real(static_cast<int>(q));
    }
    return negative ? -value : value;
}

std::string realToText(Real value) { return realToText(value, decimalSeparator()); }

std::string realToText(Real value, char sep)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    const bool negative = value < 0;
    const Real magnitude = negative ? -value : value;
    if (magnitude < std::numeric_limits<Real>::min())
        return "0"; // zeros of both signs, denormals

    int e = 0;
    const Real fraction = std::frexp(magnitude, &e); // magnitude = fraction * 2^e, fraction in [0.5, 1)
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 64));

    // Decimal exponent E with 10^(E-1) <= magnitude < 10^E. The estimate floor(e*log10(2)) + 1
    // (log10(2) * 2^40 below) is E or E + 1.
    constexpr std::int64_t kLog10Of2 = 330'985'980'488; // round(log10(2) * 2^40)
    int exp10 = static_cast<int>((static_cast<std::int64_t>(e) * kLog10Of2) >> 40) + 1;
    Scaled s = scale(m, e, 18 - exp10);
    if (s.intPart < kTen17) {
        --exp10;
        s = scale(m, e, 18 - exp10);
    } else if (s.intPart >= kTen18) {
        ++exp10;
        s = scale(m, e, 18 - exp10);
    }
    std::uint64_t digits18 = s.intPart + ((s.half && (s.sticky || (s.intPart & 1) != 0)) ? 1 : 0);
    if (digits18 >= kTen18) {
        digits18 /= 10;
        ++exp10;
    }

    // From 18 digits to 15: the 16th digit alone decides, so this is a second rounding.
    std::uint64_t digits = digits18 / 1000 + (digits18 % 1000 >= 500 ? 1 : 0);
    if (digits >= kTen15) {
        digits /= 10;
        ++exp10;
    }
    int count = 15;
    while (digits % 10 == 0) {
        digits /= 10;
        --count;
    }
    char text[16];
    writeUnsigned(text, digits);

    char buffer[48];
    char* out = buffer;
    if (negative)
        *out++ = '-';
    if (exp10 >= -3 && exp10 <= 15) {
        if (exp10 <= 0) {
            *out++ = '0';
            *out++ = sep;
            for (int z = 0; z < -exp10; ++z)
                *out++ = '0';
            std::memcpy(out, text, static_cast<std::size_t>(count));
            out += count;
        } else {
            for (int d = 0; d < exp10; ++d)
                *out++ = d < count ? text[d] : '0';
            if (count > exp10) {
                *out++ = sep;
                std::memcpy(out, text + exp10, static_cast<std::size_t>(count - exp10));
                out += count - exp10;
            }
        }
    } else {
        *out++ = text[0];
        if (count > 1) {
            *out++ = sep;
            std::memcpy(out, text + 1, static_cast<std::size_t>(count - 1));
            out += count - 1;
        }
        *out++ = 'E';
        int shown = exp10 - 1;
        if (shown < 0) {
            *out++ = '-';
            shown = -shown;
        }
        out = writeUnsigned(out, static_cast<std::uint64_t>(shown));
    }
    return std::string(buffer, static_cast<std::size_t>(out - buffer));
}

std::optional<std::int32_t> tryTextToInt(std::string_view text)
{
    const std::size_t n = text.size();
    std::size_t i = 0;
    const bool negative = skipBlanksAndSign(text, i);

    std::size_t prefix = 0;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X'))
        prefix = 1;
    else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))
        prefix = 2;

    if (prefix != 0) {
        i += prefix;
        if (i == n)
            return std::nullopt;
        std::uint32_t pattern = 0;
        for (; i < n; ++i) {
            const char c = text[i];
            std::uint32_t d;
            if (isDigit(c))
                d = static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                d = static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                d = static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return std::nullopt;
            if (pattern > 0x0FFF'FFFFu)
                return std::nullopt; // a ninth significant digit
            pattern = (pattern << 4) | d;
        }
        // The bit pattern is the value; negation wraps like the hardware does.
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }

    if (i == n)
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < n; ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2'147'483'648LL)
            return std::nullopt;
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    if (value > 2'147'483'647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t textToInt(std::string_view text)
{
    if (const std::optional<std::int32_t> value = tryTextToInt(text))
        return *value;
    failText(text, "integer");
}

std::string intToText(std::int64_t value)
{
    char buffer[24];
    char* out = buffer;
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0 - magnitude;
    }
    out = writeUnsigned(out, magnitude);
    return std::string(buffer, static_cast<std::size_t>(out - buffer));
}

namespace {

constexpr Real kTwo63 = 9223372036854775808.0L;

std::int64_t toInt64Checked(Real integral)
{
    if (!(integral >= -kTwo63 && integral < kTwo63))
        throw CalcError(kInvalidOp); // NaN too
    return static_cast<std::int64_t>(integral);
}

} // namespace

std::int64_t truncReal(Real value) { return toInt64Checked(std::trunc(value)); }

std::int64_t roundReal(Real value)
{
    // Explicit ties-to-even, independent of the processor's rounding mode. The fraction of a
    // real is exact, and so are t + 1 and t / 2 wherever they can still be in range.
    Real t = std::trunc(value);
    const Real fraction = std::fabs(value - t);
    const Real step = value < 0 ? -1 : 1;
    if (fraction > 0.5L) {
        t += step;
    } else if (fraction == 0.5L) {
        const Real halfT = t / 2;
        if (std::trunc(halfT) != halfT)
            t += step;
    }
    return toInt64Checked(t); // an infinity or a NaN fails here as well
}

Real checked(Real value)
{
    if (std::isnan(value))
        throw CalcError(kInvalidOp);
    if (std::isinf(value))
        throw CalcError(kOverflow);
    return value;
}

double toDouble(Real value)
{
    const double narrowed = static_cast<double>(checked(value));
    checked(narrowed); // a finite real beyond the double range narrows to an infinity
    return narrowed;
}

Real add(Real a, Real b) { return checked(a + b); }

Real sub(Real a, Real b) { return checked(a - b); }

Real mul(Real a, Real b) { return checked(a * b); }

Real div(Real a, Real b)
{
    if (b == 0)
        throw CalcError(a == 0 || std::isnan(a) ? kInvalidOp : kDivByZero);
    return checked(a / b);
}

namespace {

// The two cases where a 32-bit quotient or remainder does not exist.
void checkIntDivision(std::int32_t a, std::int32_t b)
{
    if (b == 0)
        throw CalcError(kIntDivByZero);
    if (a == INT32_MIN && b == -1)
        throw CalcError(kIntOverflow);
}

} // namespace

std::int32_t intDiv(std::int32_t a, std::int32_t b)
{
    checkIntDivision(a, b);
    return a / b;
}

std::int32_t intMod(std::int32_t a, std::int32_t b)
{
    checkIntDivision(a, b);
    return a % b;
}

} // namespace numtext

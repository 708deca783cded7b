#include "elo/rating.h"

#include "numtext/numtext.h"

#include <cstddef>

namespace elo {

namespace {

using numtext::Real;

// Ratings are 32-bit integers and their sums and differences wrap modulo 2^32 like all integer
// arithmetic of the program; going through unsigned keeps the wrap defined.
std::int32_t wrappingSub(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The band expecting `percent` (50..100): the percentages rise by one from band to band.
const Band& bandFor(int percent)
{
    return kBands[static_cast<std::size_t>(percent - kBands.front().percent)];
}

} // namespace

int expectedPercent(std::int32_t d)
{
    // The magnitude is taken in 64 bits: the least 32-bit difference has no 32-bit negation.
    const std::int64_t magnitude = d < 0 ? -static_cast<std::int64_t>(d) : d;
    int percent = kBands.back().percent;
    for (const Band& band : kBands) {
        if (magnitude <= band.to) {
            percent = band.percent;
            break;
        }
    }
    return d < 0 ? 100 - percent : percent;
}

std::optional<std::int32_t> offsetFor(std::int32_t q)
{
    if (q < 0 || q > 100)
        return std::nullopt;
    if (q == 0)
        return kZeroScoreOffset;
    if (q == 100)
        return kFullScoreOffset;
    // Below an even score the band expecting q is the mirror of the one expecting 100 - q, and its
    // most negative difference is that band's upper edge negated; above it, the lower edge.
    if (q < 50)
        return -bandFor(100 - q).to;
    if (q == 50)
        return 0;
    return bandFor(q).from;
}

std::string newRating(std::string_view youElo, std::string_view eloTurn, std::string_view points,
                      std::string_view games)
{
    const std::int32_t r = numtext::textToInt(youElo);
    const std::int32_t ro = numtext::textToInt(eloTurn);
    const double s = numtext::toDouble(numtext::textToReal(points));
    const std::int32_t n = numtext::textToInt(games);

    const auto p = static_cast<double>(expectedPercent(wrappingSub(r, ro)));
    // N is divided by 100 before the product; E and R' are each rounded once, when stored.
    const double e = numtext::toDouble(numtext::mul(numtext::div(static_cast<Real>(n), 100.0L), p));
    const double newR =
        numtext::toDouble(numtext::add(numtext::mul(numtext::sub(s, e), 10.0L), static_cast<Real>(r)));
    return numtext::realToText(newR);
}

std::optional<std::string> initialRating(std::string_view opponents, std::string_view games,
                                         std::string_view points)
{
    const std::int32_t ro = numtext::textToInt(opponents);
    const std::int32_t n = numtext::textToInt(games);
    const double s = numtext::toDouble(numtext::textToReal(points));

    // Both divisions run in extended precision and only the percentage is rounded to a double:
    // then whole and half points give the exact truncated 100 × S ÷ N, where double division
    // lands just below it (25 games, 5,5 points: 21,999… instead of 22).
    const Real quotient = numtext::div(static_cast<Real>(n), s);
    const double percentage = numtext::toDouble(numtext::div(100.0L, quotient));
    // A score below nothing or above everything (negative points or games, more points than
    // games) has no rating difference, even where truncation would pull it back to 0 or 100.
    // Ruling it out before truncating also keeps percentages of any size (1 game, 1E300 points)
    // away from the integer conversion.
    if (!(percentage >= 0.0 && percentage <= 100.0))
        return std::nullopt;
    const auto q = static_cast<std::int32_t>(numtext::truncReal(percentage));
    return numtext::intToText(wrappingAdd(ro, *offsetFor(q)));
}

} // namespace elo

#pragma once
// Elo rating core: the expected-score table by rating difference, and the two calculations built
// on it: the new rating after an event (TfmElo's "Расчёт") and the estimate of a first rating
// (TfmNewElo's "Расчёт"). Both take the boxes' text, convert it in the window's order and return
// the text to show; a failed conversion or operation throws numtext::CalcError at that step.
// Called by UnitElo and UnitNewElo, which keep the checks for empty boxes.

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace elo {

// One band of rating differences sharing an expected score; both ends belong to the band.
struct Band {
    std::int32_t from;
    std::int32_t to;
    int percent;
};

// Expected score in per cent for a rating difference D >= 0, bands contiguous from 0 upwards;
// a negative D gives 100 - P(-D). The last band is open: every difference from 736 up.
// clang-format off
inline constexpr std::array<Band, 51> kBands{{
    {0, 3, 50},       {4, 10, 51},      {11, 17, 52},     {18, 25, 53},     {26, 32, 54},
    {33, 39, 55},     {40, 46, 56},     {47, 53, 57},     {54, 61, 58},     {62, 68, 59},
    {69, 76, 60},     {77, 83, 61},     {84, 91, 62},     {92, 98, 63},     {99, 106, 64},
    {107, 113, 65},   {114, 121, 66},   {122, 129, 67},   {130, 137, 68},   {138, 145, 69},
    {146, 153, 70},   {154, 162, 71},   {163, 170, 72},   {171, 179, 73},   {180, 188, 74},
    {189, 197, 75},   {198, 206, 76},   {207, 215, 77},   {216, 225, 78},   {226, 235, 79},
    {236, 245, 80},   {246, 256, 81},   {257, 267, 82},   {268, 278, 83},   {279, 290, 84},
    {291, 302, 85},   {303, 315, 86},   {316, 328, 87},   {329, 344, 88},   {345, 357, 89},
    {358, 374, 90},   {375, 391, 91},   {392, 411, 92},   {412, 432, 93},   {433, 456, 94},
    {457, 484, 95},   {485, 517, 96},   {518, 559, 97},   {560, 619, 98},   {620, 735, 99},
    {736, std::numeric_limits<std::int32_t>::max(), 100},
}};
// clang-format on

// Offsets for the two extreme scores, which no band edge gives.
inline constexpr std::int32_t kZeroScoreOffset = -800;
inline constexpr std::int32_t kFullScoreOffset = 800;

// Expected percentage 0..100 for any 32-bit difference, the least one included.
int expectedPercent(std::int32_t d);

// Rating difference added to the opponents' rating for a whole percentage score q: the edge of
// the band that expects q nearest to an even score. Empty outside 0..100.
std::optional<std::int32_t> offsetFor(std::int32_t q);

// New rating from own rating, opponents' rating, points and games (converted in that order),
// written unrounded in the general number format.
std::string newRating(std::string_view youElo, std::string_view eloTurn, std::string_view points,
                      std::string_view games);

// First-rating estimate from opponents' rating, games and points (converted in that order), as a
// whole number. Empty when the percentage score lies outside 0..100: the window writes nothing.
std::optional<std::string> initialRating(std::string_view opponents, std::string_view games,
                                         std::string_view points);

} // namespace elo

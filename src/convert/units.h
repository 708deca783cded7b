#pragma once
// Unit converter core: the catalogue of the nine physical quantities and their units, in the
// order the converter window lists them, each unit with its size in the quantity's SI unit, and
// the conversion the window runs when the user picks a target unit. Every pair converts as
// amount × (size of source ÷ size of target); temperature scales with an offset convert through
// kelvin. Called by UnitKonvert; tested on its own.

#include "numtext/numtext.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace convert {

struct Unit {
    std::string_view name;
    // Size of one unit in the category's SI unit (m, m², m³, kg, K, N, Pa, J, W); for a
    // temperature scale, the size of one degree in kelvins.
    numtext::Real size;
    std::string_view source; // where the size comes from
    // Kelvins at the zero of a temperature scale (0 °C is 273.15 K); 0 for every other unit.
    numtext::Real offset = 0;
};

struct Category {
    std::string_view name;
    std::span<const Unit> units;
};

std::span<const Category> catalogue(); // the nine categories, in the box's order

// What the answer box shows for `amount` (text, as typed) of unit `source` in unit `target`;
// positions from 0. Throws numtext::CalcError with the message the window shows.
std::string convertText(std::size_t category, std::size_t source, std::size_t target,
                        std::string_view amount);

} // namespace convert

#include "convert/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace convert {

namespace {

using numtext::Real;

// Defining sizes. A decimal definition is written as its decimal, a ratio as its expression,
// so each size is rounded once, or a few times, at 64-bit precision and never to fewer digits.
// Units of one size share one constant, so they convert exactly 1:1.
constexpr Real kInch = 0.0254L;                     // 1959 international yard and pound
constexpr Real kFoot = 0.3048L;                     // 12 in
constexpr Real kYard = 0.9144L;                     // 3 ft
constexpr Real kNauticalMile = 1852.0L;             // SI brochure, table 8
constexpr Real kAu = 149597870700.0L;               // IAU 2012 resolution B2
constexpr Real kArshin = 0.7112L;                   // Russian law of 1835: 28 in
constexpr Real kSazhen = 3 * kArshin;               // 7 ft
constexpr Real kVersta = 500 * kSazhen;             // 1066.8 m
constexpr Real kPound = 0.45359237L;                // international avoirdupois pound
constexpr Real kGrain = kPound / 7000;              // 64.79891 mg
constexpr Real kTroyOunce = 480 * kGrain;           // also the apothecaries' ounce
constexpr Real kRussianPound = 0.40951241L;         // Russian law of 1899
constexpr Real kGravity = 9.80665L;                 // standard acceleration of free fall, m/s²
constexpr Real kAtmosphere = 101325.0L;             // standard atmosphere, Pa
constexpr Real kTechAtmosphere = 98066.5L;          // 1 kgf/cm²
constexpr Real kWaterMetre = 1000 * kGravity;       // conventional 1 m of water: 1000 kg/m³ × g
constexpr Real kMercuryMetre = 13595.1L * kGravity; // conventional 1 m of mercury: 13595.1 kg/m³ × g
constexpr Real kPoundForce = kPound * kGravity;     // 4.4482216152605 N
constexpr Real kMetricHorsepower = 75 * kGravity;   // 75 kgf·m/s = 735.49875 W
constexpr Real kUkGallon = 4.54609e-3L;             // UK Weights and Measures Act 1985
constexpr Real kUsGallon = 3.785411784e-3L;         // 231 in³
constexpr Real kUsBushel = 35.23907016688e-3L;      // 2150.42 in³
constexpr Real kChetverik = 26.239e-3L;             // Russian dry measure, 1902 metric value

constexpr const char* kSi = "SI";
constexpr const char* kNist = "NIST SP 811";
constexpr const char* kRussian = "Russian law of 1835/1899";

// clang-format off
constexpr std::array<Unit, 30> kLength{{
    {"Четверть", kArshin / 4, "1/4 аршина; Russian law of 1835/1899"},
    {"Дюйм", kInch, kNist},
    {"Дециметр", 0.1L, kSi},
    {"Верста", kVersta, "500 саженей; Russian law of 1835/1899"},
    {"Вершок", kArshin / 16, "1/16 аршина; Russian law of 1835/1899"},
    {"Ангстрем", 1e-10L, kNist},
    {"Астрономическая еденица", kAu, "IAU 2012 B2; SI brochure, table 8"},
    {"Аршин", kArshin, "28 in; Russian law of 1835/1899"},
    {"Кабельтов", kNauticalMile / 10, "1/10 nautical mile"},
    {"Километр", 1000.0L, kSi},
    {"Линия", kInch / 10, "0.1 in; Russian law of 1835/1899"},
    {"Икс-еденица", 1.00207697e-13L, "Cu x unit, CODATA 2018"},
    {"Нанометр", 1e-9L, kSi},
    {"Парсек", kAu * 648000 / std::numbers::pi_v<Real>, "648000/π au; IAU 2015 B2"},
    {"Метр", 1.0L, kSi},
    {"Миллиметр", 1e-3L, kSi},
    {"Микрон", 1e-6L, "micrometre; NIST SP 811"},
    {"Микрометр", 1e-6L, kSi},
    {"Миля русская", 7 * kVersta, "7 верст; Russian law of 1835/1899"},
    {"Миля морская", kNauticalMile, "SI brochure, table 8"},
    {"Миля сухопутная", 1609.344L, "5280 ft; NIST SP 811"},
    {"Сажень", kSazhen, "3 аршина; Russian law of 1835/1899"},
    {"Световой год", 299792458.0L * 86400 * 365.25L, "c × Julian year; IAU"},
    {"Сантиметр", 0.01L, kSi},
    {"Сотка", kSazhen / 100, "1/100 сажени"},
    {"Ферми", 1e-15L, "femtometre; NIST SP 811"},
    {"Точка", kInch / 100, "0.01 in; Russian law of 1835/1899"},
    {"Фут", kFoot, kNist},
    {"Фут русский", kFoot, "12 in; Russian law of 1835/1899"},
    {"Ярд", kYard, kNist},
}};

constexpr std::array<Unit, 11> kArea{{
    {"Гектар", 1e4L, kSi},
    {"Десятина", 2400 * kSazhen * kSazhen, "2400 кв. саженей; Russian law of 1835/1899"},
    {"Барн", 1e-28L, kNist},
    {"Ар", 100.0L, kSi},
    {"Квадратный дюйм", 6.4516e-4L, "(0.0254 m)²; NIST SP 811"},
    {"Квадратный километр", 1e6L, kSi},
    {"Квадратный метр", 1.0L, kSi},
    {"Квадратный миллиметр", 1e-6L, kSi},
    {"Квадратный сантиметр", 1e-4L, kSi},
    {"Квадратный фут", 0.09290304L, "(0.3048 m)²; NIST SP 811"},
    {"Квадратный ярд", 0.83612736L, "(0.9144 m)²; NIST SP 811"},
}};

constexpr std::array<Unit, 23> kVolume{{
    {"Четверик", kChetverik, "26.239 L; Russian measure of 1835, metric value of 1902"},
    {"Четверть", 8 * kChetverik, "8 четвериков"},
    {"Дюйм кубический", 1.6387064e-5L, "(0.0254 m)³; NIST SP 811"},
    {"Ведро (для сыпучих веществ)", 12.29941e-3L, "Russian ведро, 12.29941 L"},
    {"Галлон (Великобритания)", kUkGallon, kNist},
    {"Галлон для жидкостей (США)", kUsGallon, "231 in³; NIST SP 811"},
    {"Галлон для сыпучих веществ (США)", kUsBushel / 8, "1/8 US bushel; NIST SP 811"},
    {"Гарнец", kChetverik / 8, "1/8 четверика"},
    {"Баррель для сыпучих веществ (Великобритания)", 36 * kUkGallon, "imperial barrel, 36 UK gallons"},
    {"Баррель нефтяной (США)", 42 * kUsGallon, "42 US gallons; NIST SP 811"},
    {"Баррель сухой (США)", 115.627123584e-3L, "7056 in³; NIST Handbook 44"},
    {"Бушель (Великобритнания)", 8 * kUkGallon, "8 UK gallons"},
    {"Бушель (США)", kUsBushel, "2150.42 in³; NIST SP 811"},
    {"Литр", 1e-3L, kSi},
    {"Кубический метр", 1.0L, kSi},
    {"Лямбда", 1e-9L, "microlitre"},
    {"Пинта (Великобритания)", kUkGallon / 8, "1/8 UK gallon"},
    {"Пинта для жидкостей (США)", kUsGallon / 8, "1/8 US gallon; NIST SP 811"},
    {"Пинта для сыпучих веществ (США)", kUsBushel / 64, "1/64 US bushel; NIST SP 811"},
    {"Унция (Великобритания)", kUkGallon / 160, "fluid ounce, 1/160 UK gallon"},
    {"Унция (США)", kUsGallon / 128, "fluid ounce, 1/128 US gallon; NIST SP 811"},
    {"Фут кубический", 0.028316846592L, "(0.3048 m)³; NIST SP 811"},
    {"Ярд кубический", 0.764554857984L, "(0.9144 m)³; NIST SP 811"},
}};

constexpr std::array<Unit, 25> kMass{{
    {"Гамма", 1e-9L, "microgram"},
    {"Берковец", 400 * kRussianPound, "10 пудов; Russian law of 1835/1899"},
    {"Доля", kRussianPound / 9216, "1/96 золотника; Russian law of 1835/1899"},
    {"Гран", kGrain, "1/7000 lb; NIST SP 811"},
    {"Грамм", 1e-3L, kSi},
    {"Атомная еденица массы", 1.66053906660e-27L, "dalton, CODATA 2018; SI brochure, table 8"},
    {"Золотник", kRussianPound / 96, "1/96 фунта; Russian law of 1835/1899"},
    {"Карат", 2e-4L, "metric carat; NIST SP 811"},
    {"Килограмм", 1.0L, kSi},
    {"Лот", kRussianPound / 32, "1/32 фунта; Russian law of 1835/1899"},
    {"Пуд", 40 * kRussianPound, "40 фунтов; Russian law of 1835/1899"},
    {"Слаг", kPoundForce / kFoot, "lbf·s²/ft; NIST SP 811"},
    {"Центнер (Великобритания)", 112 * kPound, "long hundredweight, 112 lb; NIST SP 811"},
    {"Центнер короткий (Великобритания)", 100 * kPound, "short hundredweight, 100 lb; NIST SP 811"},
    {"Центнер кратная единица СИ", 100.0L, "100 kg"},
    {"Техническая единица массы", kGravity, "kgf·s²/m"},
    {"Тонна", 1000.0L, kSi},
    {"Тонна (Великобритания)", 2240 * kPound, "long ton, 2240 lb; NIST SP 811"},
    {"Тонна короткая (Великобритания)", 2000 * kPound, "short ton, 2000 lb; NIST SP 811"},
    {"Унция аптекарская", kTroyOunce, "apothecaries' ounce, 480 gr; NIST SP 811"},
    {"Унция торговая", kPound / 16, "avoirdupois ounce, 1/16 lb; NIST SP 811"},
    {"Унция тройская", kTroyOunce, "troy ounce, 480 gr; NIST SP 811"},
    {"Фунт США", kPound, "avoirdupois pound; NIST SP 811"},
    {"Фунт русский", kRussianPound, kRussian},
    {"Фунт торговый", kPound, "avoirdupois pound; NIST SP 811"},
}};

// K = degrees × size + offset.
constexpr std::array<Unit, 5> kTemperature{{
    {"Градус Ранкина", Real{5} / 9, "5/9 K from absolute zero"},
    {"Градус Реамюра", Real{5} / 4, "5/4 K from 273.15 K", 273.15L},
    {"Градус Цельсия", 1.0L, "1 K from 273.15 K; SI brochure", 273.15L},
    {"Градус Фаренгейта", Real{5} / 9, "5/9 K from 459.67 °R; NIST SP 811", 459.67L * 5 / 9},
    {"Кельвин", 1.0L, kSi},
}};

constexpr std::array<Unit, 8> kForce{{
    {"Дина", 1e-5L, "CGS; NIST SP 811"},
    {"Килограмм-сила", kGravity, kNist},
    {"Килопонд", kGravity, "kilogram-force; NIST SP 811"},
    {"Паундаль", kPound * kFoot, "lb·ft/s²; NIST SP 811"},
    {"Понд", kGravity / 1000, "gram-force"},
    {"Стен", 1000.0L, "MTS sthene, 1 kN"},
    {"Тонна-сила", 1000 * kGravity, "metric ton-force"},
    {"Фунт-сила", kPoundForce, kNist},
}};

constexpr std::array<Unit, 17> kPressure{{
    {"Дюйм водяного столба", kInch * kWaterMetre, "conventional; NIST SP 811"},
    {"Дюйм ртутного столба", kInch * kMercuryMetre, "conventional; NIST SP 811"},
    {"Бар", 1e5L, kNist},
    {"Дина на квадратный сантиметр", 0.1L, "CGS; NIST SP 811"},
    {"Атмосфера техническая", kTechAtmosphere, "1 kgf/cm²; NIST SP 811"},
    {"Атмосфера физическая", kAtmosphere, "standard atmosphere; NIST SP 811"},
    {"Килограмм-сила на кв. метр", kGravity, kNist},
    {"Килограмм-сила на кв. сантиметр", kTechAtmosphere, kNist},
    {"Килопонд на кв. сантиметр", kTechAtmosphere, "kgf/cm²; NIST SP 811"},
    {"Паскаль", 1.0L, kSi},
    {"Миллиметр водяного столба", kGravity, "conventional, 1 mm × 1000 kg/m³ × g; NIST SP 811"},
    {"Миллиметр ртутного столба", kMercuryMetre / 1000, "conventional; NIST SP 811"},
    {"Пьеза", 1000.0L, "MTS pièze, 1 kPa"},
    {"Тонна-сила на кв. метр", 1000 * kGravity, "metric ton-force per m²"},
    {"Торр", kAtmosphere / 760, "101325/760 Pa; NIST SP 811"},
    {"Фунт-сила на кв. дюйм", kPoundForce / 6.4516e-4L, "lbf/in²; NIST SP 811"},
    {"Фут водяного столба", kFoot * kWaterMetre, "conventional; NIST SP 811"},
}};

constexpr std::array<Unit, 9> kEnergy{{
    {"Джоуль", 1.0L, kSi},
    {"Ватт-час", 3600.0L, kNist},
    {"Киловатт-час", 3.6e6L, kNist},
    {"Килограмм-сила-метр", kGravity, kNist},
    {"Килопонд-метр", kGravity, "kilogram-force metre; NIST SP 811"},
    {"Литр-атмосфера", kAtmosphere / 1000, "1 L × 101325 Pa"},
    {"Лошадиная сила-час", 3600 * kMetricHorsepower, "metric horsepower × 1 h"},
    {"Фунт-сила-фут", kPoundForce * kFoot, kNist},
    {"Эрг", 1e-7L, "CGS; NIST SP 811"},
}};

constexpr std::array<Unit, 6> kPower{{
    {"Ватт", 1.0L, kSi},
    {"Калория в секунду", 4.1868L, "international table calorie per second; NIST SP 811"},
    {"Килограмм-сила-метр в сек", kGravity, kNist},
    {"Лошадиная сила", kMetricHorsepower, "metric, 75 kgf·m/s; NIST SP 811"},
    {"Лошадиная сила (Великобритания)", 550 * kPoundForce * kFoot, "550 ft·lbf/s; NIST SP 811"},
    {"Эрг в секунду", 1e-7L, "CGS; NIST SP 811"},
}};

constexpr std::array<Category, 9> kCatalogue{{
    {"Длина", kLength},
    {"Площадь", kArea},
    {"Объём", kVolume},
    {"Масса", kMass},
    {"Температура", kTemperature},
    {"Сила", kForce},
    {"Давление", kPressure},
    {"Работа, энергия", kEnergy},
    {"Мощьность", kPower},
}};
// clang-format on

const Unit& unitAt(std::size_t category, std::size_t position)
{
    if (category >= kCatalogue.size() || position >= kCatalogue[category].units.size())
        throw std::out_of_range("no such unit in the catalogue");
    return kCatalogue[category].units[position];
}

// Through kelvin: K = degrees × size + offset. The terms carry 64 bits, so a result near zero
// keeps a residue of a few units in the 19th digit of the largest term (32 °F would give
// 3E-17 °C); rounding to 17 significant digits of that term drops the residue and no digit
// the answer can show.
Real throughKelvin(Real amount, const Unit& from, const Unit& to)
{
    const Real scaled = numtext::mul(amount, from.size);
    const Real degrees = numtext::div(scaled + from.offset - to.offset, to.size);
    const Real largest = std::max({std::fabs(scaled), from.offset, to.offset}) / to.size;
    const Real quantum = std::pow(Real{10}, std::floor(std::log10(largest)) - 16);
    return numtext::checked(std::nearbyint(degrees / quantum) * quantum);
}

} // namespace

std::span<const Category> catalogue() { return kCatalogue; }

std::string convertText(std::size_t category, std::size_t source, std::size_t target, std::string_view amount)
{
    const Unit& from = unitAt(category, source);
    const Unit& to = unitAt(category, target);
    const Real read = numtext::textToReal(amount);
    const double rounded = numtext::toDouble(read);
    if (from.offset == 0 && to.offset == 0)
        return numtext::realToText(numtext::mul(rounded, from.size / to.size));
    // A scale with an offset takes the amount as read: rounding 273,15 to a double first would
    // leave 273,15 K at -2,27E-14 °C. The double range still bounds the amount.
    return numtext::realToText(throughKelvin(read, from, to));
}

} // namespace convert

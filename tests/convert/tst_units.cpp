// The unit catalogue and the answers the converter shows, against published values of the units.

#include "units.h"

#include "numtext.h"

#include <QtTest>

#include <cmath>
#include <stdexcept>

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::size_t categoryNamed(const QString& name)
{
    const auto all = convert::catalogue();
    for (std::size_t c = 0; c < all.size(); ++c)
        if (qs(all[c].name) == name)
            return c;
    throw std::invalid_argument("no category " + name.toStdString());
}

std::size_t unitNamed(std::size_t category, const QString& name)
{
    const auto units = convert::catalogue()[category].units;
    for (std::size_t u = 0; u < units.size(); ++u)
        if (qs(units[u].name) == name)
            return u;
    throw std::invalid_argument("no unit " + name.toStdString());
}

// The answer box's text, or the error's message.
QString answer(const QString& category, const QString& amount, const QString& source, const QString& target)
{
    const std::size_t c = categoryNamed(category);
    try {
        return qs(convert::convertText(c, unitNamed(c, source), unitNamed(c, target), amount.toStdString()));
    } catch (const numtext::CalcError& e) {
        return QString::fromUtf8(e.what());
    }
}

void addColumns()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");
}

void row(const char* name, const char* category, const char* amount, const char* source, const char* target,
         const char* expected)
{
    QTest::newRow(name) << QString::fromUtf8(category) << QString::fromUtf8(amount)
                        << QString::fromUtf8(source) << QString::fromUtf8(target)
                        << QString::fromUtf8(expected);
}

} // namespace

class TestUnits : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { numtext::setDecimalSeparator(','); }

    void catalogueShape()
    {
        const auto all = convert::catalogue();
        const QStringList names{"Длина", "Площадь",  "Объём",           "Масса",    "Температура",
                                "Сила",  "Давление", "Работа, энергия", "Мощьность"};
        const std::size_t counts[] = {30, 11, 23, 25, 5, 8, 17, 9, 6};
        QCOMPARE(all.size(), std::size_t{9});
        for (std::size_t c = 0; c < all.size(); ++c) {
            QCOMPARE(qs(all[c].name), names[static_cast<qsizetype>(c)]);
            QCOMPARE(all[c].units.size(), counts[c]);
            for (const convert::Unit& unit : all[c].units) {
                QVERIFY2(std::isfinite(unit.size) && unit.size > 0, unit.name.data());
                QVERIFY2(!unit.source.empty(), unit.name.data());
                QVERIFY2(unit.offset == 0 || c == 4, unit.name.data()); // offsets belong to temperature
            }
        }
        const struct {
            std::size_t category, position;
            const char* name;
        } anchors[] = {{0, 0, "Четверть"},
                       {0, 6, "Астрономическая еденица"},
                       {0, 11, "Икс-еденица"},
                       {0, 29, "Ярд"},
                       {1, 1, "Десятина"},
                       {2, 1, "Четверть"},
                       {2, 8, "Баррель для сыпучих веществ (Великобритания)"},
                       {2, 11, "Бушель (Великобритнания)"},
                       {3, 5, "Атомная еденица массы"},
                       {3, 24, "Фунт торговый"},
                       {4, 4, "Кельвин"},
                       {6, 6, "Килограмм-сила на кв. метр"},
                       {7, 6, "Лошадиная сила-час"},
                       {8, 2, "Килограмм-сила-метр в сек"}};
        for (const auto& anchor : anchors)
            QCOMPARE(qs(all[anchor.category].units[anchor.position].name), QString::fromUtf8(anchor.name));
    }

    // The converter's own examples, on the true sizes of the old Russian units.
    void windowExamples_data()
    {
        addColumns();
        row("quarter in inches", "Длина", "1", "Четверть", "Дюйм", "7");
        row("inch in quarters", "Длина", "1", "Дюйм", "Четверть", "0,142857142857143");
        row("two inches in centimetres", "Длина", "2", "Дюйм", "Сантиметр", "5,08");
        row("quarter in versts", "Длина", "1", "Четверть", "Верста", "0,000166666666666667");
        row("quarter in fermis", "Длина", "1", "Четверть", "Ферми", "177800000000000");
        row("ten quarters: scientific", "Длина", "10", "Четверть", "Ферми", "1,778E15");
        row("answer beyond the double range", "Длина", "1E308", "Четверть", "Ферми", "1,778E322");
        row("negative amount", "Длина", "-3", "Дециметр", "Метр", "-0,3");
        row("zero", "Длина", "0", "Четверть", "Дюйм", "0");
        row("negative zero", "Длина", "-0", "Ярд", "Фут", "0");
        row("blanks around the amount", "Масса", " 2 ", "Пуд", "Фунт русский", "80");
        row("amount below the double range", "Длина", "1E-400", "Метр", "Миллиметр", "0");
        row("unit against itself", "Давление", "0,1", "Торр", "Торр", "0,1");
        row("amount beyond the double range", "Длина", "1E400", "Четверть", "Дюйм",
            "Floating point overflow");
        row("beyond the double range, temperature", "Температура", "-1E309", "Кельвин", "Градус Цельсия",
            "Floating point overflow");
        row("not a number", "Сила", "1.5", "Дина", "Понд", "'1.5' is not a valid floating point value");
        row("blank amount", "Мощьность", " ", "Ватт", "Эрг в секунду",
            "' ' is not a valid floating point value");
    }
    void windowExamples() { check(); }

    // Published values, one table per quantity.
    void wellKnown_data()
    {
        addColumns();
        row("verst", "Длина", "1", "Верста", "Километр", "1,0668");
        row("sazhen in feet", "Длина", "1", "Сажень", "Фут", "7");
        row("vershok in inches", "Длина", "1", "Вершок", "Дюйм", "1,75");
        row("sotka", "Длина", "1", "Сотка", "Сантиметр", "2,1336");
        row("line and point", "Длина", "1", "Линия", "Точка", "10");
        row("russian mile", "Длина", "1", "Миля русская", "Километр", "7,4676");
        row("statute mile", "Длина", "1", "Миля сухопутная", "Метр", "1609,344");
        row("nautical mile in cables", "Длина", "1", "Миля морская", "Кабельтов", "10");
        row("light year", "Длина", "1", "Световой год", "Километр", "9460730472580,8");
        row("parsec", "Длина", "1", "Парсек", "Километр", "30856775814913,7");
        row("astronomical unit", "Длина", "1", "Астрономическая еденица", "Километр", "149597870,7");
        row("copper x unit", "Длина", "1", "Икс-еденица", "Ангстрем", "0,00100207697");
        row("hectare in ares", "Площадь", "1", "Гектар", "Ар", "100");
        row("desyatina", "Площадь", "1", "Десятина", "Гектар", "1,0925397504");
        row("square yard", "Площадь", "1", "Квадратный ярд", "Квадратный фут", "9");
        row("square inch", "Площадь", "1", "Квадратный дюйм", "Квадратный сантиметр", "6,4516");
        row("barn", "Площадь", "1", "Барн", "Квадратный миллиметр", "1E-22");
        row("chetvert of grain", "Объём", "1", "Четверть", "Литр", "209,912");
        row("garnets", "Объём", "1", "Четверик", "Гарнец", "8");
        row("vedro", "Объём", "1", "Ведро (для сыпучих веществ)", "Литр", "12,29941");
        row("UK gallon", "Объём", "1", "Галлон (Великобритания)", "Литр", "4,54609");
        row("US gallon", "Объём", "1", "Галлон для жидкостей (США)", "Дюйм кубический", "231");
        row("US dry gallon", "Объём", "1", "Галлон для сыпучих веществ (США)", "Литр", "4,40488377086");
        row("oil barrel", "Объём", "1", "Баррель нефтяной (США)", "Литр", "158,987294928");
        row("US dry barrel", "Объём", "1", "Баррель сухой (США)", "Дюйм кубический", "7056");
        row("UK barrel", "Объём", "1", "Баррель для сыпучих веществ (Великобритания)", "Литр", "163,65924");
        row("US bushel", "Объём", "1", "Бушель (США)", "Пинта для сыпучих веществ (США)", "64");
        row("UK bushel", "Объём", "1", "Бушель (Великобритнания)", "Пинта (Великобритания)", "64");
        row("UK pint in ounces", "Объём", "1", "Пинта (Великобритания)", "Унция (Великобритания)", "20");
        row("US fluid ounce", "Объём", "1", "Унция (США)", "Литр", "0,0295735295625");
        row("cubic yard", "Объём", "1", "Ярд кубический", "Фут кубический", "27");
        row("lambda", "Объём", "1", "Литр", "Лямбда", "1000000");
        row("pood", "Масса", "1", "Пуд", "Килограмм", "16,3804964");
        row("berkovets", "Масса", "1", "Берковец", "Пуд", "10");
        row("zolotnik in doli", "Масса", "1", "Золотник", "Доля", "96");
        row("pound in loty", "Масса", "1", "Фунт русский", "Лот", "32");
        row("grains in a pound", "Масса", "1", "Фунт США", "Гран", "7000");
        row("troy ounce", "Масса", "1", "Унция тройская", "Грамм", "31,1034768");
        row("trade ounce", "Масса", "16", "Унция торговая", "Фунт торговый", "1");
        row("carat", "Масса", "5", "Карат", "Грамм", "1");
        row("slug", "Масса", "1", "Слаг", "Килограмм", "14,5939029372064");
        row("long hundredweight", "Масса", "20", "Центнер (Великобритания)", "Тонна (Великобритания)", "1");
        row("short ton", "Масса", "1", "Тонна короткая (Великобритания)", "Центнер короткий (Великобритания)",
            "20");
        row("metric ton", "Масса", "1", "Тонна", "Центнер кратная единица СИ", "10");
        row("dalton", "Масса", "1", "Атомная еденица массы", "Гамма", "1,6605390666E-18");
        row("technical mass unit", "Масса", "1", "Техническая единица массы", "Килограмм", "9,80665");
        row("pound-force", "Сила", "1", "Фунт-сила", "Дина", "444822,16152605");
        row("kilogram-force", "Сила", "1", "Килограмм-сила", "Дина", "980665");
        row("poundal", "Сила", "1", "Паундаль", "Дина", "13825,4954376");
        row("sthene", "Сила", "1", "Стен", "Понд", "101971,621297793");
        row("ton-force", "Сила", "1", "Тонна-сила", "Килопонд", "1000");
        row("standard atmosphere", "Давление", "1", "Атмосфера физическая", "Паскаль", "101325");
        row("atmosphere in torr", "Давление", "1", "Атмосфера физическая", "Торр", "760");
        row("torr", "Давление", "1", "Торр", "Паскаль", "133,322368421053");
        row("mm of mercury", "Давление", "1", "Миллиметр ртутного столба", "Паскаль", "133,322387415");
        row("inch of mercury", "Давление", "1", "Дюйм ртутного столба", "Паскаль", "3386,388640341");
        row("inch of water", "Давление", "1", "Дюйм водяного столба", "Паскаль", "249,08891");
        row("foot of water", "Давление", "1", "Фут водяного столба", "Дюйм водяного столба", "12");
        row("psi", "Давление", "1", "Фунт-сила на кв. дюйм", "Паскаль", "6894,75729316836");
        row("bar", "Давление", "1", "Бар", "Дина на квадратный сантиметр", "1000000");
        row("piezes in a bar", "Давление", "1", "Бар", "Пьеза", "100");
        row("ton-force per square metre", "Давление", "1", "Тонна-сила на кв. метр", "Паскаль", "9806,65");
        row("kilowatt-hour", "Работа, энергия", "1", "Киловатт-час", "Джоуль", "3600000");
        row("watt-hour", "Работа, энергия", "1", "Ватт-час", "Джоуль", "3600");
        row("litre-atmosphere", "Работа, энергия", "1", "Литр-атмосфера", "Джоуль", "101,325");
        row("horsepower-hour", "Работа, энергия", "1", "Лошадиная сила-час", "Джоуль", "2647795,5");
        row("foot-pound", "Работа, энергия", "1", "Фунт-сила-фут", "Джоуль", "1,3558179483314");
        row("erg", "Работа, энергия", "1", "Джоуль", "Эрг", "10000000");
        row("imperial horsepower", "Мощьность", "1", "Лошадиная сила (Великобритания)", "Ватт",
            "745,69987158227");
        row("metric horsepower", "Мощьность", "1", "Лошадиная сила", "Килограмм-сила-метр в сек", "75");
        row("calorie per second", "Мощьность", "1", "Калория в секунду", "Ватт", "4,1868");
        row("erg per second", "Мощьность", "1", "Ватт", "Эрг в секунду", "10000000");
    }
    void wellKnown() { check(); }

    void temperature_data()
    {
        addColumns();
        row("boiling water", "Температура", "100", "Градус Цельсия", "Градус Фаренгейта", "212");
        row("ice point in kelvin", "Температура", "0", "Градус Цельсия", "Кельвин", "273,15");
        row("reaumur boiling", "Температура", "80", "Градус Реамюра", "Градус Цельсия", "100");
        row("absolute zero in fahrenheit", "Температура", "0", "Кельвин", "Градус Фаренгейта", "-459,67");
        row("freezing fahrenheit", "Температура", "32", "Градус Фаренгейта", "Градус Цельсия", "0");
        row("ice point from kelvin", "Температура", "273,15", "Кельвин", "Градус Цельсия", "0");
        row("ice point from rankine", "Температура", "491,67", "Градус Ранкина", "Градус Цельсия", "0");
        row("scales cross", "Температура", "-40", "Градус Цельсия", "Градус Фаренгейта", "-40");
        row("body temperature", "Температура", "36,6", "Градус Цельсия", "Градус Фаренгейта", "97,88");
        row("zero fahrenheit", "Температура", "0", "Градус Фаренгейта", "Градус Цельсия",
            "-17,7777777777778");
        row("rankine to fahrenheit", "Температура", "671,67", "Градус Ранкина", "Градус Фаренгейта", "212");
        row("celsius to reaumur", "Температура", "100", "Градус Цельсия", "Градус Реамюра", "80");
        row("kelvin to rankine", "Температура", "100", "Кельвин", "Градус Ранкина", "180");
        row("below absolute zero", "Температура", "-300", "Градус Цельсия", "Кельвин", "-26,85");
        row("just above the ice point", "Температура", "273,1500000001", "Кельвин", "Градус Цельсия",
            "1E-10");
        row("amount below the double range", "Температура", "1E-400", "Кельвин", "Градус Цельсия", "-273,15");
    }
    void temperature() { check(); }

    void sameSize_data()
    {
        addColumns();
        const char* amount = "1,23456789012345";
        row("micron", "Длина", amount, "Микрон", "Микрометр", amount);
        row("foot", "Длина", amount, "Фут", "Фут русский", amount);
        row("kilopond", "Сила", amount, "Килограмм-сила", "Килопонд", amount);
        row("technical atmosphere", "Давление", amount, "Атмосфера техническая",
            "Килограмм-сила на кв. сантиметр", amount);
        row("kilopond per cm²", "Давление", amount, "Килопонд на кв. сантиметр", "Атмосфера техническая",
            amount);
        row("mm of water", "Давление", amount, "Килограмм-сила на кв. метр", "Миллиметр водяного столба",
            amount);
        row("kilopond-metre", "Работа, энергия", amount, "Килограмм-сила-метр", "Килопонд-метр", amount);
        row("apothecaries' ounce", "Масса", amount, "Унция аптекарская", "Унция тройская", amount);
        row("avoirdupois pound", "Масса", amount, "Фунт США", "Фунт торговый", amount);
    }

    // Units of one size convert 1:1, to the last digit, both ways.
    void sameSize()
    {
        check();
        QFETCH(QString, category);
        QFETCH(QString, amount);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QCOMPARE(answer(category, amount, target, source), amount);
    }

    // Every pair of every category converts, and back again to within one unit of the 15th digit.
    void roundTripOverWholeCatalogue()
    {
        const auto all = convert::catalogue();
        constexpr numtext::Real kAmount = 1000;
        constexpr numtext::Real kTolerance = kAmount * 1e-14L;
        int pairs = 0;
        for (std::size_t c = 0; c < all.size(); ++c) {
            for (std::size_t s = 0; s < all[c].units.size(); ++s) {
                for (std::size_t t = 0; t < all[c].units.size(); ++t) {
                    const std::string there = convert::convertText(c, s, t, "1000");
                    const std::string back = convert::convertText(c, t, s, there);
                    const numtext::Real error = std::fabs(numtext::textToReal(back) - kAmount);
                    QVERIFY2(error <= kTolerance,
                             qPrintable(QStringLiteral("%1 → %2 → %3: %4")
                                            .arg(qs(all[c].units[s].name), qs(all[c].units[t].name),
                                                 qs(all[c].units[s].name), QString::fromStdString(back))));
                    ++pairs;
                }
            }
        }
        QCOMPARE(pairs, 900 + 121 + 529 + 625 + 25 + 64 + 289 + 81 + 36);
    }

    void positionsOutsideTheCatalogue()
    {
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, convert::convertText(9, 0, 0, "1"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, convert::convertText(0, 30, 0, "1"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, convert::convertText(8, 0, 6, "1"));
    }

private:
    static void check()
    {
        QFETCH(QString, category);
        QFETCH(QString, amount);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, expected);
        QCOMPARE(answer(category, amount, source, target), expected);
    }
};

QTEST_APPLESS_MAIN(TestUnits)
#include "tst_units.moc"

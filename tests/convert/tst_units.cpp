// The unit catalogue and the answers the converter shows, against published values of the units.

#include "convert/units.h"

#include "numtext/numtext.h"

#include <QtTest>

#include <cmath>
#include <stdexcept>

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename T> std::size_t position(std::span<const T> all, const QString& name)
{
    for (std::size_t i = 0; i < all.size(); ++i)
        if (qs(all[i].name) == name)
            return i;
    throw std::invalid_argument("nothing named " + name.toStdString());
}

// The answer box's text, or the error's message.
QString answer(const QString& category, const QString& amount, const QString& source, const QString& target)
{
    const std::size_t c = position(convert::catalogue(), category);
    const auto units = convert::catalogue()[c].units;
    try {
        return qs(
            convert::convertText(c, position(units, source), position(units, target), amount.toStdString()));
    } catch (const numtext::CalcError& e) {
        return QString::fromUtf8(e.what());
    }
}

void addColumns()
{
    for (const char* column : {"category", "amount", "source", "target", "expected"})
        QTest::addColumn<QString>(column);
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
        } anchors[] = {
            // clang-format off
            {0, 0, "Четверть"}, {0, 6, "Астрономическая еденица"}, {0, 11, "Икс-еденица"}, {0, 29, "Ярд"},
            {1, 1, "Десятина"}, {2, 1, "Четверть"}, {2, 8, "Баррель для сыпучих веществ (Великобритания)"},
            {2, 11, "Бушель (Великобритнания)"}, {3, 5, "Атомная еденица массы"}, {3, 24, "Фунт торговый"},
            {4, 4, "Кельвин"}, {6, 6, "Килограмм-сила на кв. метр"}, {7, 6, "Лошадиная сила-час"},
            {8, 2, "Килограмм-сила-метр в сек"},
            // clang-format on
        };
        for (const auto& anchor : anchors)
            QCOMPARE(qs(all[anchor.category].units[anchor.position].name), QString::fromUtf8(anchor.name));
    }

    // The converter's own examples, on the true sizes of the old Russian units, and its errors.
    void windowExamples_data()
    {
        addColumns();
        // clang-format off
        row("quarter in inches", "Длина", "1", "Четверть", "Дюйм", "7");
        row("inch in quarters", "Длина", "1", "Дюйм", "Четверть", "0,142857142857143");
        row("two inches in centimetres", "Длина", "2", "Дюйм", "Сантиметр", "5,08");
        row("quarter in versts", "Длина", "1", "Четверть", "Верста", "0,000166666666666667");
        row("quarter in fermis", "Длина", "1", "Четверть", "Ферми", "177800000000000");
        row("ten quarters: scientific", "Длина", "10", "Четверть", "Ферми", "1,778E15");
        row("answer beyond the double range", "Длина", "1E308", "Четверть", "Ферми", "1,778E322");
        row("negative amount", "Длина", "-3", "Дециметр", "Метр", "-0,3");
        row("zero", "Длина", "0", "Четверть", "Дюйм", "0");
        row("amount beyond the double range", "Длина", "1E400", "Четверть", "Дюйм", "Floating point overflow");
        row("beyond the double range, temperature", "Температура", "-1E309", "Кельвин", "Градус Цельсия", "Floating point overflow");
        row("not a number", "Сила", "1.5", "Дина", "Понд", "'1.5' is not a valid floating point value");
        // clang-format on
    }
    void windowExamples() { check(); }

    // Published values, at least one for every defining size of the catalogue.
    void wellKnown_data()
    {
        addColumns();
        // clang-format off
        row("verst", "Длина", "1", "Верста", "Километр", "1,0668");
        row("statute mile", "Длина", "1", "Миля сухопутная", "Метр", "1609,344");
        row("hectare in ares", "Площадь", "1", "Гектар", "Ар", "100");
        row("light year", "Длина", "1", "Световой год", "Километр", "9460730472580,8");
        row("parsec", "Длина", "1", "Парсек", "Километр", "30856775814913,7");
        row("desyatina", "Площадь", "1", "Десятина", "Гектар", "1,0925397504");
        row("square yard", "Площадь", "1", "Квадратный ярд", "Квадратный фут", "9");
        row("chetvert of grain", "Объём", "1", "Четверть", "Литр", "209,912");
        row("US gallon", "Объём", "1", "Галлон для жидкостей (США)", "Дюйм кубический", "231");
        row("US dry gallon", "Объём", "1", "Галлон для сыпучих веществ (США)", "Литр", "4,40488377086");
        row("US dry barrel", "Объём", "1", "Баррель сухой (США)", "Дюйм кубический", "7056");
        row("UK barrel", "Объём", "1", "Баррель для сыпучих веществ (Великобритания)", "Литр", "163,65924");
        row("cubic yard", "Объём", "1", "Ярд кубический", "Фут кубический", "27");
        row("pood", "Масса", "1", "Пуд", "Килограмм", "16,3804964");
        row("troy ounce", "Масса", "1", "Унция тройская", "Грамм", "31,1034768");
        row("slug", "Масса", "1", "Слаг", "Килограмм", "14,5939029372064");
        row("pound-force", "Сила", "1", "Фунт-сила", "Дина", "444822,16152605");
        row("poundal", "Сила", "1", "Паундаль", "Дина", "13825,4954376");
        row("standard atmosphere", "Давление", "1", "Атмосфера физическая", "Паскаль", "101325");
        row("atmosphere in torr", "Давление", "1", "Атмосфера физическая", "Торр", "760");
        row("torr", "Давление", "1", "Торр", "Паскаль", "133,322368421053");
        row("mm of mercury", "Давление", "1", "Миллиметр ртутного столба", "Паскаль", "133,322387415");
        row("inch of water", "Давление", "1", "Дюйм водяного столба", "Паскаль", "249,08891");
        row("psi", "Давление", "1", "Фунт-сила на кв. дюйм", "Паскаль", "6894,75729316836");
        row("kilowatt-hour", "Работа, энергия", "1", "Киловатт-час", "Джоуль", "3600000");
        row("horsepower-hour", "Работа, энергия", "1", "Лошадиная сила-час", "Джоуль", "2647795,5");
        row("foot-pound", "Работа, энергия", "1", "Фунт-сила-фут", "Джоуль", "1,3558179483314");
        row("imperial horsepower", "Мощьность", "1", "Лошадиная сила (Великобритания)", "Ватт", "745,69987158227");
        // clang-format on
    }
    void wellKnown() { check(); }

    // Every unit defined through another, in its category's SI unit (dyne for force), as its
    // definition gives it worked out by hand: a wrong factor or a wrong defining unit shows here,
    // where a round trip cannot see it.
    void derivedSizes_data()
    {
        addColumns();
        // clang-format off
        row("Четверть", "Длина", "1", "Четверть", "Метр", "0,1778");
        row("Верста", "Длина", "1", "Верста", "Метр", "1066,8");
        row("Вершок", "Длина", "1", "Вершок", "Метр", "0,04445");
        row("Кабельтов", "Длина", "1", "Кабельтов", "Метр", "185,2");
        row("Линия", "Длина", "1", "Линия", "Метр", "0,00254");
        row("Парсек", "Длина", "1", "Парсек", "Метр", "3,08567758149137E16");
        row("Миля русская", "Длина", "1", "Миля русская", "Метр", "7467,6");
        row("Сажень", "Длина", "1", "Сажень", "Метр", "2,1336");
        row("Световой год", "Длина", "1", "Световой год", "Метр", "9,4607304725808E15");
        row("Сотка", "Длина", "1", "Сотка", "Метр", "0,021336");
        row("Точка", "Длина", "1", "Точка", "Метр", "0,000254");
        row("Десятина", "Площадь", "1", "Десятина", "Квадратный метр", "10925,397504");
        row("Четверть (объём)", "Объём", "1", "Четверть", "Кубический метр", "0,209912");
        row("Галлон для сыпучих веществ (США)", "Объём", "1", "Галлон для сыпучих веществ (США)", "Кубический метр", "0,00440488377086");
        row("Гарнец", "Объём", "1", "Гарнец", "Кубический метр", "0,003279875");
        row("Баррель для сыпучих веществ (Великобритания)", "Объём", "1", "Баррель для сыпучих веществ (Великобритания)", "Кубический метр", "0,16365924");
        row("Баррель нефтяной (США)", "Объём", "1", "Баррель нефтяной (США)", "Кубический метр", "0,158987294928");
        row("Бушель (Великобритнания)", "Объём", "1", "Бушель (Великобритнания)", "Кубический метр", "0,03636872");
        row("Пинта (Великобритания)", "Объём", "1", "Пинта (Великобритания)", "Кубический метр", "0,00056826125");
        row("Пинта для жидкостей (США)", "Объём", "1", "Пинта для жидкостей (США)", "Кубический метр", "0,000473176473");
        row("Пинта для сыпучих веществ (США)", "Объём", "1", "Пинта для сыпучих веществ (США)", "Кубический метр", "0,0005506104713575");
        row("Унция (Великобритания)", "Объём", "1", "Унция (Великобритания)", "Кубический метр", "2,84130625E-5");
        row("Унция (США)", "Объём", "1", "Унция (США)", "Кубический метр", "2,95735295625E-5");
        row("Берковец", "Масса", "1", "Берковец", "Килограмм", "163,804964");
        row("Доля", "Масса", "1", "Доля", "Килограмм", "4,44349403211806E-5");
        row("Гран", "Масса", "1", "Гран", "Килограмм", "6,479891E-5");
        row("Золотник", "Масса", "1", "Золотник", "Килограмм", "0,00426575427083333");
        row("Лот", "Масса", "1", "Лот", "Килограмм", "0,0127972628125");
        row("Центнер (Великобритания)", "Масса", "1", "Центнер (Великобритания)", "Килограмм", "50,80234544");
        row("Центнер короткий (Великобритания)", "Масса", "1", "Центнер короткий (Великобритания)", "Килограмм", "45,359237");
        row("Техническая единица массы", "Масса", "1", "Техническая единица массы", "Килограмм", "9,80665");
        row("Тонна (Великобритания)", "Масса", "1", "Тонна (Великобритания)", "Килограмм", "1016,0469088");
        row("Тонна короткая (Великобритания)", "Масса", "1", "Тонна короткая (Великобритания)", "Килограмм", "907,18474");
        row("Унция тройская", "Масса", "1", "Унция тройская", "Килограмм", "0,0311034768");
        row("Унция торговая", "Масса", "1", "Унция торговая", "Килограмм", "0,028349523125");
        row("Понд", "Сила", "1", "Понд", "Дина", "980,665");
        row("Тонна-сила", "Сила", "1", "Тонна-сила", "Дина", "980665000");
        row("Дюйм ртутного столба", "Давление", "1", "Дюйм ртутного столба", "Паскаль", "3386,388640341");
        row("Тонна-сила на кв. метр", "Давление", "1", "Тонна-сила на кв. метр", "Паскаль", "9806,65");
        row("Фут водяного столба", "Давление", "1", "Фут водяного столба", "Паскаль", "2989,06692");
        row("Миллиметр водяного столба", "Давление", "1", "Миллиметр водяного столба", "Паскаль", "9,80665");
        row("Литр-атмосфера", "Работа, энергия", "1", "Литр-атмосфера", "Джоуль", "101,325");
        row("Лошадиная сила", "Мощьность", "1", "Лошадиная сила", "Ватт", "735,49875");
        // clang-format on
    }
    void derivedSizes() { check(); }

    // Scales with an offset go through kelvin; kelvin and Rankine alone take the plain ratio.
    void temperature_data()
    {
        addColumns();
        // clang-format off
        row("boiling water", "Температура", "100", "Градус Цельсия", "Градус Фаренгейта", "212");
        row("ice point in kelvin", "Температура", "0", "Градус Цельсия", "Кельвин", "273,15");
        row("reaumur boiling", "Температура", "80", "Градус Реамюра", "Градус Цельсия", "100");
        row("absolute zero in fahrenheit", "Температура", "0", "Кельвин", "Градус Фаренгейта", "-459,67");
        row("freezing fahrenheit", "Температура", "32", "Градус Фаренгейта", "Градус Цельсия", "0");
        row("ice point from kelvin", "Температура", "273,15", "Кельвин", "Градус Цельсия", "0");
        row("kelvin to rankine", "Температура", "100", "Кельвин", "Градус Ранкина", "180");
        row("just above the ice point", "Температура", "273,1500000001", "Кельвин", "Градус Цельсия", "1E-10");
        // clang-format on
    }
    void temperature() { check(); }

    void sameSize_data()
    {
        addColumns();
        const char* amount = "1,23456789012345";
        // clang-format off
        row("micron", "Длина", amount, "Микрон", "Микрометр", amount);
        row("foot", "Длина", amount, "Фут", "Фут русский", amount);
        row("kilopond", "Сила", amount, "Килограмм-сила", "Килопонд", amount);
        row("technical atmosphere", "Давление", amount, "Атмосфера техническая", "Килограмм-сила на кв. сантиметр", amount);
        row("kilopond per cm²", "Давление", amount, "Килопонд на кв. сантиметр", "Атмосфера техническая", amount);
        row("mm of water", "Давление", amount, "Килограмм-сила на кв. метр", "Миллиметр водяного столба", amount);
        row("kilopond-metre", "Работа, энергия", amount, "Килограмм-сила-метр", "Килопонд-метр", amount);
        row("apothecaries' ounce", "Масса", amount, "Унция аптекарская", "Унция тройская", amount);
        row("avoirdupois pound", "Масса", amount, "Фунт США", "Фунт торговый", amount);
        // clang-format on
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
        int pairs = 0;
        for (std::size_t c = 0; c < all.size(); ++c) {
            const auto units = all[c].units;
            for (std::size_t s = 0; s < units.size(); ++s) {
                for (std::size_t t = 0; t < units.size(); ++t, ++pairs) {
                    const std::string back =
                        convert::convertText(c, t, s, convert::convertText(c, s, t, "1000"));
                    QVERIFY2(std::fabs(numtext::textToReal(back) - kAmount) <= kAmount * 1e-14L,
                             qPrintable(QStringLiteral("%1 → %2 → %1: %3")
                                            .arg(qs(units[s].name), qs(units[t].name),
                                                 QString::fromStdString(back))));
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

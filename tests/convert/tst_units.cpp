// The unit catalogue and the answers the converter shows, against published values of the units.

#include "convert/units.h"

#include "numtext/numtext.h"

#include <QtTest>

#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

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

    // The converter's own examples and its errors; temperature scales with an offset go through
    // kelvin, kelvin and Rankine alone take the plain ratio.
    void answers_data()
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
    void answers() { check(); }

    // One unit in its category's SI unit (dyne for force), as its definition or a published value
    // gives it worked out by hand: every unit defined through another, and every defining size a
    // published value pins. A wrong factor or a wrong defining unit shows here, where a round
    // trip cannot see it.
    void sizes_data()
    {
        addColumns();
        const struct {
            const char* category;
            const char* si;
            std::vector<std::pair<const char*, const char*>> sizes;
        } table[] = {
            // clang-format off
            {"Длина", "Метр", {{"Четверть", "0,1778"}, {"Верста", "1066,8"}, {"Вершок", "0,04445"},
                {"Кабельтов", "185,2"}, {"Линия", "0,00254"}, {"Парсек", "3,08567758149137E16"},
                {"Миля русская", "7467,6"}, {"Миля сухопутная", "1609,344"}, {"Сажень", "2,1336"},
                {"Световой год", "9,4607304725808E15"}, {"Сотка", "0,021336"}, {"Точка", "0,000254"}, {"Ярд", "0,9144"}}},
            {"Площадь", "Квадратный метр", {{"Гектар", "10000"}, {"Ар", "100"}, {"Десятина", "10925,397504"},
                {"Квадратный фут", "0,09290304"}, {"Квадратный ярд", "0,83612736"}}},
            {"Объём", "Кубический метр", {{"Четверть", "0,209912"}, {"Дюйм кубический", "1,6387064E-5"},
                {"Галлон для жидкостей (США)", "0,003785411784"},
                {"Галлон для сыпучих веществ (США)", "0,00440488377086"}, {"Гарнец", "0,003279875"},
                {"Баррель для сыпучих веществ (Великобритания)", "0,16365924"},
                {"Баррель нефтяной (США)", "0,158987294928"}, {"Баррель сухой (США)", "0,115627123584"},
                {"Бушель (Великобритнания)", "0,03636872"}, {"Литр", "0,001"},
                {"Пинта (Великобритания)", "0,00056826125"}, {"Пинта для жидкостей (США)", "0,000473176473"},
                {"Пинта для сыпучих веществ (США)", "0,0005506104713575"},
                {"Унция (Великобритания)", "2,84130625E-5"}, {"Унция (США)", "2,95735295625E-5"},
                {"Фут кубический", "0,028316846592"}, {"Ярд кубический", "0,764554857984"}}},
            {"Масса", "Килограмм", {{"Берковец", "163,804964"}, {"Доля", "4,44349403211806E-5"},
                {"Гран", "6,479891E-5"}, {"Грамм", "0,001"}, {"Золотник", "0,00426575427083333"},
                {"Лот", "0,0127972628125"}, {"Пуд", "16,3804964"}, {"Слаг", "14,5939029372064"},
                {"Центнер (Великобритания)", "50,80234544"}, {"Центнер короткий (Великобритания)", "45,359237"},
                {"Техническая единица массы", "9,80665"}, {"Тонна (Великобритания)", "1016,0469088"},
                {"Тонна короткая (Великобритания)", "907,18474"}, {"Унция тройская", "0,0311034768"},
                {"Унция торговая", "0,028349523125"}}},
            {"Сила", "Дина", {{"Паундаль", "13825,4954376"}, {"Понд", "980,665"}, {"Тонна-сила", "980665000"},
                {"Фунт-сила", "444822,16152605"}}},
            {"Давление", "Паскаль", {{"Дюйм водяного столба", "249,08891"},
                {"Дюйм ртутного столба", "3386,388640341"}, {"Атмосфера техническая", "98066,5"},
                {"Атмосфера физическая", "101325"},
                {"Миллиметр водяного столба", "9,80665"}, {"Миллиметр ртутного столба", "133,322387415"},
                {"Тонна-сила на кв. метр", "9806,65"}, {"Торр", "133,322368421053"},
                {"Фунт-сила на кв. дюйм", "6894,75729316836"}, {"Фут водяного столба", "2989,06692"}}},
            {"Работа, энергия", "Джоуль", {{"Киловатт-час", "3600000"}, {"Литр-атмосфера", "101,325"},
                {"Лошадиная сила-час", "2647795,5"}, {"Фунт-сила-фут", "1,3558179483314"}}},
            {"Мощьность", "Ватт", {{"Лошадиная сила", "735,49875"},
                {"Лошадиная сила (Великобритания)", "745,69987158227"}}},
            // clang-format on
        };
        for (const auto& category : table)
            for (const auto& [unit, size] : category.sizes) {
                QTest::addRow("%s: %s", category.category, unit)
                    << QString::fromUtf8(category.category) << QStringLiteral("1") << QString::fromUtf8(unit)
                    << QString::fromUtf8(category.si) << QString::fromUtf8(size);
            }
    }
    void sizes() { check(); }

    // Units of one size convert 1:1, to the last digit, both ways.
    void sameSize_data()
    {
        addColumns();
        const char* amount = "1,23456789012345";
        const char* pairs[][3] = {
            // clang-format off
            {"Длина", "Микрон", "Микрометр"}, {"Длина", "Фут", "Фут русский"}, {"Сила", "Килограмм-сила", "Килопонд"},
            {"Давление", "Атмосфера техническая", "Килограмм-сила на кв. сантиметр"},
            {"Давление", "Килопонд на кв. сантиметр", "Атмосфера техническая"},
            {"Давление", "Килограмм-сила на кв. метр", "Миллиметр водяного столба"},
            {"Работа, энергия", "Килограмм-сила-метр", "Килопонд-метр"},
            {"Масса", "Унция аптекарская", "Унция тройская"}, {"Масса", "Фунт США", "Фунт торговый"},
            // clang-format on
        };
        for (const auto& [category, source, target] : pairs)
            row(source, category, amount, source, target, amount);
    }
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

// The calculation tape: which keys complete a calculation and the line each one becomes, and
// the tape file's lines as they are read back.

#include "calc/tape.h"

#include <QtTest>

#include <stdexcept>

using calc::AngleUnit;
using calc::Variant;

namespace {

// The lines a fresh engine puts on the tape for a script of key captions (runs of digits are the
// digit keys; Градусы, Радианы, Грады, Arc, Hyp, None select the unit and the variant; type:TEXT
// sets the display). A key that fails leaves the display as it was and the script goes on.
QStringList tapeOf(const QString& script)
{
    QStringList lines;
    calc::Engine engine;
    engine.setTape([&](const calc::Calculation& c) { lines << QString::fromStdString(tape::line(c)); });
    std::string display = "0";
    AngleUnit unit = AngleUnit::Degrees;
    Variant variant = Variant::None;
    const QStringList units{QStringLiteral("Градусы"), QStringLiteral("Радианы"), QStringLiteral("Грады")};
    const QStringList variants{QStringLiteral("Arc"), QStringLiteral("Hyp"), QStringLiteral("None")};
    for (const QString& token : script.split(u' ', Qt::SkipEmptyParts)) {
        if (token.startsWith(QStringLiteral("type:"))) {
            display = token.mid(5).toStdString();
        } else if (units.contains(token)) {
            unit = static_cast<AngleUnit>(units.indexOf(token));
        } else if (variants.contains(token)) {
            variant = static_cast<Variant>(variants.indexOf(token));
        } else {
            const bool digits = token.front().isDigit();
            for (const QString& key :
                 digits ? token.split(QString(), Qt::SkipEmptyParts) : QStringList{token}) {
                const calc::KeyInfo* info = calc::findKey(key.toStdString());
                if (!info)
                    throw std::invalid_argument("unknown key " + key.toStdString());
                try {
                    display = engine.press(info->key, display, unit, variant);
                } catch (const numtext::CalcError&) {
                }
            }
        }
    }
    return lines;
}

} // namespace

class TestTape : public QObject {
    Q_OBJECT

private slots:
    void init() { numtext::setDecimalSeparator(','); }

    void lines_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const char* name, const char* script, QStringList lines) {
            QTest::newRow(name) << QString::fromUtf8(script) << lines;
        };
        row("sum", "2 + 3 =", {QStringLiteral("2 + 3 = 5")});
        // A repeated "=" applies the kept operation to the first operand and the shown result.
        row("repeated equals", "1 0 -- 3 = =", {QStringLiteral("10 − 3 = 7"), QStringLiteral("10 − 7 = 3")});
        row("an operator only replaces the pending one", "2 + 3 * 4 =", {QStringLiteral("3 × 4 = 12")});
        row("negative second operand", "2 / 4 +\\- =", {QStringLiteral("2 ÷ (-4) = -0,5")});
        row("power", "2 X^y 1 0 =", {QStringLiteral("2 ^ 10 = 1024")});
        row("integer operation", "7 Mod 2 =", {QStringLiteral("7 Mod 2 = 1")});
        row("failed division", "8 / 0 , 0 =", {QStringLiteral("Ошибка: Floating point division by zero")});
        row("failed integer read",
            "7 Div 1 , 5 =", {QStringLiteral("Ошибка: '1,5' is not a valid integer value")});
        row("nothing pending", "7 =", {});
        row("cleared", "2 + С 5 =", {});
        row("bare zero second operand", "5 + 0 =", {});
        row("square root", "2 Sqrt", {QStringLiteral("√2 = 1,4142135623731")});
        row("square of a negative", "3 +\\- Sqr", {QStringLiteral("(-3)² = 9")});
        row("factorial", "5 Fact", {QStringLiteral("5! = 120")});
        row("natural logarithm", "1 Ln", {QStringLiteral("ln(1) = 0")});
        row("logarithm of a negative shows the marker", "5 +\\- Log",
            {QStringLiteral("lg(-5) = Нельзя такой операнд")});
        row("truncation", "2 , 7 Trunc", {QStringLiteral("trunc(2,7) = 2")});
        row("rounding", "3 , 5 Rnd", {QStringLiteral("round(3,5) = 4")});
        row("not", "5 Not", {QStringLiteral("Not 5 = -6")});
        row("sine in degrees", "3 0 Sin", {QStringLiteral("sin(30°) = 0,5")});
        row("cosine in radians takes zero", "Радианы Cos", {QStringLiteral("cos(0) = 1")});
        row("tangent in grads", "Грады 5 0 tg", {QStringLiteral("tg(50ᵍ) = 1")});
        row("arcsine gives the angle", "Arc 1 Sin", {QStringLiteral("arcsin(1) = 90")});
        row("hyperbolic cosine", "Hyp Cos", {QStringLiteral("ch(0) = 1")});
        row("cotangent ignores the variant", "Arc 4 5 Cot", {QStringLiteral("ctg(45°) = 1")});
        row("failed function", "type:abc Sqrt",
            {QStringLiteral("Ошибка: 'abc' is not a valid floating point value")});
        row("keys that complete nothing", "Sqrt 5 MS M+ MR Pi , +\\-", {});
    }
    void lines()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, lines);
        QCOMPARE(tapeOf(script), lines);
    }

    void pointSeparator()
    {
        numtext::setDecimalSeparator('.');
        QCOMPARE(tapeOf(QStringLiteral("1 , 5 Sqr")), QStringList{QStringLiteral("1.5² = 2.25")});
    }

    void resultOf_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("result"); // empty: none
        QTest::newRow("sum") << QStringLiteral("2 + 3 = 5") << QStringLiteral("5");
        QTest::newRow("function") << QStringLiteral("sin(30°) = 0,5") << QStringLiteral("0,5");
        QTest::newRow("failure") << QStringLiteral("Ошибка: a = b") << QString();
        QTest::newRow("foreign line") << QStringLiteral("hello") << QString();
    }
    void resultOf()
    {
        QFETCH(QString, line);
        QFETCH(QString, result);
        QCOMPARE(QString::fromStdString(tape::resultOf(line.toStdString()).value_or("")), result);
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("last line unended, CR LF too")
            << QByteArray("a = 1\r\nb = 2") << QStringList{"a = 1", "b = 2"};
        QTest::newRow("stops at bad UTF-8") << QByteArray("a\n\xff\xfe\nb\n") << QStringList{"a"};
        QTest::newRow("stops at a control character") << QByteArray("a\nb\0c\nd\n", 8) << QStringList{"a"};
        QTest::newRow("stops at a cut character") << QByteArray("a\n\xd0") << QStringList{"a"};
        QTest::newRow("stops at an overlong line")
            << QByteArray("a\n") + QByteArray(int(tape::kMaxLineBytes) + 1, 'x') << QStringList{"a"};
        QTest::newRow("tab and Cyrillic pass") << QByteArray("√2\t= 1,4\n") << QStringList{"√2\t= 1,4"};
    }
    void readLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QStringList read;
        for (const std::string& line : tape::readLines(bytes.toStdString()))
            read << QString::fromStdString(line);
        QCOMPARE(read, lines);
    }

    // Both ways the newest kMaxLines are kept, and what is written reads back the same.
    void keepsTheNewestLines()
    {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i <= tape::kMaxLines; ++i)
            lines.push_back(std::to_string(i) + " = " + std::to_string(i));
        const std::vector<std::string> newest(lines.begin() + 1, lines.end());
        const std::string text = tape::fileText(lines);
        QVERIFY(tape::readLines(text) == newest);
        QVERIFY(tape::readLines(text + "0 = 0\n").back() == "0 = 0");
        QCOMPARE(tape::readLines(text + "0 = 0\n").size(), tape::kMaxLines);
    }
};

QTEST_APPLESS_MAIN(TestTape)
#include "tst_tape.moc"

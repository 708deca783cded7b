// Key sequences through the calculator engine, written as rows of key captions.

#include "calc/engine.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

using calc::AngleUnit;
using calc::Engine;
using calc::Variant;

namespace {

const QString kMarkerText = QString::fromUtf8(calc::kMarker.data(), qsizetype(calc::kMarker.size()));

struct Outcome {
    std::string display;
    std::string error; // message of the error that stopped the sequence, empty when none
};

// Drives a fresh engine like the window does: each token is one key press on the current display.
// Tokens are the key captions, plus:
//   a run of digits such as 12   - the digit keys in turn;
//   type:TEXT                    - the display set to TEXT as if pasted ('_' stands for a blank);
//   Градусы, Радианы, Грады      - the angle unit selected for the trigonometric keys;
//   Arc, Hyp, None               - the function variant selected.
// The sequence stops at the first error; the display keeps the text it had before that key.
class KeyScript {
public:
    Outcome run(QString script)
    {
        const QStringList tokens = script.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& token : tokens) {
            try {
                press(token.toStdString());
            } catch (const numtext::CalcError& e) {
                return {m_display, e.what()};
            }
        }
        return {m_display, {}};
    }

    const Engine& engine() const { return m_engine; }

private:
    void press(const std::string& key)
    {
        if (key.starts_with("type:")) {
            m_display = key.substr(5);
            for (char& c : m_display) {
                c = c == '_' ? ' ' : c;
            }
        } else if (key.find_first_not_of("0123456789") == std::string::npos) {
            for (char d : key) {
                m_display = m_engine.press(static_cast<calc::Key>(d - '0'), m_display);
            }
        } else if (key == "Градусы" || key == "Радианы" || key == "Грады") {
            m_unit = key == "Градусы"   ? AngleUnit::Degrees
                     : key == "Радианы" ? AngleUnit::Radians
                                        : AngleUnit::Grads;
        } else if (key == "Arc" || key == "Hyp" || key == "None") {
            m_variant = key == "Arc" ? Variant::Arc : key == "Hyp" ? Variant::Hyp : Variant::None;
        } else {
            const calc::KeyInfo* found = calc::findKey(key);
            if (!found) {
                throw std::invalid_argument("unknown key " + key);
            }
            m_display = m_engine.press(found->key, m_display, m_unit, m_variant);
        }
    }

    Engine m_engine;
    std::string m_display = "0";
    AngleUnit m_unit = AngleUnit::Degrees;
    Variant m_variant = Variant::None;
};

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString notReal(const QString& text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

QString notInt(const QString& text) { return QStringLiteral("'%1' is not a valid integer value").arg(text); }

const QString kInvalid = QString::fromLatin1(numtext::kInvalidOp);
const QString kDivZero = QString::fromLatin1(numtext::kDivByZero);
const QString kOverflow = QString::fromLatin1(numtext::kOverflow);
const QString kIntDivZero = QString::fromLatin1(numtext::kIntDivByZero);
const QString kIntOverflow = QString::fromLatin1(numtext::kIntOverflow);

void addRow(const char* name, const QString& script, const QString& display, const QString& error = {})
{
    QTest::newRow(name) << script << display << error;
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT

private slots:
    void init() { numtext::setDecimalSeparator(','); }

    void entryAndArithmetic_data();
    void entryAndArithmetic() { checkRow(); }
    void scientific_data();
    void scientific() { checkRow(); }
    void trigonometry_data();
    void trigonometry() { checkRow(); }
    void integerAndMemory_data();
    void integerAndMemory() { checkRow(); }
    void pointSeparator_data();
    void pointSeparator();

    void realState_data();
    void realState();
    void integerAndMemoryState_data();
    void integerAndMemoryState();
    void keyboardFilter_data();
    void keyboardFilter();
    void factorialReturnsAtOnce();

private:
    static void columns()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("error");
    }
    static void checkRow()
    {
        QFETCH(QString, script);
        QFETCH(QString, display);
        QFETCH(QString, error);
        KeyScript keys;
        const Outcome out = keys.run(script);
        QCOMPARE(qs(out.error), error);
        QCOMPARE(qs(out.display), display);
    }
};

void TestEngine::entryAndArithmetic_data()
{
    columns();
    addRow("equals at start does nothing", "=", "0");
    addRow("equals with nothing pending shows the last result", "7 =", "0");
    addRow("add", "2 + 3 =", "5");
    addRow("repeated equals adds again", "2 + 3 = = =", "9");
    addRow("repeated equals subtracts the shown result", "1 0 -- 3 = = =", "7");
    addRow("operator discards the pending one", "2 + 3 * 4 =", "12");
    addRow("bare zero second operand is ignored", "5 + 0 =", "0");
    addRow("zero typed with a comma is an operand", "5 + 0 , 0 =", "5");
    addRow("division by zero keeps the display", "8 / 0 , 0 =", "0,0", kDivZero);
    addRow("zero by zero", "0 , 0 / 0 , 0 =", "0,0", kInvalid);
    addRow("division", "1 / 3 =", "0,333333333333333");
    addRow("double sum is formatted to 15 digits", "0 , 1 + 0 , 2 =", "0,3");
    addRow("product beyond the double range", "type:1E200 * type:1E200 =", "1E200", kOverflow);
    addRow("product below the double range becomes 0", "type:1E-200 * type:1E-200 =", "0");
    addRow("operator on an empty display keeps the first", "2 + -- 3 =", "5");
    addRow("operator on a pasted word", "type:abc +", "abc", notReal(QStringLiteral("abc")));
    addRow("operator on two commas", "type:1,5,2 *", "1,5,2", notReal(QStringLiteral("1,5,2")));
    addRow("leading zero replaced by a digit", "0 7", "7");
    addRow("zero on zero stays one zero", "0 0", "0");
    addRow("zero on an empty display", "2 + 0", "0");
    addRow("digit appends to a result", "2 + 3 = 1", "51");
    addRow("digit appends to the marker", "5 +\\- Log 1", kMarkerText + QStringLiteral("1"));
    addRow("comma on zero", "0 ,", "0,");
    addRow("second comma refused", "1 , 5 ,", "1,5");
    addRow("comma on an empty display refused", "2 + ,", "");
    addRow("fraction started with zero after operator", "2 + 0 , 5 =", "2,5");
    addRow("sign makes negative", "5 +\\-", "-5");
    addRow("sign twice keeps negative", "5 +\\- +\\-", "-5");
    addRow("sign on zero does nothing", "+\\-", "0");
    addRow("sign on empty display does nothing", "5 + +\\-", "");
    addRow("sign on a text with an inner minus", "type:1E-5 +\\-", "1E-5");
    addRow("pi", "Pi", "3,14159265358979");
    addRow("pi replaces the marker", "5 +\\- Log Pi", "3,14159265358979");
    addRow("digits append to pi", "Pi 1", "3,141592653589791");
    addRow("pi read back from its 15 digits", "2 * Pi =", "6,28318530717958");
    addRow("clear drops the pending operation", "2 + С 5 =", "0");
    addRow("clear resets the result", "2 + 3 = С 7 =", "0");
    addRow("huge display read into a double", "type:1E500 +", "1E500", kOverflow);
    addRow("negative zero shows as zero", "0 , 0 +\\- * 5 =", "0");
}

void TestEngine::scientific_data()
{
    columns();
    addRow("sqrt of 2", "2 Sqrt", "1,4142135623731");
    addRow("sqrt of negative", "4 +\\- Sqrt", "-4", kInvalid);
    addRow("sqrt replaces the first operand", "9 + 4 Sqrt =", "6");
    addRow("sqrt ignores zero", "Sqrt", "0");
    addRow("sqrt empties the marker", "5 +\\- Log Sqrt", "");
    addRow("sqr", "1 2 Sqr", "144");
    addRow("sqr chain reaches 1E256", "1 0 Sqr Sqr Sqr Sqr Sqr Sqr Sqr Sqr", "1E256");
    addRow("sqr shows beyond the double range", "1 0 Sqr Sqr Sqr Sqr Sqr Sqr Sqr Sqr Sqr", "1E512");
    addRow("sqr cannot read beyond the double range", "1 0 Sqr Sqr Sqr Sqr Sqr Sqr Sqr Sqr Sqr Sqr", "1E512",
           kOverflow);
    addRow("sqr empties the marker", "5 +\\- Log Sqr", "");
    addRow("ln of 1", "1 Ln", "0");
    addRow("ln of 2", "2 Ln", "0,693147180559945");
    addRow("ln of negative", "2 +\\- Ln", "-2", kInvalid);
    addRow("ln of zero", "0 , 0 Ln", "0,0", kDivZero);
    addRow("ln of negative zero", "0 , 0 +\\- Ln", "-0,0", kDivZero);
    addRow("ln empties the marker", "5 +\\- Log Ln", "");
    addRow("ln ignores zero", "Ln", "0");
    addRow("log of 100", "1 0 0 Log", "2");
    addRow("log of a fraction", "0 , 0 0 1 Log", "-3");
    addRow("log of negative shows the marker", "5 +\\- Log", kMarkerText);
    addRow("log of zero", "0 , 0 Log", "0,0", kDivZero);
    addRow("log of negative zero", "0 , 0 +\\- Log", "-0,0", kDivZero);
    addRow("log reads the marker", "5 +\\- Log Log", kMarkerText, notReal(kMarkerText));
    addRow("trunc of negative", "2 , 7 +\\- Trunc", "-2");
    addRow("trunc of a 64-bit value", "type:9,2E18 Trunc", "9200000000000000000");
    addRow("trunc beyond 64 bits", "type:1E19 Trunc", "1E19", kInvalid);
    addRow("trunc reads the marker", "5 +\\- Log Trunc", kMarkerText, notReal(kMarkerText));
    addRow("rnd half down to even", "2 , 5 Rnd", "2");
    addRow("rnd half up to even", "3 , 5 Rnd", "4");
    addRow("rnd negative half", "2 , 5 +\\- Rnd", "-2");
    addRow("rnd above half", "2 , 6 Rnd", "3");
    addRow("rnd beyond 64 bits", "type:-1E19 Rnd", "-1E19", kInvalid);
    addRow("rnd empties the marker", "5 +\\- Log Rnd", "");
    addRow("fact of 5", "5 Fact", "120");
    addRow("fact of 12", "1 2 Fact", "479001600");
    addRow("fact of negative", "3 +\\- Fact", "1");
    addRow("fact with a comma", "5 , 0 Fact", kMarkerText);
    addRow("fact ignores zero", "0 Fact", "0");
    addRow("fact of typed zeros", "type:00 Fact", "1");
    addRow("fact of a word", "type:abc Fact", "abc", notInt(QStringLiteral("abc")));
    addRow("fact empties the marker", "5 +\\- Log Fact", "");
    addRow("fact of 13", "1 3 Fact", "6227020800");
    addRow("fact of 20", "2 0 Fact", "2,43290200817664E18");
    addRow("fact of 21", "2 1 Fact", "5,10909421717094E19");
    addRow("fact of 100", "1 0 0 Fact", "9,33262154439442E157");
    addRow("fact of 171", "1 7 1 Fact", "1,24101807021767E309");
    addRow("fact of 1000", "1 0 0 0 Fact", "4,02387260077094E2567");
    addRow("fact of 1754", "1 7 5 4 Fact", "1,97926189010501E4930");
    addRow("fact of 1755", "1 7 5 5 Fact", "1755", kOverflow);
    addRow("fact of the largest integer", "2147483647 Fact", "2147483647", kOverflow);
    addRow("power of ten", "2 X^y 1 0 =", "1024");
    addRow("power with negative exponent", "2 X^y 1 +\\- =", "0,5");
    addRow("power with fractional exponent", "2 X^y 0 , 5 =", "1,4142135623731");
    addRow("negative base, fractional exponent", "8 +\\- X^y 0 , 5 =", "0,5", kInvalid);
    addRow("negative base, odd exponent", "2 +\\- X^y 3 =", "-8");
    addRow("negative base, even exponent", "2 +\\- X^y 2 =", "4");
    addRow("negative base, exponent beyond 32 bits", "1 +\\- X^y 4294967296 =", "4294967296", kInvalid);
    addRow("exponent zero", "5 X^y 0 , 0 =", "1");
    addRow("zero to the zero", "0 , 0 X^y 0 , 0 =", "1");
    addRow("zero base, positive exponent", "0 , 0 X^y 5 =", "0");
    addRow("zero base, negative exponent", "0 , 0 X^y 2 +\\- =", "-2", kDivZero);
    addRow("zero base, negative fraction", "0 , 0 X^y 0 , 5 +\\- =", "-0,5", kDivZero);
    addRow("power keeps 15 digits", "1 , 0 0 0 0 0 0 1 X^y 2147483647 =", "1,83664481969073E93");
    addRow("power underflows to zero", "2 X^y 20000 +\\- =", "0");
    addRow("power beyond the double range", "2 X^y 1024 =", "1024", kOverflow);
    addRow("power at the top of the double range", "1 0 X^y 3 0 8 =", "1E308");
    addRow("power repeated equals", "2 X^y 2 = =", "16");
    addRow("power empties the marker", "5 +\\- Log X^y", "");
    addRow("power ignores zero", "X^y =", "0");
}

void TestEngine::trigonometry_data()
{
    columns();
    addRow("degrees sin 30", "Градусы None 3 0 Sin", "0,5");
    addRow("grads sin 100", "Грады None 1 0 0 Sin", "1");
    addRow("radians sin 1", "Радианы None 1 Sin", "0,841470984807897");
    addRow("degrees sin 180 is not quite 0", "Градусы None 1 8 0 Sin", "1,22464679914735E-16");
    addRow("degrees cos 60", "Градусы None 6 0 Cos", "0,5");
    addRow("degrees tg 45", "Градусы None 4 5 tg", "1");
    addRow("grads tg 50", "Грады None 5 0 tg", "1");
    addRow("sin of zero", "None 0 Sin", "0");
    addRow("cos of zero", "None 0 Cos", "1");
    addRow("sin beyond 2^63", "Радианы None type:1E19 Sin", "0");
    addRow("cos beyond 2^63", "Радианы None type:1E19 Cos", "0");
    addRow("sec beyond 2^63", "Радианы None type:1E19 Sec", "1E19", kDivZero);
    addRow("degrees cot 45", "Градусы 4 5 Cot", "1");
    addRow("cot of zero", "Радианы 0 Cot", "0", kDivZero);
    addRow("degrees sec 60", "Градусы 6 0 Sec", "2");
    addRow("degrees sec 90 is huge", "Градусы 9 0 Sec", "1,63312393531954E16");
    addRow("cot ignores the variant", "Градусы Arc 4 5 Cot", "1");
    addRow("sec ignores the variant", "Грады Hyp 2 0 0 Sec", "-1");
    addRow("radians arc cos 0", "Радианы Arc 0 Cos", "1,5707963267949");
    addRow("radians arc sin 0,5", "Радианы Arc 0 , 5 Sin", "0,523598775598299");
    addRow("degrees arc sin 1", "Градусы Arc 1 Sin", "90");
    addRow("degrees arc sin 0,5", "Градусы Arc 0 , 5 Sin", "30");
    addRow("grads arc sin 1", "Грады Arc 1 Sin", "100");
    addRow("degrees arc cos -1", "Градусы Arc 1 +\\- Cos", "180");
    addRow("degrees arc cos 0", "Градусы Arc 0 Cos", "90");
    addRow("degrees arc tg 1", "Градусы Arc 1 tg", "45");
    addRow("grads arc tg -1", "Грады Arc 1 +\\- tg", "-50");
    addRow("degrees arc sin beyond 1", "Градусы Arc 2 Sin", "2", kInvalid);
    addRow("radians arc sin beyond 1", "Радианы Arc type:1,000000000000001 Sin", "1,000000000000001",
           kInvalid);
    addRow("grads arc cos beyond -1", "Грады Arc 1 , 5 +\\- Cos", "-1,5", kInvalid);
    addRow("degrees arc sin near 1 keeps its digits", "Градусы Arc 0 , 9 9 9 9 9 9 9 9 Sin",
           "89,9918971531275");
    addRow("hyp sin of 1 takes no angle", "Градусы Hyp 1 Sin", "1,1752011936438");
    addRow("hyp cos of 1", "Грады Hyp 1 Cos", "1,54308063481524");
    addRow("hyp tg of 1", "Радианы Hyp 1 tg", "0,761594155955765");
    addRow("hyp sin of zero", "Hyp 0 Sin", "0");
    addRow("hyp cos of zero", "Hyp 0 Cos", "1");
    addRow("hyp sin of a tiny value", "Hyp type:1E-10 Sin", "1E-10");
    addRow("hyp sin below 1E-16", "Hyp type:1E-17 Sin", "1E-17");
    addRow("hyp tg of a tiny value", "Hyp type:-1E-17 tg", "-1E-17");
    addRow("hyp sin overflow, radians", "Радианы Hyp 20000 Sin", "20000", kOverflow);
    addRow("hyp sin overflow, degrees", "Градусы Hyp 20000 Sin", "20000", kOverflow);
    addRow("hyp cos overflow", "Грады Hyp 20000 +\\- Cos", "-20000", kOverflow);
    addRow("hyp tg of a large value", "Hyp 20000 tg", "1");
    addRow("hyp sin beyond the double range is shown", "Hyp 1 1 0 0 Sin", "2,64789096609302E477");
    addRow("sin reads the marker", "5 +\\- Log Sin", kMarkerText, notReal(kMarkerText));
    addRow("cos empties the marker", "5 +\\- Log Cos", "");
    addRow("tg empties the marker", "5 +\\- Log tg", "");
    addRow("cot empties the marker", "5 +\\- Log Cot", "");
    addRow("sec empties the marker", "5 +\\- Log Sec", "");
    addRow("sin ignores an empty display", "2 + Sin", "");
    addRow("cos replaces the first operand", "Радианы 2 + 0 Cos =", "1");
}

void TestEngine::integerAndMemory_data()
{
    columns();
    addRow("mod", "7 Mod 3 =", "1");
    addRow("mod repeated", "7 Mod 3 = =", "0");
    addRow("mod of negative", "7 +\\- Mod 3 =", "-1");
    addRow("mod by negative", "7 Mod 3 +\\- =", "1");
    addRow("div", "7 Div 2 =", "3");
    addRow("div repeated", "7 Div 2 = =", "2");
    addRow("div of negative", "7 +\\- Div 2 =", "-3");
    addRow("and", "1 2 And 1 0 =", "8");
    addRow("or", "1 2 Or 1 0 =", "14");
    addRow("xor", "1 2 Xor 1 0 =", "6");
    addRow("or of 5 and 3", "5 Or 3 =", "7");
    addRow("and with minus one", "1 +\\- And 2 5 5 =", "255");
    addRow("integer key keeps a fraction", "5 , 5 Mod", "5,5");
    addRow("equals reads the kept fraction", "5 , 5 Mod =", "5,5", notInt(QStringLiteral("5,5")));
    addRow("integer key ignores zero", "Mod", "0");
    addRow("integer key on a word", "type:abc Xor", "abc", notInt(QStringLiteral("abc")));
    addRow("divisor with a comma", "8 Div 0 , 0 =", "0,0", notInt(QStringLiteral("0,0")));
    addRow("divisor typed as 00", "8 Div type:00 =", "00", kIntDivZero);
    addRow("remainder by 00", "8 Mod type:00 =", "00", kIntDivZero);
    addRow("div overflow", "type:-2147483648 Div 1 +\\- =", "-1", kIntOverflow);
    addRow("mod overflow", "type:-2147483648 Mod 1 +\\- =", "-1", kIntOverflow);
    addRow("hexadecimal operand", "type:$FF And type:0x0F =", "15");
    addRow("not of 5", "5 Not", "-6");
    addRow("not of minus one", "1 +\\- Not", "0");
    addRow("not ignores zero", "Not", "0");
    addRow("not of a fraction", "5 , 5 Not", "5,5", notInt(QStringLiteral("5,5")));
    addRow("not of the least integer", "type:-2147483648 Not", "2147483647");
    addRow("not between integer key and equals", "5 Or 2 Not =", "-1");
    addRow("recall before store", "MR", "");
    addRow("add to empty memory", "5 M+", "5", notReal(QString()));
    addRow("store, add and recall", "5 MS С 3 M+ MR", "8");
    addRow("memory add leaves the display", "5 MS С 3 M+", "3");
    addRow("memory subtract is memory minus display", "5 MS С 3 M+ С 1 0 M- MR", "-2");
    addRow("store ignores zero", "5 MS С MS MR", "5");
    addRow("store keeps the marker", "5 +\\- Log MS С MR", kMarkerText);
    addRow("add to the marker in memory", "5 +\\- Log MS С 1 M+", "1", notReal(kMarkerText));
    addRow("marker on display is read first", "1 MS 5 +\\- Log M+", kMarkerText, notReal(kMarkerText));
    addRow("clear then add", "5 MS MC M+", "5", notReal(QString()));
    addRow("memory sum beyond the double range", "type:1E308 MS M+", "1E308", kOverflow);
    addRow("memory sum is a double", "type:0,1 MS type:0,2 M+ MR", "0,3");
    addRow("clear keeps the memory", "7 MS С MR", "7");
}

void TestEngine::pointSeparator_data()
{
    columns();
    addRow("comma key appends a point", "1 , 5", "1.5");
    addRow("second separator refused", "1 , 5 ,", "1.5");
    addRow("fraction arithmetic", "2 , 5 + 1 , 2 5 =", "3.75");
    addRow("division by zero", "8 / 0 , 0 =", "0.0", kDivZero);
    addRow("pi", "Pi", "3.14159265358979");
    addRow("sqrt", "2 Sqrt", "1.4142135623731");
    addRow("comma text is not a number", "type:1,5 +", "1,5", notReal(QStringLiteral("1,5")));
    addRow("fact with a point", "5 , 0 Fact", kMarkerText);
    addRow("fact with a comma is read as an integer", "type:5,0 Fact", "5,0", notInt(QStringLiteral("5,0")));
    addRow("integer key keeps a fraction", "5 , 5 Mod", "5.5");
    addRow("equals reads the kept fraction", "5 , 5 Mod =", "5.5", notInt(QStringLiteral("5.5")));
    addRow("degrees sin 30", "Градусы 3 0 Sin", "0.5");
    addRow("degrees arc sin 0.5", "Градусы Arc 0 , 5 Sin", "30");
    addRow("memory", "1 , 5 MS С 2 M+ MR", "3.5");
}

void TestEngine::pointSeparator()
{
    numtext::setDecimalSeparator('.');
    checkRow();
}

void TestEngine::realState_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<char>("pendingOp");
    QTest::addColumn<double>("firstNum");
    QTest::addColumn<double>("secondNum");
    QTest::addColumn<double>("resultNum");

    QTest::newRow("start") << "" << calc::kNoOp << 0.0 << 0.0 << 0.0;
    QTest::newRow("operator") << "2 +" << calc::kAdd << 2.0 << 0.0 << 0.0;
    QTest::newRow("equals") << "2 + 3 =" << calc::kAdd << 2.0 << 3.0 << 5.0;
    QTest::newRow("repeated equals") << "2 + 3 = =" << calc::kAdd << 2.0 << 5.0 << 7.0;
    QTest::newRow("clear") << "2 + 3 = С" << calc::kCleared << 0.0 << 0.0 << 0.0;
    QTest::newRow("operator fails after pending") << "2 + type:x *" << calc::kMul << 2.0 << 0.0 << 0.0;
    QTest::newRow("power reads before pending") << "2 * type:x X^y" << calc::kMul << 2.0 << 0.0 << 0.0;
    QTest::newRow("power pending") << "3 X^y" << calc::kPow << 3.0 << 0.0 << 0.0;
    QTest::newRow("failed division keeps the result")
        << "6 / 2 = / 0 , 0 =" << calc::kDiv << 3.0 << 0.0 << 3.0;
    QTest::newRow("failed sqrt stores its input") << "4 +\\- Sqrt" << calc::kNoOp << -4.0 << 0.0 << 0.0;
    QTest::newRow("failed ln stores its input") << "0 , 0 Ln" << calc::kNoOp << 0.0 << 0.0 << 0.0;
    QTest::newRow("log of negative stores its input") << "5 +\\- Log" << calc::kNoOp << -5.0 << 0.0 << 0.0;
    QTest::newRow("failed trunc stores its input") << "type:1E19 Trunc" << calc::kNoOp << 1e19 << 0.0 << 0.0;
    QTest::newRow("degrees converted")
        << "Градусы 1 8 0 Sin" << calc::kNoOp << 3.141592653589793 << 0.0 << 0.0;
    QTest::newRow("grads converted") << "Грады 2 0 0 Cos" << calc::kNoOp << 3.141592653589793 << 0.0 << 0.0;
    QTest::newRow("radians unchanged") << "Радианы 3 tg" << calc::kNoOp << 3.0 << 0.0 << 0.0;
    QTest::newRow("cot converts whatever the variant")
        << "Градусы Hyp 1 8 0 Cot" << calc::kNoOp << 3.141592653589793 << 0.0 << 0.0;
    QTest::newRow("arc keeps the plain input") << "Градусы Arc 0 , 5 Sin" << calc::kNoOp << 0.5 << 0.0 << 0.0;
    QTest::newRow("failed arc keeps the plain input")
        << "Градусы Arc 2 Cos" << calc::kNoOp << 2.0 << 0.0 << 0.0;
    QTest::newRow("hyp keeps the plain input")
        << "Градусы Hyp 20000 Sin" << calc::kNoOp << 20000.0 << 0.0 << 0.0;
    QTest::newRow("function in a pending operation") << "9 + 4 Sqrt =" << calc::kAdd << 4.0 << 2.0 << 6.0;
    QTest::newRow("power underflow stores zero")
        << "2 X^y 20000 +\\- =" << calc::kPow << 2.0 << -20000.0 << 0.0;
}

void TestEngine::realState()
{
    QFETCH(QString, script);
    QFETCH(char, pendingOp);
    QFETCH(double, firstNum);
    QFETCH(double, secondNum);
    QFETCH(double, resultNum);
    KeyScript keys;
    keys.run(script);
    const Engine& e = keys.engine();
    QCOMPARE(e.pendingOp(), pendingOp);
    QCOMPARE(e.firstNum(), firstNum);
    QCOMPARE(e.secondNum(), secondNum);
    QCOMPARE(e.resultNum(), resultNum);
}

void TestEngine::integerAndMemoryState_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<char>("pendingOp");
    QTest::addColumn<int>("firstInt");
    QTest::addColumn<int>("secondInt");
    QTest::addColumn<int>("resultInt");
    QTest::addColumn<QString>("memoryText");
    QTest::addColumn<bool>("indicator");

    QTest::newRow("integer key") << "7 Mod" << calc::kIntMod << 7 << 0 << 0 << "" << false;
    QTest::newRow("integer equals") << "7 Mod 3 = =" << calc::kIntMod << 7 << 1 << 0 << "" << false;
    QTest::newRow("comma stops after pending")
        << "4 Xor 5 , 5 And" << calc::kIntAnd << 4 << 0 << 0 << "" << false;
    QTest::newRow("word stops after pending") << "type:abc Or" << calc::kIntOr << 0 << 0 << 0 << "" << false;
    QTest::newRow("failed division keeps the result")
        << "7 Div 2 = Div type:00 =" << calc::kIntDiv << 3 << 0 << 3 << "" << false;
    QTest::newRow("not leaves pending alone") << "6 And 3 Not" << calc::kIntAnd << 3 << 0 << 0 << "" << false;
    QTest::newRow("fact stores before failing")
        << "2000 Fact" << calc::kNoOp << 2000 << 0 << 0 << "" << false;
    QTest::newRow("fact with a comma stores nothing")
        << "5 Fact 2 , 5 Fact" << calc::kNoOp << 5 << 0 << 0 << "" << false;
    QTest::newRow("clear keeps integers and memory")
        << "7 MS Mod 3 = С" << calc::kCleared << 7 << 3 << 1 << "7" << true;
    QTest::newRow("store") << "7 MS" << calc::kNoOp << 0 << 0 << 0 << "7" << true;
    QTest::newRow("store keeps the text") << "type:007 MS" << calc::kNoOp << 0 << 0 << 0 << "007" << true;
    QTest::newRow("add writes the sum as text") << "7 MS M+" << calc::kNoOp << 0 << 0 << 0 << "14" << true;
    QTest::newRow("failed add keeps the memory")
        << "7 MS type:x M+" << calc::kNoOp << 0 << 0 << 0 << "7" << true;
    QTest::newRow("overflowing add keeps the memory")
        << "type:1E308 MS M+" << calc::kNoOp << 0 << 0 << 0 << "1E308" << true;
    QTest::newRow("memory clear") << "7 MS MC" << calc::kNoOp << 0 << 0 << 0 << "" << false;
    QTest::newRow("add after clear keeps the memory empty")
        << "7 MS MC 3 M+" << calc::kNoOp << 0 << 0 << 0 << "" << false;
}

void TestEngine::integerAndMemoryState()
{
    QFETCH(QString, script);
    QFETCH(char, pendingOp);
    QFETCH(int, firstInt);
    QFETCH(int, secondInt);
    QFETCH(int, resultInt);
    QFETCH(QString, memoryText);
    QFETCH(bool, indicator);
    KeyScript keys;
    keys.run(script);
    const Engine& e = keys.engine();
    QCOMPARE(e.pendingOp(), pendingOp);
    QCOMPARE(e.firstInt(), firstInt);
    QCOMPARE(e.secondInt(), secondInt);
    QCOMPARE(e.resultInt(), resultInt);
    QCOMPARE(qs(e.memoryText()), memoryText);
    QCOMPARE(e.memoryIndicator(), indicator);
}

void TestEngine::keyboardFilter_data()
{
    QTest::addColumn<uint>("character");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("zero") << uint('0') << true;
    QTest::newRow("nine") << uint('9') << true;
    QTest::newRow("backspace") << 8u << true;
    QTest::newRow("comma") << uint(',') << false;
    QTest::newRow("point") << uint('.') << false;
    QTest::newRow("minus") << uint('-') << false;
    QTest::newRow("plus") << uint('+') << false;
    QTest::newRow("equals") << uint('=') << false;
    QTest::newRow("letter") << uint('e') << false;
    QTest::newRow("enter") << 13u << false;
    QTest::newRow("escape") << 27u << false;
    QTest::newRow("ctrl v") << 22u << false;
    QTest::newRow("arabic-indic digit") << 0x0661u << false;
}

void TestEngine::keyboardFilter()
{
    QFETCH(uint, character);
    QFETCH(bool, accepted);
    QCOMPARE(calc::acceptsTypedChar(char32_t(character)), accepted);
}

void TestEngine::factorialReturnsAtOnce()
{
    // The largest input fails with an overflow (how fast it returns is measured in bench/).
    KeyScript keys;
    const Outcome out = keys.run(QStringLiteral("type:2147483647 Fact"));
    QCOMPARE(qs(out.error), kOverflow);
}

QTEST_APPLESS_MAIN(TestEngine)
#include "tst_engine.moc"

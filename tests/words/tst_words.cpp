// Amounts and numbers in Russian words. The expected phrases follow the grammar of Russian
// numerals (agreement of один/одна and два/две with the noun's gender, the noun's form after
// 1, 2–4 and 5–20, 11–14 always taking the genitive plural), not the program's own tables.

#include "words/words.h"

#include <QtTest>

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

} // namespace

class TestWords : public QObject {
    Q_OBJECT

private slots:
    void money_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("words");
        const auto row = [](const char* text, const char* words) {
            QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(words);
        };
        row("123,45", "Сто двадцать три рубля 45 копеек");
        row("1", "Один рубль 00 копеек");
        row("2,01", "Два рубля 01 копейка");
        row("21 000 000,5", "Двадцать один миллион рублей 50 копеек");
        row("1 001", "Одна тысяча один рубль 00 копеек");
        row("0", "Ноль рублей 00 копеек");
        row("5,02", "Пять рублей 02 копейки");
        row("11,11", "Одиннадцать рублей 11 копеек");
        row("14,21", "Четырнадцать рублей 21 копейка");
        row("112", "Сто двенадцать рублей 00 копеек");
        row("2 000", "Две тысячи рублей 00 копеек");
        row("5 000", "Пять тысяч рублей 00 копеек");
        row("11 000", "Одиннадцать тысяч рублей 00 копеек");
        row("22 000 000", "Двадцать два миллиона рублей 00 копеек");
        row("3 000 000 000", "Три миллиарда рублей 00 копеек");
        row("1 000 000 000 000", "Один триллион рублей 00 копеек");
        row("40 312", "Сорок тысяч триста двенадцать рублей 00 копеек");
        row("999 999 999 999 999,99", "Девятьсот девяносто девять триллионов девятьсот девяносто девять "
                                      "миллиардов девятьсот девяносто девять миллионов девятьсот девяносто "
                                      "девять тысяч девятьсот девяносто девять рублей 99 копеек");
        row("-7,3", "Минус семь рублей 30 копеек");
        // Half a kopeck goes away from zero, in either direction; a binary fraction's error
        // (2,675 is stored just below it) does not move the rounding.
        row("0,005", "Ноль рублей 01 копейка");
        row("-0,005", "Минус ноль рублей 01 копейка");
        row("2,675", "Два рубля 68 копеек");
        row("0,0049", "Ноль рублей 00 копеек");
        row("-0,004", "Ноль рублей 00 копеек");
        row("99,999", "Сто рублей 00 копеек");
        row("1,5E3", "Одна тысяча пятьсот рублей 00 копеек");
    }
    void money()
    {
        QFETCH(QString, text);
        QFETCH(QString, words);
        QCOMPARE(qs(words::money(text.toStdString(), ',')), words);
    }

    void number_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("rounds");
        const auto row = [](const char* text, const char* words, bool rounds = false) {
            QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(words) << rounds;
        };
        row("123,45", "сто двадцать три целых сорок пять сотых");
        row("0,5", "ноль целых пять десятых");
        row("1,1", "одна целая одна десятая");
        row("2,02", "две целых две сотых");
        row("21,021", "двадцать одна целая двадцать одна тысячная");
        row("11,0011", "одиннадцать целых одиннадцать десятитысячных");
        row("0,00001", "ноль целых одна стотысячная");
        row("3,000002", "три целых две миллионных");
        row("1 001", "одна тысяча один");
        row("7,500", "семь целых пять десятых");
        row("-0,25", "минус ноль целых двадцать пять сотых");
        row("0,1234567", "ноль целых сто двадцать три тысячи четыреста пятьдесят семь миллионных", true);
        row("2,0000004", "два", true);
        row("1E-6", "ноль целых одна миллионная");
    }
    void number()
    {
        QFETCH(QString, text);
        QFETCH(QString, words);
        QFETCH(bool, rounds);
        QCOMPARE(qs(words::number(text.toStdString(), ',')), words);
        QCOMPARE(words::roundsNumber(text.toStdString(), ','), rounds);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("numberToo"); // number() refuses it as well as money()
        const QString notNumber = QStringLiteral("«%1» не число: словами пишутся только числа");
        const QString tooLarge = QStringLiteral("Словами пишутся числа до 999 триллионов, это число больше");
        const auto row = [](const char* name, const QString& text, const QString& message,
                            bool numberToo = true) { QTest::newRow(name) << text << message << numberToo; };
        row("word", QStringLiteral("abc"), notNumber.arg(QStringLiteral("abc")));
        row("empty", QString(), notNumber.arg(QString()));
        row("point with comma separator", QStringLiteral("1.5"), notNumber.arg(QStringLiteral("1.5")));
        row("bare exponent", QStringLiteral("1E"), notNumber.arg(QStringLiteral("1E")));
        row("infinity", QStringLiteral("INF"), notNumber.arg(QStringLiteral("INF")));
        row("a quadrillion", QStringLiteral("1E15"), tooLarge);
        row("huge exponent", QStringLiteral("1E99999999"), tooLarge);
        // Kopecks carry into a sixteenth digit; six decimals do not.
        row("rounds up to a quadrillion", QStringLiteral("999999999999999,995"), tooLarge, false);
    }
    void refused()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(bool, numberToo);
        const std::string input = text.toStdString();
        QVERIFY_THROWS_EXCEPTION(words::WordsError, words::money(input, ','));
        try {
            words::money(input, ',');
        } catch (const words::WordsError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
        if (numberToo)
            QVERIFY_THROWS_EXCEPTION(words::WordsError, words::number(input, ','));
        else
            QVERIFY(!words::number(input, ',').empty());
    }

    // The separator is the caller's: with '.' the point reads as the decimal mark.
    void pointSeparator() { QCOMPARE(qs(words::money("1.5", '.')), QStringLiteral("Один рубль 50 копеек")); }
};

QTEST_APPLESS_MAIN(TestWords)
#include "tst_words.moc"

// Password core: the secure draw and its even spread over both alphabets, rejection of the words
// that would favour low values, passwords built tick by tick from scripted draws, the length
// read at every tick, the strength in bits, and the line-append rule of the list.

#include "password/generator.h"
#include "numtext/numtext.h"

#include <QtTest>

#include <cmath>
#include <deque>

using password::Generator;
using password::kAlphabet;

Q_DECLARE_METATYPE(std::deque<std::uint32_t>)

namespace {

// Draws 0, 1, 2, ... and counts the draws; every draw must ask for the whole alphabet.
struct CountingSource {
    int* draws;
    std::uint32_t operator()(std::uint32_t bound) const
    {
        if (bound != kAlphabet.size())
            throw std::logic_error("draw not over the alphabet");
        return static_cast<std::uint32_t>((*draws)++ % kAlphabet.size());
    }
};

QString qs(const std::string& text) { return QString::fromStdString(text); }

} // namespace

class TestGenerator : public QObject {
    Q_OBJECT

private slots:
    // The alphabet, written out: every other row takes its characters from kAlphabet itself.
    void alphabetIsDigitsThenLetters()
    {
        QCOMPARE(QString::fromLatin1(kAlphabet.data(), static_cast<qsizetype>(kAlphabet.size())),
                 QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    }

    void everyCharacterEquallyLikely_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("62 characters") << QString::fromLatin1(kAlphabet);
        QTest::newRow("without look-alikes") << QString::fromLatin1(password::kUnambiguousAlphabet);
    }

    void everyCharacterEquallyLikely()
    {
        QFETCH(QString, alphabet);
        const std::string letters = alphabet.toStdString();
        // 5000 draws expected per character. With k - 1 degrees of freedom the bound is the
        // statistic a fair source exceeds about once in ten billion runs (Wilson-Hilferty: 160 for
        // 61 degrees, 125 for 39), while one character missing, or drawn a fifth more often,
        // exceeds it.
        constexpr int kPerCharacter = 5000;
        std::vector<int> counts(letters.size());
        for (int i = 0; i < kPerCharacter * static_cast<int>(letters.size()); ++i) {
            const std::size_t index = letters.find(password::randomCharacter(letters));
            QVERIFY2(index != std::string::npos, "character outside the alphabet");
            ++counts[index];
        }
        double chiSquare = 0;
        for (const int count : counts)
            chiSquare += double(count - kPerCharacter) * double(count - kPerCharacter) / kPerCharacter;
        const double degrees = double(letters.size() - 1), spread = std::sqrt(2 / (9 * degrees));
        const double bound = degrees * std::pow(1 - 2 / (9 * degrees) + 6.36 * spread, 3);
        QVERIFY2(chiSquare < bound,
                 qPrintable(QStringLiteral("chi-square %1, bound %2").arg(chiSquare).arg(bound)));
    }

    // The short alphabet is the long one, in its order, less exactly the characters a hand-typed
    // password must not hold.
    void unambiguousAlphabetLeavesOutLookalikes()
    {
        const std::string_view left = "ABCEHKMOPTXacepoxy"
                                      "01lI";
        std::string expected;
        for (const char c : kAlphabet)
            if (left.find(c) == std::string_view::npos)
                expected += c;
        QCOMPARE(QByteArray::fromStdString(std::string(password::kUnambiguousAlphabet)),
                 QByteArray::fromStdString(expected));
    }

    void drawsFromTheAlphabetSet()
    {
        std::uint32_t asked = 0;
        Generator generator([&asked](std::uint32_t bound) {
            asked = bound;
            return bound - 1;
        });
        generator.setAlphabet(password::kUnambiguousAlphabet);
        generator.characterTick("1");
        QCOMPARE(asked, std::uint32_t(password::kUnambiguousAlphabet.size()));
        QCOMPARE(qs(generator.currentPassword()), QStringLiteral("z"));
    }

    void strengthInBits_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<int>("alphabetSize");
        QTest::addColumn<QString>("shown"); // "-": no strength
        // clang-format off
        QTest::newRow("6 of 62") << "6" << 62 << "35,7";
        QTest::newRow("6 of 40") << "6" << 40 << "31,9";
        QTest::newRow("length 0 is one character") << "0" << 62 << "6,0";
        QTest::newRow("hexadecimal length") << "$10" << 64 << "96,0";
        QTest::newRow("greatest length") << "2147483647" << 62 << "12786539207,6";
        QTest::newRow("not a whole number") << "6,5" << 62 << "-";
        QTest::newRow("empty") << "" << 62 << "-";
        // clang-format on
    }

    void strengthInBits()
    {
        QFETCH(QString, length);
        QFETCH(int, alphabetSize);
        QFETCH(QString, shown);
        const std::optional<std::string> bits =
            password::strengthText(length.toStdString(), std::size_t(alphabetSize), ',');
        QCOMPARE(bits ? qs(*bits) : QStringLiteral("-"), shown);
    }

    void rejectsWordsThatFavourLowValues_data()
    {
        QTest::addColumn<std::uint32_t>("bound");
        QTest::addColumn<std::deque<std::uint32_t>>("words");
        QTest::addColumn<std::uint32_t>("value");
        QTest::addColumn<int>("used");
        // 2^32 = 69273666 * 62 + 4: the four highest words are rejected.
        QTest::newRow("highest fair word") << 62u << std::deque<std::uint32_t>{0xFFFFFFFBu} << 61u << 1;
        QTest::newRow("every unfair word")
            << 62u << std::deque<std::uint32_t>{0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFDu, 0xFFFFFFFCu, 123u}
            << 61u << 5;
        QTest::newRow("power of two keeps every word")
            << 64u << std::deque<std::uint32_t>{0xFFFFFFFFu} << 63u << 1;
        QTest::newRow("bound 3 rejects the top word")
            << 3u << std::deque<std::uint32_t>{0xFFFFFFFFu, 0xFFFFFFFEu} << 2u << 2;
    }

    void rejectsWordsThatFavourLowValues()
    {
        QFETCH(std::uint32_t, bound);
        QFETCH(std::deque<std::uint32_t>, words);
        QFETCH(std::uint32_t, value);
        QFETCH(int, used);
        const auto count = static_cast<int>(words.size());
        const std::uint32_t drawn = password::uniformBelow(bound, [&] {
            const std::uint32_t word = words.at(0); // throws when the script runs out of words
            words.pop_front();
            return word;
        });
        QCOMPARE(drawn, value);
        QCOMPARE(count - static_cast<int>(words.size()), used);
    }

    void buildsOneCharacterPerTick_data()
    {
        QTest::addColumn<QStringList>("lengths"); // the length box at each tick
        QTest::addColumn<QString>("completes");   // per tick: y when the password is complete
        QTest::addColumn<QString>("password");
        // clang-format off
        QTest::newRow("length 0 gives one character") << QStringList{"0"} << "y" << "0";
        QTest::newRow("negative length gives one character") << QStringList{"-7"} << "y" << "0";
        QTest::newRow("length 6") << QStringList(6, "6") << "nnnnny" << "012345";
        QTest::newRow("hexadecimal length") << QStringList(3, "$3") << "nny" << "012";
        QTest::newRow("length lowered below the password")
            << QStringList{"6", "6", "6", "2"} << "nnny" << "012";
        QTest::newRow("complete password gets no more") << QStringList{"2", "2", "2"} << "nyy" << "01";
        QTest::newRow("length raised after completion") << QStringList{"1", "3", "3"} << "yny" << "012";
        // clang-format on
    }

    void buildsOneCharacterPerTick()
    {
        QFETCH(QStringList, lengths);
        QFETCH(QString, completes);
        QFETCH(QString, password);
        int draws = 0;
        Generator generator(CountingSource{&draws});
        QString done;
        for (const QString& length : lengths)
            done += generator.characterTick(length.toStdString()) ? u'y' : u'n';
        QCOMPARE(done, completes);
        QCOMPARE(qs(generator.currentPassword()), password);
        QCOMPARE(generator.wantedLength(), numtext::textToInt(lengths.back().toStdString()));
    }

    void badLengthChangesNothing()
    {
        int draws = 0;
        Generator generator(CountingSource{&draws});
        generator.characterTick("6");
        generator.characterTick("6");
        try {
            generator.characterTick("abc");
            QFAIL("no error");
        } catch (const numtext::CalcError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'abc' is not a valid integer value"));
        }
        QCOMPARE(draws, 2); // nothing drawn for the failed tick
        QCOMPARE(qs(generator.currentPassword()), QStringLiteral("01"));
        QCOMPARE(generator.wantedLength(), 6);
    }

    void appendsLinesToTheMemo_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("result");
        // clang-format off
        QTest::newRow("empty memo") << "" << "abc" << "abc\n";
        QTest::newRow("after a listed line") << "abc\n" << "def" << "abc\ndef\n";
        QTest::newRow("user's text without a final break") << "note" << "abc" << "note\nabc";
        // clang-format on
    }

    void appendsLinesToTheMemo()
    {
        QFETCH(QString, memo);
        QFETCH(QString, line);
        QFETCH(QString, result);
        QCOMPARE(memo + qs(password::memoAppendix(memo.toStdString(), line.toStdString())), result);
    }
};

QTEST_APPLESS_MAIN(TestGenerator)
#include "tst_generator.moc"

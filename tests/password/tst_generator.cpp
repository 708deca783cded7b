// Password core: the secure draw and its even spread over the alphabet, rejection of the words
// that would favour low values, passwords built tick by tick from scripted draws, the length
// read at every tick, and the line-append rule of the list.

#include "password/generator.h"
#include "numtext/numtext.h"

#include <QtTest>

#include <array>
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
    void everyCharacterEquallyLikely()
    {
        // 5000 draws expected per character. With 61 degrees of freedom the statistic averages
        // 61 with a spread of 11; a fair source exceeds the bound of 160 about once in ten
        // billion runs, while one character missing, or drawn a fifth more often, exceeds it.
        constexpr int kPerCharacter = 5000;
        std::array<int, kAlphabet.size()> counts{};
        for (int i = 0; i < kPerCharacter * static_cast<int>(kAlphabet.size()); ++i) {
            const char c = password::randomCharacter();
            const std::size_t index = kAlphabet.find(c);
            QVERIFY2(index != std::string_view::npos, "character outside the alphabet");
            ++counts[index];
        }
        double chiSquare = 0;
        for (const int count : counts)
            chiSquare += double(count - kPerCharacter) * double(count - kPerCharacter) / kPerCharacter;
        QVERIFY2(chiSquare < 160, qPrintable(QStringLiteral("chi-square %1").arg(chiSquare)));
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

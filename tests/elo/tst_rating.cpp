#include "elo/rating.h"

#include "numtext/numtext.h"

#include <QtTest>

#include <array>
#include <cstdint>
#include <limits>

namespace {

constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

std::string utf8(const QString& text) { return text.toStdString(); }

// The message of the CalcError `f` throws, or a marker when it throws none.
template <typename F> QString errorOf(F f)
{
    try {
        f();
    } catch (const numtext::CalcError& e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("<no error>");
}

// Keeps a test's separator change from leaking into the next test when a check fails.
struct SeparatorGuard {
    explicit SeparatorGuard(char separator) { numtext::setDecimalSeparator(separator); }
    ~SeparatorGuard() { numtext::setDecimalSeparator(','); }
};

} // namespace

class TestRating : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { numtext::setDecimalSeparator(','); }

    void bandsAreContiguousAndRising();
    void expectedPercent_data();
    void expectedPercent();
    void expectedPercentIsSymmetric();

    void offsetsMatchPrintedTable();
    void offsetFor_data();
    void offsetFor();
    void offsetsAreBandEdges();

    void newRating_data();
    void newRating();
    void newRatingErrors_data();
    void newRatingErrors();
    void newRatingWithPointSeparator();

    void initialRating_data();
    void initialRating();
    void initialRatingErrors_data();
    void initialRatingErrors();
    void initialRatingWithPointSeparator();
};

void TestRating::bandsAreContiguousAndRising()
{
    QCOMPARE(elo::kBands.size(), std::size_t{51});
    QCOMPARE(elo::kBands.front().from, 0);
    QCOMPARE(elo::kBands.front().percent, 50);
    QCOMPARE(elo::kBands.back().from, 736);
    QCOMPARE(elo::kBands.back().to, kMaxInt);
    QCOMPARE(elo::kBands.back().percent, 100);
    for (std::size_t i = 0; i < elo::kBands.size(); ++i) {
        const elo::Band& band = elo::kBands[i];
        QVERIFY2(band.from <= band.to, qPrintable(QStringLiteral("band %1 is empty").arg(i)));
        if (i > 0) {
            const elo::Band& previous = elo::kBands[i - 1];
            QVERIFY2(band.from == previous.to + 1, qPrintable(QStringLiteral("gap before band %1").arg(i)));
            QVERIFY2(band.percent == previous.percent + 1,
                     qPrintable(QStringLiteral("band %1 does not rise by one per cent").arg(i)));
        }
    }
}

void TestRating::expectedPercent_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("percent");
    // clang-format off
    QTest::newRow("equal ratings") << 0 << 50;
    QTest::newRow("+3, top of the even band") << 3 << 50;
    QTest::newRow("+4, first step up") << 4 << 51;
    QTest::newRow("-3, bottom of the even band") << -3 << 50;
    QTest::newRow("-4, first step down") << -4 << 49;
    QTest::newRow("+100") << 100 << 64;
    QTest::newRow("-45") << -45 << 44;
    QTest::newRow("+735, last band before certainty") << 735 << 99;
    QTest::newRow("+736, certain win") << 736 << 100;
    QTest::newRow("-735") << -735 << 1;
    QTest::newRow("-736, certain loss") << -736 << 0;
    QTest::newRow("+1500, outermost band") << 1500 << 100;
    QTest::newRow("-1500, outermost band") << -1500 << 0;
    QTest::newRow("largest difference") << kMaxInt << 100;
    QTest::newRow("least difference, no 32-bit negation") << kMinInt << 0;
    // clang-format on
}

void TestRating::expectedPercent()
{
    QFETCH(int, d);
    QFETCH(int, percent);
    QCOMPARE(elo::expectedPercent(d), percent);
}

void TestRating::expectedPercentIsSymmetric()
{
    int previous = elo::expectedPercent(-1000);
    for (std::int32_t d = -1000; d <= 1000; ++d) {
        const int p = elo::expectedPercent(d);
        QVERIFY2(p + elo::expectedPercent(-d) == 100, qPrintable(QStringLiteral("asymmetric at %1").arg(d)));
        QVERIFY2(p >= previous && p <= previous + 1, qPrintable(QStringLiteral("jump at %1").arg(d)));
        previous = p;
    }
}

void TestRating::offsetsMatchPrintedTable()
{
    // The documented offsets for the scores 0..53, typed here to check the derivation from the bands.
    constexpr std::array<std::int32_t, 54> printed{
        -800, -735, -619, -559, -517, -484, -456, -432, -411, -391, -374, -357, -344, -328,
        -315, -302, -290, -278, -267, -256, -245, -235, -225, -215, -206, -197, -188, -179,
        -170, -162, -153, -145, -137, -129, -121, -113, -106, -98,  -91,  -83,  -76,  -68,
        -61,  -53,  -46,  -39,  -32,  -25,  -17,  -10,  0,    4,    11,   18};
    for (std::int32_t q = 0; q < static_cast<std::int32_t>(printed.size()); ++q) {
        const std::optional<std::int32_t> offset = elo::offsetFor(q);
        QVERIFY2(offset.has_value(), qPrintable(QStringLiteral("no offset for %1").arg(q)));
        const std::int32_t expected = printed[static_cast<std::size_t>(q)];
        QVERIFY2(*offset == expected,
                 qPrintable(QStringLiteral("Q %1: %2 instead of %3").arg(q).arg(*offset).arg(expected)));
    }
}

void TestRating::offsetFor_data()
{
    QTest::addColumn<int>("q");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("offset");
    // clang-format off
    QTest::newRow("54 per cent") << 54 << true << 26;
    QTest::newRow("75 per cent") << 75 << true << 189;
    QTest::newRow("99 per cent") << 99 << true << 620;
    QTest::newRow("full score") << 100 << true << 800;
    QTest::newRow("just below 0") << -1 << false << 0;
    QTest::newRow("just above 100") << 101 << false << 0;
    QTest::newRow("least integer") << kMinInt << false << 0;
    QTest::newRow("largest integer") << kMaxInt << false << 0;
    // clang-format on
}

void TestRating::offsetFor()
{
    QFETCH(int, q);
    QFETCH(bool, exists);
    QFETCH(int, offset);
    const std::optional<std::int32_t> got = elo::offsetFor(q);
    QCOMPARE(got.has_value(), exists);
    if (exists)
        QCOMPARE(*got, offset);
}

void TestRating::offsetsAreBandEdges()
{
    // Each offset from 1 to 99 is the smallest difference expecting Q: it lies in Q's band, and
    // one point less already expects Q - 1.
    for (std::int32_t q = 1; q <= 99; ++q) {
        if (q == 50)
            continue;
        const std::int32_t offset = *elo::offsetFor(q);
        QVERIFY2(elo::expectedPercent(offset) == q, qPrintable(QStringLiteral("Q %1 off its band").arg(q)));
        QVERIFY2(elo::expectedPercent(offset - 1) == q - 1,
                 qPrintable(QStringLiteral("Q %1 not at its band's lower edge").arg(q)));
    }
}

void TestRating::newRating_data()
{
    QTest::addColumn<QString>("youElo");
    QTest::addColumn<QString>("eloTurn");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("games");
    QTest::addColumn<QString>("result");
    // clang-format off
    QTest::newRow("stronger player, 6,5 of 9") << "2400" << "2300" << "6,5" << "9" << "2407,4";
    QTest::newRow("weaker player, 3 of 7") << "1200" << "1245" << "3" << "7" << "1199,2";
    QTest::newRow("equal ratings, one win") << "2000" << "2000" << "1" << "1" << "2005";
    QTest::newRow("equal ratings, one draw, no fraction shown") << "2000" << "2000" << "0,5" << "1" << "2000";
    QTest::newRow("equal ratings, one loss") << "2000" << "2000" << "0" << "1" << "1995";
    QTest::newRow("difference 3 expects half") << "2003" << "2000" << "1" << "1" << "2008";
    QTest::newRow("difference 4 expects 51") << "2004" << "2000" << "1" << "1" << "2008,9";
    QTest::newRow("difference -4 expects 49") << "1996" << "2000" << "1" << "1" << "2001,1";
    QTest::newRow("difference 1500, expected everything") << "2000" << "500" << "9" << "10" << "1990";
    QTest::newRow("difference -1500, expected nothing") << "500" << "2000" << "1" << "10" << "510";
    QTest::newRow("no games adds ten per point") << "1500" << "1700" << "2,5" << "0" << "1525";
    QTest::newRow("negative points use the same formula") << "1500" << "1500" << "-1" << "2" << "1480";
    QTest::newRow("more points than games use the same formula") << "1500" << "1500" << "3" << "2" << "1520";
    QTest::newRow("difference wraps to the least integer") << "2147483647" << "-1" << "1" << "1"
                                                           << "2147483657";
    // clang-format on
}

void TestRating::newRating()
{
    QFETCH(QString, youElo);
    QFETCH(QString, eloTurn);
    QFETCH(QString, points);
    QFETCH(QString, games);
    QFETCH(QString, result);
    QCOMPARE(QString::fromStdString(elo::newRating(utf8(youElo), utf8(eloTurn), utf8(points), utf8(games))),
             result);
}

void TestRating::newRatingErrors_data()
{
    QTest::addColumn<QString>("youElo");
    QTest::addColumn<QString>("eloTurn");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("games");
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("fractional own rating") << "2400,5" << "2300" << "6,5" << "9"
                                           << "'2400,5' is not a valid integer value";
    QTest::newRow("fractional opponents' rating") << "2400" << "2300,5" << "6,5" << "9"
                                                  << "'2300,5' is not a valid integer value";
    QTest::newRow("points not a number") << "2400" << "2300" << "six" << "9"
                                         << "'six' is not a valid floating point value";
    QTest::newRow("fractional number of games") << "2400" << "2300" << "6,5" << "9,5"
                                                << "'9,5' is not a valid integer value";
    QTest::newRow("blank own rating is not empty") << " " << "2300" << "6,5" << "9"
                                                   << "' ' is not a valid integer value";
    QTest::newRow("own rating fails before opponents'") << "x" << "y" << "6,5" << "9"
                                                        << "'x' is not a valid integer value";
    QTest::newRow("opponents' rating fails before points") << "2400" << "y" << "z" << "9"
                                                           << "'y' is not a valid integer value";
    QTest::newRow("points fail before games") << "2400" << "2300" << "z" << "w"
                                              << "'z' is not a valid floating point value";
    QTest::newRow("points beyond a double") << "2400" << "2300" << "1E400" << "9" << numtext::kOverflow;
    QTest::newRow("new rating beyond a double") << "2400" << "2300" << "1E308" << "9" << numtext::kOverflow;
    // clang-format on
}

void TestRating::newRatingErrors()
{
    QFETCH(QString, youElo);
    QFETCH(QString, eloTurn);
    QFETCH(QString, points);
    QFETCH(QString, games);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { elo::newRating(utf8(youElo), utf8(eloTurn), utf8(points), utf8(games)); }),
             message);
}

void TestRating::newRatingWithPointSeparator()
{
    const SeparatorGuard guard('.');
    QCOMPARE(QString::fromStdString(elo::newRating("2400", "2300", "6.5", "9")), QStringLiteral("2407.4"));
    QCOMPARE(errorOf([] { elo::newRating("2400", "2300", "6,5", "9"); }),
             QStringLiteral("'6,5' is not a valid floating point value"));
}

void TestRating::initialRating_data()
{
    QTest::addColumn<QString>("opponents");
    QTest::addColumn<QString>("games");
    QTest::addColumn<QString>("points");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("result");
    // clang-format off
    QTest::newRow("half score keeps the opponents' rating") << "1500" << "10" << "5" << true << "1500";
    QTest::newRow("30 per cent") << "1500" << "10" << "3" << true << "1347";
    QTest::newRow("5,5 of 25 is exactly 22 per cent") << "1500" << "25" << "5,5" << true << "1275";
    QTest::newRow("1 of 9 truncates 11,1 to 11") << "1500" << "9" << "1" << true << "1143";
    QTest::newRow("0,5 of 100 truncates to 0") << "1500" << "100" << "0,5" << true << "700";
    QTest::newRow("53 per cent") << "1500" << "10" << "5,3" << true << "1518";
    QTest::newRow("54 per cent") << "1500" << "50" << "27" << true << "1526";
    QTest::newRow("9,9 of 10 is 99 per cent") << "1500" << "10" << "9,9" << true << "2120";
    QTest::newRow("full score") << "1500" << "10" << "10" << true << "2300";
    QTest::newRow("tiny score") << "1500" << "1" << "1E-300" << true << "700";
    QTest::newRow("slightly negative points write nothing") << "1500" << "100" << "-0,5" << false << "";
    QTest::newRow("slightly more points than games write nothing") << "1500" << "10" << "10,05" << false << "";
    QTest::newRow("negative points write nothing") << "1500" << "10" << "-3" << false << "";
    QTest::newRow("negative games write nothing") << "1500" << "-10" << "3" << false << "";
    QTest::newRow("more points than games write nothing") << "1500" << "10" << "11" << false << "";
    QTest::newRow("percentage beyond any integer writes nothing") << "1500" << "1" << "1E300" << false << "";
    QTest::newRow("result wraps as a 32-bit integer") << "2147483647" << "10" << "10" << true
                                                      << "-2147482849";
    // clang-format on
}

void TestRating::initialRating()
{
    QFETCH(QString, opponents);
    QFETCH(QString, games);
    QFETCH(QString, points);
    QFETCH(bool, written);
    QFETCH(QString, result);
    const std::optional<std::string> got = elo::initialRating(utf8(opponents), utf8(games), utf8(points));
    QCOMPARE(got.has_value(), written);
    if (written)
        QCOMPARE(QString::fromStdString(*got), result);
}

void TestRating::initialRatingErrors_data()
{
    QTest::addColumn<QString>("opponents");
    QTest::addColumn<QString>("games");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("no points") << "1500" << "10" << "0" << numtext::kDivByZero;
    QTest::newRow("no games, some points") << "1500" << "0" << "3" << numtext::kDivByZero;
    QTest::newRow("no games, no points") << "1500" << "0" << "0" << numtext::kInvalidOp;
    QTest::newRow("percentage beyond a double") << "1500" << "1" << "1E308" << numtext::kOverflow;
    QTest::newRow("empty opponents' box") << "" << "10" << "5" << "'' is not a valid integer value";
    QTest::newRow("fractional number of games") << "1500" << "10,5" << "5"
                                                << "'10,5' is not a valid integer value";
    QTest::newRow("empty points box") << "1500" << "10" << "" << "'' is not a valid floating point value";
    QTest::newRow("opponents fail before games") << "a" << "b" << "c" << "'a' is not a valid integer value";
    QTest::newRow("games fail before points") << "1500" << "b" << "c" << "'b' is not a valid integer value";
    // clang-format on
}

void TestRating::initialRatingErrors()
{
    QFETCH(QString, opponents);
    QFETCH(QString, games);
    QFETCH(QString, points);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { elo::initialRating(utf8(opponents), utf8(games), utf8(points)); }), message);
}

void TestRating::initialRatingWithPointSeparator()
{
    const SeparatorGuard guard('.');
    QCOMPARE(elo::initialRating("1500", "25", "5.5"), std::optional<std::string>("1275"));
    QCOMPARE(errorOf([] { elo::initialRating("1500", "25", "5,5"); }),
             QStringLiteral("'5,5' is not a valid floating point value"));
}

QTEST_APPLESS_MAIN(TestRating)
#include "tst_rating.moc"

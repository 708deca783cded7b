// The plot column read from memo text, and the text of loaded data files, as rows of text.

#include "plot/plotdata.h"

#include <QtTest>

namespace {

QByteArray bytes(std::string_view text) { return QByteArray(text.data(), qsizetype(text.size())); }

} // namespace

class TestPlotData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { numtext::setDecimalSeparator(','); }

    void memoLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("empty text has no lines") << QByteArray("") << QList<QByteArray>{};
        QTest::newRow("one line without a break") << QByteArray("1") << QList<QByteArray>{"1"};
        QTest::newRow("final line break starts no line")
            << QByteArray("1\n4\n") << QList<QByteArray>{"1", "4"};
        QTest::newRow("CR LF is one break") << QByteArray("1\r\n4\r\n") << QList<QByteArray>{"1", "4"};
        QTest::newRow("lone CR") << QByteArray("1\r4") << QList<QByteArray>{"1", "4"};
        QTest::newRow("LF CR is two breaks") << QByteArray("1\n\r4") << QList<QByteArray>{"1", "", "4"};
        QTest::newRow("a lone break is one empty line") << QByteArray("\n") << QList<QByteArray>{""};
    }

    void memoLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, lines);
        const std::string memo = text.toStdString();
        QList<QByteArray> got;
        for (std::string_view line : plot::memoLines(memo))
            got << bytes(line);
        QCOMPARE(got, lines);
    }

    void readColumn_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("error");
        const QString notValid = QStringLiteral("'%1' is not a valid floating point value");
        QTest::newRow("three numbers") << QByteArray("1\n4\n9") << QList<double>{1, 4, 9} << "";
        QTest::newRow("nearest double of a decimal fraction")
            << QByteArray("0,1") << QList<double>{0.1} << "";
        QTest::newRow("largest power of ten of a double")
            << QByteArray("1E308") << QList<double>{1e308} << "";
        QTest::newRow("underflow reads as zero") << QByteArray("1E-400") << QList<double>{0} << "";
        QTest::newRow("blank line stops the column")
            << QByteArray("2,5\n\n3") << QList<double>{2.5} << notValid.arg("");
        QTest::newRow("point in a comma locale")
            << QByteArray("1\n1.5\n2") << QList<double>{1} << notValid.arg("1.5");
        QTest::newRow("beyond the double range")
            << QByteArray("1\n1E400\n2") << QList<double>{1} << "Floating point overflow";
    }

    void readColumn()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<double>, values);
        QFETCH(QString, error);
        const plot::Column column = plot::readColumn(text.toStdString());
        QCOMPARE(QList<double>(column.values.begin(), column.values.end()), values);
        QCOMPARE(column.error ? QString::fromUtf8(column.error->what()) : QString(), error);
    }

    void decodeText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8 Cyrillic") << QByteArray("\xD0\xAF 1") << QStringLiteral("Я 1");
        QTest::newRow("UTF-8 outside the basic plane")
            << QByteArray("\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBF"
                                                               "1")
                                                 << QStringLiteral("1");
        QTest::newRow("byte-order mark inside kept")
            << QByteArray("1\xEF\xBB\xBF") << QStringLiteral("1\uFEFF");
        QTest::newRow("Windows-1251 letters") << QByteArray("\xC0\xFF\xA8\xB8") << QStringLiteral("АяЁё");
        QTest::newRow("Windows-1251 signs, unassigned byte kept")
            << QByteArray("\xB9\x88\x96\xA0\x98") << QStringLiteral("№€–\u00A0\u0098");
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QStringLiteral("н\u00A0Ђ");
        QTest::newRow("beyond U+10FFFF")
            << QByteArray("\xF4\x90\x80\x80") << QStringLiteral("\u0444\u0452\u0402\u0402");
        QTest::newRow("sequence cut at the end") << QByteArray("1\xD0") << QStringLiteral("1Р");
        QTest::newRow("one stray byte makes the whole file single-byte")
            << QByteArray("\xD0\xAF\xFF") << QStringLiteral("\u0420\u0407\u044F");
    }

    void decodeText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        const std::string got =
            plot::decodeText(std::string_view(file.constData(), std::size_t(file.size())));
        QCOMPARE(QString::fromUtf8(got.data(), qsizetype(got.size())), text);
    }

    void normalizeLineBreaks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("normalized");
        QTest::newRow("CR LF") << QByteArray("1\r\n2\r\n") << QByteArray("1\n2\n");
        QTest::newRow("lone CR") << QByteArray("1\r2\r") << QByteArray("1\n2\n");
        QTest::newRow("CR before CR LF") << QByteArray("1\r\r\n2") << QByteArray("1\n\n2");
    }

    void normalizeLineBreaks()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, normalized);
        QCOMPARE(bytes(plot::normalizeLineBreaks(text.toStdString())), normalized);
    }
};

QTEST_APPLESS_MAIN(TestPlotData)
#include "tst_plotdata.moc"

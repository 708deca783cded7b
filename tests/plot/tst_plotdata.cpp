// The plot column read from memo text, the text of loaded data files, as rows of text, and when
// a long step shows its progress.

#include "plot/plotdata.h"

#include <QtTest>

namespace {

QByteArray bytes(std::string_view text) { return QByteArray(text.data(), qsizetype(text.size())); }

// Four 16-byte blocks: a lone CR in the first, CR LF inside the second, whose last byte is a CR
// whose LF starts the third, and CR LF in the last.
const QByteArray kBlocks = QByteArray("1\r2\r\n33333333333") + "\r\n44\r\n555\r\n6666\r" +
                           "\n7777777\r\n888888" + "\r\n99999999999\r\n0";

} // namespace

class TestPlotData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { numtext::setDecimalSeparator(','); }

    void readColumn_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("error");
        const QString notValid = QStringLiteral("'%1' is not a valid floating point value");
        QTest::newRow("three numbers") << QByteArray("1\n4\n9") << QList<double>{1, 4, 9} << "";
        // Lines end at LF, CR LF or a lone CR; a final break starts no line.
        QTest::newRow("empty text has no lines") << QByteArray("") << QList<double>{} << "";
        QTest::newRow("final line break starts no line") << QByteArray("1\n4\n") << QList<double>{1, 4} << "";
        QTest::newRow("CR LF is one break") << QByteArray("1\r\n4\r\n") << QList<double>{1, 4} << "";
        QTest::newRow("lone CR") << QByteArray("1\r4") << QList<double>{1, 4} << "";
        QTest::newRow("LF CR is two breaks") << QByteArray("1\n\r4") << QList<double>{1} << notValid.arg("");
        QTest::newRow("a lone break is one empty line")
            << QByteArray("\n") << QList<double>{} << notValid.arg("");
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
        // A long bad line is quoted by its first bytes, never cutting a character.
        const QByteArray longLine = "1\n" + QByteArray(1999, 'x') + "\xD0\xAF" + QByteArray(100000, 'y');
        QTest::newRow("long bad line quoted by its beginning")
            << longLine << QList<double>{1} << notValid.arg(QString(1999, u'x') + QStringLiteral("\u2026"));
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
        QTest::newRow("one of two byte-order marks dropped") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                                           "1")
                                                             << QStringLiteral("\uFEFF1");
        QTest::newRow("UTF-16 LE with its mark") << QByteArray("\xFF\xFE\x2F\x04\x0A\x00\x3D\xD8\x00\xDE", 10)
                                                 << QString::fromUtf8("Я\n\xF0\x9F\x98\x80");
        QTest::newRow("UTF-16 BE with its mark, a mark inside kept")
            << QByteArray("\xFE\xFF\x04\x2F\xFE\xFF", 6) << QStringLiteral("Я\uFEFF");
        QTest::newRow("UTF-16 unpaired surrogates and an odd last byte")
            << QByteArray("\xFF\xFE\x00\xDC\x3D\xD8\x31\x00\x32", 9) << QStringLiteral("\uFFFD\uFFFD1\uFFFD");
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
        QTest::newRow("stray byte after long ASCII runs")
            << QByteArray(40, '1') + "\xD0\xAF" + QByteArray(40, '2') + "\xFF"
            << QString(40, u'1') + QStringLiteral("\u0420\u0407") + QString(40, u'2') +
                   QStringLiteral("\u044F");
    }

    void decodeText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        // Bytes are compared: a conversion to QString would drop a leading byte-order mark.
        QCOMPARE(bytes(plot::decodeText(std::string_view(file.constData(), std::size_t(file.size())))),
                 text.toUtf8());
    }

    // Read a piece at a time, a file gives the text it decodes to, its line breaks made LF,
    // wherever the pieces end: in a CR LF, a UTF-8 sequence or a UTF-16 surrogate pair.
    void memoTextReader_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF\xD0\xAF\r\n\xF0\x9F\x98\x80\r\r\n1\r");
        QTest::newRow("Windows-1251") << QByteArray("\xC0\r\n\xFF\r");
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\x2F\x04\x0D\x00\x0A\x00\x3D\xD8\x00\xDE\x0D\x00",
                                                 14);
        QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\xD8\x3D\xDE\x00\x00\x0D\x00\x0A\x04\x2F", 12);
        QTest::newRow("32-byte pieces, the first ending in CR") << kBlocks;
    }

    void memoTextReader()
    {
        QFETCH(QByteArray, file);
        const std::string_view data(file.constData(), std::size_t(file.size()));
        const std::string whole = plot::normalizeLineBreaks(plot::decodeText(data));
        for (const std::size_t piece : {1, 2, 3, 4, 5, 32}) {
            plot::MemoTextReader reader(data);
            std::string text;
            while (!reader.atEnd())
                text += reader.next(piece);
            QCOMPARE(bytes(text), bytes(whole));
            QCOMPARE(reader.bytesRead(), data.size());
        }
    }

    // The capacity counts the memo's text: single-byte Cyrillic doubles, CR LF halves.
    void memoTextReaderCapacity_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("fits"); // in 4 bytes of text
        QTest::newRow("at the capacity") << QByteArray("1234") << true;
        QTest::newRow("CR LF counts once") << QByteArray("12\r\n3") << true;
        QTest::newRow("one byte over") << QByteArray("12345") << false;
        QTest::newRow("three bytes of Windows-1251, six of text") << QByteArray("\xC0\xC1\xC2") << false;
    }

    void memoTextReaderCapacity()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, fits);
        plot::MemoTextReader reader(std::string_view(file.constData(), std::size_t(file.size())), 4);
        bool threw = false;
        try {
            while (!reader.atEnd())
                reader.next(2);
        } catch (const plot::CapacityError& error) {
            threw = true;
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Text exceeds memo capacity"));
        }
        QCOMPARE(threw, !fits);
        QVERIFY(plot::cannotFit(4 * 4 + 5, 4) && !plot::cannotFit(4 * 4 + 4, 4));
    }

    void normalizeLineBreaks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("normalized");
        QTest::newRow("CR LF") << QByteArray("1\r\n2\r\n") << QByteArray("1\n2\n");
        QTest::newRow("lone CR") << QByteArray("1\r2\r") << QByteArray("1\n2\n");
        QTest::newRow("CR before CR LF") << QByteArray("1\r\r\n2") << QByteArray("1\n\n2");
        QTest::newRow("16-byte blocks")
            << kBlocks << QByteArray("1\n2\n33333333333\n44\n555\n6666\n7777777\n888888\n99999999999\n0");
    }

    void normalizeLineBreaks()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, normalized);
        QCOMPARE(bytes(plot::normalizeLineBreaks(text.toStdString())), normalized);
    }

    // A step's progress shows once its pace says it is long, and by the deadline in any case.
    void showProgress_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<qint64>("done"); // of 1000
        QTest::addColumn<bool>("shown");
        QTest::newRow("pace not judged yet") << qint64(plot::kPaceAfterMs - 1) << qint64(1) << false;
        QTest::newRow("pace: long") << qint64(plot::kPaceAfterMs)
                                    << qint64(1000 * plot::kPaceAfterMs / plot::kLongStepMs) << true;
        QTest::newRow("pace: ends sooner") << qint64(150) << qint64(501) << false;
        QTest::newRow("no pace yet") << qint64(plot::kShowProgressByMs - 1) << qint64(0) << false;
        QTest::newRow("deadline, nearly done") << qint64(plot::kShowProgressByMs) << qint64(999) << true;
    }

    void showProgress()
    {
        QFETCH(qint64, elapsed);
        QFETCH(qint64, done);
        QFETCH(bool, shown);
        QCOMPARE(plot::showProgress(elapsed, done, 1000), shown);
    }
};

QTEST_APPLESS_MAIN(TestPlotData)
#include "tst_plotdata.moc"

// The settings file's text: reading integers from what people and other programs leave in
// it, and writing values back without losing anything else.

#include "app/inifile.h"

#include <QtTest>

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void readInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value"); // fallback -1
        const QString position = QStringLiteral("[Position]\nTop=12\nLeft=-40\n");
        // clang-format off
        QTest::newRow("plain") << position << "Position" << "Left" << -40;
        QTest::newRow("names in any case") << position << "POSITION" << "top" << 12;
        QTest::newRow("blanks around names and value") << " [ Position ] \n  Top =  7 \n" << "Position" << "Top" << 7;
        QTest::newRow("byte-order mark") << "\uFEFF[Position]\nTop=5\n" << "Position" << "Top" << 5;
        QTest::newRow("CR LF line ends") << "[Position]\r\nTop=5\r\nLeft=6\r\n" << "Position" << "Top" << 5;
        QTest::newRow("junk lines ignored") << "junk\n[Position]\nnot a key\nTop=3\n" << "Position" << "Top" << 3;
        QTest::newRow("missing file text") << "" << "Position" << "Top" << -1;
        QTest::newRow("key of another section") << "[Color]\nTop=1\n[Position]\nLeft=2\n" << "Position" << "Top" << -1;
        QTest::newRow("commented out") << "[Position]\n;Top=1\n" << "Position" << "Top" << -1;
        QTest::newRow("letters after digits") << "[Color]\nForm=12x\n" << "Color" << "Form" << -1;
        QTest::newRow("empty value") << "[Color]\nForm=\n" << "Color" << "Form" << -1;
        QTest::newRow("plus sign") << "[Color]\nForm=+7\n" << "Color" << "Form" << 7;
        QTest::newRow("two signs") << "[Color]\nForm=+-7\n" << "Color" << "Form" << -1;
        QTest::newRow("largest") << "[Color]\nForm=2147483647\n" << "Color" << "Form" << 2147483647;
        QTest::newRow("beyond 32 bits") << "[Color]\nForm=2147483648\n" << "Color" << "Form" << -1;
        QTest::newRow("first of two sections") << "[P]\nTop=1\n[P]\nTop=2\n" << "P" << "Top" << 1;
        QTest::newRow("first of two keys") << "[P]\nTop=1\nTop=2\n" << "P" << "Top" << 1;
        QTest::newRow("last line without line end") << "[P]\nTop=9" << "P" << "Top" << 9;
        QTest::newRow("CRs ending the last line") << "[Color]\nForm=5\r\r" << "Color" << "Form" << 5;
        // clang-format on
    }

    void readInteger()
    {
        QFETCH(QString, text);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, value);
        const ini::IniFile file(text.toStdString());
        QCOMPARE(file.readInteger(section.toStdString(), key.toStdString(), -1), value);
    }

    void writeInteger_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("new file") << "" << "Position" << "Top" << -20 << "[Position]\nTop=-20\n";
        QTest::newRow("value replaced in place") << "[Position]\nTop=1\nLeft=2\n" << "Position" << "Top" << 5
            << "[Position]\nTop=5\nLeft=2\n";
        QTest::newRow("spelling of the key kept") << "[position]\n TOP = 1\n" << "Position" << "Top" << 5
            << "[position]\nTOP=5\n";
        QTest::newRow("key added before the blank line") << "[Position]\nTop=1\n\n[Color]\nForm=3\n" << "Position"
            << "Left" << 2 << "[Position]\nTop=1\nLeft=2\n\n[Color]\nForm=3\n";
        QTest::newRow("section added after a blank line") << "[Position]\nTop=1\n" << "Color" << "Form" << 500000
            << "[Position]\nTop=1\n\n[Color]\nForm=500000\n";
        QTest::newRow("junk, comments and other sections kept") << "junk\n; note\n[Other]\nName=x y\n[Position]\nTop=1\n"
            << "Position" << "Top" << 2 << "junk\n; note\n[Other]\nName=x y\n[Position]\nTop=2\n";
        QTest::newRow("byte-order mark kept") << "\uFEFF[Position]\nTop=1\n" << "Position" << "Top" << 3
            << "\uFEFF[Position]\nTop=3\n";
        QTest::newRow("CR LF kept") << "[Position]\r\nTop=1\r\n" << "Position" << "Left" << 4
            << "[Position]\r\nTop=1\r\nLeft=4\r\n";
        QTest::newRow("line end added to the last line") << "[Position]\nTop=1" << "Position" << "Left" << 4
            << "[Position]\nTop=1\nLeft=4\n";
        // The first line end sets the style: the CRs of the unterminated last line stay its text.
        QTest::newRow("style of the first line end kept") << "[Color]\nForm=5\r\r" << "P" << "K" << 1
            << "[Color]\nForm=5\r\r\n\n[P]\nK=1\n";
        QTest::newRow("least value") << "" << "P" << "K" << int(-2147483647 - 1) << "[P]\nK=-2147483648\n";
        // clang-format on
    }

    void writeInteger()
    {
        QFETCH(QString, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, value);
        QFETCH(QString, after);
        ini::IniFile file(before.toStdString());
        file.writeInteger(section.toStdString(), key.toStdString(), value);
        QCOMPARE(QString::fromStdString(file.text()), after);
        QCOMPARE(ini::IniFile(file.text()).readInteger(section.toStdString(), key.toStdString(), -1), value);
        // What was there before reads the same after the file is written back.
        const ini::IniFile read(before.toStdString());
        if (section != QLatin1String("Color"))
            QCOMPARE(ini::IniFile(file.text()).readInteger("Color", "Form", -1),
                     read.readInteger("Color", "Form", -1));
    }
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_inifile.moc"

// The program's command line, run as a child process with a controlled environment: --help and
// --version print and end without a display, a bad argument is refused, and a start without a
// graphical session ends with one line and code 1 instead of the platform plugin's abort.

#include "app/CommandLine.h"

#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void graphicalSession_data()
    {
        QTest::addColumn<QString>("platforms"); // QT_QPA_PLATFORM or -platform
        QTest::addColumn<bool>("x11");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("missing");
        QTest::newRow("default, no display") << "" << false << false << true;
        QTest::newRow("default in a Wayland session") << "" << false << true << false;
        QTest::newRow("xcb with options, X display") << "xcb:nomitshm" << true << false << false;
        QTest::newRow("Wayland first, then xcb") << "wayland-egl;xcb" << true << false << false;
        QTest::newRow("both named, neither there") << "wayland;xcb" << false << false << true;
        QTest::newRow("offscreen needs none") << "offscreen" << false << false << false;
    }

    void graphicalSession()
    {
        QFETCH(QString, platforms);
        QFETCH(bool, x11);
        QFETCH(bool, wayland);
        QFETCH(bool, missing);
        QCOMPARE(app::graphicalSessionMissing(platforms, x11, wayland), missing);
    }

    void program_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("platform"); // QT_QPA_PLATFORM; DISPLAY and WAYLAND_DISPLAY unset
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // a pattern for standard output
        QTest::addColumn<QString>("err"); // for standard error
        const QString none;
        QTest::newRow("version") << QStringList{"--version"} << none << 0 << "^vilorka 1\\.0\\n$"
                                 << "^$";
        QTest::newRow("help, with a Qt option")
            << QStringList{"-style", "fusion", "--help"} << "xcb" << 0 << "--version.*Показать версию"
            << "^$";
        QTest::newRow("no display") << QStringList{} << "xcb" << 1 << "^$"
                                    << "^vilorka: нужен графический сеанс[^\\n]*\\n$";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << none << 1 << "^$"
                                        << "^vilorka: .*bogus";
        QTest::newRow("stray argument") << QStringList{"x.txt"} << none << 1 << "^$"
                                        << "лишний аргумент: x\\.txt";
    }

    void program()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, platform);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!platform.isEmpty())
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VILORKA_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(-1)); // the test's own time-out catches a hang
        const QString output = QString::fromUtf8(program.readAllStandardOutput());
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), code);
        const auto matches = [](const QString& text, const QString& pattern) {
            return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
                .match(text)
                .hasMatch();
        };
        QVERIFY2(matches(output, out), qPrintable(output));
        QVERIFY2(matches(errors, err), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
